#include "platform/jet/jet_long_value_writer.hpp"

#include <algorithm>

#include "platform/jet/jet_byte_writer.hpp"
#include "platform/jet/jet_data_page_writer.hpp"
#include "platform/jet/jet_error.hpp"
#include "platform/jet/jet_long_value.hpp"

namespace {

constexpr std::size_t MAX_INLINE = 64;
constexpr std::size_t MAX_LENGTH = JET_LONG_VALUE_LENGTH_MASK;
constexpr int JET_ERR_FIELD_TOO_SMALL = 3163;

std::vector<std::uint8_t> head(std::uint32_t length_word, std::uint32_t pointer) {
    std::vector<std::uint8_t> field(JET_LONG_VALUE_INLINE_DATA, 0);
    jet_put_u32(field, JET_LONG_VALUE_LENGTH, length_word);
    jet_put_u32(field, JET_LONG_VALUE_POINTER, pointer);
    return field;
}

}   // namespace

std::uint32_t jet_long_value_writer::place(std::span<const std::uint8_t> row) {
    if (current_page != 0) {
        std::span<std::uint8_t> page = store.change(current_page, jet_page_role::content);
        if (std::optional<std::uint16_t> row_no = jet_add_row(page, row))
            return jet_row_pointer(current_page, *row_no);
    }
    current_page = store.allocate(jet_page_role::content);
    std::span<std::uint8_t> page = store.change(current_page, jet_page_role::content);
    jet_init_data_page(page, JET_OWNER_LONG_VALUES);
    return jet_row_pointer(current_page, *jet_add_row(page, row));
}

std::vector<std::uint8_t> jet_long_value_writer::store_value(std::span<const std::uint8_t> value) {
    if (value.size() > MAX_LENGTH)
        throw jet_error(JET_ERR_FIELD_TOO_SMALL, "The field is too small to accept the amount "
                                                 "of data you attempted to add.");
    std::uint32_t length = std::uint32_t(value.size());
    if (value.size() <= MAX_INLINE) {
        std::vector<std::uint8_t> field = head(length | JET_LONG_VALUE_INLINE, 0);
        field.insert(field.end(), value.begin(), value.end());
        return field;
    }
    std::size_t capacity = jet_data_page_capacity(store.page_size());
    if (value.size() <= capacity) return head(length | JET_LONG_VALUE_SINGLE_ROW, place(value));
    // A chain: each piece fills a page of its own; written from the last piece back so
    // every row can hold the pointer to the one after it.
    std::size_t piece = capacity - JET_LONG_VALUE_PART;
    std::size_t pieces = (value.size() + piece - 1) / piece;
    std::uint32_t next = 0;
    for (std::size_t piece_idx = pieces; piece_idx-- > 0;) {
        std::size_t from = piece_idx * piece;
        std::size_t size = std::min(piece, value.size() - from);
        std::vector<std::uint8_t> row(JET_LONG_VALUE_PART + size);
        jet_put_u32(row, JET_LONG_VALUE_NEXT_ROW, next);
        std::copy_n(value.begin() + std::ptrdiff_t(from), size,
                    row.begin() + std::ptrdiff_t(JET_LONG_VALUE_PART));
        std::uint32_t page_no = store.allocate(jet_page_role::content);
        std::span<std::uint8_t> page = store.change(page_no, jet_page_role::content);
        jet_init_data_page(page, JET_OWNER_LONG_VALUES);
        next = jet_row_pointer(page_no, *jet_add_row(page, row));
    }
    return head(length, next);
}
