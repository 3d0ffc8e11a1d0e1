// daostub_recordset.cpp - QueryDef and Recordset.
#include "platform/dao/daostub_recordset.hpp"

#include "platform/dao/daostub_statement.hpp"
#include "platform/jet/jet_database.hpp"

namespace {

bool is_option(const VARIANT& value, std::int32_t* number) {
    if (value.vt == VT_EMPTY) return true;
    if (value.vt == VT_I2) *number = value.iVal;
    else if (value.vt == VT_I4) *number = value.lVal;
    else return false;
    return true;
}

}   // namespace

DAORecordset::DAORecordset(std::shared_ptr<daostub_context> new_context,
                           std::shared_ptr<daostub_rows> new_rows)
    : context(std::move(new_context)), rows(std::move(new_rows)),
      columns(daostub_share_columns(this->rows->columns())) {}

HRESULT DAORecordset::get_EOF(VARIANT_BOOL* eof) {
    if (eof == nullptr) return E_POINTER;
    *eof = rows->at_eof() ? VARIANT_BOOL(-1) : VARIANT_BOOL(0);
    return S_OK;
}

HRESULT DAORecordset::get_BOF(VARIANT_BOOL* bof) {
    if (bof == nullptr) return E_POINTER;
    *bof = rows->at_bof() ? VARIANT_BOOL(-1) : VARIANT_BOOL(0);
    return S_OK;
}

HRESULT DAORecordset::move(bool (daostub_rows::*step)()) {
    bool moved = false;
    HRESULT result = context->guard([&] { moved = ((*rows).*step)(); });
    if (FAILED(result)) return result;
    if (!moved) return context->fail(DAO_ERR_NO_CURRENT_RECORD, "No current record.");
    return S_OK;
}

HRESULT DAORecordset::MoveFirst() { return move(&daostub_rows::move_first); }
HRESULT DAORecordset::MoveNext() { return move(&daostub_rows::move_next); }
HRESULT DAORecordset::MovePrevious() { return move(&daostub_rows::move_previous); }

HRESULT DAORecordset::get_Fields(DAOFields** fields) {
    if (fields == nullptr) return E_POINTER;
    *fields = com_new<DAOFields>(context, columns, rows);
    return S_OK;
}

DAORecordset::DAORecordset(std::shared_ptr<daostub_context> new_context,
                           std::shared_ptr<daostub_rows> new_rows,
                           std::shared_ptr<daostub_written_file> new_written,
                           std::u16string new_table_name)
    : DAORecordset(std::move(new_context), std::move(new_rows)) {
    this->written = std::move(new_written);
    this->table_name = std::move(new_table_name);
}

HRESULT DAORecordset::AddNew() {
    if (!written) return context->fail_not_supported();
    new_row.emplace(columns->size());
    return S_OK;
}

HRESULT DAORecordset::put_Collect(VARIANT item, VARIANT value) {
    if (!new_row) return context->fail(DAO_ERR_NO_CURRENT_RECORD, "No current record.");
    std::vector<std::u16string> names;
    for (const jet_column& column : *columns) names.push_back(column.name);
    std::size_t position = 0;
    HRESULT result = daostub_find_item(*context, item, names, &position);
    if (FAILED(result)) return result;
    return context->guard(
        [&] { (*new_row)[position] = daostub_from_variant((*columns)[position], value); });
}

HRESULT DAORecordset::Update() {
    if (!written) return context->fail_not_supported();
    if (!new_row)
        return context->fail(DAO_ERR_UPDATE_WITHOUT_ADDNEW,
                             "Update or CancelUpdate without AddNew or Edit.");
    return context->guard([&] {
        written->writer().append_row(table_name, *new_row);
        new_row.reset();
    });
}

DAOQueryDef::DAOQueryDef(std::shared_ptr<daostub_context> new_context,
                         std::shared_ptr<const jet_database> new_database, std::u16string new_sql,
                         std::unique_ptr<daostub_rows> rows)
    : context(std::move(new_context)), database(std::move(new_database)), sql(std::move(new_sql)),
      prepared(std::move(rows)), columns(daostub_share_columns(prepared->columns())) {}

DAOQueryDef::DAOQueryDef(std::shared_ptr<daostub_context> new_context,
                         std::shared_ptr<daostub_written_file> new_written,
                         std::u16string new_table_name, std::u16string new_sql,
                         std::unique_ptr<daostub_rows> rows)
    : DAOQueryDef(std::move(new_context), nullptr, std::move(new_sql), std::move(rows)) {
    this->written = std::move(new_written);
    this->table_name = std::move(new_table_name);
}

HRESULT DAOQueryDef::get_SQL(BSTR* text) {
    if (text == nullptr) return E_POINTER;
    *text = context->text_out(sql);
    return S_OK;
}

HRESULT DAOQueryDef::get_Fields(DAOFields** fields) {
    if (fields == nullptr) return E_POINTER;
    *fields = com_new<DAOFields>(context, columns, nullptr);
    return S_OK;
}

HRESULT DAOQueryDef::OpenRecordset(VARIANT type, VARIANT options, DAORecordset** recordset) {
    if (recordset == nullptr) return E_POINTER;
    *recordset = nullptr;
    std::int32_t type_code = DAO_OPEN_DYNASET;
    std::int32_t option_bits = 0;
    if (!is_option(type, &type_code) || !is_option(options, &option_bits)) {
        return context->fail(DAO_ERR_INVALID_ARGUMENT, "Invalid argument.");
    }
    return context->guard([&] {
        std::shared_ptr<daostub_rows> rows =
            prepared ? std::shared_ptr<daostub_rows>(std::move(prepared))
                     : std::shared_ptr<daostub_rows>(daostub_open_statement(database, sql));
        rows->open();
        *recordset = written ? com_new<DAORecordset>(context, std::move(rows), written, table_name)
                             : com_new<DAORecordset>(context, std::move(rows));
    });
}
