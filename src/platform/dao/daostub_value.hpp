#pragma once
// daostub_value.hpp - a field value as DAO's Field.Value hands it out, from the engine's
// exact value. Boolean VT_BOOL (-1/0); Byte VT_UI1; Integer VT_I2; Long VT_I4; BigInt and
// Decimal VT_DECIMAL (exact); Single VT_R4; Double VT_R8; Currency VT_CY; Date VT_DATE;
// Text and Memo VT_BSTR; GUID the 45-character text "{guid {XXXXXXXX-...}}"; Date/Time
// Extended its text; binary and OLE VT_ARRAY|VT_UI1 with every byte; NULL VT_NULL.

#include "platform/jet/jet_value.hpp"
#include "platform/oleaut/oleaut.hpp"

// `out` must be VariantInit'ed or cleared. E_OUTOFMEMORY when a BSTR or array fails.
HRESULT daostub_to_variant(const jet_value& value, VARIANT* out);

// "{guid {XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}}" from the 16 bytes in file order.
std::u16string daostub_guid_text(const jet_guid& guid);
