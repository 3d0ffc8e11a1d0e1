// Access 97 text in other code pages: copies of nwind.mdb (Jet 3, header code page 1252) with
// one text edited at page level into GBK or Windows-1251 bytes, and with the header's code-page
// field rewritten. Each rung of the choice (option, VANTREL_CODEPAGE, header, locale, 1252) is
// read back; the expected texts are the bytes' meanings in the code tables, and mdb-export
// reading the same copy with MDB_JET3_CHARSET agrees with them.

#include "platform/jet/jet_code_page.hpp"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/jet/jet_database.hpp"
#include "platform/jet/jet_test_files.hpp"
#include "platform/winbase/win_codepage.hpp"
#include "platform/winbase/win_scoped_env.hpp"

namespace {

const char* const NWIND = "mdbtools-mdbtestdata/nwind.mdb";
// Customers.CompanyName of ALFKI is "Alfreds Futterkiste"; its first 8 bytes are replaced.
const std::string ORIGINAL_TEXT = "Alfreds ";
// 你好中文 in GBK (code page 936): C4E3 BAC3 D6D0 CEC4.
const std::string GBK_BYTES = "\xC4\xE3\xBA\xC3\xD6\xD0\xCE\xC4";
const std::u16string GBK_TEXT = u"你好中文Futterkiste";
// "Альфред " in Windows-1251: А C0, л EB, ь FC, ф F4, р F0, е E5, д E4.
const std::string CP1251_BYTES = "\xC0\xEB\xFC\xF4\xF0\xE5\xE4 ";
const std::u16string CP1251_TEXT = u"Альфред Futterkiste";
// The header's code-page field: offset 0x3C of page 0, under the Jet 3 header mask.
constexpr std::size_t HEADER_CODE_PAGE = 0x3C;

std::vector<char> read_file(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<char>(std::istreambuf_iterator<char>(in), {});
}

// A copy of nwind.mdb with every occurrence of ORIGINAL_TEXT (the customer row and the
// orders shipped to it) replaced, and the header field set to header_code_page (0: as is).
class edited_copy {
public:
    edited_copy(const std::string& replacement, std::uint16_t header_code_page) {
        std::vector<char> bytes = read_file(jet_testdata(NWIND));
        std::string text(bytes.begin(), bytes.end());
        for (std::size_t at = text.find(ORIGINAL_TEXT); at != std::string::npos;
             at = text.find(ORIGINAL_TEXT, at + 1))
            text.replace(at, replacement.size(), replacement);
        if (header_code_page != 0) {
            // The mask is unknown here, but old XOR new leaves it in place.
            std::uint16_t stored = jet_database::open(jet_testdata(NWIND))->header().code_page;
            std::uint16_t change = std::uint16_t(stored ^ header_code_page);
            text[HEADER_CODE_PAGE] = char(text[HEADER_CODE_PAGE] ^ (change & 0xFF));
            text[HEADER_CODE_PAGE + 1] = char(text[HEADER_CODE_PAGE + 1] ^ (change >> 8));
        }
        path = (std::filesystem::temp_directory_path()
                / ("vantrel_code_page_" + std::to_string(getpid()) + "_" + std::to_string(serial++)
                   + ".mdb"))
                   .string();
        std::ofstream(path, std::ios::binary) << text;
    }
    ~edited_copy() { std::filesystem::remove(path); }

    std::string path;

private:
    static inline int serial = 0;
};

std::u16string company_of_alfki(const jet_database& database) {
    std::unique_ptr<jet_cursor> cursor = database.open_cursor(u"Customers");
    while (cursor->next()) {
        const std::vector<jet_value>& row = cursor->values();
        if (row[0].get<std::u16string>() == u"ALFKI") return row[1].get<std::u16string>();
    }
    return u"(no ALFKI)";
}

class JetCodePageChoice : public ::testing::Test {
protected:
    void SetUp() override { JET_REQUIRE_TESTDATA(); }

    // The user's environment says nothing unless a test sets it.
    win_scoped_env all{"LC_ALL", nullptr}, ctype{"LC_CTYPE", nullptr}, lang{"LANG", nullptr};
    win_scoped_env chosen{JET_CODE_PAGE_ENV, nullptr};
};

jet_open_options choosing(std::uint16_t code_page) {
    jet_open_options options;
    options.code_page = code_page;
    options.code_page_origin = "--codepage";
    return options;
}

}   // namespace

TEST_F(JetCodePageChoice, ExplicitOptionBeatsEnvironmentHeaderAndLocale) {
    edited_copy file(GBK_BYTES, 1251);
    win_scoped_env locale("LANG", "ru_RU.UTF-8");
    win_scoped_env setting(JET_CODE_PAGE_ENV, "1253");
    auto database = jet_database::open(file.path, u"", choosing(936));
    EXPECT_EQ(company_of_alfki(*database), GBK_TEXT);
    EXPECT_EQ(database->code_page_choice().source, jet_code_page_source::chosen);
    EXPECT_EQ(jet_describe_code_page(database->code_page_choice()),
              "code page 936, chosen by --codepage");
}

TEST_F(JetCodePageChoice, EnvironmentBeatsHeaderAndLocale) {
    edited_copy file(CP1251_BYTES, 936);
    win_scoped_env locale("LANG", "zh_CN.UTF-8");
    win_scoped_env setting(JET_CODE_PAGE_ENV, "1251");
    auto database = jet_database::open(file.path);
    EXPECT_EQ(company_of_alfki(*database), CP1251_TEXT);
    EXPECT_EQ(jet_describe_code_page(database->code_page_choice()),
              "code page 1251, chosen by VANTREL_CODEPAGE");
}

TEST_F(JetCodePageChoice, HeaderNamingAnotherPageBeatsLocale) {
    edited_copy file(GBK_BYTES, 936);
    win_scoped_env locale("LANG", "ru_RU.UTF-8");
    auto database = jet_database::open(file.path);
    EXPECT_EQ(company_of_alfki(*database), GBK_TEXT);
    EXPECT_EQ(database->code_page_choice().source, jet_code_page_source::header);
}

TEST_F(JetCodePageChoice, LocaleDecidesWhenHeaderSays1252) {
    // The case seen in the field: GBK text under a header that claims 1252.
    edited_copy gbk(GBK_BYTES, 0);
    {
        win_scoped_env locale("LANG", "zh_CN.UTF-8");
        EXPECT_EQ(company_of_alfki(*jet_database::open(gbk.path)), GBK_TEXT);
    }
    edited_copy cyrillic(CP1251_BYTES, 0);
    win_scoped_env locale("LC_CTYPE", "ru_RU.UTF-8");
    win_scoped_env ignored("LANG", "zh_CN.UTF-8");   // LC_CTYPE comes first
    auto database = jet_database::open(cyrillic.path);
    EXPECT_EQ(company_of_alfki(*database), CP1251_TEXT);
    EXPECT_EQ(jet_describe_code_page(database->code_page_choice()),
              "code page 1251, paired with the locale LC_CTYPE=ru_RU.UTF-8");
}

TEST_F(JetCodePageChoice, Western1252IsTheLastRung) {
    edited_copy file(GBK_BYTES, 0);
    win_scoped_env locale("LANG", "de_DE.UTF-8");
    auto database = jet_database::open(file.path);
    // Each GBK byte read as one Windows-1252 character: the mojibake a Western machine shows.
    EXPECT_EQ(company_of_alfki(*database), u"ÄãºÃÖÐÎÄFutterkiste");
    EXPECT_EQ(database->code_page_choice().source, jet_code_page_source::fallback);
    // The unedited file reads as it always did.
    EXPECT_EQ(company_of_alfki(*jet_database::open(jet_testdata(NWIND))), u"Alfreds Futterkiste");
}

TEST_F(JetCodePageChoice, ChoiceIgnoredForUnicodeFiles) {
    win_scoped_env setting(JET_CODE_PAGE_ENV, "936");
    auto database = jet_database::open(jet_testdata("jahlborn-jackcess/V2000/testV2000.mdb"));
    EXPECT_EQ(database->header().format, jet_format::jet4);
    EXPECT_EQ(database->code_page_choice().source, jet_code_page_source::fallback);
}

TEST_F(JetCodePageChoice, UnusableExplicitChoiceIsRefusedNotIgnored) {
    auto error_of = [](const jet_open_options& options) {
        try {
            jet_database::open(jet_testdata(NWIND), u"", options);
        } catch (const jet_error& error) {
            return error.dao_number();
        }
        return 0;
    };
    EXPECT_EQ(error_of(choosing(4242)), JET_ERR_INVALID_ARGUMENT);
    win_scoped_env setting(JET_CODE_PAGE_ENV, "Chinese");
    EXPECT_EQ(error_of({}), JET_ERR_INVALID_ARGUMENT);
}

TEST_F(JetCodePageChoice, IndependentReaderAgreesOnTheEditedCopies) {
    if (std::system("command -v mdb-export >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "mdb-export is not installed";
    struct copy_case {
        const std::string& bytes;
        const char* charset;
        const std::u16string& expected;
    };
    for (const copy_case& each : {copy_case{GBK_BYTES, "CP936", GBK_TEXT},
                                  copy_case{CP1251_BYTES, "CP1251", CP1251_TEXT}}) {
        edited_copy file(each.bytes, 0);
        std::string command = std::string("MDB_JET3_CHARSET=") + each.charset + " mdb-export '"
                              + file.path + "' Customers";
        FILE* pipe = popen(command.c_str(), "r");
        ASSERT_NE(pipe, nullptr);
        std::string output;
        char buffer[4096];
        while (std::size_t got = std::fread(buffer, 1, sizeof buffer, pipe))
            output.append(buffer, got);
        pclose(pipe);
        EXPECT_NE(output.find("\"ALFKI\",\"" + win_utf16_to_utf8(each.expected) + "\""),
                  std::string::npos)
            << each.charset;
    }
}

TEST(JetParseCodePage, AcceptsNumbersAndCpPrefixOnly) {
    EXPECT_EQ(jet_parse_code_page("936"), 936);
    EXPECT_EQ(jet_parse_code_page("CP1251"), 1251);
    EXPECT_EQ(jet_parse_code_page("cp874"), 874);
    EXPECT_EQ(jet_parse_code_page(""), std::nullopt);
    EXPECT_EQ(jet_parse_code_page("0"), std::nullopt);
    EXPECT_EQ(jet_parse_code_page("65536"), std::nullopt);
    EXPECT_EQ(jet_parse_code_page("936 "), std::nullopt);
    EXPECT_EQ(jet_parse_code_page("-936"), std::nullopt);
    EXPECT_EQ(jet_parse_code_page("cp"), std::nullopt);
}
