// ole_var_read.cpp - ole_variant read as a number, a boolean or text. Types an accessor does
// not serve are programming errors (tk_mail_assertion at the lines users quote); numbers are
// printed with a point whatever the process locale.
#include "ole/ole_var.hpp"

#include "ole/ole_date.hpp"
#include "tk/tk_trace.hpp"
#include "tk/tk_utf.hpp"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>

namespace {

constexpr std::size_t MAX_PRINTED_BYTES = 0x50000;   // 327,680 bytes of a binary value

std::string narrow_bstr(BSTR text) { return tk_utf16_to_utf8(bstr_view(text)); }

std::string with_points(std::string text) {
    std::replace(text.begin(), text.end(), ',', '.');
    return text;
}

// printf with a fixed format; the process never sets LC_NUMERIC, and the result is made
// locale-proof by with_points anyway.
template <class... Args>
std::string format(const char* pattern, Args... args) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, pattern, args...);
    return with_points(buffer);
}

// Toward zero; a number beyond 32 bits stops at the nearest limit (NaN gives 0) instead of
// the undefined conversion, which on x86 turns 3e9 into -2147483648.
std::int32_t truncate_to_long(double number) {
    if (std::isnan(number)) return 0;
    if (number >= 2147483647.0) return std::numeric_limits<std::int32_t>::max();
    if (number <= -2147483648.0) return std::numeric_limits<std::int32_t>::min();
    return std::int32_t(number);
}

}   // namespace

std::int32_t ole_variant::to_long() const {
    tk_trace::write(1, "ole_variant::to_long(vt=%08X)", unsigned(value.vt));
    switch (value.vt) {
    case VT_EMPTY:
    case VT_NULL: return 0;
    case VT_I2: return value.iVal;
    case VT_BOOL: return value.boolVal;
    case VT_I4: return value.lVal;
    case VT_UI4: return std::int32_t(value.ulVal);
    case VT_R4: return truncate_to_long(value.fltVal);
    case VT_R8: return truncate_to_long(value.dblVal);
    case VT_DECIMAL: {
        LONG result = 0;
        HRESULT hr = VarI4FromDec(&value.decVal, &result);
        tk_trace::write(2, "from DECIMAL, hr=%08X", unsigned(hr));
        return SUCCEEDED(hr) ? result : 0;
    }
    case VT_I1: return value.cVal;
    case VT_UI1: return value.bVal;
    case VT_UI2: return value.uiVal;
    case VT_I8: return std::int32_t(std::uint32_t(hyper_value));
    case VT_UI8: return std::int32_t(std::uint32_t(uhyper_value));
    default: throw tk_mail_assertion(OLE_VAR_SOURCE, FAULT_TO_LONG_UNHANDLED_TYPE);
    }
}

double ole_variant::to_double() const {
    tk_trace::write(1, "ole_variant::to_double(%08X)", unsigned(value.vt));
    switch (value.vt) {
    case VT_EMPTY:
    case VT_NULL: return 0.0;
    case VT_I2: return value.iVal;
    case VT_BOOL: return value.boolVal;
    case VT_I4: return value.lVal;
    case VT_UI4: return value.ulVal;
    case VT_R4: return value.fltVal;
    case VT_R8: return value.dblVal;
    case VT_CY: {
        double result = 0.0;
        HRESULT hr = VarR8FromCy(value.cyVal, &result);
        tk_trace::write(2, "from CURRECY: res=%lg, hr=%08X", result, unsigned(hr));
        return result;
    }
    case VT_DECIMAL: {
        double result = 0.0;
        HRESULT hr = VarR8FromDec(&value.decVal, &result);
        tk_trace::write(2, "from DECIMAL: res=%lg, hr=%08X", result, unsigned(hr));
        return SUCCEEDED(hr) ? result : 0.0;
    }
    case VT_I1: return value.cVal;
    case VT_UI1: return value.bVal;
    case VT_UI2: return value.uiVal;
    case VT_I8: return double(hyper_value);
    case VT_UI8: return double(uhyper_value);
    default: throw tk_mail_assertion(OLE_VAR_SOURCE, FAULT_TO_DOUBLE_UNHANDLED_TYPE);
    }
}

bool ole_variant::to_bool() const {
    tk_trace::write(1, "ole_variant::to_bool(vt=%08X)", unsigned(value.vt));
    switch (value.vt) {
    case VT_EMPTY:
    case VT_NULL: return false;
    case VT_BOOL: return value.boolVal == VARIANT_TRUE;
    case VT_I2: return value.iVal != 0;
    case VT_UI2: return value.uiVal != 0;
    case VT_I4: return value.lVal != 0;
    case VT_UI4: return value.ulVal != 0;
    case VT_I1: return value.cVal != 0;
    case VT_UI1: return value.bVal != 0;
    case VT_I8: return hyper_value != 0;
    case VT_UI8: return uhyper_value != 0;
    case VT_R4: return value.fltVal != 0.0f;
    case VT_R8: return value.dblVal != 0.0;
    case VT_DECIMAL: return to_long() != 0;
    default: throw tk_mail_assertion(OLE_VAR_SOURCE, FAULT_TO_BOOL_UNHANDLED_TYPE);
    }
}

std::string ole_variant::array_to_string() const {
    tk_trace::write(2, "Converting VT_ARRAY");
    if (value.parray == nullptr || SafeArrayGetDim(value.parray) != 1) return std::string();
    std::size_t count = get_safe_array_size(value.parray);
    if (count == 0) return std::string();
    count = std::min(count, MAX_PRINTED_BYTES);
    static constexpr char HEX[] = "0123456789ABCDEF";
    const auto* bytes = static_cast<const BYTE*>(value.parray->pvData);
    std::string text = "0x";
    text.reserve(2 + count * 2);
    for (std::size_t byte_idx = 0; byte_idx < count; ++byte_idx) {
        text.push_back(HEX[bytes[byte_idx] >> 4]);
        text.push_back(HEX[bytes[byte_idx] & 0xF]);
    }
    return text;
}

std::string ole_variant::to_string() const {
    tk_trace::write(1, "ole_variant::to_string (vt=%08X)", unsigned(value.vt));
    switch (value.vt) {
    case VT_CY: {
        tk_trace::write(2, "Converting VT_CY");
        VARIANT text;
        VariantInit(&text);
        if (FAILED(VariantChangeType(&text, &value, 0, VT_BSTR))) return std::string();
        std::string result = with_points(narrow_bstr(text.bstrVal));
        VariantClear(&text);
        return result;
    }
    case VT_DATE: tk_trace::write(2, "Converting VT_DATE"); return ole_date(date_value).to_string();
    case VT_BSTR: return narrow_bstr(value.bstrVal);
    case VT_BOOL:
        tk_trace::write(2, "to_string - bool: %d", int(value.boolVal));
        tk_trace::write(2, "Mapping BOOL like ANSI!");
        return value.boolVal == VARIANT_TRUE ? "1" : "0";
    case VT_DECIMAL: {
        tk_trace::write(2, "Converting VT_DECIMAL");
        BSTR text = nullptr;
        if (FAILED(VarBstrFromDec(&value.decVal, LOCALE_USER_DEFAULT, 0, &text))) return {};
        std::string result = with_points(narrow_bstr(text));
        SysFreeString(text);
        return result;
    }
    case VT_BINARY_ARRAY: return array_to_string();
    case VT_CLSID: return guid_to_string(guid_value);
    case VT_I2: return format("%d", int(value.iVal));
    case VT_I1: return format("%d", int(value.cVal));
    case VT_I4: return format("%ld", long(value.lVal));
    case VT_UI1: return format("%u", unsigned(value.bVal));
    case VT_UI2: return format("%u", unsigned(value.uiVal));
    case VT_UI4: return format("%lu", static_cast<unsigned long>(value.ulVal));
    case VT_R4: return format("%.6e", double(value.fltVal));
    case VT_R8: return format("%.15e", value.dblVal);
    case VT_I8: return format("%lld", static_cast<long long>(hyper_value));
    case VT_UI8: return format("%llu", static_cast<unsigned long long>(uhyper_value));
    default: return std::string();
    }
}

std::u16string ole_variant::to_wstring() const {
    if (value.vt == VT_BSTR) return std::u16string(bstr_view(value.bstrVal));
    return tk_utf8_to_utf16(to_string());
}
