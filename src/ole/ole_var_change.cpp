// ole_var_change.cpp - ole_variant::change_type: conversion in place. The 64-bit types,
// dates and binary targets follow our own rules (their value is not, or not only, in the
// VARIANT); every other pair goes to VariantChangeType. A pair no rule serves, or a value the
// target cannot hold, throws ole_type_exception and leaves the value as it was.
#include "ole/ole_var.hpp"

#include "ole/ole_date.hpp"
#include "tk/tk_trace.hpp"

#include <cmath>
#include <cstring>
#include <limits>

namespace {

constexpr std::int64_t CY_UNITS = 10000;

bool is_binary_type(VARTYPE vt) {
    return vt == VT_BLOB || vt == VT_BLOB_OBJECT || vt == VT_BINARY_ARRAY;
}

std::vector<BYTE> bytes_of(const void* start, std::size_t count) {
    const auto* first = static_cast<const BYTE*>(start);
    return std::vector<BYTE>(first, first + count);
}

// Currency to a whole number, ties toward +infinity: 2.5 gives 3, -2.5 gives -2, and -2.7
// gives -3 (truncating -2.7 to -2 would move a negative amount by up to a whole unit).
std::int64_t currency_to_whole(std::int64_t units) {
    __int128 shifted = __int128(units) + CY_UNITS / 2;
    __int128 whole = shifted / CY_UNITS;
    if (shifted % CY_UNITS < 0) --whole;   // floor, not truncation
    return std::int64_t(whole);
}

}   // namespace

void ole_variant::change_type(VARTYPE new_type) {
    VARTYPE old_type = value.vt;
    tk_trace::write(1, "ole_variant::change_type(old=%d,new=%d)", int(old_type), int(new_type));
    if (new_type == old_type || old_type == VT_EMPTY || old_type == VT_NULL) return;
    if (is_binary_type(new_type) && is_binary_type(old_type)) return;
    // A 64-bit number bound for bytes takes the binary rule (its 8 bytes, from the side member)
    // rather than being refused with the other targets the 64-bit rule does not list.
    bool is_hyper = old_type == VT_I8 || old_type == VT_UI8;
    if (is_hyper && is_binary_type(new_type)) return change_to_binary();
    if (is_hyper) return change_from_hyper(new_type);
    if (old_type == VT_CLSID) {
        // A replication ID goes into text columns braced, into binary ones as its 16 bytes.
        if (is_binary_type(new_type)) return change_to_binary();
        if (new_type != VT_BSTR) throw ole_type_exception();
        attach_wstring(guid_to_wstring(guid_value));
        return;
    }
    if (new_type == VT_I8 || new_type == VT_UI8) return change_to_hyper(new_type);
    if (old_type == VT_DATE) {
        if (new_type != VT_BSTR) throw ole_type_exception();
        attach_wstring(ole_date(date_value).to_wstring());
        return;
    }
    if (new_type == VT_DATE) {
        // Only the 19-character form this layer prints ("2024-02-29 13:05:09") is read back.
        if (old_type != VT_BSTR || SysStringLen(value.bstrVal) != 19) throw ole_type_exception();
        *this = from_wstring(std::u16string(bstr_view(value.bstrVal)), VT_DATE);
        return;
    }
    if (is_binary_type(new_type)) return change_to_binary();
    if (FAILED(VariantChangeType(&value, &value, 0, new_type))) throw ole_type_exception();
}

namespace {

// The currency form holds +-922,337,203,685,477; beyond it the product would wrap, so a
// currency target refuses and a decimal one takes the number directly.
void money_from_hyper(bool is_signed, std::int64_t hyper, std::uint64_t uhyper, VARTYPE new_type,
                      VARIANT* result) {
    __int128 units = (is_signed ? __int128(hyper) : __int128(uhyper)) * CY_UNITS;
    bool fits_cy = units >= std::numeric_limits<std::int64_t>::min()
                   && units <= std::numeric_limits<std::int64_t>::max();
    if (new_type == VT_CY) {
        if (!fits_cy) throw ole_type_exception();
        result->cyVal.int64 = std::int64_t(units);
        result->vt = VT_CY;
        return;
    }
    DECIMAL decimal{};
    HRESULT hr = fits_cy     ? VarDecFromCy(CY{std::int64_t(units)}, &decimal)
                 : is_signed ? VarDecFromI8(hyper, &decimal)
                             : VarDecFromUI8(uhyper, &decimal);
    if (FAILED(hr)) throw ole_type_exception();
    result->decVal = decimal;
    result->vt = VT_DECIMAL;
}

}   // namespace

void ole_variant::change_from_hyper(VARTYPE new_type) {
    bool is_signed = value.vt == VT_I8;
    std::uint64_t bits = is_signed ? std::uint64_t(hyper_value) : uhyper_value;
    VARIANT result;
    VariantInit(&result);
    result.vt = new_type;
    switch (new_type) {
    case VT_I2:
    case VT_UI2:
    case VT_BOOL: result.uiVal = USHORT(bits); break;
    case VT_I1:
    case VT_UI1: result.bVal = BYTE(bits); break;
    case VT_I4:
    case VT_INT:
    case VT_UINT: result.ulVal = ULONG(bits); break;
    case VT_UI4:
        result.ulVal = ULONG(bits);
        result.vt = VT_UINT;
        break;
    case VT_R4: result.fltVal = is_signed ? float(hyper_value) : float(uhyper_value); break;
    case VT_R8: result.dblVal = is_signed ? double(hyper_value) : double(uhyper_value); break;
    case VT_CY:
    case VT_DECIMAL:
        money_from_hyper(is_signed, hyper_value, uhyper_value, new_type, &result);
        break;
    case VT_BSTR: {
        std::string text = is_signed ? std::to_string(hyper_value) : std::to_string(uhyper_value);
        attach_wstring(std::u16string(text.begin(), text.end()));
        hyper_value = 0;
        uhyper_value = 0;
        return;
    }
    case VT_I8:
        hyper_value = std::int64_t(bits);
        value.vt = VT_I8;
        return;
    case VT_UI8:
        uhyper_value = bits;
        value.vt = VT_UI8;
        return;
    default: throw ole_type_exception();
    }
    hyper_value = 0;
    uhyper_value = 0;
    value = result;
}

namespace {

// The whole number of a double truncated toward zero, if the 64-bit target can hold it; an
// unsigned target also takes negative numbers sign-extended, like the integer types.
bool truncate_double(double number, bool to_unsigned, std::int64_t* signed_result,
                     std::uint64_t* unsigned_result) {
    double whole = std::trunc(number);
    if (!(whole > -9223372036854775809.0)) return false;   // NaN and below -2^63
    if (whole < 9223372036854775808.0) {
        *signed_result = std::int64_t(whole);
        *unsigned_result = std::uint64_t(*signed_result);
        return true;
    }
    if (!to_unsigned || !(whole < 18446744073709551616.0)) return false;
    *unsigned_result = std::uint64_t(whole);
    return true;
}

// A decimal to a whole number, ties toward +infinity as currency_to_whole rounds, exactly
// over the whole 64-bit range: the way through currency held only 15 whole digits, and a
// Large Number of 2^53 + 1 arrives as a decimal.
bool decimal_to_whole(const DECIMAL& number, bool to_unsigned, std::int64_t* signed_result,
                      std::uint64_t* unsigned_result) {
    constexpr BYTE MAX_SCALE = 28;
    if (number.scale > MAX_SCALE) return false;
    __int128 mantissa = (__int128(number.Hi32) << 64) | __int128(number.Lo64);
    if (number.sign != 0) mantissa = -mantissa;
    __int128 divisor = 1;
    for (BYTE digit = 0; digit < number.scale; ++digit) divisor *= 10;
    const __int128 doubled = 2 * mantissa + divisor;
    __int128 whole = doubled / (2 * divisor);
    if (doubled % (2 * divisor) < 0) --whole;   // floor, not truncation
    constexpr __int128 TWO_TO_63 = __int128(1) << 63;
    if (whole < -TWO_TO_63) return false;
    if (whole < TWO_TO_63) {
        *signed_result = std::int64_t(whole);
        *unsigned_result = std::uint64_t(*signed_result);
        return true;
    }
    if (!to_unsigned || whole >= (__int128(1) << 64)) return false;
    *unsigned_result = std::uint64_t(whole);
    return true;
}

}   // namespace

void ole_variant::change_to_hyper(VARTYPE new_type) {
    std::int64_t number = 0;
    std::uint64_t unsigned_number = 0;
    bool use_unsigned = false;
    switch (value.vt) {
    case VT_I2:
    case VT_BOOL: number = value.iVal; break;
    case VT_I4:
    case VT_INT: number = value.lVal; break;
    case VT_I1: number = std::int8_t(value.cVal); break;   // a signed byte: sign-extend
    case VT_UI1: number = value.bVal; break;
    case VT_UI2: number = value.uiVal; break;
    case VT_UI4:
    case VT_UINT: number = value.ulVal; break;
    case VT_R4:
    case VT_R8: {
        double source = value.vt == VT_R4 ? double(value.fltVal) : value.dblVal;
        if (!truncate_double(source, new_type == VT_UI8, &number, &unsigned_number)) {
            throw ole_type_exception();
        }
        use_unsigned = true;
        break;
    }
    case VT_CY: number = currency_to_whole(value.cyVal.int64); break;
    case VT_DECIMAL:
        if (!decimal_to_whole(value.decVal, new_type == VT_UI8, &number, &unsigned_number)) {
            throw ole_type_exception();
        }
        use_unsigned = true;
        break;
    default: throw ole_type_exception();
    }
    VariantClear(&value);
    value.vt = new_type;
    if (new_type == VT_I8) {
        hyper_value = number;
    } else {
        uhyper_value = use_unsigned ? unsigned_number : std::uint64_t(number);
    }
}

// The raw little-endian bytes of the payload become a byte array. Text gives all its bytes,
// two a character: counting characters as bytes would cut the text in half.
void ole_variant::change_to_binary() {
    std::vector<BYTE> bytes;
    switch (value.vt) {
    case VT_I1:
    case VT_UI1: bytes = bytes_of(&value.bVal, 1); break;
    case VT_I2:
    case VT_BOOL:
    case VT_UI2: bytes = bytes_of(&value.iVal, 2); break;
    case VT_I4:
    case VT_R4:
    case VT_UI4:
    case VT_INT:
    case VT_UINT: bytes = bytes_of(&value.lVal, 4); break;
    case VT_R8:
    case VT_CY: bytes = bytes_of(&value.dblVal, 8); break;
    case VT_I8: bytes = bytes_of(&hyper_value, 8); break;
    case VT_UI8: bytes = bytes_of(&uhyper_value, 8); break;
    case VT_DECIMAL: bytes = bytes_of(&value.decVal, sizeof(DECIMAL)); break;
    case VT_CLSID: {
        // Data1..Data3 little-endian, then Data4: the order Access files and SQL Server's
        // uniqueidentifier keep.
        const guid_bytes stored = guid_to_bytes(guid_value);
        bytes.assign(stored.begin(), stored.end());
        break;
    }
    case VT_BSTR:
        bytes = bytes_of(value.bstrVal, value.bstrVal ? SysStringByteLen(value.bstrVal) : 0);
        break;
    case VT_LPWSTR: {
        const auto* text = static_cast<const char16_t*>(value.byref);
        std::size_t length = text ? std::char_traits<char16_t>::length(text) : 0;
        bytes = bytes_of(text, length * sizeof(char16_t));
        break;
    }
    case VT_LPSTR: {
        const auto* text = static_cast<const char*>(value.byref);
        bytes = bytes_of(text, text ? std::strlen(text) : 0);
        break;
    }
    default: throw ole_type_exception();
    }
    // Not owned (pointers) or not a VARIANT payload (the GUID).
    if (value.vt == VT_LPSTR || value.vt == VT_LPWSTR || value.vt == VT_CLSID) VariantInit(&value);
    attach_binary(bytes);
    hyper_value = 0;
    uhyper_value = 0;
}
