// dao_db.hpp - dao_database: an opened Access database as the neutral model sees it. Lists
// the user tables (linked and system tables skipped, and tables named MSys* too: Access
// leaves MSysAccessStorage and MSysCompactError without the system mark), reads foreign keys
// from the relationship catalogue unless flag bit 5 or 6 is set, lists each complex column
// as a child table (dao_child_table.hpp), opens tables and query
// results as dao_recordset. Table names compare case-blind. Flags: bit 0 read access (no
// writing), bit 3 answer an existing table from create_table, bit 4 exclusive.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include <vector>

#include "dao/dao_child_table.hpp"
#include "ole/ole_ptr.hpp"
#include "udb/udb_db.hpp"

class DAODatabase;
class DAOTableDef;
class DAOTableDefs;
class DAOQueryDef;
class DAORecordset;

inline constexpr std::uint32_t DAO_FLAG_READ = 1;
inline constexpr std::uint32_t DAO_FLAG_OPEN_EXISTING = 8;
inline constexpr std::uint32_t DAO_FLAG_NO_FKEYS = 32 | 64;
inline constexpr std::uint32_t DAO_ATTR_LINKED = 0x40000000;
inline constexpr std::uint32_t DAO_ATTR_SYSTEM = 0x80000002;

class dao_database : public udb_database {
public:
    dao_database(const std::u16string& path, ole_com_ptr<DAODatabase> database,
                 std::uint32_t flags);
    ~dao_database() override;

    // Only in a database made by dao_engine::create_db (3251 from the engine otherwise):
    // the table with the source's columns and indexes under names Access takes, answered
    // as a recordset to append to.
    std::unique_ptr<udb_recordset> create_table(const std::u16string& table_name,
                                                const udb_schema& schema,
                                                const udb_indexes& indexes) override;
    bool delete_tab(const std::u16string& table_name) override;
    // No recordset for a linked or system table.
    std::unique_ptr<udb_recordset> get_table(const std::u16string& table_name,
                                             std::uint32_t open_flags) override;
    std::unique_ptr<udb_recordset> get_query(const std::u16string& query_name,
                                             const std::u16string& sql,
                                             std::uint32_t open_flags) override;
    // Whether the statement runs; any failure answers false and leaves nothing behind.
    bool test_query(const std::u16string& sql) override;

    void init_fkeys();
    // The child tables the complex columns of a table become (dao_child_table).
    std::vector<std::u16string> child_tables(const std::u16string& table_name) const override;
    // The rows of a statement (select count(*) from (sql)).
    std::uint32_t get_records_count(const std::u16string& sql);

private:
    void list_tables();
    void list_complex_columns(DAOTableDef& table, const std::u16string& table_name);
    void name_child_tables();
    const dao_complex_column* find_child_table(const std::u16string& table_name) const;
    std::unique_ptr<udb_recordset> open_child_table(const dao_complex_column& complex);
    // A foreign key from each child table to its owner, after the catalogue's own.
    void add_child_fkeys();
    // A temporary query over the text, opened as a dynaset with these options.
    ole_com_ptr<DAORecordset> open_temporary(const std::u16string& sql, int options,
                                             ole_com_ptr<DAOQueryDef>* query = nullptr);

    ole_com_ptr<DAODatabase> database;
    ole_com_ptr<DAOTableDefs> table_defs;
    std::vector<dao_complex_column> complex_columns;
};

// The name between brackets, each ']' doubled: a name put into Access SQL.
std::u16string dao_bracketed(const std::u16string& name);

// Whether a table is one the catalogue keeps for Access itself: the system mark, or the
// MSys prefix (any case).
bool dao_is_system_table(const std::u16string& name, std::uint32_t attributes);
