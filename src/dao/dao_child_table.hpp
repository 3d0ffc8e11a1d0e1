// dao_child_table.hpp - a complex column of an Access table (attachments, a multi-value list,
// an append-only Memo's history) as a table of its own: the owning table's primary-key
// columns, then one row per item. Attachments give FileName, FileType, FileTimeStamp (when
// the column has them) and FileData as Access shows the file; a multi-value list its Value;
// a history the text (Value) and its date (Modified). Items are read as DAO gives them: the
// complex field's value is a Recordset over the row's items. The owner's complex column
// itself is left out of the owner's schema and rows (dao_recordset).
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "dao/dao_rec.hpp"
#include "ole/ole_ptr.hpp"
#include "udb/udb_db.hpp"

class DAOFields;
class DAORecordset;

// Whether a DAO field type is a complex column whose items DAO lists (dbAttachment,
// dbComplexByte ... dbComplexText).
bool dao_is_complex_type(int dao_type);

struct dao_complex_column {
    std::u16string table;         // the owning table
    std::u16string column;        // the complex field, as DAO names it
    std::int32_t field_idx = 0;   // its position in the table's fields
    std::u16string child_name;    // the table its items become
    int dao_type = 0;
    std::vector<std::u16string> owner_key;   // the owner's primary-key columns
    std::vector<std::u16string> child_key;   // their names in the child table
};

class dao_child_table : public udb_recordset {
public:
    // owner_schema: the owning table's schema (its key columns' types); owner_rows: the
    // owning table's rows, complex fields included.
    dao_child_table(dao_complex_column column, const udb_schema& owner_schema,
                    ole_com_ptr<DAORecordset> owner_rows);
    ~dao_child_table() override;

    // The source is read only.
    void append_record(udb_record& record) override;
    // Throws udb_row_error naming the table, column and owning row for an item that cannot
    // be read (a damaged attachment).
    udb_record* get_item() override;
    bool is_eof() override;
    void next() override;
    void reset() override;

private:
    struct item_column {
        std::u16string name;    // in the child table
        std::u16string field;   // in the item recordset; empty: picked by type
        int dao_type = 0;
        std::uint32_t size = 0;
    };

    void choose_item_columns();
    bool is_history();
    void build_schema(const udb_schema& owner_schema);
    std::int32_t count_items();
    bool at_owner_end();
    // The items of the owner's current row, at their first; none for a NULL key.
    void open_items();
    // To the next item, moving on through owner rows; the end when none is left.
    void settle();
    std::u16string owner_row_text();

    dao_complex_column column;
    std::vector<item_column> item_columns;
    ole_com_ptr<DAORecordset> owner_rows;
    ole_com_ptr<DAORecordset> items;   // of the owner's current row
    bool b_eof = true;
    std::unique_ptr<udb_record> current;
};
