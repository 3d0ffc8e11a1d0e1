// odb_rec.cpp - field values from bound text and the type maps.

#include "mss/odb_rec.hpp"

#include "mss/mss_engi.hpp"
#include "ole/ole_date.hpp"
#include "tk/tk_trace.hpp"
#include "tk/tk_utf.hpp"

namespace {

ole_variant null_value() {
    ole_variant value;
    value.value.vt = VT_NULL;
    return value;
}

bool is_not_null(const oledb_column_info& column) { return !column.is_nullable(); }

}   // namespace

std::u16string odb_field::to_wstring() const {
    if (type() == VT_DATE) return ole_date(value).to_wstring();
    return ole_variant::to_wstring();
}

std::string odb_field::to_string() const {
    if (type() == VT_DATE) return ole_date(value).to_string();
    return ole_variant::to_string();
}

std::uint16_t odb_record::get_vartype(std::uint16_t oledb_type) {
    switch (oledb_type) {
    case DBTYPE_I2:
    case DBTYPE_I4:
    case DBTYPE_R4:
    case DBTYPE_R8:
    case DBTYPE_CY:
    case DBTYPE_BOOL:
    case DBTYPE_I1:
    case DBTYPE_UI1:
    case DBTYPE_UI2:
    case DBTYPE_UI4:
    case DBTYPE_I8:
    case DBTYPE_UI8: return oledb_type;   // the OLE DB and variant codes of these types are equal
    case DBTYPE_DATE:
    case DBTYPE_DBTIMESTAMP: return VT_DATE;
    case DBTYPE_BSTR:
    case DBTYPE_STR:
    case DBTYPE_WSTR: return VT_BSTR;
    case DBTYPE_DECIMAL:
    case DBTYPE_NUMERIC: return VT_DECIMAL;
    default: return VT_BLOB;
    }
}

std::uint16_t odb_record::get_oledb_type(std::uint16_t vartype, int version_code) {
    switch (vartype) {
    case VT_I2:
    case VT_I1: return DBTYPE_I2;
    case VT_I4:
    case VT_UI2:
    case VT_INT: return DBTYPE_I4;
    case VT_R4:
    case VT_R8:
    case VT_UI8: return DBTYPE_R8;
    case VT_CY: return DBTYPE_CY;
    case VT_DATE: return DBTYPE_DBTIMESTAMP;
    // Text is Unicode: a narrow column would lose every character outside one code page.
    case VT_BSTR: return DBTYPE_WSTR;
    case VT_BOOL: return DBTYPE_BOOL;
    case VT_DECIMAL: return DBTYPE_NUMERIC;
    case VT_UI1: return DBTYPE_UI1;
    case VT_UI4:
    case VT_I8:
    case VT_UINT: return mss_has_bigint(version_code) ? DBTYPE_I8 : DBTYPE_R8;
    case VT_BLOB:
    case VT_BLOB_OBJECT: return DBTYPE_BYTES;
    default: tk_trace::write(2, "Got string!"); return DBTYPE_WSTR;
    }
}

std::unique_ptr<udb_field> odb_record::get_field(const oledb_column_info& column,
                                                 const std::u16string& text, bool b_null) {
    const std::uint16_t vartype = get_vartype(column.type);
    const std::u16string name = tk_utf8_to_utf16(column.name);
    ole_variant value = null_value();
    if (!b_null) {
        if (text.empty()) {
            if (vartype == VT_BSTR) value = ole_variant(std::u16string());
            else value = ole_variant();
        } else if (column.type == DBTYPE_DATE || column.type == DBTYPE_DBTIMESTAMP) {
            const ole_date date(text);
            value = date.is_valid() ? date.to_variant() : ole_variant();
        } else if (vartype == VT_BLOB) {
            value = ole_variant(text);   // GUIDs and other text-bound types keep their text
        } else {
            try {
                value = ole_variant::from_wstring(text, vartype);
            } catch (const ole_type_exception&) {
                tk_trace::write(2, u"Unparsable value '%s' read as empty", text);
                value = ole_variant();
            }
        }
    }
    return std::make_unique<odb_field>(name, column.column_size, value, is_not_null(column), false);
}

std::unique_ptr<udb_field> odb_record::get_blob_field(const oledb_column_info& column,
                                                      const std::string& bytes, bool b_null) {
    tk_trace::write(2, "Processing VT_BLOB");
    const std::u16string name = tk_utf8_to_utf16(column.name);
    const ole_variant value = b_null ? null_value()
                                     : ole_variant(bytes.size(),
                                                   reinterpret_cast<const BYTE*>(bytes.data()));
    return std::make_unique<odb_field>(name, column.column_size, value, is_not_null(column), false);
}
