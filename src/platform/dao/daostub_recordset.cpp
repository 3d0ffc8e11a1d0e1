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

}  // namespace

DAORecordset::DAORecordset(std::shared_ptr<daostub_context> context,
                           std::shared_ptr<daostub_rows> rows)
    : context(std::move(context)), rows(std::move(rows)),
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

HRESULT DAORecordset::AddNew() { return context->fail_not_supported(); }
HRESULT DAORecordset::Update() { return context->fail_not_supported(); }

DAOQueryDef::DAOQueryDef(std::shared_ptr<daostub_context> context,
                         std::shared_ptr<const jet_database> database, std::u16string sql,
                         std::unique_ptr<daostub_rows> rows)
    : context(std::move(context)), database(std::move(database)), sql(std::move(sql)),
      prepared(std::move(rows)), columns(daostub_share_columns(prepared->columns())) {}

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
        *recordset = com_new<DAORecordset>(context, std::move(rows));
    });
}
