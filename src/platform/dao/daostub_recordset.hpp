#pragma once
// daostub_recordset.hpp - DAO's QueryDef (a temporary query: its SQL text, the Fields of its
// result, OpenRecordset) and Recordset (EOF, BOF, MoveFirst, MoveNext, MovePrevious,
// Fields of the current row). A recordset over a table of a file made by CreateDatabase
// appends: AddNew starts a row of NULLs, Collect sets a field by name or position, Update
// stores the row (the engine's errors: 3314 NULL in a required field, 3163 too long, 3047
// record too large ...). Elsewhere AddNew and Update answer 3251.

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/dao/daostub_context.hpp"
#include "platform/dao/daostub_field.hpp"
#include "platform/dao/daostub_rows.hpp"
#include "platform/dao/daostub_written.hpp"

class jet_database;

// Recordset types and options DAO's callers pass.
inline constexpr int DAO_OPEN_DYNASET = 2;
inline constexpr int DAO_OPTION_DENY_WRITE = 1;
inline constexpr int DAO_OPTION_READ_ONLY = 4;
inline constexpr int DAO_OPTION_APPEND_ONLY = 8;

class DAORecordset : public com_object {
public:
    DAORecordset(std::shared_ptr<daostub_context> context, std::shared_ptr<daostub_rows> rows);
    // Appending to a table of a file being written.
    DAORecordset(std::shared_ptr<daostub_context> context, std::shared_ptr<daostub_rows> rows,
                 std::shared_ptr<daostub_written_file> written, std::u16string table_name);

    HRESULT get_EOF(VARIANT_BOOL* eof);
    HRESULT get_BOF(VARIANT_BOOL* bof);
    HRESULT MoveFirst();
    HRESULT MoveNext();
    HRESULT MovePrevious();
    HRESULT get_Fields(DAOFields** fields);
    HRESULT AddNew();
    // item: a field name or position. 3021 without AddNew.
    HRESULT put_Collect(VARIANT item, VARIANT value);
    // 3020 without AddNew.
    HRESULT Update();

private:
    HRESULT move(bool (daostub_rows::*step)());

    std::shared_ptr<daostub_context> context;
    std::shared_ptr<daostub_rows> rows;
    daostub_columns columns;
    std::shared_ptr<daostub_written_file> written;
    std::u16string table_name;
    std::optional<std::vector<jet_value>> new_row;   // between AddNew and Update
};

class DAOQueryDef : public com_object {
public:
    // rows: the statement already prepared (its errors surfaced at CreateQueryDef).
    DAOQueryDef(std::shared_ptr<daostub_context> context,
                std::shared_ptr<const jet_database> database, std::u16string sql,
                std::unique_ptr<daostub_rows> rows);
    // "SELECT * FROM [table]" of a file being written: its recordset appends.
    DAOQueryDef(std::shared_ptr<daostub_context> context,
                std::shared_ptr<daostub_written_file> written, std::u16string table_name,
                std::u16string sql, std::unique_ptr<daostub_rows> rows);

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
    std::shared_ptr<daostub_written_file> written;
    std::u16string table_name;
};
