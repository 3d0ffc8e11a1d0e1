#pragma once
// jet_sql_functions.hpp - the Access functions and operators the generated SQL calls, as
// SQLite functions under names of our own (jet_*), and the case-blind text collation. A
// function that fails as VBA would (division by zero, an invalid argument) records the DAO
// number and text in the connection's failure slot before SQLite stops the statement.

#include <string>

struct sqlite3;
struct sqlite3_context;

inline constexpr const char* JET_SQL_COLLATION = "jet_nocase";

struct jet_sql_failure {
    int number = 0;   // 0: no failure recorded
    std::string text;
};

// Date parts for jet_datepart(date, part).
enum class jet_sql_date_part : int { year, month, day, hour, minute, second, weekday };

// Records a VBA or DAO failure in the connection's failure slot (the function's user data)
// and stops the statement.
void jet_sql_fail(sqlite3_context* context, int number, const char* text);

// Registers everything on the connection; failure must outlive it.
void jet_sql_register_functions(sqlite3* connection, jet_sql_failure* failure);
