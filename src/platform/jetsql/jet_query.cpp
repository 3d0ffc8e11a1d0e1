#include "platform/jetsql/jet_query.hpp"

// The runner is being built; until then every statement is refused as DAO refuses one it
// cannot parse, so callers see a syntax error, never a wrong result.
class jet_query_runner {};

std::unique_ptr<jet_query> jet_query::compile(const jet_database&, std::u16string_view) {
    throw jet_error(JET_ERR_SYNTAX_SELECT,
                    "The SELECT statement includes a reserved word or an argument name that is "
                    "misspelled or missing, or the punctuation is incorrect.");
}

jet_query::jet_query(std::unique_ptr<jet_query_runner> query_runner,
                     std::vector<jet_column> columns)
    : runner(std::move(query_runner)), result_columns(std::move(columns)) {}

jet_query::~jet_query() = default;

bool jet_query::next() { return false; }

void jet_query::rewind() {}
