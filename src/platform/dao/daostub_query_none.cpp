// daostub_query_none.cpp - the query engine's stand-in for builds without it: every other
// statement is DAO's SELECT syntax error, so test_query answers false.
#include "platform/dao/daostub_statement.hpp"
#include "platform/jet/jet_error.hpp"

std::unique_ptr<daostub_rows> daostub_query_rows(std::shared_ptr<const jet_database>,
                                                 std::u16string_view) {
    throw jet_error(3141,
                    "The SELECT statement includes a reserved word or an argument name that is "
                    "misspelled or missing, or the punctuation is incorrect.");
}
