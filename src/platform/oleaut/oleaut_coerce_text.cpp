// oleaut_coerce_text.cpp - values to text and text to booleans, in the en-US forms: integers
// in decimal, R4 with 7 and R8 with 15 significant digits ("1.5", "1E+20"), CY and DECIMAL
// without trailing zeros, dates as VarBstrFromDate writes them. Booleans print as "-1" and
// "0" unless VARIANT_ALPHABOOL asks for "True" and "False". Formatting uses to_chars, which
// no process locale can turn into a decimal comma.
#include "platform/oleaut/oleaut_coerce.hpp"

#include "platform/oleaut/oleaut_bstr.hpp"
#include "platform/oleaut/oleaut_exact.hpp"
#include "platform/oleaut/oleaut_number.hpp"
#include "platform/oleaut/oleaut_time.hpp"

#include <cctype>
#include <charconv>
#include <string>

namespace {

// "%.{digits}G" in the C locale: upper-case exponent with a sign and two digits at least.
std::string floating_text(double number, int digits) {
    char buffer[64];
    auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, number,
                                      std::chars_format::general, digits);
    std::string text(buffer, error == std::errc() ? end : buffer);
    for (char& c : text) c = char(std::toupper(static_cast<unsigned char>(c)));
    std::size_t exponent_at = text.find('E');
    if (exponent_at != std::string::npos && text.size() - exponent_at == 3) {
        text.insert(exponent_at + 2, 1, '0');   // to_chars writes E+5, the C library E+05
    }
    return text;
}

std::string integer_text(const VARIANT& source) {
    switch (source.vt) {
    case VT_I1: return std::to_string(int(source.cVal));
    case VT_UI1: return std::to_string(source.bVal);
    case VT_I2: return std::to_string(source.iVal);
    case VT_UI2: return std::to_string(source.uiVal);
    case VT_I4: return std::to_string(source.lVal);
    case VT_UI4: return std::to_string(source.ulVal);
    case VT_INT: return std::to_string(source.intVal);
    case VT_UINT: return std::to_string(source.uintVal);
    case VT_I8: return std::to_string(source.llVal);
    case VT_UI8: return std::to_string(source.ullVal);
    default: return std::string();
    }
}

HRESULT put_text(const std::string& text, VARIANT* result) {
    std::u16string wide(text.begin(), text.end());   // ASCII only
    BSTR made = SysAllocStringLen(wide.data(), UINT(wide.size()));
    if (made == nullptr) return E_OUTOFMEMORY;
    result->bstrVal = made;
    result->vt = VT_BSTR;
    return S_OK;
}

HRESULT put_bstr(HRESULT hr, BSTR* made, VARIANT* result) {
    if (FAILED(hr)) return hr;
    result->bstrVal = *made;
    result->vt = VT_BSTR;
    return S_OK;
}

bool equals_ignoring_case(std::u16string_view text, std::string_view word) {
    if (text.size() != word.size()) return false;
    for (std::size_t char_idx = 0; char_idx < text.size(); ++char_idx) {
        char16_t c = text[char_idx];
        if (c >= u'A' && c <= u'Z') c = char16_t(c - u'A' + u'a');
        if (c != char16_t(word[char_idx])) return false;
    }
    return true;
}

}   // namespace

HRESULT coerce_to_text(const VARIANT& source, USHORT flags, VARIANT* result) {
    BSTR made = nullptr;
    switch (source.vt) {
    case VT_EMPTY: return put_text("", result);
    case VT_BOOL:
        if (flags & (VARIANT_ALPHABOOL | VARIANT_LOCALBOOL)) {
            return put_text(source.boolVal ? "True" : "False", result);
        }
        return put_text(source.boolVal ? "-1" : "0", result);
    case VT_R4: return put_text(floating_text(source.fltVal, 7), result);
    case VT_R8: return put_text(floating_text(source.dblVal, 15), result);
    case VT_CY: {
        HRESULT hr = VarBstrFromCy(source.cyVal, LOCALE_EN_US, 0, &made);
        return put_bstr(hr, &made, result);
    }
    case VT_DECIMAL: {
        HRESULT hr = VarBstrFromDec(&source.decVal, LOCALE_EN_US, 0, &made);
        return put_bstr(hr, &made, result);
    }
    case VT_DATE: {
        HRESULT hr = VarBstrFromDate(source.date, LOCALE_EN_US, 0, &made);
        return put_bstr(hr, &made, result);
    }
    default: break;
    }
    std::string text = integer_text(source);
    if (text.empty()) return DISP_E_TYPEMISMATCH;
    return put_text(text, result);
}

HRESULT coerce_text_to_bool(const VARIANT& source, VARIANT* result) {
    std::u16string_view text = bstr_view(source.bstrVal);
    std::size_t first = text.find_first_not_of(u" \t");
    std::size_t last = text.find_last_not_of(u" \t");
    std::u16string_view word = first == std::u16string_view::npos
                                   ? std::u16string_view()
                                   : text.substr(first, last - first + 1);
    if (equals_ignoring_case(word, "true") || equals_ignoring_case(word, "false")) {
        result->boolVal = equals_ignoring_case(word, "true") ? VARIANT_TRUE : VARIANT_FALSE;
        result->vt = VT_BOOL;
        return S_OK;
    }
    return coerce_number(source, VT_BOOL, result);
}
