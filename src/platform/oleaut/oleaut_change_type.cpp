// oleaut_change_type.cpp - VariantChangeType: picks the piece of coercion a pair of types
// needs. NULL converts to nothing but NULL; ERROR, arrays, interfaces and references convert
// to nothing else at all (DISP_E_TYPEMISMATCH). The result is built aside and only replaces
// dest once it is complete, so a failure leaves dest, and an in-place source, untouched.
#include "platform/oleaut/oleaut_variant.hpp"

#include "platform/oleaut/oleaut_coerce.hpp"
#include "platform/oleaut/oleaut_time.hpp"

namespace {

bool is_convertible_type(VARTYPE vt) {
    return vt == VT_EMPTY || vt == VT_BSTR || is_number_type(vt);
}

HRESULT text_to_date(const VARIANT& source, VARIANT* result) {
    DATE date = 0;
    HRESULT hr = VarDateFromStr(source.bstrVal == nullptr ? u"" : source.bstrVal, LOCALE_EN_US, 0,
                                &date);
    if (FAILED(hr)) return hr;
    result->date = date;
    result->vt = VT_DATE;
    return S_OK;
}

HRESULT coerce(const VARIANT& source, USHORT flags, VARTYPE target, VARIANT* result) {
    if (source.vt == target) return VariantCopy(result, &source);
    if (target == VT_EMPTY) return S_OK;
    if (target == VT_NULL) {
        if (source.vt != VT_EMPTY) return DISP_E_TYPEMISMATCH;
        result->vt = VT_NULL;
        return S_OK;
    }
    if (!is_convertible_type(target)) {
        return is_convertible_type(target & VT_TYPEMASK) || target == VT_ERROR ? DISP_E_TYPEMISMATCH
                                                                               : DISP_E_BADVARTYPE;
    }
    if (!is_convertible_type(source.vt)) return DISP_E_TYPEMISMATCH;
    if (target == VT_BSTR) return coerce_to_text(source, flags, result);
    if (source.vt == VT_BSTR && target == VT_DATE) return text_to_date(source, result);
    if (source.vt == VT_BSTR && target == VT_BOOL) return coerce_text_to_bool(source, result);
    return coerce_number(source, target, result);
}

}   // namespace

HRESULT VariantChangeTypeEx(VARIANTARG* dest, const VARIANTARG* source, LCID, USHORT flags,
                            VARTYPE vt) {
    if (dest == nullptr || source == nullptr) return E_INVALIDARG;
    VARIANT result;
    VariantInit(&result);
    HRESULT hr = coerce(*source, flags, vt, &result);
    if (FAILED(hr)) {
        VariantClear(&result);
        return hr;
    }
    hr = VariantClear(dest);
    if (FAILED(hr)) {
        VariantClear(&result);
        return hr;
    }
    *dest = result;
    return S_OK;
}

HRESULT VariantChangeType(VARIANTARG* dest, const VARIANTARG* source, USHORT flags, VARTYPE vt) {
    return VariantChangeTypeEx(dest, source, LOCALE_USER_DEFAULT, flags, vt);
}
