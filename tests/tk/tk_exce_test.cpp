// Exception family and error converter: default texts, the assertion's location code and
// which text wins when tables share a code.
#include "tk/tk_exce.hpp"

#include <gtest/gtest.h>

#include <cerrno>

#include "tk/tk_errco.hpp"

namespace {

TEST(Exception, EmptyMessageReportsUnknownException) {
    EXPECT_STREQ(tk_exception("", ERROR_LEVEL_FATAL).what(), "Unknown exception");
    const tk_exception by_level(ERROR_LEVEL_RECOVERABLE);
    EXPECT_STREQ(by_level.what(), "Unknown exception");
    EXPECT_EQ(by_level.code(), 0);
}

TEST(Exception, SystemErrorCarriesErrnoAndItsText) {
    errno = ENOENT;
    const tk_exception_ex failure;
    EXPECT_EQ(failure.code(), ENOENT);
    EXPECT_STREQ(failure.what(), "No such file or directory");
    EXPECT_EQ(failure.level(), ERROR_LEVEL_FATAL);
}

TEST(Exception, FinalExceptionIsNotPartOfTheFamily) {
    EXPECT_THROW(throw tk_final_exception(), std::exception);
    const bool is_family = std::is_base_of_v<tk_exception, tk_final_exception>;
    EXPECT_FALSE(is_family);
}

TEST(AssertionCode, TwentyCharacterNameAtLine35IsFortySixDigits) {
    // "abcdefghij0123456789\35", each byte as two lowercase hex digits.
    const std::string code = tk_mail_assertion::location_code("abcdefghij0123456789", 35);
    EXPECT_EQ(code, "6162636465666768696a303132333435363738395c3335");
    EXPECT_EQ(code.size(), 46u);
}

TEST(AssertionCode, MessageIsPrefixThenCodeAndLevelIsInternal) {
    const tk_mail_assertion failure("ole_var", 519);
    EXPECT_STREQ(failure.what(), "Internal error: \ncode=6f6c655f7661725c353139");
    EXPECT_EQ(failure.level(), ERROR_LEVEL_INTERNAL);
}

TEST(AssertionCode, NonAsciiBytesAreEncodedUnsigned) {
    EXPECT_EQ(tk_mail_assertion::location_code("\xC3\xA9", 1), "c3a95c31");
}

TEST(AssertionCode, MacroNamesTheFileBelowTheSourceRoot) {
    EXPECT_STREQ(tk_source_name("/home/build/vantrel/src/tk/tk_cmdli.cpp"), "tk/tk_cmdli.cpp");
    EXPECT_STREQ(tk_source_name("/x/resources/src/ole/ole_var.cpp"), "ole/ole_var.cpp");
    EXPECT_STREQ(tk_source_name("plain.cpp"), "plain.cpp");
    EXPECT_THROW(TK_ASSERT(1 + 1 == 3), tk_mail_assertion);
    EXPECT_NO_THROW(TK_ASSERT(1 + 1 == 2));
}

const tk_error_pair ACCESS_TABLE[] = {{3024, "Access file not found"}, {3343, "Bad format"}};
const tk_error_pair SERVER_TABLE[] = {{3024, "Server text"}, {18456, "Login failed"}};

TEST(ErrorConverter, FirstTableLoadedKeepsASharedCode) {
    tk_error_converter converter(2, ACCESS_TABLE);
    converter.load_map(2, SERVER_TABLE);
    EXPECT_EQ(converter.convert(3024), "Access file not found");
    EXPECT_EQ(converter.convert(18456), "Login failed");
}

TEST(ErrorConverter, UnknownCodeGivesEmptyTextAndEmptyTableLoadsNothing) {
    tk_error_converter converter(0, ACCESS_TABLE);
    EXPECT_EQ(converter.convert(3024), "");
    EXPECT_THROW(converter.load_map(1, nullptr), tk_mail_assertion);
}

}   // namespace
