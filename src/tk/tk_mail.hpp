// tk_mail.hpp - the bug report by mail (the wizard only). Windows handed the message to Simple
// MAPI; here it becomes a mailto: link given to the desktop's mail handler (xdg-email, else
// xdg-open). Subject "Bug report on <tail>", one recipient (the maker, Orvane, at
// TK_SUPPORT_ADDRESS), the error text as body. A missing handler or a failed send is only
// traced: the report is a courtesy, never a new failure.
#pragma once

#include <string>
#include <string_view>

inline constexpr const char* TK_MAKER_NAME = "Orvane";
inline constexpr const char* TK_SUPPORT_ADDRESS = "support@vantrel.example";

// The mailto: link, every reserved byte percent-encoded (RFC 6068), line ends as %0D%0A.
std::string tk_bug_report_mailto(std::string_view subject_tail, std::string_view body);

void send_bug_report(std::string_view subject_tail, std::string_view body);
