#pragma once
// dump_printer.hpp - prints what the engine sees of a database, as vantreldump's output:
//
//   table "Name" local|linked-access|linked-odbc user|system attributes=0x...  [connect=...]
//   ...one line per catalogue table...
//   [table "Name"]
//   column "Name" type=<DAO type> size=<n> attributes=0x.. required=0|1
//          allow_zero_length=0|1 default=<text as stored, quoted>   (one line)
//   index "Name" primary=0|1 unique=0|1 ignore_nulls=0|1 required=0|1 foreign=0|1
//          columns="A","B-" (a trailing '-' marks a descending column)
//   rows
//   "Col1","Col2",...            (header)
//   value,value,...              (one line per row, values as jet_value_text.hpp says;
//                                 line breaks inside text stay inside the quotes)
//   end rows <count>             (after the rows: the table is read once)
//   relationship "Name" "Table"("Col",...) -> "Referenced"("Col",...) flags=0x...

#include <cstdint>
#include <ostream>
#include <string>

class jet_database;
struct jet_table_def;

// PWD=value parts of a connect text become PWD=***.
std::u16string dump_mask_password(const std::u16string& connect);
struct jet_catalog_entry;

class dump_printer {
public:
    dump_printer(const jet_database& database, std::ostream& new_out)
        : db(database), out(new_out) {}

    void print_catalog();
    void print_table(const std::u16string& name, bool b_rows);
    void print_relationships();
    void print_user_table_names();
    void print_counts();

private:
    void print_columns(const jet_table_def& def);
    std::uint64_t print_rows(const jet_table_def& def);

    const jet_database& db;
    std::ostream& out;
};
