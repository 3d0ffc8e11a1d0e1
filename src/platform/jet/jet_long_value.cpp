#include "platform/jet/jet_long_value.hpp"

#include <string>
#include <unordered_set>

#include "platform/jet/jet_data_page.hpp"

namespace {

std::span<const std::uint8_t> lval_row(const jet_pager& pager, std::uint32_t pointer,
                                       jet_page_ptr& keep) {
    std::uint32_t page_no = jet_data_page::pointer_page(pointer);
    keep = pager.page(page_no);
    jet_data_page page(keep, page_no, pager.is_jet3());
    jet_row_slot slot = page.slot(jet_data_page::pointer_row(pointer));
    if (slot.is_deleted)
        page.bytes().corrupt("a long value points to the deleted row "
                             + std::to_string(jet_data_page::pointer_row(pointer)));
    return page.bytes().span(slot.start, slot.end - slot.start);
}

}   // namespace

std::vector<std::uint8_t> jet_read_long_value(const jet_pager& pager, const jet_reader& field) {
    std::uint32_t head = field.u32(JET_LONG_VALUE_LENGTH);
    std::size_t length = head & JET_LONG_VALUE_LENGTH_MASK;
    if (head & JET_LONG_VALUE_INLINE) {
        std::span<const std::uint8_t> data = field.span(JET_LONG_VALUE_INLINE_DATA, length);
        return {data.begin(), data.end()};
    }
    std::uint32_t pointer = field.u32(JET_LONG_VALUE_POINTER);
    jet_page_ptr keep;
    if (head & JET_LONG_VALUE_SINGLE_ROW) {
        std::span<const std::uint8_t> row = lval_row(pager, pointer, keep);
        if (row.size() < length)
            throw jet_error::corrupt(jet_data_page::pointer_page(pointer),
                                     "a long value of " + std::to_string(length)
                                         + " bytes has a row of " + std::to_string(row.size()));
        return {row.begin(), row.begin() + std::ptrdiff_t(length)};
    }
    std::vector<std::uint8_t> value;
    value.reserve(std::min<std::size_t>(length, std::size_t(64) << 20));
    std::unordered_set<std::uint32_t> seen;
    while (value.size() < length) {
        if (pointer == 0 || !seen.insert(pointer).second)
            throw jet_error::corrupt(jet_data_page::pointer_page(pointer),
                                     "a long value chain ends or loops after "
                                         + std::to_string(value.size()) + " of "
                                         + std::to_string(length) + " bytes");
        jet_reader row(lval_row(pager, pointer, keep), jet_data_page::pointer_page(pointer));
        pointer = row.u32(JET_LONG_VALUE_NEXT_ROW);
        std::size_t take = std::min(row.size() - JET_LONG_VALUE_PART, length - value.size());
        std::span<const std::uint8_t> part = row.span(JET_LONG_VALUE_PART, take);
        value.insert(value.end(), part.begin(), part.end());
    }
    return value;
}
