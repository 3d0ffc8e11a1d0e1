#pragma once
// jet_reader.hpp - the only way the engine reads file bytes: the toolkit's bounds-checked
// reader (tk_byte_reader) over one page or a part of it. A read past the end raises jet_error
// 3049 naming the page, so a corrupt offset can never read outside the page.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "platform/jet/jet_error.hpp"
#include "tk/tk_byte_reader.hpp"

class jet_reader : public tk_byte_reader<jet_reader> {
public:
    jet_reader() = default;
    jet_reader(std::span<const std::uint8_t> view, std::uint32_t page)
        : tk_byte_reader(view), page_no(page) {}

    std::uint32_t page() const { return page_no; }

    [[noreturn]] void corrupt(const std::string& what) const {
        throw jet_error::corrupt(page_no, what);
    }

    [[noreturn]] void out_of_bounds(std::size_t at, std::size_t length) const {
        corrupt("a structure of " + std::to_string(length) + " bytes at offset "
                + std::to_string(at) + " passes the end of its " + std::to_string(size())
                + " bytes");
    }
    jet_reader with_bytes(std::span<const std::uint8_t> view) const {
        return jet_reader(view, page_no);
    }

private:
    std::uint32_t page_no = 0;
};
