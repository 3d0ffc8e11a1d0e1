// dao_recs.hpp - dao_recordset: an Access table or query result as the neutral model reads
// it: its schema (t_ftd descriptors with their defaults), its indexes (tables only), its row
// count, and its rows as dao_record objects. A table of a database made by
// dao_engine::create_db also takes new rows (append_record).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "dao/dao_rec.hpp"
#include "ole/ole_ptr.hpp"
#include "udb/udb_db.hpp"

class DAOFields;
class DAOQueryDef;
class DAORecordset;
class DAOTableDef;

class dao_recordset : public udb_recordset {
public:
    // A table: the row count, schema and indexes come from its definition.
    dao_recordset(const std::u16string& name, ole_com_ptr<DAORecordset> recordset,
                  ole_com_ptr<DAOTableDef> table);
    // A query's result: the given row count, the schema from the query's fields, no indexes.
    dao_recordset(const std::u16string& name, const std::u16string& sql,
                  ole_com_ptr<DAORecordset> recordset, ole_com_ptr<DAOQueryDef> query,
                  std::int32_t records_count);
    ~dao_recordset() override;

    void append_record(udb_record& record) override;
    // The current row, owned by the recordset and refilled by the next call; null at the end.
    udb_record* get_item() override;
    bool is_eof() override;
    void next() override;
    void prev() override;
    void reset() override;

    void init_schema(DAOFields& fields);
    void init_indexes(DAOTableDef& table);

private:
    // The value a field goes to DAO as: the empty text converted for a NULL into a
    // required column, dates with Access's day for a time, 64-bit and unsigned integers
    // in a type Access stores.
    ole_variant value_to_store(const udb_field& field, const t_ftd& column) const;
    void read_eof();

    VARIANT_BOOL eof_flag = 0;
    std::unique_ptr<dao_record> current;
    ole_com_ptr<DAORecordset> recordset;
    ole_com_ptr<DAOTableDef> table_def;
    ole_com_ptr<DAOQueryDef> query_def;
};

// Every index of a table as the neutral model carries it (name, primary, unique, key
// columns in order), in DAO's order.
std::vector<udb_index> dao_read_indexes(DAOTableDef& table);
