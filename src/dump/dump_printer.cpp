#include "dump/dump_printer.hpp"

#include <cstdio>

#include "platform/jet/jet_database.hpp"
#include "platform/jet/jet_text.hpp"
#include "platform/jet/jet_value_text.hpp"
#include "platform/winbase/win_compare.hpp"

namespace {

std::string hex32(std::uint32_t value) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "0x%08X", value);
    return buffer;
}

const char* kind_of(const jet_catalog_entry& entry) {
    if (entry.type == JET_OBJECT_LINKED_ACCESS) return "linked-access";
    if (entry.type == JET_OBJECT_LINKED_ODBC) return "linked-odbc";
    return "local";
}

std::string quoted_list(const std::vector<std::u16string>& names) {
    std::string text;
    for (const std::u16string& name : names) {
        if (!text.empty()) text += ",";
        text += jet_quoted(name);
    }
    return text;
}

}   // namespace

// Connect texts of ODBC links may carry PWD=...; the value never reaches the output.
std::u16string dump_mask_password(const std::u16string& connect) {
    std::u16string masked;
    std::size_t at = 0;
    while (at < connect.size()) {
        std::size_t end = connect.find(u';', at);
        if (end == std::u16string::npos) end = connect.size();
        std::u16string_view part(connect.data() + at, end - at);
        std::size_t equals = part.find(u'=');
        bool is_password = equals != std::u16string_view::npos
                           && win_equal_ignore_case(part.substr(0, equals), u"PWD");
        masked += is_password ? std::u16string(part.substr(0, equals + 1)) + u"***"
                              : std::u16string(part);
        if (end < connect.size()) masked += u';';
        at = end + 1;
    }
    return masked;
}

void dump_printer::print_catalog() {
    for (const jet_catalog_entry& entry : db.tables()) {
        out << "table " << jet_quoted(entry.name) << ' ' << kind_of(entry) << ' '
            << (entry.is_system() ? "system" : "user")
            << " attributes=" << hex32(entry.dao_attributes());
        if (entry.is_linked()) {
            out << " connect=" << jet_quoted(dump_mask_password(entry.connect + entry.database))
                << " source=" << jet_quoted(entry.foreign_name);
        }
        out << '\n';
    }
}

void dump_printer::print_columns(const jet_table_def& def) {
    for (const jet_column& column : def.columns) {
        out << "column " << jet_quoted(column.name) << " type=" << column.dao_type()
            << " size=" << column.dao_size() << " attributes=" << hex32(column.dao_attributes())
            << " required=" << column.is_required()
            << " allow_zero_length=" << column.allows_zero_length();
        if (column.properties.find(u"DefaultValue"))
            out << " default=" << jet_quoted(column.default_value());
        out << '\n';
    }
    for (const jet_index& index : def.indexes) {
        std::vector<std::u16string> columns;
        for (const jet_index_column& column : index.columns)
            columns.push_back(column.name + (column.ascending ? u"" : u"-"));
        out << "index " << jet_quoted(index.name) << " primary=" << index.is_primary
            << " unique=" << index.is_unique() << " ignore_nulls=" << index.ignores_nulls()
            << " required=" << index.is_required() << " foreign=" << index.is_foreign_key
            << " columns=" << quoted_list(columns) << '\n';
    }
}

std::uint64_t dump_printer::print_rows(const jet_table_def& def) {
    std::unique_ptr<jet_cursor> cursor = db.open_cursor(def);
    std::vector<std::u16string> names;
    for (const jet_column& column : cursor->table().columns) names.push_back(column.name);
    out << quoted_list(names) << '\n';
    std::uint64_t count = 0;
    std::string line;
    while (cursor->next()) {
        line.clear();
        const std::vector<jet_value>& values = cursor->values();
        for (std::size_t value_idx = 0; value_idx < values.size(); ++value_idx) {
            if (value_idx > 0) line += ',';
            line += jet_value_to_csv(values[value_idx]);
        }
        line += '\n';
        out << line;
        ++count;
    }
    return count;
}

void dump_printer::print_table(const std::u16string& name, bool b_rows) {
    out << "[table " << jet_quoted(name) << "]\n";
    jet_table_def def = db.table_def(name);
    print_columns(def);
    if (!b_rows) return;
    out << "rows\n";
    std::uint64_t count = print_rows(def);
    out << "end rows " << count << '\n';
}

void dump_printer::print_relationships() {
    for (const jet_relationship& rel : db.relationships()) {
        std::vector<std::u16string> columns, referenced;
        for (const auto& [column, referenced_column] : rel.columns) {
            columns.push_back(column);
            referenced.push_back(referenced_column);
        }
        out << "relationship " << jet_quoted(rel.name) << ' ' << jet_quoted(rel.table) << '('
            << quoted_list(columns) << ") -> " << jet_quoted(rel.referenced_table) << '('
            << quoted_list(referenced) << ") flags=" << hex32(rel.flags) << '\n';
    }
}

void dump_printer::print_user_table_names() {
    for (const jet_catalog_entry& entry : db.user_tables()) out << jet_utf8(entry.name) << '\n';
}

void dump_printer::print_counts() {
    for (const jet_catalog_entry& entry : db.user_tables())
        out << jet_utf8(entry.name) << '\t' << db.count_rows(entry.name) << '\n';
}
