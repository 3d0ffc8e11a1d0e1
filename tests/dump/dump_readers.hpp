#pragma once
// dump_readers.hpp - what the comparison tests need around the independent readers: running
// a command, splitting CSV records, and our engine's rows in the same normalised form.

#include <functional>
#include <string>
#include <vector>

#include "platform/jet/jet_database.hpp"

using dump_record = std::vector<std::string>;

// Output of a shell command, or nothing when it cannot start; exit status in *status.
std::string dump_run(const std::string& command, int* status = nullptr);
bool dump_has_program(const std::string& name);
// A file name quoted for the shell.
std::string dump_shell_quote(const std::string& text);

// Splits CSV text into records of raw fields (quotes kept, so NULL stays apart from "").
std::vector<dump_record> dump_split_csv(const std::string& text);
// Splits by single-character field and record separators (no quoting).
std::vector<dump_record> dump_split_plain(const std::string& text, char field, char record);

// A table's rows as jet_value_to_csv fields.
std::vector<dump_record> dump_engine_rows(const jet_database& db, const std::u16string& table);

// Sections "[table "Name"]" of the mdb-reader script's output, by table name (UTF-8).
struct dump_section {
    std::string name;
    std::vector<std::string> lines;   // the raw text of the section, records rejoined
    std::string text;
};
std::vector<dump_section> dump_sections(const std::string& output);

// Calls check with every shared test file the engine opens without a password (files with
// one are the security layer's to read), under a trace naming the file; returns how many.
std::size_t dump_for_each_plain_file(
    const std::function<void(const jet_database& db, const std::string& path)>& check);

bool dump_is_system_name(const std::string& name);

// Both readers give rows moved to another page (overflow rows) where they now lie, after the
// rest of the page that points to them; the engine gives them in place. Their rows in our
// order, matched by the first field when it is unique on both sides; else unchanged.
std::vector<dump_record> dump_in_our_order(const std::vector<dump_record>& ours,
                                           const std::vector<dump_record>& theirs);

// A CSV field without its quotes and with "" undoubled.
std::string dump_unquote(const std::string& field);
