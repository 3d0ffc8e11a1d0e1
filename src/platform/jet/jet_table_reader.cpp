#include "platform/jet/jet_table_reader.hpp"

#include <string>

#include "platform/jet/jet_row.hpp"

jet_table_reader::jet_table_reader(const jet_pager& owner, const jet_table_def& def)
    : pager(owner), definition(def),
      text(owner.is_jet3(), owner.header().code_page), decoder(owner, text),
      pages(owner, def.owned_pages_row) {
    std::size_t fixed_seen = 0;
    for (const jet_column& column : definition.columns)
        fixed_ordinals.push_back(column.is_fixed() ? fixed_seen++ : 0);
}

bool jet_table_reader::advance_page() {
    while (std::optional<std::uint32_t> page_no = pages.next()) {
        jet_page_ptr bytes = pager.page(*page_no);
        // Usage maps may still list pages the table gave up; only its own data pages count.
        jet_reader probe(*bytes, *page_no);
        if (probe.u8(0) != JET_PAGE_DATA || probe.u32(4) != definition.tdef_page) continue;
        page.emplace(bytes, *page_no, pager.is_jet3());
        row_idx = 0;
        row_count = page->row_count();
        return true;
    }
    page.reset();
    return false;
}

bool jet_table_reader::next(std::vector<jet_value>& values) {
    for (;;) {
        if (!page || row_idx >= row_count) {
            if (!advance_page()) return false;
            continue;
        }
        jet_row_slot slot = page->slot(row_idx++);
        if (slot.is_deleted) continue;
        if (slot.is_overflow) {
            decode_overflow(slot, values);
        } else {
            decode_row(page->bytes(), slot, values);
        }
        return true;
    }
}

// The row moved to another page; its new place carries the deleted flag so that a scan
// meets it only through this pointer.
void jet_table_reader::decode_overflow(const jet_row_slot& slot,
                                       std::vector<jet_value>& values) const {
    const jet_reader& here = page->bytes();
    std::uint16_t target_row = here.u8(slot.start);
    std::uint32_t target_page = here.u24(slot.start + 1);
    jet_data_page target(pager.page(target_page), target_page, pager.is_jet3());
    if (target.owner_page() != definition.tdef_page)
        target.bytes().corrupt("an overflow row points into another table's page");
    jet_row_slot moved = target.moved_row(target_row);
    decode_row(target.bytes(), moved, values);
}

void jet_table_reader::decode_row(const jet_reader& bytes, const jet_row_slot& slot,
                                  std::vector<jet_value>& values) const {
    jet_row row(bytes, slot.start, slot.end, pager.is_jet3(), definition.var_column_count);
    values.resize(definition.columns.size());
    for (std::size_t column_idx = 0; column_idx < definition.columns.size(); ++column_idx) {
        const jet_column& column = definition.columns[column_idx];
        if (column.type_code == JET_TYPE_BOOLEAN && !column.is_calculated()) {
            values[column_idx] = jet_value(row.mask_bit(column.column_number));
            continue;
        }
        jet_field field = row.field(column, fixed_ordinals[column_idx]);
        if (!field.is_present) {
            values[column_idx] = jet_value();
            continue;
        }
        values[column_idx] = decoder.decode(column, jet_reader(field.bytes, bytes.page()));
    }
}
