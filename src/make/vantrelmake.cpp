// vantrelmake - writes an Access file (Jet 4 .mdb, ACE 12 .accdb) from a description on the
// command line: tables, columns and indexes, with generated rows or rows from a CSV file.
// For tests and benchmarks. Errors print "error <DAO number>: <text>" and exit 1; a file
// this run started is removed when it fails.
#include <filesystem>
#include <fstream>
#include <iostream>

#include "make/make_options.hpp"
#include "make/make_rows.hpp"
#include "platform/jet/jet_database_writer.hpp"
#include "platform/jet/jet_value_parse.hpp"

namespace {

void write_csv_rows(jet_database_writer& writer, const jet_table_def& def, const std::string& csv) {
    std::ifstream in(csv, std::ios::binary);
    if (!in) throw jet_error::file_not_found(csv);
    std::vector<std::string> fields;
    make_read_csv_record(in, fields);   // the header line
    if (fields.size() != def.columns.size())
        throw jet_error(3001, "Invalid argument: " + csv + " has " + std::to_string(fields.size())
                                  + " columns, the table " + std::to_string(def.columns.size())
                                  + ".");
    while (make_read_csv_record(in, fields)) {
        if (fields.size() != def.columns.size())
            throw jet_error(3001, "Invalid argument: a row of " + csv + " has "
                                      + std::to_string(fields.size()) + " fields.");
        std::vector<jet_value> values;
        for (std::size_t column_idx = 0; column_idx < fields.size(); ++column_idx)
            values.push_back(jet_value_from_csv(def.columns[column_idx], fields[column_idx]));
        writer.append_row(def.name, std::move(values));
    }
}

void write_file(const make_options& options) {
    auto writer = jet_database_writer::create(options.file);
    for (const make_table& made : options.tables) {
        writer->create_table(made.table);
        const jet_table_def& def = writer->table(made.table.name);
        for (std::uint64_t row_no = 1; row_no <= made.generated_rows; ++row_no) {
            std::vector<jet_value> values;
            for (std::size_t column_idx = 0; column_idx < def.columns.size(); ++column_idx)
                values.push_back(make_generated_value(def.columns[column_idx], column_idx, row_no));
            writer->append_row(def.name, std::move(values));
        }
        if (made.csv) write_csv_rows(*writer, def, *made.csv);
    }
    writer->flush();
}

}   // namespace

int main(int argc, char** argv) {
    make_options options;
    try {
        options = make_parse_options(std::vector<std::string>(argv + 1, argv + argc));
    } catch (const std::invalid_argument& error) {
        std::cerr << "vantrelmake: " << error.what() << '\n' << MAKE_USAGE;
        return 1;
    }
    bool existed = std::filesystem::exists(options.file);
    try {
        write_file(options);
        return 0;
    } catch (const jet_error& error) {
        if (!existed) std::filesystem::remove(options.file);
        std::cerr << "error " << error.dao_number() << ": " << error.what() << '\n';
        return 1;
    }
}
