#pragma once
// daostub_recordset.hpp - DAO's QueryDef (a temporary query: its SQL text, the Fields of its
// result, OpenRecordset) and Recordset (EOF, BOF, MoveFirst, MoveNext, MovePrevious,
// Fields of the current row). The stand-in reads only: AddNew and Update answer 3251.

#include <memory>
#include <string>

#include "platform/dao/daostub_context.hpp"
#include "platform/dao/daostub_field.hpp"
#include "platform/dao/daostub_rows.hpp"

class jet_database;

// Recordset types and options DAO's callers pass.
inline constexpr int DAO_OPEN_DYNASET = 2;
inline constexpr int DAO_OPTION_DENY_WRITE = 1;
inline constexpr int DAO_OPTION_READ_ONLY = 4;
inline constexpr int DAO_OPTION_APPEND_ONLY = 8;

class DAORecordset : public com_object {
public:
    DAORecordset(std::shared_ptr<daostub_context> context, std::shared_ptr<daostub_rows> rows);

    HRESULT get_EOF(VARIANT_BOOL* eof);
    HRESULT get_BOF(VARIANT_BOOL* bof);
    HRESULT MoveFirst();
    HRESULT MoveNext();
    HRESULT MovePrevious();
    HRESULT get_Fields(DAOFields** fields);
    HRESULT AddNew();
    HRESULT Update();

private:
    HRESULT move(bool (daostub_rows::*step)());

    std::shared_ptr<daostub_context> context;
    std::shared_ptr<daostub_rows> rows;
    daostub_columns columns;
};

class DAOQueryDef : public com_object {
public:
    // rows: the statement already prepared (its errors surfaced at CreateQueryDef).
    DAOQueryDef(std::shared_ptr<daostub_context> context,
                std::shared_ptr<const jet_database> database, std::u16string sql,
                std::unique_ptr<daostub_rows> rows);

    HRESULT get_SQL(BSTR* sql);
    HRESULT get_Fields(DAOFields** fields);
    // type: 2 (dynaset) or empty; options: 1, 4 or 8. Writing is refused later, by AddNew.
    HRESULT OpenRecordset(VARIANT type, VARIANT options, DAORecordset** recordset);

private:
    std::shared_ptr<daostub_context> context;
    std::shared_ptr<const jet_database> database;
    std::u16string sql;
    std::unique_ptr<daostub_rows> prepared;   // handed to the first OpenRecordset
    daostub_columns columns;
};
