// mss_default.cpp - computed defaults for SQL Server; see mss_default.hpp.
#include "mss/mss_default.hpp"

#include "mss/mss_engi.hpp"

std::u16string mss_function_default(udb_default_function function, bool b_text_column,
                                    int version_code) {
    switch (function) {
    case udb_default_function::NOW: return u"GETDATE()";
    case udb_default_function::TODAY:
        // Stored in a datetime column, the date becomes its midnight, as Date() gives it.
        return mss_has_date_types(version_code) ? u"CONVERT(date, GETDATE())" : u"";
    case udb_default_function::TIME_OF_DAY:
        // The time alone in a datetime column lies on SQL Server's day 0, 1900-01-01.
        return mss_has_date_types(version_code) ? u"CONVERT(time, GETDATE())" : u"";
    case udb_default_function::NEW_GUID:
        // Replication IDs are kept as braced text, as the converted rows hold them.
        return b_text_column ? u"N'{' + CONVERT(nvarchar(36), NEWID()) + N'}'" : u"NEWID()";
    case udb_default_function::NONE: break;
    }
    return u"";
}

std::u16string mss_lost_default(const t_ftd& field, int version_code) {
    if (!field.def_unmapped.empty()) {
        return u"The default value " + field.def_unmapped
               + u" has no SQL Server equivalent; the column is created without it.";
    }
    if (field.def_function != udb_default_function::NONE
        && mss_function_default(field.def_function, true, version_code).empty()) {
        return u"The default value of the column needs the date and time types of SQL Server "
               u"2008 or later; the column is created without it.";
    }
    return u"";
}
