// udb_db.cpp - what every database shares: the list of its tables, searched case-blind unless
// the database says its names are case-sensitive. Running an arbitrary statement is the SQL
// Server side's alone.
#include "udb/udb_db.hpp"

#include <algorithm>

#include "tk/tk_exce.hpp"
#include "tk/tk_trace.hpp"
#include "udb/udb_name.hpp"

udb_database::udb_database(std::u16string new_name, std::uint32_t new_flags,
                           bool new_b_case_sensitive)
    : flags(new_flags), name(std::move(new_name)), b_case_sensitive(new_b_case_sensitive) {
    tk_trace::write(2, u"udb_database::ctor(%s)", this->name);
}

udb_database::~udb_database() { tk_trace::write(2, "udb_database::dtor"); }

bool udb_database::delete_tab(const std::u16string& table_name) {
    tk_trace::write(1, u"udb_database::delete_tab (%s)", table_name);
    const auto found = std::find_if(tables.begin(), tables.end(), [&](const auto& table) {
        return udb_same_name(table, table_name, b_case_sensitive);
    });
    // Callers delete only tables they found with is_table_exist.
    if (found == tables.end()) throw tk_mail_assertion(tk_source_name(__FILE__), __LINE__);
    tables.erase(found);
    return true;
}

std::unique_ptr<udb_recordset> udb_database::query(const std::u16string&) {
    throw tk_mail_assertion(tk_source_name(__FILE__), __LINE__);
}

void udb_database::create_relationships(const udb_relationships&) {}

std::vector<std::u16string> udb_database::child_tables(const std::u16string&) const { return {}; }

bool udb_database::is_table_exist(const std::u16string& table_name) const {
    tk_trace::write(1, u"udb_database::is_table_exist(%s)", table_name);
    for (const std::u16string& table : tables) {
        tk_trace::write(2, u"Compare with %s", table);
        if (!udb_same_name(table, table_name, b_case_sensitive)) continue;
        tk_trace::write(2, "table exists");
        return true;
    }
    tk_trace::write(2, "table not found");
    return false;
}
