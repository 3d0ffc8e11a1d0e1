// daostub_value.cpp - the engine's exact values as VARIANTs.
#include "platform/dao/daostub_value.hpp"

#include <cstring>
#include <type_traits>

#include "platform/jet/jet_value_text.hpp"
#include "tk/tk_utf.hpp"

namespace {

DECIMAL decimal_from(const jet_decimal& value) {
    DECIMAL result{};
    result.scale = value.scale;
    result.sign = value.negative ? DECIMAL_NEG : 0;
    result.Hi32 = value.hi;
    result.Lo64 = std::uint64_t(value.mid) << 32 | value.lo;
    return result;
}

DECIMAL decimal_from(std::int64_t number) {
    DECIMAL result{};
    result.sign = number < 0 ? DECIMAL_NEG : 0;
    // The magnitude of INT64_MIN does not fit an int64: negate in unsigned arithmetic.
    result.Lo64 = number < 0 ? ~std::uint64_t(number) + 1 : std::uint64_t(number);
    return result;
}

HRESULT binary_variant(const std::vector<std::uint8_t>& bytes, VARIANT* out) {
    SAFEARRAY* array = SafeArrayCreateVector(VT_UI1, 0, ULONG(bytes.size()));
    if (array == nullptr) return E_OUTOFMEMORY;
    void* data = nullptr;
    if (!bytes.empty()) {
        if (FAILED(SafeArrayAccessData(array, &data))) {
            SafeArrayDestroy(array);
            return E_FAIL;
        }
        std::memcpy(data, bytes.data(), bytes.size());
        SafeArrayUnaccessData(array);
    }
    out->vt = VT_ARRAY | VT_UI1;
    out->parray = array;
    return S_OK;
}

// Values are wide in every generation: only names and SQL text take the narrow form.
HRESULT text_variant(std::u16string_view text, VARIANT* out) {
    out->bstrVal = SysAllocStringLen(text.data(), UINT(text.size()));
    if (out->bstrVal == nullptr) return E_OUTOFMEMORY;
    out->vt = VT_BSTR;
    return S_OK;
}

}   // namespace

std::u16string daostub_guid_text(const jet_guid& guid) {
    return u"{guid " + guid_to_wstring(guid_from_bytes(guid.bytes)) + u"}";
}

HRESULT daostub_to_variant(const jet_value& value, VARIANT* out) {
    VariantClear(out);
    return std::visit(
        [&](const auto& held) -> HRESULT {
            using T = std::decay_t<decltype(held)>;
            if constexpr (std::is_same_v<T, std::monostate>) {
                out->vt = VT_NULL;
            } else if constexpr (std::is_same_v<T, bool>) {
                out->vt = VT_BOOL;
                out->boolVal = held ? VARIANT_BOOL(-1) : VARIANT_BOOL(0);
            } else if constexpr (std::is_same_v<T, std::uint8_t>) {
                out->vt = VT_UI1;
                out->bVal = held;
            } else if constexpr (std::is_same_v<T, std::int16_t>) {
                out->vt = VT_I2;
                out->iVal = held;
            } else if constexpr (std::is_same_v<T, std::int32_t>) {
                out->vt = VT_I4;
                out->lVal = held;
            } else if constexpr (std::is_same_v<T,
                                                std::int64_t> || std::is_same_v<T, jet_decimal>) {
                out->decVal = decimal_from(held);   // the overload for the type held
                out->vt = VT_DECIMAL;
            } else if constexpr (std::is_same_v<T, float>) {
                out->vt = VT_R4;
                out->fltVal = held;
            } else if constexpr (std::is_same_v<T, double>) {
                out->vt = VT_R8;
                out->dblVal = held;
            } else if constexpr (std::is_same_v<T, jet_currency>) {
                out->vt = VT_CY;
                out->cyVal.int64 = held.units;
            } else if constexpr (std::is_same_v<T, jet_date>) {
                out->vt = VT_DATE;
                out->date = held.serial;
            } else if constexpr (std::is_same_v<T, jet_date_ext>) {
                return text_variant(tk_utf8_to_utf16(jet_date_ext_text(held)), out);
            } else if constexpr (std::is_same_v<T, jet_guid>) {
                return text_variant(daostub_guid_text(held), out);
            } else if constexpr (std::is_same_v<T, std::u16string>) {
                return text_variant(held, out);
            } else {
                return binary_variant(held, out);
            }
            return S_OK;
        },
        value.data);
}
