#pragma once
// dbl_blank_text.hpp - what an empty string (or one of spaces only) becomes in a column of
// another type, as SQL Server converts it implicitly ("CAST and CONVERT"): 0 for integers,
// bit, money, real and float; 1900-01-01 00:00 for datetime and datetime2. Decimal, numeric
// and uniqueidentifier refuse it as any other text they cannot read (8114, 8169).

#include "dbl_type.hpp"

#include <optional>

// The value of blank text `from` as `to`; nothing when `from` is not blank text or `to`
// reads blank text as any other.
std::optional<dbl_value> dbl_blank_text_value(const dbl_typed& from, const dbl_type& to);
