#pragma once
// oleaut_bstr.hpp - BSTR allocation. A BSTR points just past a 4-byte byte count and is
// followed by a NUL OLECHAR not counted in it; embedded NULs are kept. A null BSTR reads as
// the empty text everywhere.

#include "platform/oleaut/oleaut_types.hpp"

#include <string_view>

BSTR SysAllocString(LPCOLESTR text);                  // up to the first NUL; null gives null
BSTR SysAllocStringLen(LPCOLESTR text, UINT chars);   // exactly chars; null text: uninitialised
BSTR SysAllocStringByteLen(const char* bytes, UINT byte_count);   // byte_count may be odd
void SysFreeString(BSTR text);
UINT SysStringLen(BSTR text);
UINT SysStringByteLen(BSTR text);

// The text of a BSTR as a view over its whole length; empty for null.
std::u16string_view bstr_view(BSTR text);
