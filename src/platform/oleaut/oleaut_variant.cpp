// oleaut_variant.cpp - VariantInit, VariantClear and VariantCopy. A VARIANT owns its BSTR, its
// array and one reference of its interface; a VT_BYREF one owns nothing.
#include "platform/oleaut/oleaut_variant.hpp"

#include "platform/oleaut/oleaut_bstr.hpp"
#include "platform/oleaut/oleaut_safearray.hpp"
#include "platform/oleaut/oleaut_unknown.hpp"

namespace {

bool is_known_type(VARTYPE vt) {
    VARTYPE base = vt & VT_TYPEMASK;
    if (vt & ~(VT_TYPEMASK | VT_ARRAY | VT_BYREF)) return false;
    return base <= VT_DECIMAL || (base >= VT_I1 && base <= VT_UINT) || base == VT_RECORD;
}

}   // namespace

void VariantInit(VARIANTARG* value) {
    if (value == nullptr) return;
    *value = VARIANT{};
    value->vt = VT_EMPTY;
}

HRESULT VariantClear(VARIANTARG* value) {
    if (value == nullptr) return E_INVALIDARG;
    VARTYPE vt = value->vt;
    if (!is_known_type(vt)) return DISP_E_BADVARTYPE;
    if ((vt & VT_BYREF) == 0) {
        if (vt & VT_ARRAY) {
            HRESULT hr = SafeArrayDestroy(value->parray);
            if (FAILED(hr)) return hr;
        } else if (vt == VT_BSTR) {
            SysFreeString(value->bstrVal);
        } else if ((vt == VT_UNKNOWN || vt == VT_DISPATCH) && value->punkVal != nullptr) {
            value->punkVal->Release();
        }
    }
    VariantInit(value);
    return S_OK;
}

HRESULT VariantCopy(VARIANTARG* dest, const VARIANTARG* source) {
    if (dest == nullptr || source == nullptr) return E_INVALIDARG;
    if (dest == source) return S_OK;
    if (!is_known_type(source->vt)) return DISP_E_BADVARTYPE;
    VARIANT copy = *source;
    VARTYPE vt = source->vt;
    if ((vt & VT_BYREF) == 0) {
        if (vt & VT_ARRAY) {
            HRESULT hr = SafeArrayCopy(source->parray, &copy.parray);
            if (FAILED(hr)) return hr;
        } else if (vt == VT_BSTR && source->bstrVal != nullptr) {
            copy.bstrVal = SysAllocStringByteLen(reinterpret_cast<const char*>(source->bstrVal),
                                                 SysStringByteLen(source->bstrVal));
            if (copy.bstrVal == nullptr) return E_OUTOFMEMORY;
        } else if ((vt == VT_UNKNOWN || vt == VT_DISPATCH) && source->punkVal != nullptr) {
            source->punkVal->AddRef();
        }
    }
    HRESULT hr = VariantClear(dest);
    if (FAILED(hr)) {
        VariantClear(&copy);
        return hr;
    }
    *dest = copy;
    return S_OK;
}
