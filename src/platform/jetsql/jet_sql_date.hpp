#pragma once
// jet_sql_date.hpp - OLE dates for queries: the #...# literal forms Access SQL accepts
// (m/d/yyyy, m/d/yy, yyyy-mm-dd, each with an optional h:mm[:ss] [AM|PM], or a time alone),
// and the calendar parts of a stored OLE date. Days count from 1899-12-30; before it the time
// stays a positive fraction of a negative day (-1.25 is 1899-12-29 06:00). Also the number a
// text literal holds, for text compared with a number.

#include <optional>
#include <string_view>

struct jet_sql_date_parts {
    int year = 1899, month = 12, day = 30;
    int hour = 0, minute = 0, second = 0;
};

// The OLE date of a literal's text; nullopt when it is not a valid date or time.
std::optional<double> jet_sql_parse_date(std::u16string_view text);

// Calendar parts of an OLE date, seconds rounded; nullopt outside years 100..9999.
std::optional<jet_sql_date_parts> jet_sql_date_split(double ole_date);

// The OLE date of calendar parts (validated by the caller).
double jet_sql_date_join(const jet_sql_date_parts& parts);

// A number written as text ("12", " -3.5 ", "1e3"); nullopt for anything else.
std::optional<double> jet_sql_parse_number(std::u16string_view text);
