// udb_name.cpp - name equality for the neutral model; see udb_name.hpp for the rule.
#include "udb/udb_name.hpp"

#include <climits>

#include "platform/winbase/win_compare.hpp"
#include "tk/tk_exce.hpp"

bool udb_same_name(std::u16string_view left, std::u16string_view right) {
    // The platform call measures texts in int; no name comes near that.
    TK_ASSERT(left.size() <= INT_MAX && right.size() <= INT_MAX);
    // A null text makes the call fail; an empty view may carry one.
    const char16_t* left_text = left.empty() ? u"" : left.data();
    const char16_t* right_text = right.empty() ? u"" : right.data();
    return CompareStringW(WIN_LOCALE_SYSTEM_DEFAULT, WIN_NORM_IGNORECASE, left_text,
                          static_cast<int>(left.size()), right_text, static_cast<int>(right.size()))
           == WIN_CSTR_EQUAL;
}

bool udb_same_name(std::u16string_view left, std::u16string_view right, bool b_case_sensitive) {
    if (b_case_sensitive) return left == right;
    return udb_same_name(left, right);
}
