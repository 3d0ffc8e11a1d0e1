// oleaut_coerce_number.cpp - number to number (text and booleans count as numbers here). A
// source is read either as a double (R4, R8, DATE, text bound for a floating target) or as
// an exact_number (everything else), then written to the target with OLE's rules: ties to
// even when a fraction is dropped, DISP_E_OVERFLOW outside the target's range, true as -1.
#include "platform/oleaut/oleaut_coerce.hpp"

#include "platform/oleaut/oleaut_bstr.hpp"
#include "platform/oleaut/oleaut_exact.hpp"
#include "platform/oleaut/oleaut_number.hpp"
#include "platform/oleaut/oleaut_time.hpp"

#include <cfloat>
#include <cmath>
#include <limits>

namespace {

struct number_value {
    bool is_double = false;
    double floating = 0.0;
    exact_number exact;
};

struct integer_range {
    __int128 low;
    __int128 high;
};

template <class T>
constexpr integer_range range_of() {
    return {std::numeric_limits<T>::min(), std::numeric_limits<T>::max()};
}

bool integer_range_of(VARTYPE vt, integer_range* range) {
    switch (vt) {
    case VT_I1: *range = range_of<std::int8_t>(); return true;
    case VT_UI1: *range = range_of<std::uint8_t>(); return true;
    case VT_I2: *range = range_of<std::int16_t>(); return true;
    case VT_UI2: *range = range_of<std::uint16_t>(); return true;
    case VT_I4:
    case VT_INT: *range = range_of<std::int32_t>(); return true;
    case VT_UI4:
    case VT_UINT: *range = range_of<std::uint32_t>(); return true;
    case VT_I8: *range = range_of<std::int64_t>(); return true;
    case VT_UI8: *range = range_of<std::uint64_t>(); return true;
    default: return false;
    }
}

bool is_floating_type(VARTYPE vt) { return vt == VT_R4 || vt == VT_R8 || vt == VT_DATE; }

number_value exact_value(__int128 number) {
    number_value value;
    value.exact = exact_from_integer(number);
    return value;
}

number_value floating_value(double number) {
    number_value value;
    value.is_double = true;
    value.floating = number;
    return value;
}

HRESULT read_text(BSTR text, VARTYPE target, number_value* value) {
    number_text parsed;
    std::u16string_view view = bstr_view(text);
    if (!parse_number_text(view, &parsed)) return DISP_E_TYPEMISMATCH;
    if (is_floating_type(target)) {
        value->is_double = true;
        return number_text_to_double(parsed, &value->floating);
    }
    return number_text_to_exact(parsed, &value->exact);
}

HRESULT read_source(const VARIANT& source, VARTYPE target, number_value* value) {
    switch (source.vt) {
    case VT_EMPTY: *value = exact_value(0); return S_OK;
    case VT_I1: *value = exact_value(source.cVal); return S_OK;
    case VT_UI1: *value = exact_value(source.bVal); return S_OK;
    case VT_I2: *value = exact_value(source.iVal); return S_OK;
    case VT_UI2: *value = exact_value(source.uiVal); return S_OK;
    case VT_I4: *value = exact_value(source.lVal); return S_OK;
    case VT_UI4: *value = exact_value(source.ulVal); return S_OK;
    case VT_INT: *value = exact_value(source.intVal); return S_OK;
    case VT_UINT: *value = exact_value(source.uintVal); return S_OK;
    case VT_I8: *value = exact_value(source.llVal); return S_OK;
    case VT_UI8: *value = exact_value(source.ullVal); return S_OK;
    case VT_BOOL: *value = exact_value(source.boolVal); return S_OK;
    case VT_R4: *value = floating_value(source.fltVal); return S_OK;
    case VT_R8: *value = floating_value(source.dblVal); return S_OK;
    case VT_DATE: *value = floating_value(source.date); return S_OK;
    case VT_CY: value->exact = exact_from_cy(source.cyVal); return S_OK;
    case VT_DECIMAL:
        if (source.decVal.scale > DECIMAL_MAX_SCALE) return E_INVALIDARG;
        value->exact = exact_from_decimal(source.decVal);
        return S_OK;
    case VT_BSTR: return read_text(source.bstrVal, target, value);
    default: return DISP_E_TYPEMISMATCH;
    }
}

double as_double(const number_value& value) {
    return value.is_double ? value.floating : exact_to_double(value.exact);
}

HRESULT to_integer(const number_value& value, const integer_range& range, __int128* result) {
    if (!value.is_double) return exact_to_integer(value.exact, range.low, range.high, result);
    double rounded = std::nearbyint(value.floating);   // the default mode: ties to even
    if (!(std::fabs(rounded) < 1e30)) return DISP_E_OVERFLOW;
    __int128 whole = __int128(rounded);
    if (whole < range.low || whole > range.high) return DISP_E_OVERFLOW;
    *result = whole;
    return S_OK;
}

void store_integer(VARTYPE vt, __int128 number, VARIANT* result) {
    switch (vt) {
    case VT_I1: result->cVal = CHAR(number); break;
    case VT_UI1: result->bVal = BYTE(number); break;
    case VT_I2: result->iVal = SHORT(number); break;
    case VT_UI2: result->uiVal = USHORT(number); break;
    case VT_I4: result->lVal = LONG(number); break;
    case VT_UI4: result->ulVal = ULONG(number); break;
    case VT_INT: result->intVal = INT(number); break;
    case VT_UINT: result->uintVal = UINT(number); break;
    case VT_I8: result->llVal = LONGLONG(number); break;
    case VT_UI8: result->ullVal = ULONGLONG(number); break;
    default: break;
    }
    result->vt = vt;
}

HRESULT store_floating(VARTYPE target, double number, VARIANT* result) {
    if (target == VT_R4) {
        if (std::isfinite(number) && std::fabs(number) > FLT_MAX) return DISP_E_OVERFLOW;
        result->fltVal = float(number);
    } else if (target == VT_DATE) {
        if (!(number > DATE_MIN - 1.0 && number < DATE_MAX + 1.0)) return DISP_E_OVERFLOW;
        result->date = number;
    } else {
        result->dblVal = number;
    }
    result->vt = target;
    return S_OK;
}

HRESULT store_decimal(const number_value& value, VARIANT* result) {
    DECIMAL decimal{};
    HRESULT hr = value.is_double ? VarDecFromR8(value.floating, &decimal)
                                 : exact_to_decimal(value.exact, &decimal);
    if (FAILED(hr)) return hr;
    result->decVal = decimal;
    result->vt = VT_DECIMAL;   // after decVal, whose first word is vt
    return S_OK;
}

HRESULT store_currency(const number_value& value, VARIANT* result) {
    CY currency{};
    HRESULT hr = value.is_double ? VarCyFromR8(value.floating, &currency)
                                 : exact_to_cy(value.exact, &currency);
    if (FAILED(hr)) return hr;
    result->cyVal = currency;
    result->vt = VT_CY;
    return S_OK;
}

}   // namespace

bool is_number_type(VARTYPE vt) {
    integer_range range;
    return integer_range_of(vt, &range) || is_floating_type(vt) || vt == VT_CY || vt == VT_DECIMAL
           || vt == VT_BOOL;
}

HRESULT coerce_number(const VARIANT& source, VARTYPE target, VARIANT* result) {
    number_value value;
    HRESULT hr = read_source(source, target, &value);
    if (FAILED(hr)) return hr;
    integer_range range;
    if (integer_range_of(target, &range)) {
        __int128 number = 0;
        hr = to_integer(value, range, &number);
        if (SUCCEEDED(hr)) store_integer(target, number, result);
        return hr;
    }
    switch (target) {
    case VT_BOOL: {
        bool is_zero = value.is_double ? value.floating == 0.0 : value.exact.magnitude == 0;
        result->boolVal = is_zero ? VARIANT_FALSE : VARIANT_TRUE;
        result->vt = VT_BOOL;
        return S_OK;
    }
    case VT_R4:
    case VT_R8:
    case VT_DATE: return store_floating(target, as_double(value), result);
    case VT_CY: return store_currency(value, result);
    case VT_DECIMAL: return store_decimal(value, result);
    default: return DISP_E_TYPEMISMATCH;
    }
}
