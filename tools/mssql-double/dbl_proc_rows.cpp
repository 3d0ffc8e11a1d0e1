// dbl_proc_rows.cpp - sp_columns (19 columns, ODBC 2 codes), sp_pkeys (6), sp_fkeys (14) and
// sp_statistics (13), computed from the catalogue of the current database.
#include "dbl_proc_rows.hpp"

#include "dbl_like.hpp"
#include "dbl_text.hpp"
#include "dbl_views.hpp"

namespace {

dbl_type sysname() { return dbl_make_type(dbl_kind::NVARCHAR, 128); }
dbl_type smallint() { return dbl_make_type(dbl_kind::SMALLINT); }
dbl_type int_type() { return dbl_make_type(dbl_kind::INT); }

std::string arg(const dbl_proc_args& args, const char* name) {
    auto found = args.find(name);
    return found == args.end() ? std::string() : found->second;
}

// How a procedure takes a name, as each one documents: sp_columns's table, owner and column
// and sp_statistics's index are LIKE patterns ("Wildcard pattern matching is supported"), so
// Order_Details also finds Order1Details unless written Order[_]Details; every other name is
// taken exactly ("Wildcard pattern matching isn't supported").
enum class name_rule { EXACT, PATTERN };

bool name_matches(const std::string& name, const std::string& given, name_rule rule) {
    if (rule == name_rule::EXACT) return dbl_same_name(name, given);
    return dbl_like(dbl_utf16(name), dbl_utf16(given));
}

// Tables of the current database named `name` (and owned by `owner` when given).
std::vector<const dbl_table*> matching(dbl_executor& ex, const std::string& name,
                                       const std::string& owner, name_rule rule) {
    std::vector<const dbl_table*> found;
    if (name.empty()) return found;
    for (const dbl_table* table : ex.current_database().tables())
        if (name_matches(table->name, name, rule)
            && (owner.empty() || name_matches(table->schema, owner, rule)))
            found.push_back(table);
    return found;
}

struct odbc_facts {
    int data_type, precision, length;
    std::optional<int> scale, radix;
    int sql_data_type;
    std::optional<int> datetime_sub;
    int ss_type_nullable, ss_type_not_null;
};

odbc_facts facts_of(const dbl_type& type) {
    const int big = 2147483647;
    bool max = type.length == DBL_MAX_LENGTH;
    switch (type.kind) {
    case dbl_kind::BIT: return {-7, 1, 1, {}, {}, -7, {}, 50, 50};
    case dbl_kind::TINYINT: return {-6, 3, 1, 0, 10, -6, {}, 38, 48};
    case dbl_kind::SMALLINT: return {5, 5, 2, 0, 10, 5, {}, 38, 52};
    case dbl_kind::INT: return {4, 10, 4, 0, 10, 4, {}, 38, 56};
    case dbl_kind::BIGINT: return {-5, 19, 8, 0, 10, -5, {}, 38, 63};
    case dbl_kind::REAL: return {7, 7, 4, {}, 10, 7, {}, 109, 59};
    case dbl_kind::FLOAT: return {6, 15, 8, {}, 10, 6, {}, 109, 62};
    case dbl_kind::MONEY: return {3, 19, 21, 4, 10, 3, {}, 110, 60};
    case dbl_kind::DECIMAL:
        return {3, type.precision, type.precision + 2, type.scale, 10, 3, {}, 106, 55};
    case dbl_kind::NUMERIC:
        return {2, type.precision, type.precision + 2, type.scale, 10, 2, {}, 108, 63};
    case dbl_kind::DATETIME: return {11, 23, 16, 3, {}, 9, 3, 111, 61};
    case dbl_kind::DATETIME2: {
        int precision = type.scale == 0 ? 19 : 20 + type.scale;
        return {-9, precision, precision * 2, {}, {}, -9, {}, 0, 0};
    }
    case dbl_kind::CHAR: return {1, type.length, type.length, {}, {}, 1, {}, 47, 47};
    case dbl_kind::VARCHAR:
        return {12, max ? big : type.length, max ? big : type.length, {}, {}, 12, {}, 39, 39};
    case dbl_kind::NCHAR: return {-8, type.length, type.length * 2, {}, {}, -8, {}, 0, 0};
    case dbl_kind::NVARCHAR:
        return {-9,
                max ? 1073741823 : type.length,
                max ? 2147483646 : type.length * 2,
                {},
                {},
                -9,
                {},
                0,
                0};
    case dbl_kind::TEXT: return {-1, big, big, {}, {}, -1, {}, 35, 35};
    case dbl_kind::NTEXT: return {-10, 1073741823, 2147483646, {}, {}, -10, {}, 0, 0};
    case dbl_kind::BINARY: return {-2, type.length, type.length, {}, {}, -2, {}, 45, 45};
    case dbl_kind::VARBINARY:
        return {-3, max ? big : type.length, max ? big : type.length, {}, {}, -3, {}, 37, 37};
    case dbl_kind::IMAGE: return {-4, big, big, {}, {}, -4, {}, 34, 34};
    case dbl_kind::GUID: return {-11, 36, 16, {}, {}, -11, {}, 0, 0};
    }
    return {};
}

std::vector<const dbl_table*> tables_of(dbl_executor& ex, const dbl_proc_args& args,
                                        name_rule rule) {
    return matching(ex, arg(args, "@table_name"), arg(args, "@table_owner"), rule);
}

dbl_value maybe(std::optional<int> number) {
    return number ? dbl_view_number(*number) : dbl_null();
}

int rule_code(const std::string& rule) {
    if (rule == "CASCADE") return 0;
    if (rule == "SET NULL") return 2;
    if (rule == "SET DEFAULT") return 3;
    return 1;
}

const dbl_key* matching_unique(const dbl_table& parent, const std::vector<int>& columns) {
    for (const dbl_key& key : parent.keys) {
        if (!key.b_unique || key.columns.size() != columns.size()) continue;
        bool same = true;
        for (std::size_t i = 0; i < columns.size(); ++i)
            same = same && key.columns[i] == columns[i];
        if (same) return &key;
    }
    return nullptr;
}

}   // namespace

dbl_rowset dbl_sp_columns(dbl_executor& ex, const dbl_proc_args& args) {
    dbl_rowset rowset;
    rowset.columns = {dbl_view_column("TABLE_QUALIFIER", sysname()),
                      dbl_view_column("TABLE_OWNER", sysname()),
                      dbl_view_column("TABLE_NAME", sysname()),
                      dbl_view_column("COLUMN_NAME", sysname()),
                      dbl_view_column("DATA_TYPE", smallint()),
                      dbl_view_column("TYPE_NAME", sysname()),
                      dbl_view_column("PRECISION", int_type()),
                      dbl_view_column("LENGTH", int_type()),
                      dbl_view_column("SCALE", smallint()),
                      dbl_view_column("RADIX", smallint()),
                      dbl_view_column("NULLABLE", smallint()),
                      dbl_view_column("REMARKS", dbl_make_type(dbl_kind::VARCHAR, 254)),
                      dbl_view_column("COLUMN_DEF", dbl_make_type(dbl_kind::NVARCHAR, 4000)),
                      dbl_view_column("SQL_DATA_TYPE", smallint()),
                      dbl_view_column("SQL_DATETIME_SUB", smallint()),
                      dbl_view_column("CHAR_OCTET_LENGTH", int_type()),
                      dbl_view_column("ORDINAL_POSITION", int_type()),
                      dbl_view_column("IS_NULLABLE", dbl_make_type(dbl_kind::VARCHAR, 254)),
                      dbl_view_column("SS_DATA_TYPE", dbl_make_type(dbl_kind::TINYINT))};
    std::string column_filter = arg(args, "@column_name");
    for (const dbl_table* table : tables_of(ex, args, name_rule::PATTERN)) {
        int ordinal = 0;
        for (const dbl_column& column : table->columns) {
            ++ordinal;
            if (!column_filter.empty()
                && !name_matches(column.name, column_filter, name_rule::PATTERN))
                continue;
            odbc_facts facts = facts_of(column.type);
            bool octets = column.type.is_text() || column.type.is_binary();
            std::string type_name = column.type.base_name()
                                    + (column.b_identity ? " identity" : "");
            rowset.rows.push_back(
                {dbl_view_text(ex.current_database().name()), dbl_view_text(table->schema),
                 dbl_view_text(table->name), dbl_view_text(column.name),
                 dbl_view_number(facts.data_type), dbl_view_text(type_name),
                 dbl_view_number(facts.precision), dbl_view_number(facts.length),
                 maybe(facts.scale), maybe(facts.radix), dbl_view_number(column.b_nullable ? 1 : 0),
                 dbl_null(),
                 column.default_text.empty() ? dbl_null() : dbl_view_text(column.default_text),
                 dbl_view_number(facts.sql_data_type), maybe(facts.datetime_sub),
                 octets ? dbl_view_number(facts.length) : dbl_null(), dbl_view_number(ordinal),
                 dbl_view_narrow(column.b_nullable ? "YES" : "NO"),
                 dbl_view_number(column.b_nullable ? facts.ss_type_nullable
                                                   : facts.ss_type_not_null)});
        }
    }
    return rowset;
}

dbl_rowset dbl_sp_pkeys(dbl_executor& ex, const dbl_proc_args& args) {
    dbl_rowset rowset;
    rowset.columns = {dbl_view_column("TABLE_QUALIFIER", sysname()),
                      dbl_view_column("TABLE_OWNER", sysname()),
                      dbl_view_column("TABLE_NAME", sysname(), false),
                      dbl_view_column("COLUMN_NAME", sysname(), false),
                      dbl_view_column("KEY_SEQ", smallint(), false),
                      dbl_view_column("PK_NAME", sysname())};
    for (const dbl_table* table : tables_of(ex, args, name_rule::EXACT)) {
        const dbl_key* key = table->primary_key();
        if (!key) continue;
        for (std::size_t i = 0; i < key->columns.size(); ++i)
            rowset.rows.push_back({dbl_view_text(ex.current_database().name()),
                                   dbl_view_text(table->schema), dbl_view_text(table->name),
                                   dbl_view_text(table->columns[key->columns[i]].name),
                                   dbl_view_number(std::int64_t(i + 1)), dbl_view_text(key->name)});
    }
    return rowset;
}

dbl_rowset dbl_sp_fkeys(dbl_executor& ex, const dbl_proc_args& args) {
    dbl_rowset rowset;
    const char* names[] = {"PKTABLE_QUALIFIER", "PKTABLE_OWNER", "PKTABLE_NAME", "PKCOLUMN_NAME",
                           "FKTABLE_QUALIFIER", "FKTABLE_OWNER", "FKTABLE_NAME", "FKCOLUMN_NAME"};
    for (const char* name : names) rowset.columns.push_back(dbl_view_column(name, sysname()));
    for (const char* name : {"KEY_SEQ", "UPDATE_RULE", "DELETE_RULE"})
        rowset.columns.push_back(dbl_view_column(name, smallint()));
    rowset.columns.push_back(dbl_view_column("FK_NAME", sysname()));
    rowset.columns.push_back(dbl_view_column("PK_NAME", sysname()));
    rowset.columns.push_back(dbl_view_column("DEFERRABILITY", smallint()));
    dbl_database& database = ex.current_database();
    std::string pk_name = arg(args, "@pktable_name"), fk_name = arg(args, "@fktable_name");
    std::string pk_owner = arg(args, "@pktable_owner"), fk_owner = arg(args, "@fktable_owner");
    for (const dbl_table* child : database.tables()) {
        if (!fk_name.empty() && !dbl_same_name(child->name, fk_name)) continue;
        if (!fk_owner.empty() && !dbl_same_name(child->schema, fk_owner)) continue;
        for (const dbl_key& key : child->keys) {
            if (key.kind != dbl_key_kind::FOREIGN_KEY) continue;
            const dbl_table* parent = database.table_by_id(key.ref_object_id);
            if (!parent) continue;
            if (!pk_name.empty() && !dbl_same_name(parent->name, pk_name)) continue;
            if (!pk_owner.empty() && !dbl_same_name(parent->schema, pk_owner)) continue;
            const dbl_key* unique = matching_unique(*parent, key.ref_columns);
            for (std::size_t i = 0; i < key.columns.size(); ++i) {
                rowset.rows.push_back(
                    {dbl_view_text(database.name()), dbl_view_text(parent->schema),
                     dbl_view_text(parent->name),
                     dbl_view_text(parent->columns[std::size_t(key.ref_columns[i])].name),
                     dbl_view_text(database.name()), dbl_view_text(child->schema),
                     dbl_view_text(child->name),
                     dbl_view_text(child->columns[std::size_t(key.columns[i])].name),
                     dbl_view_number(std::int64_t(i + 1)),
                     dbl_view_number(rule_code(key.on_update)),
                     dbl_view_number(rule_code(key.on_delete)), dbl_view_text(key.name),
                     unique ? dbl_view_text(unique->name) : dbl_null(), dbl_view_number(7)});
            }
        }
    }
    return rowset;
}

dbl_rowset dbl_sp_statistics(dbl_executor& ex, const dbl_proc_args& args) {
    dbl_rowset rowset;
    rowset.columns = {dbl_view_column("TABLE_QUALIFIER", sysname()),
                      dbl_view_column("TABLE_OWNER", sysname()),
                      dbl_view_column("TABLE_NAME", sysname(), false),
                      dbl_view_column("NON_UNIQUE", smallint()),
                      dbl_view_column("INDEX_QUALIFIER", sysname()),
                      dbl_view_column("INDEX_NAME", sysname()),
                      dbl_view_column("TYPE", smallint(), false),
                      dbl_view_column("SEQ_IN_INDEX", smallint()),
                      dbl_view_column("COLUMN_NAME", sysname()),
                      dbl_view_column("COLLATION", dbl_make_type(dbl_kind::CHAR, 1)),
                      dbl_view_column("CARDINALITY", int_type()),
                      dbl_view_column("PAGES", int_type()),
                      dbl_view_column("FILTER_CONDITION", dbl_make_type(dbl_kind::VARCHAR, 128))};
    bool unique_only = dbl_same_name(arg(args, "@is_unique"), "Y");
    std::string index_filter = arg(args, "@index_name");
    dbl_database& database = ex.current_database();
    for (const dbl_table* table : tables_of(ex, args, name_rule::EXACT)) {
        std::int64_t rows = database.count_rows(*table);
        dbl_value qualifier = dbl_view_text(database.name());
        dbl_value owner = dbl_view_text(table->schema);
        dbl_value name = dbl_view_text(table->name);
        rowset.rows.push_back({qualifier, owner, name, dbl_null(), dbl_null(), dbl_null(),
                               dbl_view_number(0), dbl_null(), dbl_null(), dbl_null(),
                               dbl_view_number(rows), dbl_view_number(rows > 0 ? 1 : 0),
                               dbl_null()});
        std::vector<const dbl_key*> indexes;
        for (const dbl_key& key : table->keys) {
            if (key.kind == dbl_key_kind::FOREIGN_KEY || (unique_only && !key.b_unique)) continue;
            if (!index_filter.empty() && !name_matches(key.name, index_filter, name_rule::PATTERN))
                continue;
            indexes.push_back(&key);
        }
        std::stable_sort(indexes.begin(), indexes.end(), [](const dbl_key* a, const dbl_key* b) {
            if (a->b_unique != b->b_unique) return a->b_unique;
            if (a->b_clustered != b->b_clustered) return a->b_clustered;
            return dbl_fold_name(a->name) < dbl_fold_name(b->name);
        });
        for (const dbl_key* key : indexes) {
            for (std::size_t i = 0; i < key->columns.size(); ++i) {
                bool descending = i < key->descending.size() && key->descending[i];
                rowset.rows.push_back(
                    {qualifier, owner, name, dbl_view_number(key->b_unique ? 0 : 1), name,
                     dbl_view_text(key->name), dbl_view_number(key->b_clustered ? 1 : 3),
                     dbl_view_number(std::int64_t(i + 1)),
                     dbl_view_text(table->columns[std::size_t(key->columns[i])].name),
                     dbl_bytes_value(descending ? "D" : "A"),
                     key->b_unique ? dbl_view_number(rows) : dbl_null(),
                     dbl_view_number(rows > 0 ? 1 : 0), dbl_null()});
            }
        }
    }
    return rowset;
}
