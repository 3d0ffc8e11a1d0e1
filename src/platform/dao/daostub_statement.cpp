// daostub_statement.cpp - recognises the statements the Access side sends itself and hands
// the rest to the query engine.
#include "platform/dao/daostub_statement.hpp"

#include <limits>

#include "platform/jet/jet_database.hpp"
#include "platform/winbase/win_compare.hpp"

namespace {

constexpr std::u16string_view RELATIONSHIP_SELECT =
    u"SELECT szRelationship, szColumn, szObject, szReferencedObject, szReferencedColumn, "
    u"grbit FROM MSysRelationships ORDER BY szRelationship";
constexpr std::u16string_view WHOLE_TABLE_PREFIX = u"select * from [";
constexpr std::u16string_view COUNT_PREFIX = u"select count(*) from (";

bool is_space(char16_t ch) { return ch == u' ' || ch == u'\t' || ch == u'\r' || ch == u'\n'; }

// Runs of white space become one space; the ends and a final ';' go.
std::u16string normalise(std::u16string_view sql) {
    std::u16string text;
    bool in_brackets = false;
    for (char16_t ch : sql) {
        if (ch == u'[') in_brackets = true;
        if (ch == u']') in_brackets = false;
        if (!in_brackets && is_space(ch)) {
            if (!text.empty() && text.back() != u' ') text += u' ';
            continue;
        }
        text += ch;
    }
    while (!text.empty() && (text.back() == u' ' || text.back() == u';')) text.pop_back();
    return text;
}

bool starts_with_ignore_case(std::u16string_view text, std::u16string_view prefix) {
    return text.size() >= prefix.size()
           && win_equal_ignore_case(text.substr(0, prefix.size()), prefix);
}

std::int32_t count_of(daostub_rows& rows) {
    std::int64_t count = 0;
    for (rows.open(); rows.is_on_row(); rows.move_next()) ++count;
    if (count > std::numeric_limits<std::int32_t>::max()) {
        return std::numeric_limits<std::int32_t>::max();
    }
    return std::int32_t(count);
}

}   // namespace

std::optional<std::u16string> daostub_whole_table_name(std::u16string_view sql) {
    std::u16string text = normalise(sql);
    if (!starts_with_ignore_case(text, WHOLE_TABLE_PREFIX) || text.back() != u']') {
        return std::nullopt;
    }
    std::u16string_view quoted(text);
    quoted = quoted.substr(WHOLE_TABLE_PREFIX.size(),
                           quoted.size() - WHOLE_TABLE_PREFIX.size() - 1);
    std::u16string name;
    for (std::size_t at = 0; at < quoted.size(); ++at) {
        if (quoted[at] != u']') {
            name += quoted[at];
            continue;
        }
        // Inside the brackets a ']' is only ever doubled; anything else is another statement.
        if (at + 1 >= quoted.size() || quoted[at + 1] != u']') return std::nullopt;
        name += u']';
        ++at;
    }
    if (name.empty()) return std::nullopt;
    return name;
}

std::unique_ptr<daostub_rows> daostub_open_statement(std::shared_ptr<const jet_database> database,
                                                     std::u16string_view sql) {
    std::u16string text = normalise(sql);
    if (win_equal_ignore_case(text, RELATIONSHIP_SELECT)) {
        return daostub_relationship_rows(*database);
    }
    if (std::optional<std::u16string> table = daostub_whole_table_name(text)) {
        return daostub_table_rows(std::move(database), *table);
    }
    if (starts_with_ignore_case(text, COUNT_PREFIX) && text.back() == u')') {
        std::u16string_view inner(text);
        inner = inner.substr(COUNT_PREFIX.size(), inner.size() - COUNT_PREFIX.size() - 1);
        if (std::optional<std::u16string> table = daostub_whole_table_name(inner)) {
            std::uint64_t count = database->count_rows(*table);
            if (count > std::uint64_t(std::numeric_limits<std::int32_t>::max())) {
                count = std::uint64_t(std::numeric_limits<std::int32_t>::max());
            }
            return daostub_count_rows(std::int32_t(count));
        }
        std::unique_ptr<daostub_rows> rows = daostub_open_statement(database, inner);
        return daostub_count_rows(count_of(*rows));
    }
    return daostub_query_rows(std::move(database), sql);
}
