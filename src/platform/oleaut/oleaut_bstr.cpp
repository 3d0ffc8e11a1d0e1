// oleaut_bstr.cpp - BSTR blocks: [4-byte byte count][text bytes][2 NUL bytes]. The block
// crosses a C-style interface (SysFreeString releases it), so it is plain malloc memory.
#include "platform/oleaut/oleaut_bstr.hpp"

#include <cstdlib>
#include <cstring>
#include <limits>

namespace {

constexpr std::size_t PREFIX_BYTES = sizeof(std::uint32_t);
constexpr std::size_t TERMINATOR_BYTES = sizeof(OLECHAR);
// Keeps prefix + bytes + terminator inside the 32-bit count the prefix can state.
constexpr std::size_t MAX_BYTES = std::numeric_limits<std::uint32_t>::max() - 16;

BYTE* block_of(BSTR text) { return reinterpret_cast<BYTE*>(text) - PREFIX_BYTES; }

// Allocates a block for byte_count bytes, copies them when given and terminates it.
BSTR allocate(const void* bytes, std::size_t byte_count) {
    if (byte_count > MAX_BYTES) return nullptr;
    // One extra byte so an odd byte count still ends in a whole NUL OLECHAR.
    std::size_t total = PREFIX_BYTES + byte_count + TERMINATOR_BYTES + 1;
    auto* block = static_cast<BYTE*>(std::malloc(total));
    if (block == nullptr) return nullptr;
    std::uint32_t count = std::uint32_t(byte_count);
    std::memcpy(block, &count, PREFIX_BYTES);
    if (bytes != nullptr) {
        std::memcpy(block + PREFIX_BYTES, bytes, byte_count);
    } else {
        std::memset(block + PREFIX_BYTES, 0, byte_count);
    }
    std::memset(block + PREFIX_BYTES + byte_count, 0, TERMINATOR_BYTES + 1);
    return reinterpret_cast<BSTR>(block + PREFIX_BYTES);
}

}   // namespace

BSTR SysAllocString(LPCOLESTR text) {
    if (text == nullptr) return nullptr;
    return SysAllocStringLen(text, UINT(std::char_traits<char16_t>::length(text)));
}

BSTR SysAllocStringLen(LPCOLESTR text, UINT chars) {
    return allocate(text, std::size_t(chars) * sizeof(OLECHAR));
}

BSTR SysAllocStringByteLen(const char* bytes, UINT byte_count) {
    return allocate(bytes, byte_count);
}

void SysFreeString(BSTR text) {
    if (text != nullptr) std::free(block_of(text));
}

UINT SysStringByteLen(BSTR text) {
    if (text == nullptr) return 0;
    std::uint32_t count = 0;
    std::memcpy(&count, block_of(text), PREFIX_BYTES);
    return count;
}

UINT SysStringLen(BSTR text) { return SysStringByteLen(text) / sizeof(OLECHAR); }

std::u16string_view bstr_view(BSTR text) {
    if (text == nullptr) return {};
    return std::u16string_view(text, SysStringLen(text));
}
