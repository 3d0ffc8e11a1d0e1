#pragma once
// daostub_tabledef.hpp - DAO's TableDefs (every table of the catalogue, system and linked
// ones included, in catalogue order) and TableDef (Name, Attributes with 0x40000000 for a
// linked and 0x80000002 for a system table, RecordCount, Fields, Indexes). A linked table
// has no local definition: its Fields and Indexes fail with 3078 as the engine reports.
// In a file made by CreateDatabase, TableDefs lists the user tables written so far and takes
// Append (a TableDef from CreateTableDef, with its CreateField and CreateIndex) and Delete.

#include <memory>
#include <optional>
#include <vector>

#include "platform/dao/daostub_context.hpp"
#include "platform/dao/daostub_field.hpp"
#include "platform/dao/daostub_index.hpp"
#include "platform/dao/daostub_written.hpp"
#include "platform/jet/jet_catalog.hpp"

class jet_database;

class DAOTableDef : public com_object {
public:
    DAOTableDef(std::shared_ptr<daostub_context> context,
                std::shared_ptr<const jet_database> database, jet_catalog_entry entry);
    // A table of a file being written.
    DAOTableDef(std::shared_ptr<daostub_context> context,
                std::shared_ptr<daostub_written_file> written, std::u16string name);
    // A table being defined (CreateTableDef).
    DAOTableDef(std::shared_ptr<daostub_context> context, std::shared_ptr<daostub_new_table> fresh);

    HRESULT get_Name(BSTR* name);
    HRESULT get_Attributes(LONG* attributes);
    // Live rows, counted by reading them: the stored count can include deleted rows.
    HRESULT get_RecordCount(LONG* count);
    HRESULT get_Fields(DAOFields** fields);
    HRESULT get_Indexes(DAOIndexes** indexes);
    // A table being defined only (3219 otherwise). size: Text characters, Binary bytes.
    HRESULT CreateField(BSTR name, VARIANT type, VARIANT size, DAOField** field);
    HRESULT CreateIndex(BSTR name, DAOIndex** index);
    const std::shared_ptr<daostub_new_table>& new_definition() const { return fresh; }

private:
    const jet_table_def& definition();

    std::shared_ptr<daostub_context> context;
    std::shared_ptr<const jet_database> database;
    jet_catalog_entry entry;
    std::optional<jet_table_def> loaded;
    std::shared_ptr<daostub_written_file> written;   // set for a table of a file written
    std::shared_ptr<daostub_new_table> fresh;        // set for a table being defined
};

class DAOTableDefs : public com_object {
public:
    DAOTableDefs(std::shared_ptr<daostub_context> context,
                 std::shared_ptr<const jet_database> database);
    DAOTableDefs(std::shared_ptr<daostub_context> context,
                 std::shared_ptr<daostub_written_file> written);

    HRESULT get_Count(SHORT* count);
    HRESULT get_Item(VARIANT index, DAOTableDef** table);
    // A file being written only; 3251 for a file opened to read.
    HRESULT Append(DAOTableDef* table);
    HRESULT Delete(BSTR name);

private:
    std::shared_ptr<daostub_context> context;
    std::shared_ptr<const jet_database> database;
    std::vector<jet_catalog_entry> entries;
    std::vector<std::u16string> names;
    std::shared_ptr<daostub_written_file> written;
};
