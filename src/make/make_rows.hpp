#pragma once
// make_rows.hpp - where vantrelmake's rows come from. Generated rows are a fixed function
// of the row number, so a test can compute what it expects: see make_generated_value.
// CSV records are read whole, quoted fields spanning lines included.

#include <cstdint>
#include <istream>
#include <string>
#include <vector>

#include "platform/jet/jet_schema.hpp"
#include "platform/jet/jet_value.hpp"

// Row row_no (from 1) of column column_idx: NULL when (row_no + column_idx) % 7 == 0 in a
// column that may be NULL (not for AutoNumber, required or Yes/No columns); otherwise
// numbers from row_no, texts "row N" with every third row in several scripts, Memo and OLE
// values of (row_no % 5) * 1500 characters or bytes (over several pages), dates a day and
// an hour apart from 2000-01-01.
jet_value make_generated_value(const jet_column& column, std::size_t column_idx,
                               std::uint64_t row_no);

// The next record's raw fields (quotes kept); false at the end of the input.
bool make_read_csv_record(std::istream& in, std::vector<std::string>& fields);
