// ole_var.cpp - ole_variant's life cycle: construction, copy, assignment, destruction, and
// the binary and string attachments. Conversions live in ole_var_read, ole_var_parse and
// ole_var_change.
#include "ole/ole_var.hpp"

#include "tk/tk_trace.hpp"
#include "tk/tk_utf.hpp"

#include <cstring>

ole_type_exception::ole_type_exception()
    : tk_exception("The operating type is not supported yet", ERROR_LEVEL_FATAL) {}

namespace {

bool is_array_type(VARTYPE vt) { return vt == VT_BINARY_ARRAY || vt == VT_SAFEARRAY; }

// Types whose whole value lies in the VARIANT's own bytes: copied as they stand, they need
// no VariantCopy (which would free and check the target again) and own nothing.
bool is_self_contained(VARTYPE vt) {
    switch (vt) {
    case VT_EMPTY:
    case VT_NULL:
    case VT_I2:
    case VT_I4:
    case VT_R4:
    case VT_R8:
    case VT_CY:
    case VT_BOOL:
    case VT_ERROR:
    case VT_DECIMAL:
    case VT_I1:
    case VT_UI1:
    case VT_UI2:
    case VT_UI4:
    case VT_INT:
    case VT_UINT: return true;
    default: return false;
    }
}

}   // namespace

void ole_variant::reset_members() {
    hyper_value = 0;
    uhyper_value = 0;
    date_value = SYSTEMTIME{};
    guid_value = GUID{};
    VariantInit(&value);
}

ole_variant::ole_variant() { reset_members(); }

ole_variant::ole_variant(const ole_variant& other) {
    reset_members();
    tk_trace::write(1, "ole_variant::copy ctor");
    *this = other;
}

ole_variant::ole_variant(bool number) {
    reset_members();
    tk_trace::write(1, "ole_variant::ctor from bool (%d)", int(number));
    value.vt = VT_BOOL;
    value.boolVal = number ? VARIANT_TRUE : VARIANT_FALSE;
}

ole_variant::ole_variant(char number) {
    reset_members();
    tk_trace::write(1, "ole_variant::ctor from char(%d)", int(number));
    value.vt = VT_I1;
    value.cVal = number;
}

ole_variant::ole_variant(unsigned char number) {
    reset_members();
    tk_trace::write(1, "ole_variant::ctor from byte(%d)", int(number));
    value.vt = VT_UI1;
    value.bVal = number;
}

ole_variant::ole_variant(short number) {
    reset_members();
    tk_trace::write(1, "ole_variant::ctor from short(%d)", int(number));
    value.vt = VT_I2;
    value.iVal = number;
}

ole_variant::ole_variant(unsigned short number) {
    reset_members();
    tk_trace::write(1, "ole_variant::ctor from ushort(%d)", int(number));
    value.vt = VT_UI2;
    value.uiVal = number;
}

ole_variant::ole_variant(int number) {
    reset_members();
    tk_trace::write(1, "ole_variant::ctor from int(%d)", number);
    value.vt = VT_I4;
    value.lVal = number;
}

ole_variant::ole_variant(unsigned int number) {
    reset_members();
    tk_trace::write(1, "ole_variant::ctor from uint(%u)", number);
    value.vt = VT_UI4;
    value.ulVal = number;
}

ole_variant::ole_variant(long number) : ole_variant(static_cast<long long>(number)) {}

ole_variant::ole_variant(unsigned long number)
    : ole_variant(static_cast<unsigned long long>(number)) {}

ole_variant::ole_variant(long long number) {
    reset_members();
    tk_trace::write(1, "ole_variant::ctor(hyper, %lld)", number);
    value.vt = VT_I8;
    hyper_value = number;
}

ole_variant::ole_variant(unsigned long long number) {
    reset_members();
    tk_trace::write(1, "ole_variant::ctor(uhyper, %llu)", number);
    value.vt = VT_UI8;
    uhyper_value = number;
}

ole_variant::ole_variant(float number) {
    reset_members();
    tk_trace::write(1, "ole_variant::ctor from float(%f)", double(number));
    value.vt = VT_R4;
    value.fltVal = number;
}

ole_variant::ole_variant(double number) {
    reset_members();
    tk_trace::write(1, "ole_variant::ctor from double(%e)", number);
    value.vt = VT_R8;
    value.dblVal = number;
}

ole_variant::ole_variant(const std::string& text) {
    reset_members();
    tk_trace::write(1, "ole_variant::ctor from string(%s)", text.c_str());
    attach_string(text);
}

ole_variant::ole_variant(const char* text) : ole_variant(std::string(text ? text : "")) {}

ole_variant::ole_variant(const std::u16string& text) {
    reset_members();
    tk_trace::write(1, u"ole_variant::ctor from wstring(%s)", text);
    attach_wstring(text);
}

ole_variant::ole_variant(const SYSTEMTIME& time) {
    reset_members();
    tk_trace::write(1, "Construct ole_variant from SYSTEMTIME");
    value.vt = VT_DATE;
    date_value = time;
    if (!SystemTimeToVariantTime(&time, &value.date)) {
        tk_trace::write(2, "Failed to convert SYSTEMTIME->VARIANT");
        value.date = 0.0;
    }
}

ole_variant::ole_variant(const CY& currency) {
    reset_members();
    tk_trace::write(1, "Construct ole_variant from CY");
    value.vt = VT_CY;
    value.cyVal = currency;
}

ole_variant::ole_variant(const DECIMAL& decimal) {
    reset_members();
    tk_trace::write(1, "Construct ole_variant from DECIMAL");
    value.decVal = decimal;
    value.vt = VT_DECIMAL;   // after decVal, whose first word is vt
}

ole_variant::ole_variant(const OLECHAR* text) {
    reset_members();
    tk_trace::write(1, "Construct ole_variant from BSTR");
    attach_wstring(std::u16string(text ? text : u""));
}

ole_variant::ole_variant(const GUID& guid) {
    reset_members();
    tk_trace::write(1, "Construct ole_variant from GUID");
    value.vt = VT_CLSID;
    guid_value = guid;
}

ole_variant::ole_variant(std::size_t length, const BYTE* bytes) {
    reset_members();
    attach_binary(length, bytes);
}

ole_variant::~ole_variant() {
    destroy_array();
    clear_value();
}

// VariantClear refuses VT_CLSID, which a VARIANT cannot hold; its GUID needs no freeing.
void ole_variant::clear_value() {
    if (value.vt == VT_CLSID) VariantInit(&value);
    VariantClear(&value);
}

void ole_variant::destroy_array() {
    if (!is_array_type(value.vt)) return;
    HRESULT hr = SafeArrayDestroy(value.parray);
    if (FAILED(hr)) tk_trace::write(2, "SafeArrayDestroy failed: %08X", unsigned(hr));
    value.parray = nullptr;
    value.vt = VT_EMPTY;
}

// Deep copy of the other value's array; VT_ERROR when it cannot be copied.
void ole_variant::copy_array_from(const ole_variant& other) {
    tk_trace::write(2, "Special processing for VT_SAFEARRAY");
    SAFEARRAY* copy = nullptr;
    HRESULT hr = other.value.parray ? SafeArrayCopy(other.value.parray, &copy) : E_POINTER;
    if (FAILED(hr) || copy == nullptr) {
        value.vt = VT_ERROR;
        value.scode = FAILED(hr) ? hr : E_POINTER;
        return;
    }
    value.vt = VT_BINARY_ARRAY;
    value.parray = copy;
}

// Every branch first frees what this value held: assigning over a BSTR or an array must not
// leak it, whatever the source type.
ole_variant& ole_variant::operator=(const ole_variant& other) {
    if (this == &other) return *this;
    destroy_array();
    clear_value();
    hyper_value = 0;
    uhyper_value = 0;
    VARTYPE vt = other.value.vt;
    if (vt == VT_CLSID) {
        value.vt = VT_CLSID;
        guid_value = other.guid_value;
    } else if (vt == VT_I8 || vt == VT_UI8) {
        tk_trace::write(2, "Special processing for VT_(U)I8 type");
        value.vt = vt;
        hyper_value = other.hyper_value;
        uhyper_value = other.uhyper_value;
    } else if (vt == VT_DATE) {
        const SYSTEMTIME& date = other.date_value;
        tk_trace::write(2, "Special processing for VT_DATE");
        tk_trace::write(2, "%04d-%02d-%02d %02d:%02d:%02d", date.wYear, date.wMonth, date.wDay,
                        date.wHour, date.wMinute, date.wSecond);
        value.vt = VT_DATE;
        value.date = other.value.date;
        date_value = date;
    } else if (is_array_type(vt)) {
        copy_array_from(other);
    } else if (is_self_contained(vt)) {
        value = other.value;
    } else {
        HRESULT hr = VariantCopy(&value, &other.value);
        if (FAILED(hr)) {
            tk_trace::write(2, "VariantCopy failed: %08X", unsigned(hr));
            value.vt = VT_ERROR;
            value.scode = hr;
        }
    }
    return *this;
}

void ole_variant::clear() {
    destroy_array();
    clear_value();
    reset_members();
}

void ole_variant::allocate_safe_array(std::size_t size) {
    tk_trace::write(1, "ole_variant::allocate_safe_array (size=%zu)", size);
    if (value.vt == VT_BINARY_ARRAY && value.parray != nullptr
        && SafeArrayGetDim(value.parray) == 1) {
        tk_trace::write(2, "Redimension array");
        LONG lower = 0;
        LONG upper = 0;
        SafeArrayGetLBound(value.parray, 1, &lower);
        SafeArrayGetUBound(value.parray, 1, &upper);
        // An empty array has upper = lower - 1; only less than that is broken.
        if (std::int64_t(upper) < std::int64_t(lower) - 1) {
            throw tk_mail_assertion(OLE_VAR_SOURCE, FAULT_ALLOCATE_BOUNDS_REVERSED);
        }
        if (get_safe_array_size(value.parray) == size) return;
        SAFEARRAYBOUND bound{ULONG(size), lower};
        if (size > 0xFFFFFFFFu || FAILED(SafeArrayRedim(value.parray, &bound))) {
            throw tk_mail_assertion(OLE_VAR_SOURCE, FAULT_ALLOCATE_ARRAY_FAILED);
        }
        return;
    }
    destroy_array();
    clear_value();
    SAFEARRAYBOUND bound{ULONG(size), 0};
    SAFEARRAY* array = size > 0xFFFFFFFFu ? nullptr : SafeArrayCreate(VT_UI1, 1, &bound);
    if (array == nullptr) throw tk_mail_assertion(OLE_VAR_SOURCE, FAULT_ALLOCATE_ARRAY_FAILED);
    value.vt = VT_BINARY_ARRAY;
    value.parray = array;
}

void ole_variant::attach_binary(std::size_t length, const BYTE* bytes) {
    tk_trace::write(1, "ole_variant::attach_binary(2)");
    // An empty buffer may come with a null pointer (an empty vector's data()).
    if (bytes == nullptr && length > 0) {
        throw tk_mail_assertion(OLE_VAR_SOURCE, FAULT_ATTACH_BINARY_NULL);
    }
    allocate_safe_array(length);
    if (length > 0) std::memcpy(value.parray->pvData, bytes, length);
}

void ole_variant::attach_binary(const std::vector<BYTE>& bytes) {
    tk_trace::write(1, "ole_variant::attach_binary(1)");
    allocate_safe_array(bytes.size());
    if (!bytes.empty()) std::memcpy(value.parray->pvData, bytes.data(), bytes.size());
}

void ole_variant::attach_string(const std::string& text) {
    tk_trace::write(1, "ole_variant::attach_string('%s')", text.c_str());
    std::u16string wide = tk_utf8_to_utf16(text);
    BSTR made = SysAllocStringLen(wide.data(), UINT(wide.size()));
    if (made == nullptr) throw tk_mail_assertion(OLE_VAR_SOURCE, FAULT_ATTACH_STRING_FAILED);
    destroy_array();
    clear_value();
    value.vt = VT_BSTR;
    value.bstrVal = made;
}

void ole_variant::attach_wstring(const std::u16string& text) {
    tk_trace::write(1, u"ole_variant::attach_wstring('%s')", text);
    BSTR made = SysAllocStringLen(text.data(), UINT(text.size()));
    if (made == nullptr) throw tk_mail_assertion(OLE_VAR_SOURCE, FAULT_ATTACH_WSTRING_FAILED);
    destroy_array();
    clear_value();
    value.vt = VT_BSTR;
    value.bstrVal = made;
}

std::size_t ole_variant::get_bytes(BYTE** data) const {
    tk_trace::write(1, "ole_variant::get_bytes(%d)", int(value.vt));
    if (data != nullptr) *data = nullptr;
    if (value.vt == VT_EMPTY || value.vt == VT_NULL) return 0;
    if (value.vt != VT_BINARY_ARRAY || value.parray == nullptr) {
        throw tk_mail_assertion(OLE_VAR_SOURCE, FAULT_GET_BYTES_UNHANDLED_TYPE);
    }
    void* array_data = nullptr;
    SafeArrayAccessData(value.parray, &array_data);
    SafeArrayUnaccessData(value.parray);   // the pointer stays valid while the array lives
    if (data != nullptr) *data = static_cast<BYTE*>(array_data);
    return get_safe_array_size(value.parray);
}

std::size_t get_safe_array_size(SAFEARRAY* array) {
    tk_trace::write(1, "get_safe_array_size");
    LONG lower = 0;
    LONG upper = -1;
    if (array == nullptr) return 0;
    SafeArrayGetLBound(array, 1, &lower);
    SafeArrayGetUBound(array, 1, &upper);
    tk_trace::write(2, "lower=%d, upper=%d", int(lower), int(upper));
    if (upper < lower) return 0;
    return std::size_t(std::int64_t(upper) - std::int64_t(lower) + 1);
}
