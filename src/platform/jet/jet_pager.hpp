#pragma once
// jet_pager.hpp - the file under the engine: opens and locks it, checks and unmasks page 0,
// refuses a file that is not whole pages, verifies the password through the codec seam, and
// hands out decoded pages from a small cache. Not thread-safe: one pager serves one thread.

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/jet/jet_database.hpp"

class jet_page_codec;

using jet_page_ptr = std::shared_ptr<const std::vector<std::uint8_t>>;

class jet_pager {
public:
    jet_pager(const std::string& path, std::u16string_view password, bool exclusive);
    ~jet_pager();
    jet_pager(const jet_pager&) = delete;
    jet_pager& operator=(const jet_pager&) = delete;

    const jet_header& header() const { return head; }
    bool is_jet3() const { return head.format == jet_format::jet3; }
    std::uint32_t page_size() const { return head.page_size; }
    std::uint32_t page_count() const { return head.page_count; }
    void set_text_code_page(std::uint16_t code_page) { head.text_code_page = code_page; }

    // A decoded page; 3049 naming the page when it lies past the end of the file.
    jet_page_ptr page(std::uint32_t page_no) const;

private:
    void read_header(const std::string& path, std::u16string_view password);
    std::vector<std::uint8_t> read_raw(std::uint32_t page_no, std::size_t length) const;

    int file = -1;
    jet_header head;
    std::unique_ptr<jet_page_codec> codec;
    jet_page_ptr page_zero;
    mutable std::unordered_map<std::uint32_t, jet_page_ptr> cache;
    mutable std::vector<std::uint32_t> cache_order;   // FIFO of cached page numbers
    mutable std::size_t cache_next = 0;
};
