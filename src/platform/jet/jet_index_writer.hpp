#pragma once
// jet_index_writer.hpp - the pages of one index of a table being written. Entries (the key,
// then the row's page as 3 bytes big-endian and its row number) are kept sorted in memory;
// write() lays them out again whenever rows came since the last time: leaf pages (0x04)
// linked in key order, and when they are more than one, node pages (0x03) above them whose
// entries are a child's last entry followed by its page number (4 bytes big-endian), the
// last child of each node being its "tail" page rather than an entry. The top page is
// always the root named in the table definition. Pages are reused from one write to the
// next and new ones recorded in the index's usage map. Jet 4 / ACE index page:
//   OFFSET  SIZE  MEANING
//        0     1  page type 0x04 leaf, 0x03 node      1  1  0x01
//        2     2  free space                           4  4  table definition page
//        8     4  0                                   12  4  previous page of the level
//       16     4  next page of the level              20  4  tail page (nodes)
//       24     2  length of the prefix all entries share (always 0 here)
//     0x1B  453   bitmap: bit n set where an entry ends n bytes after 0x1E0
//    0x1E0        entries

#include <cstdint>
#include <span>
#include <vector>

#include "platform/jet/jet_page_store.hpp"

// An empty leaf page as an index's root.
std::uint32_t jet_create_index_root(jet_page_store& store, std::uint32_t tdef_page);

// Bytes for entries on a page, and the longest key (a node page must hold two entries).
inline constexpr std::size_t JET_INDEX_ENTRY_AREA = 4096 - 0x1E0;
inline constexpr std::size_t JET_MAX_INDEX_KEY = JET_INDEX_ENTRY_AREA / 2 - 8;

class jet_index_pages {
public:
    jet_index_pages(std::uint32_t root_page, std::uint32_t map_row);

    void add(std::vector<std::uint8_t> key, std::uint32_t row_pointer);
    void write(jet_page_store& store, std::uint32_t tdef_page);

private:
    // A page's entries [first, end) of its level's list.
    struct page_plan {
        std::size_t first = 0;
        std::size_t end = 0;
        std::vector<std::uint8_t> last;   // node pages: the last leaf entry under them
        std::uint32_t tail = 0;
    };

    std::vector<page_plan> plan_leaves() const;
    std::uint32_t take_page(jet_page_store& store, std::size_t& used);

    std::uint32_t root;
    std::uint32_t map_row;
    std::vector<std::vector<std::uint8_t>> entries;   // sorted up to sorted_count
    std::size_t sorted_count = 0;
    std::vector<std::uint32_t> owned;                 // pages besides the root
    std::size_t leaf_pages = 1;                       // as the last write laid them out
};
