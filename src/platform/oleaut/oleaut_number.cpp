// oleaut_number.cpp - the Var… conversions of CY and DECIMAL, all through exact_number so
// that they round alike (half to even). The LCID is accepted and ignored: text is en-US.
#include "platform/oleaut/oleaut_number.hpp"

#include "platform/oleaut/oleaut_bstr.hpp"
#include "platform/oleaut/oleaut_exact.hpp"

#include <cmath>
#include <limits>

namespace {

HRESULT parse_exact(LPCOLESTR text, exact_number* number) {
    if (text == nullptr) return E_INVALIDARG;
    number_text parsed;
    if (!parse_number_text(std::u16string_view(text), &parsed)) return DISP_E_TYPEMISMATCH;
    return number_text_to_exact(parsed, number);
}

bool is_valid_decimal(const DECIMAL& value) {
    return value.scale <= DECIMAL_MAX_SCALE && (value.sign & ~DECIMAL_NEG) == 0;
}

HRESULT text_to_bstr(const std::u16string& text, BSTR* result) {
    BSTR made = SysAllocStringLen(text.data(), UINT(text.size()));
    if (made == nullptr) return E_OUTOFMEMORY;
    *result = made;
    return S_OK;
}

// The nearest integer of type T (ties to even), or DISP_E_OVERFLOW.
template <class T>
HRESULT integer_from_decimal(const DECIMAL* value, T* result) {
    if (value == nullptr || result == nullptr) return E_INVALIDARG;
    if (!is_valid_decimal(*value)) return E_INVALIDARG;
    __int128 whole = 0;
    HRESULT hr = exact_to_integer(exact_from_decimal(*value), std::numeric_limits<T>::min(),
                                  std::numeric_limits<T>::max(), &whole);
    if (SUCCEEDED(hr)) *result = T(whole);
    return hr;
}

}   // namespace

HRESULT VarCyFromStr(LPCOLESTR text, LCID, ULONG, CY* result) {
    if (result == nullptr) return E_INVALIDARG;
    exact_number number;
    HRESULT hr = parse_exact(text, &number);
    return FAILED(hr) ? hr : exact_to_cy(number, result);
}

HRESULT VarDecFromStr(LPCOLESTR text, LCID, ULONG, DECIMAL* result) {
    if (result == nullptr) return E_INVALIDARG;
    exact_number number;
    HRESULT hr = parse_exact(text, &number);
    return FAILED(hr) ? hr : exact_to_decimal(number, result);
}

HRESULT VarBstrFromDec(const DECIMAL* value, LCID, ULONG, BSTR* result) {
    if (value == nullptr || result == nullptr) return E_INVALIDARG;
    if (!is_valid_decimal(*value)) return E_INVALIDARG;
    return text_to_bstr(exact_to_text(exact_from_decimal(*value)), result);
}

HRESULT VarBstrFromCy(CY value, LCID, ULONG, BSTR* result) {
    if (result == nullptr) return E_INVALIDARG;
    return text_to_bstr(exact_to_text(exact_from_cy(value)), result);
}

HRESULT VarR8FromDec(const DECIMAL* value, double* result) {
    if (value == nullptr || result == nullptr) return E_INVALIDARG;
    if (!is_valid_decimal(*value)) return E_INVALIDARG;
    *result = exact_to_double(exact_from_decimal(*value));
    return S_OK;
}

HRESULT VarR8FromCy(CY value, double* result) {
    if (result == nullptr) return E_INVALIDARG;
    *result = double(value.int64) / 10000.0;
    return S_OK;
}

HRESULT VarI4FromDec(const DECIMAL* value, LONG* result) {
    return integer_from_decimal(value, result);
}

HRESULT VarI8FromDec(const DECIMAL* value, LONGLONG* result) {
    return integer_from_decimal(value, result);
}

HRESULT VarCyFromDec(const DECIMAL* value, CY* result) {
    if (value == nullptr || result == nullptr) return E_INVALIDARG;
    if (!is_valid_decimal(*value)) return E_INVALIDARG;
    return exact_to_cy(exact_from_decimal(*value), result);
}

HRESULT VarDecFromCy(CY value, DECIMAL* result) {
    if (result == nullptr) return E_INVALIDARG;
    return exact_to_decimal(exact_from_cy(value), result);
}

HRESULT VarDecFromR8(double value, DECIMAL* result) {
    if (result == nullptr) return E_INVALIDARG;
    exact_number number;
    HRESULT hr = exact_from_double(value, &number);
    return FAILED(hr) ? hr : exact_to_decimal(number, result);
}

HRESULT VarDecFromI8(LONGLONG value, DECIMAL* result) {
    if (result == nullptr) return E_INVALIDARG;
    return exact_to_decimal(exact_from_integer(value), result);
}

HRESULT VarDecFromUI8(ULONGLONG value, DECIMAL* result) {
    if (result == nullptr) return E_INVALIDARG;
    return exact_to_decimal(exact_from_integer(value), result);
}

HRESULT VarCyFromR8(double value, CY* result) {
    if (result == nullptr) return E_INVALIDARG;
    // Scaled in double arithmetic, as the platform does: 0.00005 is exactly half a unit.
    double units = value * 10000.0;
    if (!(units > -9223372036854775808.0 && units < 9223372036854775808.0)) {
        return DISP_E_OVERFLOW;
    }
    result->int64 = std::int64_t(std::nearbyint(units));
    return S_OK;
}
