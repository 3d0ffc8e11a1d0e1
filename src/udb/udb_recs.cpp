// udb_recs.cpp - what every recordset shares: converting a row to the table's column types
// before it is written, and keeping the index list free of duplicate names. A recordset that
// overrides no cursor operation yields no rows.
#include "udb/udb_db.hpp"

#include "tk/tk_exce.hpp"
#include "tk/tk_trace.hpp"

udb_recordset::udb_recordset(std::u16string new_name) : name(std::move(new_name)) {}

udb_recordset::udb_recordset(std::u16string new_name, std::u16string new_sql)
    : name(std::move(new_name)), sql(std::move(new_sql)) {}

udb_recordset::~udb_recordset() = default;

udb_record* udb_recordset::get_item() { return nullptr; }

bool udb_recordset::is_eof() { return true; }

bool udb_recordset::is_query() const { return !sql.empty(); }

void udb_recordset::next() {}

void udb_recordset::prev() {}

void udb_recordset::reset() {}

std::int64_t udb_recordset::count_rows() { return -1; }

void udb_recordset::convert_record(udb_record& record) const {
    tk_trace::write(1, "udb_recordset::convert_record");
    // Callers check the record against the schema first; a longer one is our own fault.
    TK_ASSERT(record.size() <= schema.size());
    for (std::size_t field_idx = 0; field_idx < record.size(); ++field_idx) {
        udb_field& field = record[field_idx];
        const t_ftd& column = schema[field_idx];
        tk_trace::write(2, u"from=%s, to=%s", field.name, column.name);
        field.change_type(column.vartype);
    }
}

void udb_recordset::add_index(const udb_index& index) {
    tk_trace::write(1, u"udb_recordset::add_index (%s)", index.name);
    if (indexes.is_acceptable_name(index.name)) indexes.add(index);
}

void udb_recordset::clean_indexes() {
    tk_trace::write(1, "udb_recordset::clean_indexes");
    indexes.clear();
}
