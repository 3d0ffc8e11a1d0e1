// jet_table_def_reader.cpp - decodes a table definition (TDEF) chain. Little-endian; the
// offsets of Jet 3 and of Jet 4 / ACE (the writer's table in jet_table_def_writer.hpp):
//   JET 3  JET 4  SIZE  MEANING
//       0      0     1  page type 0x02
//       4      4     4  next definition page (0 = last); later pages add their bytes after 8
//      12     16     4  row count
//      20     40     1  table type: 0x4E user, 0x53 system
//      23     43     2  variable columns
//      25     45     2  columns
//      27     47     4  logical indexes
//      31     51     4  physical indexes
//      35     55     4  owned pages map (row pointer)
//      43     63        physical index counts (8 / 12 bytes each), then the column entries
// A column entry (18 / 25 bytes):
//       0      0     1  type code
//       1      5     2  column number
//       3      7     2  index among the variable columns
//       9     11     2  sort order (text); 11 and 12 precision and scale (numeric); Jet 4
//                       11 4 complex column id (attachment, multi-value)
//      13     15     1  flags
//       -     16     1  extended flags
//      14     21     2  offset among the fixed columns
//      16     23     2  length in bytes
// Then the column names (1 / 2-byte length, text), the index entries and the index names.
// A physical index entry (39 / 52 bytes) starts with 0 / 4 bytes of its own, then:
//       0            30  ten column slots: 2 column number (0xFFFF unused), 1 order (0x01
//                        ascending)
//      30             4  usage map of its pages       34  4  first index page
//      38     42      1  flags: 0x01 unique, 0x02 ignore nulls, 0x08 required (Jet 4 has
//                        4 bytes of its own before them)
// A logical index entry (20 / 28 bytes) starts with 0 / 4 bytes of its own, then:
//       0             4  index number
//       4             4  physical index number
//       8             1  related table type       9  4  related index
//      13             4  related table page      17  1  cascade updates   18  1  deletes
//      19             1  index type: 0x01 primary key, 0x02 foreign key
#include "platform/jet/jet_table_def_reader.hpp"

#include <algorithm>
#include <unordered_set>
#include <vector>

#include "platform/jet/jet_pager.hpp"
#include "platform/jet/jet_reader.hpp"
#include "platform/jet/jet_text.hpp"

namespace {

constexpr std::uint8_t PAGE_TYPE_TDEF = 0x02;
constexpr std::uint16_t NO_COLUMN = 0xFFFF;
constexpr std::uint8_t INDEX_TYPE_PRIMARY = 1;
constexpr std::uint8_t INDEX_TYPE_FOREIGN = 2;

// Index entries, counted after their own leading bytes (real_idx_def_skip, logical_idx_skip).
constexpr int INDEX_COLUMN_SLOTS = 10;
constexpr std::size_t INDEX_COLUMN_SLOT_SIZE = 3;
constexpr std::size_t INDEX_SLOT_ORDER = 2;
constexpr std::uint8_t INDEX_ORDER_ASCENDING = 0x01;
constexpr std::size_t JET3_REAL_INDEX_FLAGS = 38;
constexpr std::size_t JET4_REAL_INDEX_FLAGS = 42;
constexpr std::size_t LOGICAL_INDEX_NUMBER = 0;
constexpr std::size_t LOGICAL_INDEX_REAL_NUMBER = 4;
constexpr std::size_t LOGICAL_INDEX_TYPE = 19;

// The offsets and sizes that differ between Jet 3 and Jet 4 / ACE (the table above).
struct tdef_layout {
    std::size_t num_rows, table_type, num_var_cols, num_cols, num_idx, num_real_idx, owned_pages;
    std::size_t real_idx_start, real_idx_entry, column_entry, name_length_size;
    std::size_t real_idx_def, real_idx_def_skip, logical_idx_entry, logical_idx_skip;
    // column entry
    std::size_t col_number, col_var_index, col_sort_order, col_flags, col_ext_flags;
    std::size_t col_fixed_offset, col_length;
};

constexpr tdef_layout JET3_LAYOUT{
    .num_rows = 12, .table_type = 20, .num_var_cols = 23, .num_cols = 25, .num_idx = 27,
    .num_real_idx = 31, .owned_pages = 35,
    .real_idx_start = 43, .real_idx_entry = 8, .column_entry = 18, .name_length_size = 1,
    .real_idx_def = 39, .real_idx_def_skip = 0, .logical_idx_entry = 20, .logical_idx_skip = 0,
    .col_number = 1, .col_var_index = 3, .col_sort_order = 9, .col_flags = 13,
    .col_ext_flags = 0,   // Jet 3 has none; never read
    .col_fixed_offset = 14, .col_length = 16};
constexpr tdef_layout JET4_LAYOUT{
    .num_rows = 16, .table_type = 40, .num_var_cols = 43, .num_cols = 45, .num_idx = 47,
    .num_real_idx = 51, .owned_pages = 55,
    .real_idx_start = 63, .real_idx_entry = 12, .column_entry = 25, .name_length_size = 2,
    .real_idx_def = 52, .real_idx_def_skip = 4, .logical_idx_entry = 28, .logical_idx_skip = 4,
    .col_number = 5, .col_var_index = 7, .col_sort_order = 11, .col_flags = 15,
    .col_ext_flags = 16, .col_fixed_offset = 21, .col_length = 23};

// Offsets the two formats share.
constexpr std::size_t TDEF_PAGE_TYPE = 0;
constexpr std::size_t TDEF_NEXT_PAGE = 4;
constexpr std::size_t TDEF_CONTINUATION_SKIP = 8;   // header bytes of a later page
constexpr std::size_t COLUMN_TYPE = 0;
constexpr std::size_t COLUMN_PRECISION = 11;
constexpr std::size_t COLUMN_SCALE = 12;
constexpr std::size_t COLUMN_COMPLEX_ID = 11;   // Jet 4 / ACE complex columns
constexpr std::uint8_t TABLE_TYPE_SYSTEM = 0x53;

// The definition spans pages linked from TDEF_NEXT_PAGE; later pages add their bytes after
// their header.
std::vector<std::uint8_t> read_chain(const jet_pager& pager, std::uint32_t first_page) {
    std::vector<std::uint8_t> buffer;
    std::unordered_set<std::uint32_t> seen;
    std::uint32_t page_no = first_page;
    while (page_no != 0) {
        if (!seen.insert(page_no).second)
            throw jet_error::corrupt(page_no, "the table definition's page chain loops");
        jet_page_ptr page = pager.page(page_no);
        jet_reader reader(*page, page_no);
        const std::uint8_t page_type = reader.u8(TDEF_PAGE_TYPE);
        if (page_type != PAGE_TYPE_TDEF)
            reader.corrupt("a table definition page has type " + std::to_string(page_type));
        std::size_t skip = buffer.empty() ? 0 : TDEF_CONTINUATION_SKIP;
        buffer.insert(buffer.end(), page->begin() + std::ptrdiff_t(skip), page->end());
        page_no = reader.u32(TDEF_NEXT_PAGE);
    }
    return buffer;
}

class tdef_parser {
public:
    tdef_parser(const jet_pager& pager, const jet_text_decoder& text, std::uint32_t page_no,
                const std::vector<std::uint8_t>& bytes)
        : layout(pager.is_jet3() ? JET3_LAYOUT : JET4_LAYOUT), jet3(pager.is_jet3()),
          decoder(text), reader(bytes, page_no) {}

    jet_table_def parse(const std::u16string& name) {
        jet_table_def def;
        def.name = name;
        def.tdef_page = reader.page();
        def.stored_row_count = reader.u32(layout.num_rows);
        def.is_system = reader.u8(layout.table_type) == TABLE_TYPE_SYSTEM;
        def.var_column_count = reader.u16(layout.num_var_cols);
        def.owned_pages_row = reader.u32(layout.owned_pages);
        std::uint16_t column_count = reader.u16(layout.num_cols);
        std::uint32_t logical_count = reader.u32(layout.num_idx);
        std::uint32_t real_count = reader.u32(layout.num_real_idx);
        if (real_count > 1000 || logical_count > 1000)
            reader.corrupt("the table definition declares " + std::to_string(logical_count) +
                           " indexes");
        position = layout.real_idx_start + real_count * layout.real_idx_entry;
        read_columns(def, column_count);
        std::vector<real_index> reals = read_real_indexes(real_count);
        read_logical_indexes(def, reals, logical_count);
        return def;
    }

private:
    struct real_index {
        std::vector<std::pair<std::uint16_t, bool>> columns;
        std::uint8_t flags = 0;
    };

    std::u16string read_name() {
        std::size_t length = layout.name_length_size == 1 ? reader.u8(position)
                                                          : reader.u16(position);
        position += layout.name_length_size;
        std::u16string name = decoder.decode(reader.span(position, length));
        position += length;
        return name;
    }

    jet_column read_column(std::size_t at) {
        jet_column column;
        column.type_code = reader.u8(at + COLUMN_TYPE);
        column.column_number = reader.u16(at + layout.col_number);
        column.var_index = reader.u16(at + layout.col_var_index);
        column.sort_order = reader.u16(at + layout.col_sort_order);
        column.precision = reader.u8(at + COLUMN_PRECISION);
        column.scale = reader.u8(at + COLUMN_SCALE);
        column.flags = reader.u8(at + layout.col_flags);
        column.ext_flags = jet3 ? 0 : reader.u8(at + layout.col_ext_flags);
        column.fixed_offset = reader.u16(at + layout.col_fixed_offset);
        column.size_bytes = reader.u16(at + layout.col_length);
        column.bytes_per_char = jet3 ? 1 : 2;
        if (column.type_code == JET_TYPE_COMPLEX && !jet3)
            column.complex_id = reader.i32(at + COLUMN_COMPLEX_ID);
        return column;
    }

    void read_columns(jet_table_def& def, std::uint16_t column_count) {
        for (std::uint16_t column_idx = 0; column_idx < column_count; ++column_idx) {
            def.columns.push_back(read_column(position));
            position += layout.column_entry;
        }
        for (jet_column& column : def.columns) column.name = read_name();
        std::stable_sort(def.columns.begin(), def.columns.end(),
                         [](const jet_column& left, const jet_column& right) {
                             return left.column_number < right.column_number;
                         });
    }

    std::vector<real_index> read_real_indexes(std::uint32_t real_count) {
        std::vector<real_index> reals(real_count);
        for (real_index& real : reals) {
            std::size_t at = position + layout.real_idx_def_skip;
            for (int slot = 0; slot < INDEX_COLUMN_SLOTS; ++slot) {
                const std::size_t slot_at = at + std::size_t(slot) * INDEX_COLUMN_SLOT_SIZE;
                std::uint16_t column_number = reader.u16(slot_at);
                if (column_number == NO_COLUMN) continue;
                bool ascending = reader.u8(slot_at + INDEX_SLOT_ORDER) == INDEX_ORDER_ASCENDING;
                real.columns.emplace_back(column_number, ascending);
            }
            real.flags = reader.u8(at + (jet3 ? JET3_REAL_INDEX_FLAGS : JET4_REAL_INDEX_FLAGS));
            position += layout.real_idx_def;
        }
        return reals;
    }

    void read_logical_indexes(jet_table_def& def, const std::vector<real_index>& reals,
                              std::uint32_t logical_count) {
        for (std::uint32_t index_idx = 0; index_idx < logical_count; ++index_idx) {
            std::size_t at = position + layout.logical_idx_skip;
            jet_index index;
            index.index_number = reader.u32(at + LOGICAL_INDEX_NUMBER);
            index.real_index = reader.u32(at + LOGICAL_INDEX_REAL_NUMBER);
            std::uint8_t index_type = reader.u8(at + LOGICAL_INDEX_TYPE);
            index.is_primary = index_type == INDEX_TYPE_PRIMARY;
            index.is_foreign_key = index_type == INDEX_TYPE_FOREIGN;
            if (index.real_index >= reals.size())
                reader.corrupt("index " + std::to_string(index_idx) + " names physical index " +
                               std::to_string(index.real_index));
            const real_index& real = reals[index.real_index];
            index.flags = real.flags;
            for (const auto& [column_number, ascending] : real.columns)
                index.columns.push_back({column_name(def, column_number), column_number,
                                         ascending});
            def.indexes.push_back(std::move(index));
            position += layout.logical_idx_entry;
        }
        for (jet_index& index : def.indexes) index.name = read_name();
    }

    std::u16string column_name(const jet_table_def& def, std::uint16_t column_number) const {
        for (const jet_column& column : def.columns)
            if (column.column_number == column_number) return column.name;
        reader.corrupt("an index names the missing column " + std::to_string(column_number));
    }

    const tdef_layout& layout;
    bool jet3;
    const jet_text_decoder& decoder;
    jet_reader reader;
    std::size_t position = 0;
};

}  // namespace

jet_table_def jet_read_table_def(const jet_pager& pager, const jet_text_decoder& text,
                                 std::uint32_t tdef_page, const std::u16string& name) {
    try {
        std::vector<std::uint8_t> bytes = read_chain(pager, tdef_page);
        return tdef_parser(pager, text, tdef_page, bytes).parse(name);
    } catch (jet_error& error) {
        error.set_table(jet_utf8(name));
        throw;
    }
}
