// conv_rejects_test.cpp - the rejects file: values are data (quotes, commas and line breaks
// stay inside their field; NULL is an empty field), each table's records follow a header of
// its own columns, the file is private (0600, even over an older world-readable one) and its
// name cannot leave the folder it is meant for.
#include <sys/resource.h>
#include <unistd.h>

#include <csignal>

#include <filesystem>
#include <fstream>
#include <sstream>

#include <gtest/gtest.h>

#include "conv/conv_rejects.hpp"
#include "tk/tk_exce.hpp"
#include "udb/udb_db.hpp"

namespace {

std::unique_ptr<udb_field> field(const char16_t* name, const ole_variant& value) {
    return std::make_unique<udb_field>(name, 0, value, false, false);
}

class RejectsFile : public ::testing::Test {
protected:
    void SetUp() override {
        folder = std::filesystem::temp_directory_path()
                 / ("vantrel-rejects-" + std::to_string(::getpid()));
        std::filesystem::create_directories(folder);
        path = (folder / "Sales.rejects.csv").string();
    }
    void TearDown() override { std::filesystem::remove_all(folder); }

    std::string contents() const {
        std::ifstream file(path, std::ios::binary);
        std::stringstream text;
        text << file.rdbuf();
        return text.str();
    }

    std::filesystem::path folder;
    std::string path;
};

TEST_F(RejectsFile, ValuesAreQuotedDataAndEachTableHasItsHeader) {
    conv_rejects_file rejects(path);
    EXPECT_TRUE(rejects.is_empty());
    udb_record first;
    first.append(field(u"Name", ole_variant(u"a \"b\", c\nd")));
    first.append(field(u"Qty", ole_variant()));
    rejects.write(u"Orders", 7, first, "Cannot insert \"x\"");
    rejects.write(u"Orders", 9, first, "again");
    udb_record second;
    second.append(field(u"Id", ole_variant(12)));
    rejects.write(u"Lines", 1, second, "m");
    EXPECT_FALSE(rejects.is_empty());
    EXPECT_EQ(contents(), "\"table\",\"record\",\"message\",\"Name\",\"Qty\"\r\n"
                          "\"Orders\",\"7\",\"Cannot insert \"\"x\"\"\",\"a \"\"b\"\", c\nd\",\r\n"
                          "\"Orders\",\"9\",\"again\",\"a \"\"b\"\", c\nd\",\r\n"
                          "\"table\",\"record\",\"message\",\"Id\"\r\n"
                          "\"Lines\",\"1\",\"m\",\"12\"\r\n");
}

TEST_F(RejectsFile, AnOlderReadableFileIsReplacedAndMadePrivate) {
    std::ofstream(path) << "old";
    std::filesystem::permissions(path, std::filesystem::perms::all);
    conv_rejects_file rejects(path);
    udb_record record;
    record.append(field(u"Id", ole_variant(1)));
    rejects.write(u"T", 1, record, "m");
    EXPECT_EQ(std::filesystem::status(path).permissions() & std::filesystem::perms::all,
              std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
    EXPECT_EQ(contents().find("old"), std::string::npos);
}

TEST_F(RejectsFile, AFileThatCannotBeCreatedFailsOnceAsARecoverableError) {
    conv_rejects_file rejects((folder / "missing" / "x.csv").string());
    udb_record record;
    record.append(field(u"Id", ole_variant(1)));
    try {
        rejects.write(u"T", 1, record, "m");
        FAIL() << "no folder, yet written";
    } catch (const tk_exception& failure) {
        EXPECT_EQ(failure.level(), ERROR_LEVEL_RECOVERABLE);
        EXPECT_NE(std::string(failure.what()).find("x.csv"), std::string::npos);
    }
    EXPECT_NO_THROW(rejects.write(u"T", 2, record, "m")) << "reported once";
}

TEST(RejectsPath, BesideTheLogOrInTheWorkingFolderAndNeverElsewhere) {
    EXPECT_EQ(conv_rejects_file::path_for("/var/log/run.log", u"Sales"),
              "/var/log/Sales.rejects.csv");
    EXPECT_EQ(conv_rejects_file::path_for("", u"Sales"), "Sales.rejects.csv");
    EXPECT_EQ(conv_rejects_file::path_for("", u"../x/y"), ".._x_y.rejects.csv");
    EXPECT_EQ(conv_rejects_file::path_for("", u".."), "_...rejects.csv");
}

}   // namespace

// A full disk, played by a file-size limit (EFBIG, the signal ignored): the record that does
// not fit and every later one are counted as not written, the file is cut back to its last
// whole record, and the reason is said once.
TEST_F(RejectsFile, AFullDiskKeepsWholeRecordsAndCountsTheRest) {
    constexpr rlim_t LIMIT = 400;
    rlimit before{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &before), 0);
    const auto old_handler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = before;
    small.rlim_cur = LIMIT;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    conv_rejects_file rejects(path);
    udb_record record;
    record.append(field(u"Name", ole_variant(std::u16string(40, u'x'))));
    int refused = 0;
    for (int record_idx = 1; record_idx <= 20; ++record_idx) {
        try {
            rejects.write(u"Orders", record_idx, record, "Violation of PRIMARY KEY constraint");
        } catch (const tk_exception& failure) {
            ++refused;
            EXPECT_NE(std::string(failure.what()).find("File too large"), std::string::npos)
                << failure.what();
        }
    }
    ::setrlimit(RLIMIT_FSIZE, &before);
    std::signal(SIGXFSZ, old_handler);
    EXPECT_EQ(refused, 1);   // said once
    EXPECT_GT(rejects.written(), 0);
    EXPECT_EQ(rejects.written() + rejects.not_written(), 20);
    const std::string text = contents();
    EXPECT_LE(text.size(), LIMIT);
    EXPECT_EQ(text.substr(text.size() - 2), "\r\n");
    std::size_t lines = 0;
    for (std::size_t at = text.find("\r\n"); at != std::string::npos;
         at = text.find("\r\n", at + 2))
        ++lines;
    EXPECT_EQ(lines, std::size_t(rejects.written()) + 1);   // the header and whole records
}

// Values read back exactly: the shortest text of a double, every byte of a long binary.
TEST_F(RejectsFile, NumbersAndBytesReadBackExactly) {
    conv_rejects_file rejects(path);
    udb_record record;
    record.append(field(u"D", ole_variant(0.1 + 0.2)));
    std::vector<BYTE> bytes(400 * 1024, 0xAB);
    record.append(field(u"B", ole_variant(bytes.size(), bytes.data())));
    rejects.write(u"T", 1, record, "m");
    const std::string text = contents();
    EXPECT_NE(text.find(",\"0.30000000000000004\","), std::string::npos);
    const std::size_t hex = text.find("\"0x");
    ASSERT_NE(hex, std::string::npos);
    EXPECT_EQ(text.find('"', hex + 1) - hex - 3, 2 * bytes.size());
}
