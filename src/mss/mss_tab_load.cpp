// mss_tab_load.cpp - loading rows into a destination table: by INSERT statements built from
// safe literals, or by bulk load with values converted to the columns' own types. Both ways
// replace what SQL Server would refuse in the same manner (dates, doubles, decimals, NULLs in
// NOT NULL columns), so the two give the same table contents.

#include "mss/mss_tab.hpp"

#include "mss/mss_engi.hpp"
#include "mss/mss_lit.hpp"
#include "mss/mss_name.hpp"
#include "mss/odb_cmd.hpp"
#include "mss/odb_exce.hpp"
#include "platform/oledb/oledb_rowset.hpp"
#include "platform/oledb/oledb_session.hpp"
#include "tk/tk_mail.hpp"
#include "tk/tk_trace.hpp"
#include "tk/tk_utf.hpp"
#include "udb/udb_rule.hpp"

#include <optional>

namespace {

constexpr const char* STRUCTURE_TEXT =
    "The structure of data source does not conform to the destination table.";

bool is_binary(VARTYPE vt) {
    return vt == VT_BLOB || vt == VT_BLOB_OBJECT || vt == VT_BINARY_ARRAY;
}

bool is_missing(const ole_variant& value) {
    return value.type() == VT_EMPTY || value.type() == VT_NULL;
}

// The largest value of a decimal column, from its digits: a DECIMAL holds 28 of them, a
// column up to 38, so a wider one is refused for this record rather than cut.
std::u16string decimal_literal(const std::u16string& digits) {
    try {
        return mss_sql_literal(ole_variant::from_wstring(digits, VT_DECIMAL));
    } catch (const ole_type_exception&) {
        throw tk_exception("A decimal value does not fit its column.", ERROR_LEVEL_RECOVERABLE);
    }
}

DBTIMESTAMP timestamp_of(const SYSTEMTIME& time) {
    DBTIMESTAMP stamp;
    stamp.year = static_cast<std::int16_t>(time.wYear);
    stamp.month = time.wMonth;
    stamp.day = time.wDay;
    stamp.hour = time.wHour;
    stamp.minute = time.wMinute;
    stamp.second = time.wSecond;
    stamp.fraction = static_cast<std::uint32_t>(time.wMilliseconds) * 1000000u;
    return stamp;
}

std::int64_t integer_of(const ole_variant& value) {
    switch (value.type()) {
    case VT_I8: return value.hyper_value;
    case VT_UI8: return static_cast<std::int64_t>(value.uhyper_value);
    case VT_UI4: return value.value.ulVal;
    case VT_UINT: return value.value.uintVal;
    default: return value.to_long();
    }
}

}   // namespace

void mss_table::check_structure(const udb_record& record) const {
    if (record.size() != schema.size()) {
        throw tk_exception(STRUCTURE_TEXT, ERROR_LEVEL_RECOVERABLE);
    }
}

// Not a record's failure: every remaining record would fail the same way, so the table is
// given up with one error instead of one per record.
void mss_table::throw_connection_lost() const {
    std::u16string table;
    std::u16string owner;
    if (!mss_split_tab_name(name, table, owner)) table = name;
    throw tk_exception("The connection to the server is lost: the remaining records of "
                       "table '"
                           + tk_utf16_to_utf8(table) + "' are not loaded.",
                       ERROR_LEVEL_RECOVERABLE);
}

void mss_table::append_record(udb_record& record) {
    tk_trace::write(1, "mss_table::append_record(schema size=%d, record size=%d",
                    static_cast<int>(schema.size()), static_cast<int>(record.size()));
    ++appended;
    check_structure(record);
    if (session.is_dead()) throw_connection_lost();
    convert_record(record);
    if (mss_engine::instance().is_fast_load()) {
        fast_append(record);
        return;
    }
    statement_append(record);
}

std::u16string mss_table::session_prologue() const {
    if (!b_identity) return u"";
    return u"SET IDENTITY_INSERT " + table_name + u" ON; ";
}

// IDENTITY_INSERT may be ON for one table of a session only, and all tables of a database
// share its session: left ON, it would refuse the next table with identity values.
std::u16string mss_table::session_epilogue() const {
    return b_identity ? u"; SET IDENTITY_INSERT " + table_name + u" OFF" : u"";
}

std::optional<ole_variant> mss_table::required_substitute(const t_ftd& column) {
    if (!is_missing(column.def_value)) {
        ole_variant def_value = column.def_value;
        try {
            if (def_value.type() != column.vartype) def_value.change_type(column.vartype);
            return def_value;
        } catch (const ole_type_exception&) {
            tk_trace::write(2, "Default value does not convert; the type's zero instead");
        }
    }
    if (is_binary(column.vartype)) return std::nullopt;
    // Access's day 0; a number would not change into a date.
    if (column.vartype == VT_DATE)
        return ole_variant::from_wstring(u"1899-12-30 00:00:00", VT_DATE);
    ole_variant zero = column.vartype == VT_BSTR ? ole_variant(std::u16string()) : ole_variant(0);
    try {
        if (zero.type() != column.vartype) zero.change_type(column.vartype);
    } catch (const ole_type_exception&) {
        return std::nullopt;
    }
    return zero;
}

std::u16string mss_table::get_fld_append_str(const ole_variant& value, const t_ftd& field,
                                             udb_substitution_counts* changed) {
    tk_trace::write(1, "mss_table::get_fld_append_str");
    const VARTYPE vt = value.type();
    const auto count = [changed](udb_substitution rule) {
        if (changed != nullptr) changed->add(rule);
    };
    if (udb_custom_conversion::ask_is_acceptable2(value)) {
        std::u16string ruled;
        udb_custom_conversion::ask_handle2(ruled, value);
        return mss_sql_literal(ole_variant(ruled));
    }
    if (vt == VT_DECIMAL && field.vartype == VT_BSTR) {
        // A decimal wider than any numeric column is kept as its exact text, as bulk load
        // sends it; a numeric literal would be converted by the server in its own way.
        return mss_sql_literal(ole_variant(value.to_wstring()));
    }
    if (vt == VT_DATE && value.date_value.wYear < MSS_FIRST_DATETIME_YEAR) {
        count(udb_substitution::EARLY_DATE);
    }
    BYTE* data = nullptr;
    const bool b_empty_binary = is_binary(vt) && value.get_bytes(&data) == 0;
    if (!is_missing(value) && !b_empty_binary) {
        if (vt == VT_DECIMAL && dec_is_out_of_range(value, field)) {
            tk_trace::write(2, "Decimal is out of range");
            count(udb_substitution::DECIMAL_RANGE);
            return decimal_literal(gen_dec_value(field, value.to_double() < 0));
        }
        std::u16string literal = mss_sql_literal(mssql_get_safe_variant(value));
        tk_trace::write(2, u"Got string: %s", literal);
        return literal;
    }
    tk_trace::write(2, "Put NULL-field");
    if (b_empty_binary) count(udb_substitution::EMPTY_BINARY);
    if (!field.b_not_null) return u"NULL";
    // An empty binary value stays empty where the column is required.
    if (b_empty_binary) return mss_sql_literal(ole_variant(std::u16string()));
    count(udb_substitution::REQUIRED_NULL);
    const std::optional<ole_variant> substitute = required_substitute(field);
    if (!substitute) return u"NULL";
    return mss_sql_literal(mssql_get_safe_variant(*substitute));
}

std::u16string mss_table::values_row(const udb_record& record,
                                     udb_substitution_counts& changed) const {
    check_structure(record);
    std::u16string values = u"( ";
    for (std::size_t column_idx = 0; column_idx < schema.size(); ++column_idx) {
        const t_ftd& field = schema[column_idx];
        if (column_idx > 0) values += u", ";
        // The run hands records in the schema's order: the field at the column's position is
        // the one, found without a case-blind search over the record for every value.
        if (record[column_idx].name == field.name) {
            values += get_fld_append_str(record[column_idx], field, &changed);
            continue;
        }
        if (!record.find_field(field.name)) {
            tk_trace::write(2, u"Field %s not found", field.name);
            throw tk_exception(STRUCTURE_TEXT, ERROR_LEVEL_RECOVERABLE);
        }
        udb_record& readable = const_cast<udb_record&>(record);   // field() looks up only
        values += get_fld_append_str(readable.field(field.name), field, &changed);
    }
    return values + u")";
}

const std::u16string& mss_table::insert_head() {
    if (!head.empty()) return head;
    head = u"INSERT INTO " + table_name + u"(";
    for (std::size_t column_idx = 0; column_idx < schema.size(); ++column_idx) {
        if (column_idx > 0) head += u", ";
        head += mss_bracket(schema[column_idx].name);
    }
    head += u") VALUES";
    return head;
}

void mss_table::slow_record(const udb_record& record, udb_substitution_counts& changed) {
    tk_trace::write(1, "mss_table::slow_record(schema size=%d, record size=%d",
                    static_cast<int>(schema.size()), static_cast<int>(record.size()));
    const std::u16string values = values_row(record, changed);
    if (schema.empty()) return;
    const std::u16string statement = session_prologue() + insert_head() + values
                                     + session_epilogue();
    tk_trace::write(2, u"Run SQL query: %s\n", statement);
    odb_command(session).execute(statement);
    ++inserted;
}

oledb_bulk_value mss_table::bulk_value(const udb_field& source, std::size_t column_idx,
                                       udb_substitution_counts& changed) const {
    const t_ftd& column = schema[column_idx];
    const bool is_unicode = column_idx < unicode_columns.size() && unicode_columns[column_idx];
    const auto text_value = [is_unicode](const std::u16string& text) -> oledb_bulk_value {
        if (is_unicode) return oledb_wide_text{text};
        return oledb_text{tk_utf16_to_utf8(text)};
    };
    // Read in place: a copy of every value would cost an allocation per text. Text forms are
    // the value's own (ole_variant::), as the copy gave: a source field's are for display.
    // Made only for a missing value: one per value would cost its making and its freeing.
    const ole_variant* read = &source;
    std::optional<ole_variant> substitute;
    if (is_missing(source)) {
        if (!column.b_not_null) return std::monostate{};
        changed.add(udb_substitution::REQUIRED_NULL);
        substitute = required_substitute(column);
        if (!substitute) return std::monostate{};
        read = &*substitute;
    }
    const ole_variant& value = *read;
    switch (column.vartype) {
    case VT_I1:
    case VT_I2:
    case VT_I4:
    case VT_UI2:
    case VT_INT:
    case VT_UI1:
        tk_trace::write(2, "Got VT_I1/2: %d", value.to_long());
        return std::int64_t{value.to_long()};
    // 64-bit integers are sent whatever the server version: leaving them unbound would
    // load NULL where the statement path writes the number.
    case VT_UI4:
    case VT_I8:
    case VT_UINT:
    case VT_UI8: return integer_of(value);
    case VT_R4:
    case VT_R8: {
        const double number = mss_safe_double(value.to_double());
        tk_trace::write(2, "Got VT_R4/8: %lg", number);
        return number;
    }
    case VT_BOOL:
        tk_trace::write(2, "Got VT_BOOL: %d", value.to_bool() ? 1 : 0);
        return value.to_bool();
    case VT_CY: return oledb_money{value.value.cyVal.int64};
    case VT_DATE: {
        SYSTEMTIME time = value.date_value;
        if (mss_replace_early_date(time)) {
            tk_trace::write(2, "Found 0000-00-00 date");
            changed.add(udb_substitution::EARLY_DATE);
        }
        return timestamp_of(time);
    }
    case VT_DECIMAL: {
        if (dec_is_out_of_range(value, column)) {
            // The same replacement as the statement path, so both load the same row.
            changed.add(udb_substitution::DECIMAL_RANGE);
            return oledb_text{tk_utf16_to_utf8(gen_dec_value(column, value.to_double() < 0))};
        }
        // Sent as its exact digits: a double keeps only about 15 of them.
        return oledb_text{value.ole_variant::to_string()};
    }
    case VT_BLOB:
    case VT_BLOB_OBJECT:
    case VT_BINARY_ARRAY: {
        BYTE* data = nullptr;
        const std::size_t length = value.get_bytes(&data);
        if (length == 0 || data == nullptr) {
            // Text in a binary column (a GUID read as text) goes as its bytes of text.
            return oledb_text{value.ole_variant::to_string()};
        }
        return oledb_bytes{std::string(reinterpret_cast<const char*>(data), length)};
    }
    default: {
        if (udb_custom_conversion::ask_is_acceptable2(value)) {
            std::u16string ruled;
            udb_custom_conversion::ask_handle2(ruled, value);
            return text_value(ruled);
        }
        return text_value(value.ole_variant::to_wstring());
    }
    }
}
