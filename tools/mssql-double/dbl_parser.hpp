#pragma once
// dbl_parser.hpp - parses a whole batch before anything runs, as SQL Server compiles one:
// a syntax error (102, 156, 105) means no statement of the batch is executed.

#include "dbl_ast.hpp"

#include <string>
#include <vector>

std::vector<dbl_statement> dbl_parse_batch(const std::u16string& batch, bool b_quoted_identifier);
// Parses a column type as written in CREATE TABLE or insert bulk; false when unknown.
bool dbl_type_from_name(const std::string& name, const std::vector<int>& args, bool b_max,
                        dbl_type& out);
