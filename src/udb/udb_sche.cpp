// udb_sche.cpp - field type descriptors and schemas: descriptor equality, whether a source
// column conforms to a destination column (the merge mode's test before appending rows to an
// existing table) and case-blind column lookup.
#include "udb/udb_sche.hpp"

#include "platform/oleaut/oleaut_types.hpp"
#include "tk/tk_exce.hpp"
#include "tk/tk_trace.hpp"
#include "udb/udb_name.hpp"

namespace {

constexpr std::uint16_t VT_BYTE_ARRAY = VT_ARRAY | VT_UI1;   // 8209

bool is_string_type(std::uint16_t vartype) {
    return vartype == VT_BSTR || vartype == VT_LPSTR || vartype == VT_LPWSTR;
}

bool is_binary_type(std::uint16_t vartype) {
    return vartype == VT_BLOB || vartype == VT_BLOB_OBJECT || vartype == VT_BYTE_ARRAY;
}

// VT_BOOL counts; VT_INT and VT_UINT do not (the source never reports them as numbers).
bool is_numeric_type(std::uint16_t vartype) {
    switch (vartype) {
    case VT_I2:
    case VT_I4:
    case VT_R4:
    case VT_R8:
    case VT_CY:
    case VT_BOOL:
    case VT_DECIMAL:
    case VT_I1:
    case VT_UI1:
    case VT_UI2:
    case VT_UI4:
    case VT_I8:
    case VT_UI8: return true;
    default: return false;
    }
}

// As a destination, a VT_INT or VT_UINT column takes numbers as well.
bool is_numeric_destination(std::uint16_t vartype) {
    return is_numeric_type(vartype) || vartype == VT_INT || vartype == VT_UINT;
}

// SQL Server reads its long columns back with the largest size its client knows:
// nvarchar(max) and ntext as 0x3FFFFFFF characters, varbinary(max) and image as 0x7FFFFFFF
// bytes. No bounded column is that wide, so from there on a size means unlimited.
constexpr std::uint32_t LONG_COLUMN_SIZE = 0x3FFFFFFF;

bool is_unlimited(std::uint32_t size) { return size == 0 || size >= LONG_COLUMN_SIZE; }

// Size 0 is unlimited on both sides. An unlimited source (memo, long binary) fits only an
// unlimited destination: a bounded one would cut or refuse its long values.
bool fits_size(const t_ftd& src, const t_ftd& dest) {
    if (is_unlimited(dest.size)) return true;
    return src.size != 0 && dest.size >= src.size;
}

void trace_field(const t_ftd& field) {
    tk_trace::write(1, u"Got field '%s', vartype=%d, size=%d, b_not_null=%d", field.name,
                    int(field.vartype), int(field.size), int(field.b_not_null));
}

// The descriptors are not part of the vector's constness; both lookups share this walk.
t_ftd& find_by_name(const std::vector<std::unique_ptr<t_ftd>>& fields, const std::u16string& name) {
    tk_trace::write(1, u"udb_schema::find_field(%s)", name);
    for (const auto& field : fields) {
        if (udb_same_name(field->name, name)) return *field;
    }
    // Callers take names from the same schema or from the names map.
    throw tk_mail_assertion(tk_source_name(__FILE__), __LINE__);
}

}   // namespace

t_ftd::t_ftd(const udb_field& field, const ole_variant& new_def_value, std::uint32_t new_reserved)
    : size(field.size), name(field.name), vartype(field.get_vartype()),
      b_autoincrement(field.b_autoincrement), b_not_null(field.b_not_null),
      def_value(new_def_value), reserved(new_reserved) {
    trace_field(*this);
}

t_ftd::t_ftd(std::uint32_t new_size, std::u16string new_name, std::uint16_t new_vartype,
             bool new_b_not_null, bool new_b_autoincrement, const ole_variant& new_def_value,
             std::uint32_t new_reserved)
    : size(new_size), name(std::move(new_name)), vartype(new_vartype),
      b_autoincrement(new_b_autoincrement), b_not_null(new_b_not_null), def_value(new_def_value),
      reserved(new_reserved) {
    trace_field(*this);
}

bool t_ftd::operator==(const t_ftd& other) const {
    tk_trace::write(1, "t_ftd::operator ==");
    const bool decimal_and_currency = (vartype == VT_DECIMAL && other.vartype == VT_CY)
                                      || (vartype == VT_CY && other.vartype == VT_DECIMAL);
    if (decimal_and_currency) return true;
    if (vartype != other.vartype) return false;
    if (vartype == VT_BSTR) return size == other.size;
    return true;
}

bool t_ftd::conform_to(const t_ftd& dest) const {
    tk_trace::write(1, "t_ftd::conform_to");
    if (*this == dest) return true;
    if (is_numeric_destination(dest.vartype)) return is_numeric();
    if (dest.vartype == VT_DATE) {
        return vartype == VT_DATE || (vartype == VT_BSTR && size == 19);
    }
    if (is_string_type(dest.vartype)) {
        if (is_string_type(vartype)) return fits_size(*this, dest);
        return !is_binary();
    }
    if (is_binary_type(dest.vartype)) {
        if (is_string_type(vartype) || is_binary()) return fits_size(*this, dest);
        return true;
    }
    return false;
}

bool t_ftd::is_numeric() const { return is_numeric_type(vartype); }

bool t_ftd::is_binary() const { return is_binary_type(vartype); }

udb_field::udb_field() { tk_trace::write(1, "udb_field::empty ctor"); }

udb_field::udb_field(std::u16string new_name, std::uint32_t new_size, const ole_variant& new_value,
                     bool new_b_not_null, bool new_b_autoincrement)
    : ole_variant(new_value), size(new_size), name(std::move(new_name)), b_not_null(new_b_not_null),
      b_autoincrement(new_b_autoincrement) {
    tk_trace::write(1, "udb_field::ctor #2");
    tk_trace::write(1, u"name=%s, size=%d", this->name, int(new_size));
}

std::uint16_t udb_field::get_vartype() const { return type(); }

udb_schema::udb_schema(const udb_schema& other) {
    fields.reserve(other.fields.size());
    for (const auto& field : other.fields) fields.push_back(std::make_unique<t_ftd>(*field));
}

udb_schema& udb_schema::operator=(const udb_schema& other) {
    if (this == &other) return *this;
    udb_schema copy(other);
    fields = std::move(copy.fields);
    return *this;
}

void udb_schema::append(std::unique_ptr<t_ftd> field) {
    TK_ASSERT(field != nullptr);
    fields.push_back(std::move(field));
}

t_ftd& udb_schema::find_field(const std::u16string& name) { return find_by_name(fields, name); }

const t_ftd& udb_schema::find_field(const std::u16string& name) const {
    return find_by_name(fields, name);
}

std::uint32_t udb_schema::get_field_size(const std::u16string& name) const {
    tk_trace::write(1, u"udb_schema::get_field_size(%s)", name);
    return find_field(name).size;
}

std::uint16_t udb_schema::get_field_type(const std::u16string& name) const {
    tk_trace::write(1, u"udb_schema::get_field_type(%s)", name);
    return find_field(name).vartype;
}

bool udb_schema::conform_to(const udb_schema& dest) const {
    tk_trace::write(1, "udb_schema::conform_to");
    if (size() != dest.size()) {
        tk_trace::write(2, "Tables are not conformed: src_size=%d, dest_size=%d", int(size()),
                        int(dest.size()));
        return false;
    }
    for (std::size_t column_idx = 0; column_idx < size(); ++column_idx) {
        const t_ftd& src_column = *fields[column_idx];
        const t_ftd& dest_column = dest[column_idx];
        if (src_column.conform_to(dest_column)) continue;
        tk_trace::write(2,
                        "Column #%d doesn't conform (src_vt=%d, src_size=%d, dest_vt=%d, "
                        "dest_size=%d)",
                        int(column_idx + 1), int(src_column.vartype), int(src_column.size),
                        int(dest_column.vartype), int(dest_column.size));
        return false;
    }
    return true;
}
