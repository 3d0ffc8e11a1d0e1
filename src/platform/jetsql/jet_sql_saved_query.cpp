#include "platform/jetsql/jet_sql_saved_query.hpp"

#include <algorithm>
#include <vector>

#include "platform/jet/jet_database.hpp"
#include "platform/jetsql/jet_sql_errors.hpp"
#include "platform/winbase/win_codepage.hpp"
#include "platform/winbase/win_compare.hpp"

namespace {

constexpr std::u16string_view QUERIES_TABLE = u"MSysQueries";

enum : int {
    ATTRIBUTE_TYPE = 1,
    ATTRIBUTE_PARAMETER = 2,
    ATTRIBUTE_FLAGS = 3,
    ATTRIBUTE_REMOTE = 4,
    ATTRIBUTE_SOURCE = 5,
    ATTRIBUTE_COLUMN = 6,
    ATTRIBUTE_JOIN = 7,
    ATTRIBUTE_WHERE = 8,
    ATTRIBUTE_GROUP_BY = 9,
    ATTRIBUTE_HAVING = 10,
    ATTRIBUTE_ORDER_BY = 11
};
constexpr int TYPE_SELECT = 1, TYPE_UNION = 9;
constexpr int FLAG_DISTINCT = 2, FLAG_DISTINCT_ROW = 8, FLAG_TOP = 16, FLAG_PERCENT = 32;

struct design_row {
    int attribute = 0;
    int flag = 0;
    std::u16string name1, name2, expression;
    std::vector<std::uint8_t> order;
};

std::int64_t number_of(const jet_value& value) {
    switch (value.kind()) {
    case jet_value_kind::byte: return value.get<std::uint8_t>();
    case jet_value_kind::int16: return value.get<std::int16_t>();
    case jet_value_kind::int32: return value.get<std::int32_t>();
    default: return 0;
    }
}

std::u16string text_of(const jet_value& value) {
    return value.kind() == jet_value_kind::text ? value.get<std::u16string>() : u"";
}

std::vector<design_row> read_design(const jet_database& database, std::int32_t object_id) {
    jet_table_def definition = database.table_def(QUERIES_TABLE);
    auto position = [&](std::u16string_view name) {
        for (std::size_t column_idx = 0; column_idx < definition.columns.size(); ++column_idx)
            if (win_equal_ignore_case(definition.columns[column_idx].name, name))
                return int(column_idx);
        return -1;
    };
    const int id_at = position(u"ObjectId"), attribute_at = position(u"Attribute");
    const int flag_at = position(u"Flag"), name1_at = position(u"Name1");
    const int name2_at = position(u"Name2"), expression_at = position(u"Expression");
    const int order_at = position(u"Order");
    if (id_at < 0 || attribute_at < 0) throw jet_sql_from_error();
    auto at = [](const std::vector<jet_value>& row, int column) -> const jet_value& {
        static const jet_value null_value;
        return column < 0 || std::size_t(column) >= row.size() ? null_value
                                                               : row[std::size_t(column)];
    };
    std::vector<design_row> rows;
    std::unique_ptr<jet_cursor> cursor = database.open_cursor(std::move(definition));
    while (cursor->next()) {
        const std::vector<jet_value>& row = cursor->values();
        if (number_of(at(row, id_at)) != object_id) continue;
        design_row design;
        design.attribute = int(number_of(at(row, attribute_at)));
        design.flag = int(number_of(at(row, flag_at)));
        design.name1 = text_of(at(row, name1_at));
        design.name2 = text_of(at(row, name2_at));
        design.expression = text_of(at(row, expression_at));
        if (at(row, order_at).kind() == jet_value_kind::binary)
            design.order = at(row, order_at).get<std::vector<std::uint8_t>>();
        rows.push_back(std::move(design));
    }
    // Access lists a design's pieces by their Order key; rows without one keep table order.
    std::stable_sort(rows.begin(), rows.end(),
                     [](const design_row& a, const design_row& b) { return a.order < b.order; });
    return rows;
}

std::u16string bracketed(std::u16string_view name) { return u"[" + std::u16string(name) + u"]"; }

// One piece of the FROM clause: a source, or sources already joined.
struct from_part {
    std::vector<std::u16string> names;   // aliases (or table names) inside it
    std::u16string left, right, kind, on;
    std::u16string source;   // a single source's text
    std::u16string text() const {
        if (kind.empty()) return source;
        return u"(" + left + u" " + kind + u" JOIN " + right + u" ON " + on + u")";
    }
};

std::size_t part_holding(const std::vector<from_part>& parts, std::u16string_view name) {
    for (std::size_t part_idx = 0; part_idx < parts.size(); ++part_idx)
        for (const std::u16string& held : parts[part_idx].names)
            if (win_equal_ignore_case(held, name)) return part_idx;
    throw jet_sql_from_error();
}

std::u16string from_clause(const std::vector<design_row>& rows) {
    std::vector<from_part> parts;
    for (const design_row& row : rows) {
        if (row.attribute != ATTRIBUTE_SOURCE) continue;
        from_part part;
        part.source = row.expression.empty() ? bracketed(row.name1) : u"(" + row.expression + u")";
        if (!row.name2.empty()) part.source += u" AS " + bracketed(row.name2);
        part.names.push_back(row.name2.empty() ? row.name1 : row.name2);
        parts.push_back(std::move(part));
    }
    for (const design_row& row : rows) {
        if (row.attribute != ATTRIBUTE_JOIN) continue;
        std::size_t left = part_holding(parts, row.name1), right = part_holding(parts, row.name2);
        if (left == right) {   // a further condition between sources already joined
            if (parts[left].kind.empty()) throw jet_sql_from_error();
            parts[left].on = u"(" + parts[left].on + u") AND (" + row.expression + u")";
            continue;
        }
        from_part joined;
        joined.left = parts[left].text();
        joined.right = parts[right].text();
        joined.kind = row.flag == 2 ? u"LEFT" : row.flag == 3 ? u"RIGHT" : u"INNER";
        joined.on = row.expression;
        joined.names = parts[left].names;
        joined.names.insert(joined.names.end(), parts[right].names.begin(),
                            parts[right].names.end());
        parts.erase(parts.begin() + std::ptrdiff_t(std::max(left, right)));
        parts.erase(parts.begin() + std::ptrdiff_t(std::min(left, right)));
        parts.push_back(std::move(joined));
    }
    std::u16string text;
    for (const from_part& part : parts) text += (text.empty() ? u"" : u", ") + part.text();
    return text;
}

std::u16string list_of(const std::vector<design_row>& rows, int attribute,
                       std::u16string_view head) {
    std::u16string text;
    for (const design_row& row : rows) {
        if (row.attribute != attribute) continue;
        text += (text.empty() ? std::u16string(head) : u", ") + row.expression;
        if (attribute == ATTRIBUTE_COLUMN && !row.name1.empty())
            text += u" AS " + bracketed(row.name1);
        if (attribute == ATTRIBUTE_ORDER_BY && win_equal_ignore_case(row.name1, u"D"))
            text += u" DESC";
    }
    return text;
}

std::u16string select_text(const std::vector<design_row>& rows, int flags,
                           std::u16string_view top) {
    std::u16string text;
    for (const design_row& row : rows)
        if (row.attribute == ATTRIBUTE_PARAMETER)
            text += (text.empty() ? u"PARAMETERS " : u", ") + bracketed(row.name1) + u" Value";
    if (!text.empty()) text += u"; ";
    text += u"SELECT ";
    if (flags & FLAG_DISTINCT) text += u"DISTINCT ";
    else if (flags & FLAG_DISTINCT_ROW) text += u"DISTINCTROW ";
    if ((flags & FLAG_TOP) && !top.empty())
        text += u"TOP " + std::u16string(top) + ((flags & FLAG_PERCENT) ? u" PERCENT " : u" ");
    std::u16string columns = list_of(rows, ATTRIBUTE_COLUMN, u"");
    text += columns.empty() ? u"*" : columns;
    text += u" FROM " + from_clause(rows);
    for (const design_row& row : rows)
        if (row.attribute == ATTRIBUTE_WHERE) text += u" WHERE " + row.expression;
    text += list_of(rows, ATTRIBUTE_GROUP_BY, u" GROUP BY ");
    for (const design_row& row : rows)
        if (row.attribute == ATTRIBUTE_HAVING) text += u" HAVING " + row.expression;
    text += list_of(rows, ATTRIBUTE_ORDER_BY, u" ORDER BY ");
    return text;
}

// A union part's stored text may end in ';' or a line break.
std::u16string trimmed(std::u16string text) {
    while (!text.empty()
           && (text.back() == u';' || text.back() == u'\r' || text.back() == u'\n'
               || text.back() == u' '))
        text.pop_back();
    return text;
}

}   // namespace

std::optional<std::u16string> jet_sql_saved_query_text(const jet_database& database,
                                                       std::u16string_view name) {
    const jet_catalog_entry* query = nullptr;
    for (const jet_catalog_entry& entry : database.catalog())
        if (entry.type == JET_OBJECT_QUERY && win_equal_ignore_case(entry.name, name))
            query = &entry;
    if (query == nullptr) return std::nullopt;
    std::vector<design_row> rows = read_design(database, query->id);
    int type = 0, flags = 0;
    std::u16string top;
    for (const design_row& row : rows) {
        if (row.attribute == ATTRIBUTE_TYPE) type = row.flag;
        if (row.attribute == ATTRIBUTE_FLAGS) flags = row.flag, top = row.name1;
        if (row.attribute == ATTRIBUTE_REMOTE) throw jet_sql_from_error();
    }
    if (type == TYPE_SELECT) return select_text(rows, flags, top);
    if (type != TYPE_UNION) throw jet_sql_invalid_statement();
    std::u16string text;
    for (const design_row& row : rows) {
        if (row.attribute != ATTRIBUTE_SOURCE) continue;
        if (!text.empty()) text += (flags & FLAG_DISTINCT) ? u" UNION " : u" UNION ALL ";
        text += trimmed(row.expression);
    }
    return text;
}
