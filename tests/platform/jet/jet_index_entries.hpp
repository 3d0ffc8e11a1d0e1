#pragma once
// jet_index_entries.hpp - the tests' own reader of index pages (Jet 4 / ACE, no encryption):
// the leaf entries of a table's physical indexes as a walk from the root finds them (each
// node's entries, then its tail page), shared prefixes put back, and the leaves in the order
// their next-page links give. It keeps its own offsets on purpose rather than the engine's
// names (jet_index_writer.hpp, jet_table_def_layout.hpp): as the independent reader the
// writer is judged by, it must not share a mistake with it.

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

struct jet_test_index_entry {
    std::vector<std::uint8_t> key;
    std::uint32_t page = 0;
    std::uint8_t row = 0;
};

struct jet_test_index {
    std::uint32_t root = 0;
    std::vector<jet_test_index_entry> entries;   // in walk order
    std::vector<std::uint32_t> leaves;           // in walk order
    std::vector<std::uint32_t> linked_leaves;    // from the first leaf along next links
    int depth = 0;                               // levels of pages
};

class jet_test_index_reader {
public:
    explicit jet_test_index_reader(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        bytes.assign(std::istreambuf_iterator<char>(in), {});
    }

    // The physical indexes of the table whose definition starts at tdef_page, in order.
    std::vector<jet_test_index> indexes(std::uint32_t tdef_page) const {
        std::vector<std::uint8_t> def = definition(tdef_page);
        std::size_t columns = u16(def, 45);
        std::size_t real = u32(def, 51);
        std::size_t at = 63 + 12 * real + 25 * columns;
        for (std::size_t column = 0; column < columns; ++column) at += 2 + u16(def, at);
        std::vector<jet_test_index> found;
        for (std::size_t index_no = 0; index_no < real; ++index_no) {
            jet_test_index index;
            index.root = u32(def, at + 52 * index_no + 38);
            walk(index, index.root, 1);
            // Bounded by the leaves found, so a link cycle cannot hang the test.
            for (std::uint32_t page = index.leaves.empty() ? 0 : index.leaves.front();
                 page != 0 && index.linked_leaves.size() <= index.leaves.size();
                 page = u32(page_bytes(page), 16))
                index.linked_leaves.push_back(page);
            found.push_back(std::move(index));
        }
        return found;
    }

private:
    static std::uint32_t u16(const std::vector<std::uint8_t>& b, std::size_t at) {
        return std::uint32_t(b.at(at) | b.at(at + 1) << 8);
    }
    static std::uint32_t u32(const std::vector<std::uint8_t>& b, std::size_t at) {
        return u16(b, at) | u16(b, at + 2) << 16;
    }
    static std::uint32_t big_endian(const std::vector<std::uint8_t>& b, std::size_t at, int n) {
        std::uint32_t value = 0;
        for (int byte = 0; byte < n; ++byte) value = value << 8 | b.at(at + std::size_t(byte));
        return value;
    }
    std::vector<std::uint8_t> page_bytes(std::uint32_t page) const {
        auto from = bytes.begin() + std::ptrdiff_t(page) * 4096;
        return {from, from + 4096};
    }
    std::vector<std::uint8_t> definition(std::uint32_t page) const {
        std::vector<std::uint8_t> def = page_bytes(page);
        for (std::uint32_t next = u32(def, 4); next != 0;) {
            std::vector<std::uint8_t> more = page_bytes(next);
            def.insert(def.end(), more.begin() + 8, more.end());
            next = u32(more, 4);
        }
        return def;
    }
    // The entries of one page, whole again.
    static std::vector<std::vector<std::uint8_t>> page_entries(const std::vector<std::uint8_t>& p) {
        std::vector<std::vector<std::uint8_t>> entries;
        std::size_t prefix = u16(p, 24);
        std::size_t start = 0;
        for (std::size_t bit = 1; bit < 453 * 8; ++bit) {
            if (!(p[0x1B + bit / 8] >> (bit % 8) & 1)) continue;
            std::vector<std::uint8_t> entry(p.begin() + std::ptrdiff_t(0x1E0 + start),
                                            p.begin() + std::ptrdiff_t(0x1E0 + bit));
            if (!entries.empty())
                entry.insert(entry.begin(), entries.front().begin(),
                             entries.front().begin() + std::ptrdiff_t(prefix));
            entries.push_back(std::move(entry));
            start = bit;
        }
        return entries;
    }
    void walk(jet_test_index& index, std::uint32_t page, int depth) const {
        std::vector<std::uint8_t> p = page_bytes(page);
        index.depth = std::max(index.depth, depth);
        if (p[0] == 0x04) {
            index.leaves.push_back(page);
            for (const std::vector<std::uint8_t>& entry : page_entries(p))
                index.entries.push_back({{entry.begin(), entry.end() - 4},
                                         big_endian(entry, entry.size() - 4, 3),
                                         entry.back()});
            return;
        }
        for (const std::vector<std::uint8_t>& entry : page_entries(p))
            walk(index, big_endian(entry, entry.size() - 4, 4), depth + 1);
        if (u32(p, 20) != 0) walk(index, u32(p, 20), depth + 1);
    }

    std::vector<std::uint8_t> bytes;
};
