#pragma once
// oleaut_variant.hpp - VARIANT life cycle and type changes. VariantClear frees what the
// VARIANT owns (BSTR, array, interface reference); VariantCopy copies it deeply.
// VariantChangeType converts as OLE Automation does in the en-US locale: numbers written and
// read with a point, half-to-even rounding to integers, DISP_E_OVERFLOW for values out of the
// target's range, DISP_E_TYPEMISMATCH for pairs that do not convert.

#include "platform/oleaut/oleaut_types.hpp"

void VariantInit(VARIANTARG* value);
HRESULT VariantClear(VARIANTARG* value);
HRESULT VariantCopy(VARIANTARG* dest, const VARIANTARG* source);
// dest may equal source; on failure dest is left as it was.
HRESULT VariantChangeType(VARIANTARG* dest, const VARIANTARG* source, USHORT flags, VARTYPE vt);
HRESULT VariantChangeTypeEx(VARIANTARG* dest, const VARIANTARG* source, LCID lcid, USHORT flags,
                            VARTYPE vt);
