#pragma once
// oleaut_guid.hpp - GUID, its braced text form "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}"
// (upper-case hex, 38 characters), written and read as StringFromGUID2 and CLSIDFromString do,
// and its 16 stored bytes. Every layer that writes or reads a GUID's text or bytes uses these.

#include "platform/oleaut/oleaut_types.hpp"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

struct GUID {
    std::uint32_t Data1;
    std::uint16_t Data2;
    std::uint16_t Data3;
    std::uint8_t Data4[8];

    friend bool operator==(const GUID&, const GUID&) = default;
};
using IID = GUID;
using CLSID = GUID;
using REFIID = const IID&;
using REFCLSID = const CLSID&;

inline constexpr std::size_t GUID_TEXT_CHARS = 38;

// Writes the braced text and a NUL; returns the characters written including the NUL, or 0
// when max_chars is below 39.
int StringFromGUID2(REFIID guid, LPOLESTR out, int max_chars);

// Reads the braced form (hex digits in either case); anything else is CO_E_CLASSSTRING.
HRESULT CLSIDFromString(LPCOLESTR text, CLSID* guid);

// The braced text as a string; the conveniences the layers above use.
std::u16string guid_to_wstring(const GUID& guid);
std::string guid_to_string(const GUID& guid);
HRESULT guid_from_wstring(std::u16string_view text, GUID* guid);

// The 16 bytes as Access files and SQL Server's uniqueidentifier keep them: Data1, Data2 and
// Data3 little-endian, then Data4 in order ({00112233-4455-6677-...} starts 33 22 11 00).
using guid_bytes = std::array<std::uint8_t, 16>;
GUID guid_from_bytes(const guid_bytes& bytes);
guid_bytes guid_to_bytes(const GUID& guid);
// The 16 bytes in the order the text spells them (Data1, Data2 and Data3 big-endian), the
// order in which Jet's index keys sort GUIDs.
guid_bytes guid_to_text_order_bytes(const GUID& guid);

// {00000000-0000-0000-C000-000000000046}
inline constexpr IID IID_IUnknown = {0, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
