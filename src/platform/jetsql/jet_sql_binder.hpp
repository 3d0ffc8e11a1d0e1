#pragma once
// jet_sql_binder.hpp - turns a parsed SELECT into SQLite SQL over the loaded tables: names are
// resolved case-blind against the sources in scope (then the select list's aliases, then the
// outer queries), every name in the output is one of ours and every literal a numbered
// parameter, and each expression gets the Jet type its result column keeps.

#include <cstdint>
#include <string>
#include <vector>

#include "platform/jetsql/jet_sql_tree.hpp"
#include "platform/jetsql/jet_sql_type.hpp"

class jet_sql_loader;

struct jet_sql_param {
    enum class kind_t : std::uint8_t { integer, real, text } kind = kind_t::integer;
    std::int64_t integer_value = 0;
    double real_value = 0;
    std::u16string text;
};

struct jet_sql_output_column {
    std::u16string name;
    jet_sql_type type;
};

struct jet_sql_compiled {
    std::string sql;
    std::vector<jet_sql_param> params;   // parameter k binds to ?k+1
    std::vector<jet_sql_output_column> columns;
};

// Loads the tables the statement names through loader. Throws jet_error (3061, 3078, 3079,
// 3085, 3095, 3096, 3122, 3075, 3306).
jet_sql_compiled jet_sql_bind(const jet_sql_select& select, jet_sql_loader& loader);
