#pragma once
// daostub_tabledef.hpp - DAO's TableDefs (every table of the catalogue, system and linked
// ones included, in catalogue order) and TableDef (Name, Attributes with 0x40000000 for a
// linked and 0x80000002 for a system table, RecordCount, Fields, Indexes). A linked table
// has no local definition: its Fields and Indexes fail with 3078 as the engine reports.

#include <memory>
#include <optional>
#include <vector>

#include "platform/dao/daostub_context.hpp"
#include "platform/dao/daostub_field.hpp"
#include "platform/dao/daostub_index.hpp"
#include "platform/jet/jet_catalog.hpp"

class jet_database;

class DAOTableDef : public com_object {
public:
    DAOTableDef(std::shared_ptr<daostub_context> context,
                std::shared_ptr<const jet_database> database, jet_catalog_entry entry);

    HRESULT get_Name(BSTR* name);
    HRESULT get_Attributes(LONG* attributes);
    // Live rows, counted by reading them: the stored count can include deleted rows.
    HRESULT get_RecordCount(LONG* count);
    HRESULT get_Fields(DAOFields** fields);
    HRESULT get_Indexes(DAOIndexes** indexes);

private:
    const jet_table_def& definition();

    std::shared_ptr<daostub_context> context;
    std::shared_ptr<const jet_database> database;
    jet_catalog_entry entry;
    std::optional<jet_table_def> loaded;
};

class DAOTableDefs : public com_object {
public:
    DAOTableDefs(std::shared_ptr<daostub_context> context,
                 std::shared_ptr<const jet_database> database);

    HRESULT get_Count(SHORT* count);
    HRESULT get_Item(VARIANT index, DAOTableDef** table);
    // The writing side is not there: 3251.
    HRESULT Delete(BSTR name);

private:
    std::shared_ptr<daostub_context> context;
    std::shared_ptr<const jet_database> database;
    std::vector<jet_catalog_entry> entries;
    std::vector<std::u16string> names;
};
