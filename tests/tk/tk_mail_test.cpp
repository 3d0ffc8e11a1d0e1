// Bug-report link: the subject, recipient and body survive any text, and nothing in the
// error text can add header fields.
#include "tk/tk_mail.hpp"

#include <gtest/gtest.h>

namespace {

TEST(BugReportLink, SubjectRecipientAndBodyAreEncoded) {
    EXPECT_EQ(tk_bug_report_mailto("Vantrel Wizard", "Internal error: \ncode=7a"),
              "mailto:Orvane%20%3Csupport@vantrel.example%3E"
              "?subject=Bug%20report%20on%20Vantrel%20Wizard"
              "&body=Internal%20error%3A%20%0D%0Acode%3D7a");
}

TEST(BugReportLink, ErrorTextCannotInjectFieldsAndKeepsUtf8) {
    const std::string link = tk_bug_report_mailto("W", "a&cc=x@y.z?\r\nÄ");
    EXPECT_EQ(link.substr(link.find("&body=")), "&body=a%26cc%3Dx%40y.z%3F%0D%0A%C3%84");
}

}   // namespace
