// ole_var.hpp - ole_variant, the value every field travels in: a platform VARIANT plus side
// members for 64-bit integers (the VARIANT payload is unused for VT_I8 and VT_UI8) and the
// calendar form of a date. Invariants:
//  1. The type is always value.vt.
//  2. VT_I8 / VT_UI8 keep their number in hyper_value / uhyper_value only.
//  3. VT_DATE keeps both forms: value.date (the OLE date number) and date_value (calendar);
//     texts are printed from date_value.
//  4. Binary values are VT_ARRAY|VT_UI1, one dimension, lower bound 0 when made here.
//  5. The object owns value's BSTR or array and frees it when destroyed.
//  6. VT_CLSID (a replication ID) keeps its GUID in guid_value only: a GUID travels typed from
//     the source column to the destination, never recognised by looking inside text.
// Narrow text is UTF-8, wide text UTF-16.
#pragma once

#include "platform/oleaut/oleaut.hpp"
#include "tk/tk_exce.hpp"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

inline constexpr VARTYPE VT_BINARY_ARRAY = VT_ARRAY | VT_UI1;   // 0x2011

// Fault codes users quote with "ole_var" (tk_mail_assertion): fixed numbers, not lines.
inline constexpr const char* OLE_VAR_SOURCE = "ole_var";
inline constexpr int FAULT_TO_BOOL_UNHANDLED_TYPE = 446;
inline constexpr int FAULT_TO_LONG_UNHANDLED_TYPE = 478;
inline constexpr int FAULT_TO_DOUBLE_UNHANDLED_TYPE = 519;
inline constexpr int FAULT_GET_BYTES_UNHANDLED_TYPE = 664;
inline constexpr int FAULT_ATTACH_BINARY_NULL = 730;
inline constexpr int FAULT_ALLOCATE_ARRAY_FAILED = 759;
inline constexpr int FAULT_ALLOCATE_BOUNDS_REVERSED = 771;
inline constexpr int FAULT_ATTACH_STRING_FAILED = 807;
inline constexpr int FAULT_ATTACH_WSTRING_FAILED = 826;

// The one exception of conversions: "The operating type is not supported yet", level 1.
class ole_type_exception : public tk_exception {
public:
    ole_type_exception();
};

class ole_variant {
public:
    ole_variant();
    ole_variant(const ole_variant& other);
    explicit ole_variant(bool number);
    explicit ole_variant(char number);            // VT_I1
    explicit ole_variant(unsigned char number);   // VT_UI1
    explicit ole_variant(short number);
    explicit ole_variant(unsigned short number);
    explicit ole_variant(int number);
    explicit ole_variant(unsigned int number);
    explicit ole_variant(long number);                 // VT_I8 (64 bits here)
    explicit ole_variant(unsigned long number);        // VT_UI8
    explicit ole_variant(long long number);            // VT_I8
    explicit ole_variant(unsigned long long number);   // VT_UI8
    explicit ole_variant(float number);
    explicit ole_variant(double number);
    explicit ole_variant(const std::string& text);
    explicit ole_variant(const char* text);   // as std::string, not as bool
    explicit ole_variant(const std::u16string& text);
    explicit ole_variant(const SYSTEMTIME& time);
    explicit ole_variant(const CY& currency);
    explicit ole_variant(const DECIMAL& decimal);
    explicit ole_variant(const OLECHAR* text);            // BSTR text, up to the first NUL
    explicit ole_variant(const GUID& guid);               // VT_CLSID
    ole_variant(std::size_t length, const BYTE* bytes);   // VT_ARRAY|VT_UI1
    virtual ~ole_variant();

    ole_variant& operator=(const ole_variant& other);
    // Back to VT_EMPTY, freeing what the value held; a reused value costs no temporary.
    void clear();

    VARTYPE type() const { return value.vt; }

    std::int32_t to_long() const;
    double to_double() const;
    bool to_bool() const;
    virtual std::string to_string() const;
    virtual std::u16string to_wstring() const;

    static ole_variant from_string(const std::string& text, VARTYPE target);
    static ole_variant from_wstring(const std::u16string& text, VARTYPE target);

    void change_type(VARTYPE new_type);

    // The bytes of a VT_ARRAY|VT_UI1 value (valid while the array lives) and their count;
    // 0 for VT_EMPTY and VT_NULL.
    std::size_t get_bytes(BYTE** data) const;
    void allocate_safe_array(std::size_t size);
    void attach_binary(std::size_t length, const BYTE* bytes);
    void attach_binary(const std::vector<BYTE>& bytes);
    void attach_string(const std::string& text);
    void attach_wstring(const std::u16string& text);

    std::int64_t hyper_value;
    std::uint64_t uhyper_value;
    SYSTEMTIME date_value;
    GUID guid_value;
    VARIANT value;

private:
    void reset_members();
    void clear_value();
    void destroy_array();
    void copy_array_from(const ole_variant& other);
    void change_from_hyper(VARTYPE new_type);
    void change_to_hyper(VARTYPE new_type);
    void change_to_binary();
    std::string array_to_string() const;
    static ole_variant binary_from_hex(const std::string& text);
    static ole_variant number_from_text(const std::string& text, VARTYPE target);
};

// Element count of dimension 1: upper - lower + 1, or 0 when upper < lower.
std::size_t get_safe_array_size(SAFEARRAY* array);
