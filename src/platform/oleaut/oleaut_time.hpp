#pragma once
// oleaut_time.hpp - OLE dates. A DATE counts days from 1899-12-30; before that day the whole
// part is negative and the time still a positive fraction (-1.25 is 1899-12-29 06:00).
// Years 100 to 9999; milliseconds are kept (rounded to the nearest one). A SYSTEMTIME with
// year, month and day all 0 is a time of day alone and maps to day 0.

#include "platform/oleaut/oleaut_types.hpp"

inline constexpr DATE DATE_MIN = -657434.0;          // 0100-01-01
inline constexpr DATE DATE_MAX = 2958465.99999999;   // 9999-12-31 23:59:59.999

// Nonzero on success; 0 for a date or time out of range (month 13, 31 February, hour 24).
INT SystemTimeToVariantTime(const SYSTEMTIME* time, DATE* date);
INT VariantTimeToSystemTime(DATE date, SYSTEMTIME* time);

// Reads the date forms of en-US: ISO "2024-02-29[ 13:05[:09]]", "2/29/2024[ 1:05[:09] PM]",
// month names ("Feb 29, 2024", "29 February 2024"), and times alone ("13:05", "1:05 PM").
// Anything else, a day the calendar lacks included, is DISP_E_TYPEMISMATCH.
HRESULT VarDateFromStr(LPCOLESTR text, LCID lcid, ULONG flags, DATE* result);
HRESULT VarBstrFromDate(DATE value, LCID lcid, ULONG flags, BSTR* result);
