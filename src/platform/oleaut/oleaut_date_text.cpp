// oleaut_date_text.cpp - VarBstrFromDate in the en-US short form: "2/29/2024 1:05:09 PM";
// the date alone when the time is midnight, the time alone on day 0 (1899-12-30).
#include "platform/oleaut/oleaut_time.hpp"

#include "platform/oleaut/oleaut_bstr.hpp"

#include <cstdio>
#include <string>

HRESULT VarBstrFromDate(DATE value, LCID, ULONG, BSTR* result) {
    if (result == nullptr) return E_INVALIDARG;
    SYSTEMTIME time{};
    if (!VariantTimeToSystemTime(value, &time)) return E_INVALIDARG;
    bool has_time = time.wHour != 0 || time.wMinute != 0 || time.wSecond != 0;
    bool is_day_zero = time.wYear == 1899 && time.wMonth == 12 && time.wDay == 30;
    char buffer[64] = "";
    int length = 0;
    if (!is_day_zero || !has_time) {
        length = std::snprintf(buffer, sizeof buffer, "%d/%d/%d", time.wMonth, time.wDay,
                               time.wYear);
    }
    if (has_time) {
        int hour12 = time.wHour % 12 == 0 ? 12 : time.wHour % 12;
        std::snprintf(buffer + length, sizeof buffer - std::size_t(length), "%s%d:%02d:%02d %s",
                      length > 0 ? " " : "", hour12, time.wMinute, time.wSecond,
                      time.wHour < 12 ? "AM" : "PM");
    }
    std::string text(buffer);
    std::u16string wide(text.begin(), text.end());
    BSTR made = SysAllocStringLen(wide.data(), UINT(wide.size()));
    if (made == nullptr) return E_OUTOFMEMORY;
    *result = made;
    return S_OK;
}
