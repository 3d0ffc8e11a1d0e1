#pragma once
// oleaut_coerce.hpp - the pieces of VariantChangeType, inside the runtime: numbers between
// number types, any value to text, text to a boolean. Each fills result (a cleared VARIANT)
// or returns the failure unchanged.

#include "platform/oleaut/oleaut_types.hpp"

bool is_number_type(VARTYPE vt);
HRESULT coerce_number(const VARIANT& source, VARTYPE target, VARIANT* result);
HRESULT coerce_to_text(const VARIANT& source, USHORT flags, VARIANT* result);
HRESULT coerce_text_to_bool(const VARIANT& source, VARIANT* result);
