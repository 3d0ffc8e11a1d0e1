// jet_table_def_reader.cpp - decodes a table definition (TDEF) chain of Jet 3 or Jet 4 / ACE,
// in the layout jet_table_def_layout.hpp draws.
#include "platform/jet/jet_table_def_reader.hpp"

#include <algorithm>
#include <unordered_set>
#include <vector>

#include "platform/jet/jet_pager.hpp"
#include "platform/jet/jet_reader.hpp"
#include "platform/jet/jet_table_def_layout.hpp"
#include "platform/jet/jet_text.hpp"

namespace {

// The definition spans pages linked from JET_TDEF_NEXT_PAGE; later pages add their bytes
// after their header.
std::vector<std::uint8_t> read_chain(const jet_pager& pager, std::uint32_t first_page) {
    std::vector<std::uint8_t> buffer;
    std::unordered_set<std::uint32_t> seen;
    std::uint32_t page_no = first_page;
    while (page_no != 0) {
        if (!seen.insert(page_no).second)
            throw jet_error::corrupt(page_no, "the table definition's page chain loops");
        jet_page_ptr page = pager.page(page_no);
        jet_reader reader(*page, page_no);
        const std::uint8_t page_type = reader.u8(JET_TDEF_PAGE_TYPE);
        if (page_type != JET_PAGE_TDEF)
            reader.corrupt("a table definition page has type " + std::to_string(page_type));
        std::size_t skip = buffer.empty() ? 0 : JET_TDEF_CONTINUATION_SKIP;
        buffer.insert(buffer.end(), page->begin() + std::ptrdiff_t(skip), page->end());
        page_no = reader.u32(JET_TDEF_NEXT_PAGE);
    }
    return buffer;
}

class tdef_parser {
public:
    tdef_parser(const jet_pager& pager, const jet_text_decoder& text, std::uint32_t page_no,
                const std::vector<std::uint8_t>& bytes)
        : layout(pager.is_jet3() ? JET3_TDEF_LAYOUT : JET4_TDEF_LAYOUT), jet3(pager.is_jet3()),
          decoder(text), reader(bytes, page_no) {}

    jet_table_def parse(const std::u16string& name) {
        jet_table_def def;
        def.name = name;
        def.tdef_page = reader.page();
        def.stored_row_count = reader.u32(layout.num_rows);
        def.is_system = reader.u8(layout.table_type) == JET_TABLE_TYPE_SYSTEM;
        def.var_column_count = reader.u16(layout.num_var_cols);
        def.owned_pages_row = reader.u32(layout.owned_pages);
        std::uint16_t column_count = reader.u16(layout.num_cols);
        std::uint32_t logical_count = reader.u32(layout.num_idx);
        std::uint32_t real_count = reader.u32(layout.num_real_idx);
        if (real_count > 1000 || logical_count > 1000)
            reader.corrupt("the table definition declares " + std::to_string(logical_count)
                           + " indexes");
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
        column.type_code = reader.u8(at + JET_TDEF_COLUMN_TYPE);
        column.column_number = reader.u16(at + layout.col_number);
        column.var_index = reader.u16(at + layout.col_var_index);
        column.sort_order = reader.u16(at + layout.col_sort_order);
        column.precision = reader.u8(at + JET_TDEF_COLUMN_PRECISION);
        column.scale = reader.u8(at + JET_TDEF_COLUMN_SCALE);
        column.flags = reader.u8(at + layout.col_flags);
        column.ext_flags = jet3 ? 0 : reader.u8(at + layout.col_ext_flags);
        column.fixed_offset = reader.u16(at + layout.col_fixed_offset);
        column.size_bytes = reader.u16(at + layout.col_length);
        column.bytes_per_char = jet3 ? 1 : 2;
        if (column.type_code == JET_TYPE_COMPLEX && !jet3)
            column.complex_id = reader.i32(at + JET4_TDEF_COLUMN_COMPLEX_ID);
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
            for (int slot = 0; slot < JET_INDEX_COLUMN_SLOTS; ++slot) {
                const std::size_t slot_at = at + std::size_t(slot) * JET_INDEX_COLUMN_SLOT_SIZE;
                std::uint16_t column_number = reader.u16(slot_at);
                if (column_number == JET_INDEX_NO_COLUMN) continue;
                bool ascending = reader.u8(slot_at + JET_INDEX_SLOT_ORDER)
                                 == JET_INDEX_ORDER_ASCENDING;
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
            index.index_number = reader.u32(at + JET_LOGICAL_INDEX_NUMBER);
            index.real_index = reader.u32(at + JET_LOGICAL_INDEX_REAL_NUMBER);
            std::uint8_t index_type = reader.u8(at + JET_LOGICAL_INDEX_TYPE);
            index.is_primary = index_type == JET_INDEX_TYPE_PRIMARY;
            index.is_foreign_key = index_type == JET_INDEX_TYPE_FOREIGN;
            if (index.real_index >= reals.size())
                reader.corrupt("index " + std::to_string(index_idx) + " names physical index "
                               + std::to_string(index.real_index));
            const real_index& real = reals[index.real_index];
            index.flags = real.flags;
            for (const auto& [column_number, ascending] : real.columns)
                index.columns.push_back(
                    {column_name(def, column_number), column_number, ascending});
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

    const jet_tdef_layout& layout;
    bool jet3;
    const jet_text_decoder& decoder;
    jet_reader reader;
    std::size_t position = 0;
};

}   // namespace

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
