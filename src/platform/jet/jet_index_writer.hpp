#pragma once
// jet_index_writer.hpp - the pages of a table's indexes. Jet 4 / ACE leaf page (type 0x04):
//   OFFSET  SIZE  MEANING
//        0     1  page type 0x04            1  1  0x01
//        2     2  free space                4  4  table definition page
//        8     4  previous leaf            12  4  next leaf
//       16     4  tail page                20  2  length of the prefix all entries share
//     0x1B        bitmap of where entries end; entries start at 0x1E0

#include <cstdint>

#include "platform/jet/jet_page_store.hpp"

// An empty leaf page as an index's root.
std::uint32_t jet_create_index_root(jet_page_store& store, std::uint32_t tdef_page);
