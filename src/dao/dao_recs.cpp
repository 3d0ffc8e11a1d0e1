// dao_recs.cpp - dao_recordset: walking rows.
#include "dao/dao_recs.hpp"

#include "dao/dao_exce.hpp"
#include "platform/dao/dao.hpp"
#include "tk/tk_trace.hpp"

dao_recordset::dao_recordset(const std::u16string& name, ole_com_ptr<DAORecordset> recordset,
                             ole_com_ptr<DAOTableDef> table)
    : udb_recordset(name), recordset(std::move(recordset)), table_def(std::move(table)) {
    tk_trace::write(2, u"dao_recordset::dao_recordset(%s)", name);
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

dao_recordset::dao_recordset(const std::u16string& name, const std::u16string& sql,
                             ole_com_ptr<DAORecordset> recordset, ole_com_ptr<DAOQueryDef> query,
                             std::int32_t count)
    : udb_recordset(name, sql), recordset(std::move(recordset)), query_def(std::move(query)) {
    tk_trace::write(2, u"dao_recordset::dao_recordset(%s)", name);
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

void dao_recordset::append_record(udb_record&) {
    tk_trace::write(1, "dao_recordset::append_record");
    throw dao_not_supported("append_record");
}

udb_record* dao_recordset::get_item() {
    current.reset();
    if (eof_flag != 0) return nullptr;
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
