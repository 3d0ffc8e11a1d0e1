#include "dump/dump_options.hpp"

#include "platform/jet/jet_code_page.hpp"

#include <stdexcept>
#include <string_view>

const char* const DUMP_USAGE =
    "usage: vantreldump FILE [--accp=PASSWORD] [--sysdb=MDW --uglu=USER --uglp=PASSWORD]\n"
    "                   [--table=NAME] [--schema-only] [--tables] [--counts] [--codepage=N]\n";

namespace {

bool take_value(std::string_view argument, std::string_view option, std::string& out) {
    if (argument.substr(0, option.size()) != option) return false;
    out = std::string(argument.substr(option.size()));
    return true;
}

}   // namespace

dump_options dump_parse_options(const std::vector<std::string>& arguments) {
    dump_options options;
    for (const std::string& argument : arguments) {
        std::string table, code_page;
        if (take_value(argument, "--accp=", options.database_password)
            || take_value(argument, "--sysdb=", options.system_db)
            || take_value(argument, "--uglu=", options.user)
            || take_value(argument, "--uglp=", options.user_password)) {
            continue;
        }
        if (take_value(argument, "--table=", table)) {
            options.table = table;
        } else if (take_value(argument, "--codepage=", code_page)) {
            std::optional<std::uint16_t> number = jet_parse_code_page(code_page);
            if (!number) throw std::invalid_argument("--codepage needs a number such as 936");
            options.code_page = *number;
        } else if (argument == "--schema-only") {
            options.b_schema_only = true;
        } else if (argument == "--tables") {
            options.b_table_names = true;
        } else if (argument == "--counts") {
            options.b_counts = true;
        } else if (argument.starts_with("--") || !options.file.empty()) {
            // Options with values are matched above, so this text holds no password.
            throw std::invalid_argument("unknown argument '" + argument + "'");
        } else {
            options.file = argument;
        }
    }
    if (options.file.empty()) throw std::invalid_argument("no database file given");
    bool any_security = !options.system_db.empty() || !options.user.empty()
                        || !options.user_password.empty();
    if (any_security && (options.system_db.empty() || options.user.empty()))
        throw std::invalid_argument("--sysdb and --uglu go together");
    return options;
}
