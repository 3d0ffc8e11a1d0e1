#include "platform/jet/jet_catalog.hpp"

#include "platform/winbase/win_compare.hpp"

namespace {

constexpr std::uint32_t SYSTEM_FLAGS = 0x80000002u;

bool starts_with_ignore_case(std::u16string_view text, std::u16string_view prefix) {
    return text.size() >= prefix.size()
           && win_equal_ignore_case(text.substr(0, prefix.size()), prefix);
}

}   // namespace

bool jet_is_system_name(std::u16string_view name) {
    return starts_with_ignore_case(name, u"MSys") || starts_with_ignore_case(name, u"~");
}

bool jet_catalog_entry::is_system() const {
    return (flags & SYSTEM_FLAGS) != 0 || jet_is_system_name(name);
}

// ODBC-linked tables also carry the linked bit, so code that skips linked tables by
// 0x40000000 skips them as well.
std::uint32_t jet_catalog_entry::dao_attributes() const {
    std::uint32_t attributes = 0;
    if (is_system()) attributes |= DAO_TABLE_SYSTEM;
    if (type == JET_OBJECT_LINKED_ACCESS) attributes |= DAO_TABLE_ATTACHED;
    if (type == JET_OBJECT_LINKED_ODBC) attributes |= DAO_TABLE_ATTACHED | DAO_TABLE_ATTACHED_ODBC;
    return attributes;
}
