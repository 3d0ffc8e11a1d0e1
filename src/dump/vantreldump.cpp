// vantreldump - shows what Vantrel's Jet engine reads from an Access file: its tables (linked
// and system ones marked), columns, indexes, relationships and rows in a normalised CSV form
// (see dump_printer.hpp and platform/jet/jet_value_text.hpp). Errors go to standard error as
// "error <DAO number>: <text>", exit status 1. A damaged catalogue still lets --tables list
// the tables that can be read; the damage is reported after the list, and the status is 1.

#include <iostream>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "dump/dump_options.hpp"
#include "dump/dump_printer.hpp"
#include "dump/dump_security.hpp"
#include "platform/jet/jet_database.hpp"
#include "platform/winbase/win_codepage.hpp"

namespace {

int run(const dump_options& options) {
    if (!options.system_db.empty()) dump_check_workgroup(options);
    jet_open_options open_options;
    open_options.b_salvage_catalog = options.b_table_names;
    open_options.code_page = options.code_page;
    open_options.code_page_origin = "--codepage";
    std::unique_ptr<jet_database> db = jet_database::open(
        options.file, win_utf8_to_utf16(options.database_password), open_options);
    dump_printer printer(*db, std::cout);
    if (options.b_table_names || options.b_counts) {
        // On standard error, so the table list stays one name per line.
        if (options.b_table_names && db->header().format == jet_format::jet3)
            std::cerr << "vantreldump: text in " << jet_describe_code_page(db->code_page_choice())
                      << '\n';
        if (options.b_table_names) printer.print_user_table_names();
        if (options.b_counts) printer.print_counts();
        if (const std::optional<jet_error>& damage = db->catalog_damage()) {
            std::cout.flush();
            std::cerr << "damaged catalogue: only the tables listed could be read\n";
            throw *damage;
        }
        return 0;
    }
    if (options.table) {
        std::u16string name = win_utf8_to_utf16(*options.table);
        if (!db->find_table(name)) throw jet_error::table_not_found(*options.table);
        printer.print_table(name, !options.b_schema_only);
        return 0;
    }
    printer.print_catalog();
    for (const jet_catalog_entry& entry : db->user_tables())
        printer.print_table(entry.name, !options.b_schema_only);
    printer.print_relationships();
    return 0;
}

}   // namespace

int main(int argc, char** argv) {
    std::ios::sync_with_stdio(false);
    dump_options options;
    try {
        options = dump_parse_options(std::vector<std::string>(argv + 1, argv + argc));
    } catch (const std::invalid_argument& error) {
        std::cerr << "vantreldump: " << error.what() << '\n' << DUMP_USAGE;
        return 1;
    }
    try {
        return run(options);
    } catch (const jet_error& error) {
        std::cout.flush();
        std::cerr << "error " << error.dao_number() << ": " << error.what() << '\n';
        return 1;
    }
}
