// dao_recs.cpp - dao_recordset: walking rows.
#include "dao/dao_recs.hpp"

#include "dao/dao_bstr.hpp"
#include "dao/dao_exce.hpp"
#include "platform/dao/dao.hpp"
#include "tk/tk_trace.hpp"

dao_recordset::dao_recordset(const std::u16string& new_name,
                             ole_com_ptr<DAORecordset> new_recordset,
                             ole_com_ptr<DAOTableDef> table)
    : udb_recordset(new_name), recordset(std::move(new_recordset)), table_def(std::move(table)) {
    tk_trace::write(2, u"dao_recordset::dao_recordset(%s)", new_name);
    dao_require(this->recordset.get(), "recordset");
    dao_require(table_def.get(), "table definition");
    LONG count = 0;
    dao_check(table_def->get_RecordCount(&count));
    records_count = count;
    tk_trace::write(2, "Got records count: %d", int(records_count));
    ole_com_ptr<DAOFields> fields;
    dao_check(table_def->get_Fields(fields.put()));
    init_schema(*dao_require(fields.get(), "fields"));
    init_indexes(*table_def.get());
    read_eof();
}

dao_recordset::dao_recordset(const std::u16string& new_name, const std::u16string& new_sql,
                             ole_com_ptr<DAORecordset> new_recordset,
                             ole_com_ptr<DAOQueryDef> query, std::int32_t count)
    : udb_recordset(new_name, new_sql), recordset(std::move(new_recordset)),
      query_def(std::move(query)) {
    tk_trace::write(2, u"dao_recordset::dao_recordset(%s)", new_name);
    dao_require(this->recordset.get(), "recordset");
    dao_require(query_def.get(), "query");
    records_count = count;
    tk_trace::write(2, "Got records count: %d", int(records_count));
    ole_com_ptr<DAOFields> fields;
    dao_check(query_def->get_Fields(fields.put()));
    init_schema(*dao_require(fields.get(), "fields"));
    read_eof();
}

dao_recordset::~dao_recordset() { tk_trace::write(2, "dao_recordset::dtor"); }

void dao_recordset::read_eof() { dao_check(recordset->get_EOF(&eof_flag)); }

namespace {

constexpr char RECORD_TOO_LARGE[] = "Record is too large.";

// A time-only value printed with the fake day "0000-00-00" gets Access's day back.
ole_variant access_date(const udb_field& field) {
    std::string text = field.to_string();
    std::size_t at = text.find("0000-00-00");
    if (at != std::string::npos) {
        tk_trace::write(1, "Null date has been found");
        text.replace(at, 10, "1899-12-30");
    }
    return ole_variant::from_string(text, VT_DATE);
}

}   // namespace

ole_variant dao_recordset::value_to_store(const udb_field& field, const t_ftd& column) const {
    std::uint16_t type = field.get_vartype();
    if (column.b_not_null && (type == VT_EMPTY || type == VT_NULL)) {
        tk_trace::write(1, "Got NULL value for not null field");
        return ole_variant::from_wstring(u"", column.vartype);
    }
    if (type == VT_DATE) return access_date(field);
    if (dao_needs_valid_variant(type)) return dao_get_valid_variant(field);
    return field;
}

void dao_recordset::append_record(udb_record& record) {
    tk_trace::write(1, "dao_recordset::append_record");
    convert_record(record);
    dao_check(recordset->AddNew());
    tk_trace::write(1, "\tAdd blank DAO record");
    if (record.size() != schema.size())
        throw tk_exception("The structures of data source does not conform to the "
                           "destination table.",
                           ERROR_LEVEL_RECOVERABLE);
    for (std::size_t field_idx = 0; field_idx < record.size(); ++field_idx) {
        const t_ftd& column = schema[field_idx];
        udb_field& field = record[field_idx];
        tk_trace::write(1, u"\tAdd field '%s', type=%08X (value=%s)", column.name,
                        unsigned(field.get_vartype()), field.to_wstring());
        dao_bstr local_name(column.name);
        ole_variant value = value_to_store(field, column);
        try {
            dao_check(recordset->put_Collect(local_name.as_variant(), value.value));
        } catch (const dao_exception& failure) {
            if (failure.message() != RECORD_TOO_LARGE) throw;
            tk_trace::write(2, RECORD_TOO_LARGE);
            dao_check(recordset->put_Collect(local_name.as_variant(), ole_variant().value));
        }
    }
    ++records_count;
    dao_check(recordset->Update());
    tk_trace::write(1, "Commit new record into database");
}

// One record per recordset: its fields follow the current row, so each row costs the values
// alone, not a Fields collection and every column's attributes again.
udb_record* dao_recordset::get_item() {
    if (eof_flag != 0) return nullptr;
    if (current) {
        current->read_values();
        return current.get();
    }
    ole_com_ptr<DAOFields> fields;
    dao_check(recordset->get_Fields(fields.put()));
    current = std::make_unique<dao_record>(std::move(fields));
    return current.get();
}

bool dao_recordset::is_eof() { return eof_flag != 0; }

void dao_recordset::next() {
    dao_check(recordset->MoveNext());
    read_eof();
}

void dao_recordset::prev() {
    VARIANT_BOOL at_start = 0;
    dao_check(recordset->get_BOF(&at_start));
    if (at_start == 0) dao_check(recordset->MovePrevious());
}

// The end flag is read again: after a full walk it would otherwise still say "end" and the
// rows read a second time would be none.
void dao_recordset::reset() {
    if (records_count != 0) dao_check(recordset->MoveFirst());
    read_eof();
}
