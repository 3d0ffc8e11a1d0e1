// dao_db.cpp - the Access catalogue: tables, table and query recordsets, statement tests.
#include "dao/dao_db.hpp"

#include "dao/dao_bstr.hpp"
#include "dao/dao_exce.hpp"
#include "dao/dao_indexes_initializer.hpp"
#include "dao/dao_recs.hpp"
#include "dao/dao_schema_initializer.hpp"
#include "platform/dao/dao.hpp"
#include "platform/winbase/win_compare.hpp"
#include "tk/tk_trace.hpp"

std::u16string dao_bracketed(const std::u16string& name) {
    std::u16string text = u"[";
    for (char16_t ch : name) {
        text += ch;
        if (ch == u']') text += u']';
    }
    return text + u"]";
}

bool dao_is_system_table(const std::u16string& name, std::uint32_t attributes) {
    if ((attributes & DAO_ATTR_SYSTEM) != 0) return true;
    constexpr std::u16string_view prefix = u"MSys";
    return name.size() >= prefix.size()
           && win_equal_ignore_case(std::u16string_view(name).substr(0, prefix.size()), prefix);
}

dao_database::dao_database(const std::u16string& path, ole_com_ptr<DAODatabase> new_database,
                           std::uint32_t new_flags)
    : udb_database(path, new_flags, false), database(std::move(new_database)) {
    tk_trace::write(2, u"dao_database::dao_database( %s )", path);
    TK_ASSERT(this->database.get() != nullptr);
    list_tables();
    if ((new_flags & DAO_FLAG_NO_FKEYS) == 0) {
        init_fkeys();
        add_child_fkeys();
    }
}

dao_database::~dao_database() { tk_trace::write(2, "dao_database::~dao_database"); }

void dao_database::list_tables() {
    dao_check(database->get_TableDefs(table_defs.put()));
    dao_require(table_defs.get(), "table list");
    SHORT count = 0;
    dao_check(table_defs->get_Count(&count));
    for (SHORT table_idx = 0; table_idx < count; ++table_idx) {
        ole_com_ptr<DAOTableDef> table;
        dao_check(table_defs->get_Item(dao_number_variant(table_idx), table.put()));
        dao_require(table.get(), "table definition");
        dao_bstr local_name;
        dao_check(table->get_Name(local_name.put()));
        LONG attributes = 0;
        dao_check(table->get_Attributes(&attributes));
        std::u16string table_name = local_name.to_wstring();
        if ((std::uint32_t(attributes) & DAO_ATTR_LINKED) != 0) {
            tk_trace::write(2, u"Skip linked table '%s'", table_name);
        } else if (dao_is_system_table(table_name, std::uint32_t(attributes))) {
            tk_trace::write(2, u"Skip system table '%s'", table_name);
        } else {
            tk_trace::write(2, u"Got table: '%s'", table_name);
            tables.push_back(table_name);
            list_complex_columns(*table.get(), table_name);
        }
    }
    name_child_tables();
}

ole_com_ptr<DAORecordset> dao_database::open_temporary(const std::u16string& sql, int options,
                                                       ole_com_ptr<DAOQueryDef>* query) {
    ole_com_ptr<DAOQueryDef> made;
    dao_bstr no_name(std::u16string{});
    dao_bstr text(sql);
    dao_check(database->CreateQueryDef(no_name, text.as_variant(), made.put()));
    dao_require(made.get(), "query");
    ole_com_ptr<DAORecordset> recordset;
    dao_check(made->OpenRecordset(dao_number_variant(DAO_OPEN_DYNASET), dao_number_variant(options),
                                  recordset.put()));
    dao_require(recordset.get(), "recordset");
    if (query != nullptr) *query = std::move(made);
    return recordset;
}

std::unique_ptr<udb_recordset> dao_database::get_table(const std::u16string& table_name,
                                                       std::uint32_t open_flags) {
    tk_trace::write(2, u"dao_database::get_table(%s, %d)", table_name, int(open_flags));
    TK_ASSERT(is_table_exist(table_name));
    if (const dao_complex_column* complex = find_child_table(table_name))
        return open_child_table(*complex);
    ole_com_ptr<DAOTableDef> table;
    dao_bstr local_name(table_name);
    dao_check(table_defs->get_Item(local_name.as_variant(), table.put()));
    dao_require(table.get(), "table definition");
    tk_trace::write(2, "Right after tdfs->getItem");
    LONG attributes = 0;
    dao_check(table->get_Attributes(&attributes));
    if ((std::uint32_t(attributes) & (DAO_ATTR_LINKED | DAO_ATTR_SYSTEM)) != 0) return nullptr;
    int options = (open_flags & DAO_FLAG_READ) != 0 ? DAO_OPTION_READ_ONLY : DAO_OPTION_APPEND_ONLY;
    ole_com_ptr<DAORecordset> recordset = open_temporary(
        u"SELECT * FROM " + dao_bracketed(table_name), options);
    tk_trace::write(2, "Right after src->CreateQueryDef");
    return std::make_unique<dao_recordset>(table_name, std::move(recordset), std::move(table));
}

std::unique_ptr<udb_recordset> dao_database::get_query(const std::u16string& query_name,
                                                       const std::u16string& sql,
                                                       std::uint32_t open_flags) {
    tk_trace::write(2, u"dao_database::get_query(%s, %d)", query_name, int(open_flags));
    std::uint32_t count = get_records_count(sql);
    int options = (open_flags & DAO_FLAG_READ) != 0 ? DAO_OPTION_READ_ONLY : DAO_OPTION_APPEND_ONLY;
    ole_com_ptr<DAOQueryDef> query;
    ole_com_ptr<DAORecordset> recordset = open_temporary(sql, options, &query);
    return std::make_unique<dao_recordset>(query_name, sql, std::move(recordset), std::move(query),
                                           std::int32_t(count));
}

std::uint32_t dao_database::get_records_count(const std::u16string& sql) {
    ole_com_ptr<DAORecordset> recordset = open_temporary(u"select count(*) from (" + sql + u")",
                                                         DAO_OPTION_READ_ONLY);
    dao_check(recordset->MoveFirst());
    ole_com_ptr<DAOFields> fields;
    dao_check(recordset->get_Fields(fields.put()));
    dao_require(fields.get(), "fields");
    ole_com_ptr<DAOField> field;
    dao_check(fields->get_Item(dao_number_variant(0), field.put()));
    dao_require(field.get(), "field");
    VARIANT value{};
    dao_check(field->get_Value(&value));
    VARIANT number{};
    HRESULT converted = VariantChangeType(&number, &value, 0, VT_UI4);
    VariantClear(&value);
    if (FAILED(converted)) {
        tk_trace::write(2, "Row count is not a number (%08X)", unsigned(converted));
        return 0;
    }
    return number.ulVal;
}

bool dao_database::test_query(const std::u16string& sql) {
    tk_trace::write(2, u"dao_database::test_query(%s)", sql);
    ole_com_ptr<DAOQueryDef> query;
    dao_bstr no_name(std::u16string{});
    dao_bstr text(sql);
    if (FAILED(database->CreateQueryDef(no_name, text.as_variant(), query.put())) || !query) {
        return false;
    }
    ole_com_ptr<DAORecordset> recordset;
    if (FAILED(query->OpenRecordset(dao_number_variant(DAO_OPEN_DYNASET),
                                    dao_number_variant(DAO_OPTION_DENY_WRITE), recordset.put()))) {
        return false;
    }
    return recordset.get() != nullptr;
}

std::unique_ptr<udb_recordset> dao_database::create_table(const std::u16string& table_name,
                                                          const udb_schema& schema,
                                                          const udb_indexes& indexes) {
    tk_trace::write(2, u"dao_database::create_table (%s)", table_name);
    TK_ASSERT((flags & DAO_FLAG_READ) == 0);
    if (is_table_exist(table_name)) {
        TK_ASSERT((flags & DAO_FLAG_OPEN_EXISTING) != 0);
        return get_table(table_name, 8);
    }
    ole_com_ptr<DAOTableDef> table;
    dao_bstr local_name(table_name);
    VARIANT attributes = dao_number_variant(0);
    dao_bstr no_source(std::u16string{});
    dao_bstr no_connect(std::u16string{});
    dao_check(database->CreateTableDef(local_name, attributes, no_source.as_variant(),
                                       no_connect.as_variant(), table.put()));
    dao_require(table.get(), "table definition");
    dao_schema_initializer columns(*table.get(), schema);
    columns.initialize();
    dao_indexes_initializer keys(*table.get(), columns, indexes, columns.get_names_map());
    keys.initialize();
    tk_trace::write(2, "Right before Append");
    dao_check(table_defs->Append(table.get()));
    table.release();
    tables.push_back(table_name);
    return get_table(table_name, 2);
}

bool dao_database::delete_tab(const std::u16string& table_name) {
    tk_trace::write(1, u"dao_database::delete_tab(%s)", table_name);
    TK_ASSERT((flags & DAO_FLAG_READ) == 0);
    TK_ASSERT(is_table_exist(table_name));
    dao_bstr local_name(table_name);
    dao_check(table_defs->Delete(local_name));
    return udb_database::delete_tab(table_name);
}
