// vantrelmake as a user runs it: files it writes are read back equal by mdb-reader and
// mdbtools, a table dumped by vantreldump and written again from that CSV reads back the
// same, and a failing run leaves no file behind.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <unistd.h>

#include "dump/dump_readers.hpp"

namespace {

const std::string MAKE = std::string(VANTREL_BUILD_DIR) + "/vantrelmake";
const std::string DUMP = std::string(VANTREL_BUILD_DIR) + "/vantreldump";
const char* const SCRIPT = VANTREL_SOURCE_DIR "/tests/dump/mdb_reader_dump.mjs";

class MakeCli : public ::testing::Test {
protected:
    std::string scratch(const std::string& name) {
        std::string path = std::string(VANTREL_BUILD_DIR) + "/tests/make-"
                           + std::to_string(::getpid()) + "-" + name;
        std::filesystem::remove(path);
        made.push_back(path);
        return path;
    }
    void TearDown() override {
        for (const std::string& path : made) std::filesystem::remove(path);
    }

    std::vector<std::string> made;
};

const std::string COLUMNS =
    " --column=Id:long:autonumber --column=Name:text:30:required --column=Notes:memo"
    " --column=Amount:decimal:18.4 --column=When:datetime --column=Flag:yesno"
    " --column=Pic:ole --column=Key:guid --column=Price:currency --column=Ratio:double"
    " --column=Small:integer --column=Tiny:byte --column=Raw:binary:8 --column=Half:single"
    " --index=PK:Id:primary --index=ByName:Name,When-";

// The rows part of vantreldump's output for one table.
std::string dumped_rows(const std::string& path, const std::string& table) {
    std::string output = dump_run(DUMP + " " + dump_shell_quote(path) + " --table=" + table);
    std::size_t from = output.find("\nrows\n");
    std::size_t to = output.rfind("end rows");
    if (from == std::string::npos || to == std::string::npos) return output;
    return output.substr(from + 6, to - from - 6);
}

}   // namespace

TEST_F(MakeCli, GeneratedRowsReadBackEqualInEveryReader) {
    std::string file = scratch("generated.accdb");
    int status = -1;
    dump_run(MAKE + " " + file + " --table=Made" + COLUMNS + " --rows=300", &status);
    ASSERT_EQ(status, 0);
    std::string ours = dumped_rows(file, "Made");
    std::vector<dump_record> our_rows = dump_split_csv(ours);
    ASSERT_EQ(our_rows.size(), 301u);   // the header and 300 rows
    if (dump_has_program("node")) {
        std::string theirs = dump_run("node " + dump_shell_quote(SCRIPT) + " " + file);
        std::vector<dump_section> sections = dump_sections(theirs);
        ASSERT_EQ(sections.size(), 1u);
        EXPECT_EQ(dump_split_csv(sections[0].text), our_rows);
    }
    if (dump_has_program("mdb-export")) {
        std::vector<dump_record> exported = dump_split_csv(
            dump_run("mdb-export -H -b hex " + file + " Made"));
        ASSERT_EQ(exported.size(), 300u);
        EXPECT_EQ(exported.back().front(), "300");
    }
}

TEST_F(MakeCli, ADumpedTableWrittenAgainFromCsvReadsTheSame) {
    std::string first = scratch("first.mdb");
    std::string second = scratch("second.mdb");
    std::string csv = scratch("rows.csv");
    int status = -1;
    dump_run(MAKE + " " + first + " --table=Made" + COLUMNS + " --rows=120", &status);
    ASSERT_EQ(status, 0);
    std::string rows = dumped_rows(first, "Made");
    std::ofstream(csv, std::ios::binary) << rows;
    dump_run(MAKE + " " + second + " --table=Made" + COLUMNS + " --csv=" + csv, &status);
    ASSERT_EQ(status, 0);
    EXPECT_EQ(dumped_rows(second, "Made"), rows);
}

TEST_F(MakeCli, AFailedRunLeavesNoFileAndSaysWhy) {
    std::string file = scratch("failed.mdb");
    std::string csv = scratch("bad.csv");
    std::ofstream(csv) << "\"Id\",\"Name\"\n1,\"one\"\nx,\"two\"\n";
    int status = -1;
    std::string output = dump_run(MAKE + " " + file
                                      + " --table=T --column=Id:long"
                                        " --column=Name:text:10 --csv="
                                      + csv + " 2>&1",
                                  &status);
    EXPECT_EQ(status, 1);
    EXPECT_NE(output.find("error 3421"), std::string::npos) << output;
    EXPECT_FALSE(std::filesystem::exists(file));
    output = dump_run(MAKE + " " + file + " --column=Id:long 2>&1", &status);
    EXPECT_EQ(status, 1);
    EXPECT_NE(output.find("--column before --table"), std::string::npos) << output;
}
