#include "platform/jet/jet_index_writer.hpp"

#include "platform/jet/jet_byte_writer.hpp"

namespace {

constexpr std::uint8_t PAGE_TYPE_LEAF = 0x04;
constexpr std::size_t FREE_SPACE_AT = 2;
constexpr std::size_t OWNER_AT = 4;
constexpr std::size_t ENTRIES_AT = 0x1E0;

}  // namespace

std::uint32_t jet_create_index_root(jet_page_store& store, std::uint32_t tdef_page) {
    std::uint32_t page_no = store.allocate(jet_page_role::content);
    std::span<std::uint8_t> page = store.change(page_no, jet_page_role::content);
    jet_put_u8(page, 0, PAGE_TYPE_LEAF);
    jet_put_u8(page, 1, 0x01);
    jet_put_u16(page, FREE_SPACE_AT, std::uint16_t(store.page_size() - ENTRIES_AT));
    jet_put_u32(page, OWNER_AT, tdef_page);
    return page_no;
}
