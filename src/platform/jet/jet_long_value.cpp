#include "platform/jet/jet_long_value.hpp"

#include <string>
#include <unordered_set>

#include "platform/jet/jet_data_page.hpp"

namespace {

constexpr std::uint32_t INLINE_FLAG = 0x80000000u;
constexpr std::uint32_t SINGLE_ROW_FLAG = 0x40000000u;
constexpr std::uint32_t LENGTH_MASK = 0x3FFFFFFFu;
constexpr std::size_t HEADER_SIZE = 12;
constexpr std::size_t NEXT_POINTER_SIZE = 4;

std::span<const std::uint8_t> lval_row(const jet_pager& pager, std::uint32_t pointer,
                                       jet_page_ptr& keep) {
    std::uint32_t page_no = jet_data_page::pointer_page(pointer);
    keep = pager.page(page_no);
    jet_data_page page(keep, page_no, pager.is_jet3());
    jet_row_slot slot = page.slot(jet_data_page::pointer_row(pointer));
    if (slot.is_deleted)
        page.bytes().corrupt("a long value points to the deleted row " +
                             std::to_string(jet_data_page::pointer_row(pointer)));
    return page.bytes().span(slot.start, slot.end - slot.start);
}

}  // namespace

std::vector<std::uint8_t> jet_read_long_value(const jet_pager& pager, const jet_reader& field) {
    std::uint32_t head = field.u32(0);
    std::size_t length = head & LENGTH_MASK;
    if (head & INLINE_FLAG) {
        std::span<const std::uint8_t> data = field.span(HEADER_SIZE, length);
        return {data.begin(), data.end()};
    }
    std::uint32_t pointer = field.u32(4);
    jet_page_ptr keep;
    if (head & SINGLE_ROW_FLAG) {
        std::span<const std::uint8_t> row = lval_row(pager, pointer, keep);
        if (row.size() < length)
            throw jet_error::corrupt(jet_data_page::pointer_page(pointer),
                                     "a long value of " + std::to_string(length) +
                                         " bytes has a row of " + std::to_string(row.size()));
        return {row.begin(), row.begin() + std::ptrdiff_t(length)};
    }
    std::vector<std::uint8_t> value;
    value.reserve(std::min<std::size_t>(length, std::size_t(64) << 20));
    std::unordered_set<std::uint32_t> seen;
    while (value.size() < length) {
        if (pointer == 0 || !seen.insert(pointer).second)
            throw jet_error::corrupt(jet_data_page::pointer_page(pointer),
                                     "a long value chain ends or loops after " +
                                         std::to_string(value.size()) + " of " +
                                         std::to_string(length) + " bytes");
        jet_reader row(lval_row(pager, pointer, keep), jet_data_page::pointer_page(pointer));
        pointer = row.u32(0);
        std::size_t take = std::min(row.size() - NEXT_POINTER_SIZE, length - value.size());
        std::span<const std::uint8_t> part = row.span(NEXT_POINTER_SIZE, take);
        value.insert(value.end(), part.begin(), part.end());
    }
    return value;
}
