#pragma once
// jet_index_writer.hpp - the pages of one index of a table being written. Entries (the key,
// then the row's page as 3 bytes big-endian and its row number) are kept sorted in memory;
// write() lays them out again whenever rows came since the last time: leaf pages linked in
// key order, and when they are more than one, node pages above them whose entries are a
// child's last entry followed by its page number (4 bytes big-endian), the last child of each
// node being its "tail" page rather than an entry. The top page is always the root named in
// the table definition. Pages are reused from one write to the next and new ones recorded in
// the index's usage map. A Jet 4 / ACE index page, the only kind written; little-endian:
//   OFFSET  SIZE  MEANING
//        0     1  page type: 0x04 leaf, 0x03 node
//        1     1  0x01
//        2     2  free space in bytes
//        4     4  table definition page that owns the index
//        8     4  0
//       12     4  previous page of the same level (0 for the first)
//       16     4  next page of the same level (0 for the last)
//       20     4  tail page (nodes; 0 on leaves)
//       24     2  length of the prefix all entries share (always 0 here)
//     0x1B   453  bitmap: bit n set where an entry ends n bytes after 0x1E0
//    0x1E0     .  entries, to the end of the page

#include <cstdint>
#include <span>
#include <vector>

#include "platform/jet/jet_page_store.hpp"

// An empty leaf page as an index's root.
std::uint32_t jet_create_index_root(jet_page_store& store, std::uint32_t tdef_page);

inline constexpr std::uint8_t JET_PAGE_INDEX_NODE = 0x03;
inline constexpr std::uint8_t JET_PAGE_INDEX_LEAF = 0x04;

inline constexpr std::size_t JET_INDEX_PAGE_SIZE = 4096;
inline constexpr std::size_t JET_INDEX_PAGE_TYPE = 0;
inline constexpr std::size_t JET_INDEX_PAGE_MARK = 1;   // holds 0x01
inline constexpr std::size_t JET_INDEX_PAGE_FREE_SPACE = 2;
inline constexpr std::size_t JET_INDEX_PAGE_OWNER = 4;
inline constexpr std::size_t JET_INDEX_PAGE_PREVIOUS = 12;
inline constexpr std::size_t JET_INDEX_PAGE_NEXT = 16;
inline constexpr std::size_t JET_INDEX_PAGE_TAIL = 20;
inline constexpr std::size_t JET_INDEX_PAGE_ENTRY_ENDS = 0x1B;
inline constexpr std::size_t JET_INDEX_PAGE_ENTRIES = 0x1E0;
// An entry ends with the row's pointer; a node entry then names its child page.
inline constexpr std::size_t JET_INDEX_ROW_POINTER_SIZE = 4;
inline constexpr std::size_t JET_INDEX_NODE_CHILD_SIZE = 4;

// Bytes for entries on a page, and the longest key (a node page must hold two entries).
inline constexpr std::size_t JET_INDEX_ENTRY_AREA = JET_INDEX_PAGE_SIZE - JET_INDEX_PAGE_ENTRIES;
inline constexpr std::size_t JET_MAX_INDEX_KEY = JET_INDEX_ENTRY_AREA / 2
                                                 - JET_INDEX_ROW_POINTER_SIZE
                                                 - JET_INDEX_NODE_CHILD_SIZE;

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
    std::vector<std::uint32_t> owned;   // pages besides the root
    std::size_t leaf_pages = 1;         // as the last write laid them out
};
