// oleaut_guid.cpp - the braced text form of a GUID: Data1 as 8 hex digits, Data2 and Data3 as
// 4, then Data4 as 4 and 12, upper case, joined by hyphens.
#include "platform/oleaut/oleaut_guid.hpp"

namespace {

constexpr char16_t HEX_DIGITS[] = u"0123456789ABCDEF";

void put_hex(std::u16string& out, std::uint64_t number, int digits) {
    for (int shift = (digits - 1) * 4; shift >= 0; shift -= 4) {
        out.push_back(HEX_DIGITS[(number >> shift) & 0xF]);
    }
}

int hex_value(char16_t c) {
    if (c >= u'0' && c <= u'9') return c - u'0';
    if (c >= u'A' && c <= u'F') return c - u'A' + 10;
    if (c >= u'a' && c <= u'f') return c - u'a' + 10;
    return -1;
}

// Reads digits hex digits at text[at...]; false when one is not a hex digit.
bool read_hex(std::u16string_view text, std::size_t at, int digits, std::uint64_t* number) {
    std::uint64_t result = 0;
    for (int digit_idx = 0; digit_idx < digits; ++digit_idx) {
        int digit = hex_value(text[at + digit_idx]);
        if (digit < 0) return false;
        result = (result << 4) | std::uint64_t(digit);
    }
    *number = result;
    return true;
}

}   // namespace

std::u16string guid_to_wstring(const GUID& guid) {
    std::u16string text = u"{";
    put_hex(text, guid.Data1, 8);
    text.push_back(u'-');
    put_hex(text, guid.Data2, 4);
    text.push_back(u'-');
    put_hex(text, guid.Data3, 4);
    text.push_back(u'-');
    put_hex(text, guid.Data4[0], 2);
    put_hex(text, guid.Data4[1], 2);
    text.push_back(u'-');
    for (int byte_idx = 2; byte_idx < 8; ++byte_idx) put_hex(text, guid.Data4[byte_idx], 2);
    text.push_back(u'}');
    return text;
}

std::string guid_to_string(const GUID& guid) {
    std::u16string wide = guid_to_wstring(guid);
    return std::string(wide.begin(), wide.end());   // ASCII only
}

int StringFromGUID2(REFIID guid, LPOLESTR out, int max_chars) {
    if (out == nullptr || max_chars < int(GUID_TEXT_CHARS + 1)) return 0;
    std::u16string text = guid_to_wstring(guid);
    text.copy(out, text.size());
    out[text.size()] = u'\0';
    return int(text.size() + 1);
}

HRESULT guid_from_wstring(std::u16string_view text, GUID* guid) {
    if (guid == nullptr) return E_INVALIDARG;
    if (text.size() != GUID_TEXT_CHARS || text.front() != u'{' || text.back() != u'}'
        || text[9] != u'-' || text[14] != u'-' || text[19] != u'-' || text[24] != u'-') {
        return CO_E_CLASSSTRING;
    }
    GUID result{};
    std::uint64_t number = 0;
    if (!read_hex(text, 1, 8, &number)) return CO_E_CLASSSTRING;
    result.Data1 = std::uint32_t(number);
    if (!read_hex(text, 10, 4, &number)) return CO_E_CLASSSTRING;
    result.Data2 = std::uint16_t(number);
    if (!read_hex(text, 15, 4, &number)) return CO_E_CLASSSTRING;
    result.Data3 = std::uint16_t(number);
    const std::size_t byte_at[8] = {20, 22, 25, 27, 29, 31, 33, 35};
    for (int byte_idx = 0; byte_idx < 8; ++byte_idx) {
        if (!read_hex(text, byte_at[byte_idx], 2, &number)) return CO_E_CLASSSTRING;
        result.Data4[byte_idx] = std::uint8_t(number);
    }
    *guid = result;
    return S_OK;
}

HRESULT CLSIDFromString(LPCOLESTR text, CLSID* guid) {
    if (text == nullptr) return CO_E_CLASSSTRING;
    return guid_from_wstring(std::u16string_view(text), guid);
}

GUID guid_from_bytes(const guid_bytes& bytes) {
    GUID guid{};
    guid.Data1 = std::uint32_t(bytes[0]) | std::uint32_t(bytes[1]) << 8
                 | std::uint32_t(bytes[2]) << 16 | std::uint32_t(bytes[3]) << 24;
    guid.Data2 = std::uint16_t(bytes[4] | bytes[5] << 8);
    guid.Data3 = std::uint16_t(bytes[6] | bytes[7] << 8);
    for (int byte_idx = 0; byte_idx < 8; ++byte_idx) guid.Data4[byte_idx] = bytes[8 + byte_idx];
    return guid;
}

guid_bytes guid_to_bytes(const GUID& guid) {
    guid_bytes bytes{};
    for (int byte_idx = 0; byte_idx < 4; ++byte_idx) {
        bytes[byte_idx] = std::uint8_t(guid.Data1 >> (8 * byte_idx));
    }
    for (int byte_idx = 0; byte_idx < 2; ++byte_idx) {
        bytes[4 + byte_idx] = std::uint8_t(guid.Data2 >> (8 * byte_idx));
        bytes[6 + byte_idx] = std::uint8_t(guid.Data3 >> (8 * byte_idx));
    }
    for (int byte_idx = 0; byte_idx < 8; ++byte_idx) bytes[8 + byte_idx] = guid.Data4[byte_idx];
    return bytes;
}

guid_bytes guid_to_text_order_bytes(const GUID& guid) {
    guid_bytes bytes{};
    for (int byte_idx = 0; byte_idx < 4; ++byte_idx) {
        bytes[byte_idx] = std::uint8_t(guid.Data1 >> (8 * (3 - byte_idx)));
    }
    for (int byte_idx = 0; byte_idx < 2; ++byte_idx) {
        bytes[4 + byte_idx] = std::uint8_t(guid.Data2 >> (8 * (1 - byte_idx)));
        bytes[6 + byte_idx] = std::uint8_t(guid.Data3 >> (8 * (1 - byte_idx)));
    }
    for (int byte_idx = 0; byte_idx < 8; ++byte_idx) bytes[8 + byte_idx] = guid.Data4[byte_idx];
    return bytes;
}
