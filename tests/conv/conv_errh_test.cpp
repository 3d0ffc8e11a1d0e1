// conv_errh_test.cpp - the console error handler: context prefixes, the two message maps,
// line breaks kept in the log and flattened on the console, and the levels that end the
// program (a tk_exit_request with the console program's -1).
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "conv_test_env.hpp"
#include "tk/tk_exce.hpp"

using ::testing::HasSubstr;

namespace {

class ErrorHandler : public conv_test_env {
protected:
    std::string handle_captured(const tk_exception& failure) {
        ::testing::internal::CaptureStdout();
        handler->handle(failure, 0);
        return ::testing::internal::GetCapturedStdout();
    }
};

TEST_F(ErrorHandler, RecordContextPrefixesTheMappedText) {
    handler->set_context(u"Orders", 12);
    std::string output = handle_captured(
        tk_exception("provider text", 0x80E37, ERROR_LEVEL_RECOVERABLE));
    EXPECT_EQ(output, "Error:\nOrders, record #12: The specified table does not exist.\n");
}

TEST_F(ErrorHandler, MultiLineTextIsLoggedWithBreaksAndPrintedOnOneLine) {
    handler->set_context(u"Umsätze");
    std::string output = handle_captured(
        tk_exception("engine text", 0x10000 | 3173, ERROR_LEVEL_RECOVERABLE));
    EXPECT_EQ(output, "Error:\nUmsätze: Invalid workgroup information file. Return to the "
                      "previous wizard page and verify the correct path was given.\n");
    EXPECT_THAT(log_text(), HasSubstr("Error:\nUmsätze: Invalid workgroup information file. "
                                      "Return to the previous\nwizard page"));
}

TEST_F(ErrorHandler, UnmappedCodeFallsBackToTheExceptionsOwnText) {
    handler->set_context(u"Orders");
    std::string output = handle_captured(
        tk_exception("Disk full", 0x10000 | 9999, ERROR_LEVEL_RECOVERABLE));
    EXPECT_EQ(output, "Error:\nOrders: Disk full\n");
}

TEST_F(ErrorHandler, SupportAddressAppearsInTheTextsThatNameIt) {
    std::string output = handle_captured(
        tk_exception("x", 0x10000 | 3421, ERROR_LEVEL_RECOVERABLE));
    EXPECT_EQ(output, "Error:\nData type conversion error. Please contact "
                      "support@vantrel.example for the solution.\n");
    output = handle_captured(tk_exception("x", 0x80EDA, ERROR_LEVEL_RECOVERABLE));
    EXPECT_EQ(output,
              "Error:\nErrors occurred. Contact to support@vantrel.example for the solution.\n");
}

TEST_F(ErrorHandler, MapsHoldEverySpecifiedCode) {
    EXPECT_EQ(conv_access_messages().size(), 7u);
    EXPECT_EQ(conv_mssql_messages().size(), 27u);
    EXPECT_EQ(handler->find_message(0x10000 | 3358), handler->find_message(0x10000 | 3173));
    EXPECT_EQ(handler->find_message(0x80E4D), "Invalid user name or password.");
    EXPECT_EQ(handler->find_message(0x80E4E), "");
}

TEST_F(ErrorHandler, SilentModePrintsNothingForRecoverableErrors) {
    handler->set_silent(true);
    EXPECT_EQ(handle_captured(tk_exception("quiet", ERROR_LEVEL_RECOVERABLE)), "");
    EXPECT_THAT(log_text(), HasSubstr("Error:\nquiet\r\n"));
}

TEST_F(ErrorHandler, FatalAndInternalLevelsEndTheProgramWithStatusMinusOne) {
    ::testing::internal::CaptureStdout();
    EXPECT_EQ(
        exit_status_of([&] { handler->handle(tk_exception("fatal text", ERROR_LEVEL_FATAL), 0); }),
        -1);
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "Error:\nfatal text\n");

    handler->set_silent(true);   // the user must still learn why the program stopped
    ::testing::internal::CaptureStdout();
    EXPECT_EQ(exit_status_of([&] { handler->handle(tk_mail_assertion("conv_x", 7), 0); }), -1);
    EXPECT_THAT(::testing::internal::GetCapturedStdout(),
                ::testing::StartsWith("Internal error: Internal error: \ncode="));
}

}   // namespace
