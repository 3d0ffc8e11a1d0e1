#pragma once
// jet_page_store.hpp - the file under the writer: creates it (never over an existing file),
// holds it locked exclusively while open, hands out pages to change and writes them back in
// a safe order. Invariants:
//   1. A page is written only by flush(), and flush() writes content pages (rows, long
//      values, index pages) before usage maps, usage maps before table definitions,
//      definitions before catalogue rows, and page 0 last, syncing between the groups: a
//      map, definition or catalogue row on disk never names a page that is not there.
//   2. Pages are appended only: page_count() grows by allocate() and never shrinks.
// Failures are jet_error: 3204 the file exists, 3026 the disk is full, 3043 any other I/O.

#include <cstdint>
#include <map>
#include <span>
#include <string>
#include <vector>

// Write order of a page, lowest first (invariant 1).
enum class jet_page_role : std::uint8_t { content, usage_map, definition, catalogue, header };

class jet_page_store {
public:
    // Creates path (O_EXCL) and locks it.
    jet_page_store(const std::string& path, std::uint32_t page_size);
    ~jet_page_store();
    jet_page_store(const jet_page_store&) = delete;
    jet_page_store& operator=(const jet_page_store&) = delete;

    std::uint32_t page_size() const { return size_bytes; }
    std::uint32_t page_count() const { return count; }
    const std::string& path() const { return file_path; }

    // A new zeroed page at the end of the file.
    std::uint32_t allocate(jet_page_role role);
    // A page to change: read from the file unless held, marked to be written by flush().
    std::span<std::uint8_t> change(std::uint32_t page_no, jet_page_role role);
    // A page to read (what flush() would write).
    std::span<const std::uint8_t> look(std::uint32_t page_no);
    // Writes every changed page (invariant 1) and lets go of the held ones.
    void flush();
    // Pages held unwritten; the owner flushes past a limit to bound memory.
    std::size_t pending() const { return held.size(); }

private:
    struct held_page {
        std::vector<std::uint8_t> bytes;
        jet_page_role role = jet_page_role::content;
        bool is_changed = false;
    };

    held_page& hold(std::uint32_t page_no);
    void write_page(std::uint32_t page_no, const std::vector<std::uint8_t>& bytes);
    void sync();
    [[noreturn]] void fail_io(int error_number) const;

    std::string file_path;
    int file = -1;
    std::uint32_t size_bytes = 0;
    std::uint32_t count = 0;
    std::map<std::uint32_t, held_page> held;
};
