// e2e_support_test.cpp - the harness's own readers, on hand-written input: a fault here would
// make the end-to-end suite pass on wrong data or fail on right data.
#include <gtest/gtest.h>

#include "e2e/e2e_compare.hpp"
#include "e2e/e2e_files.hpp"
#include "e2e/e2e_server.hpp"
#include "e2e/e2e_source.hpp"

namespace {

TEST(DumpReader, KeepsNullApartFromEmptyTextAndLineBreaksInsideValues) {
    std::string dump =
        "table \"T 1\" local user attributes=0x00000000\n"
        "table \"MSysObjects\" local system attributes=0x80000002\n"
        "[table \"T 1\"]\n"
        "column \"a,\"\"b\" type=10 size=50 attributes=0x00000002 required=0 "
        "allow_zero_length=1\n"
        "column \"n\" type=4 size=4 attributes=0x00000001 required=1 allow_zero_length=0\n"
        "index \"PrimaryKey\" primary=1 unique=1 ignore_nulls=0 required=1 foreign=0 "
        "columns=\"n\"\n"
        "rows\n"
        "\"a,\"\"b\",\"n\"\n"
        "\"x\ny, \"\"z\"\"\",1\n"
        "\"\",2\n"
        ",3\n"
        "end rows 3\n"
        "relationship \"R\" \"T 1\"(\"n\",\"m\") -> \"U\"(\"k\",\"l\") flags=0x00000000\n";
    e2e_source source = e2e_parse_dump(dump);
    ASSERT_EQ(source.user_tables().size(), 1u);
    const e2e_table& table = *source.user_tables()[0];
    EXPECT_EQ(table.columns.at(0).name, "a,\"b");
    ASSERT_EQ(table.rows.size(), 3u);
    EXPECT_EQ(e2e_canonical_source(10, table.rows[0][0]), "=x\ny, \"z\"");
    EXPECT_EQ(e2e_canonical_source(10, table.rows[1][0]), "=");
    EXPECT_EQ(e2e_canonical_source(10, table.rows[2][0]), "NULL");
    ASSERT_EQ(source.relationships.size(), 1u);
    EXPECT_EQ(source.relationships[0].referenced_columns, (std::vector<std::string>{"k", "l"}));
}

TEST(DumpReader, RejectsTruncatedOutput) {
    EXPECT_THROW(e2e_parse_dump("[table \"T\"]\ncolumn \"a\" type=4\nrows\n\"a\"\n1\n"),
                 std::runtime_error);
    EXPECT_THROW(e2e_parse_dump("[table \"T\"]\nrows\n\"a\"\n1\nend rows 2\n"), std::runtime_error);
    EXPECT_THROW(e2e_split_record("\"open,1"), std::runtime_error);
}

TEST(Canonical, DatesFromEitherClientFormatMeetTheSourceForm) {
    // Access keeps whole seconds; datetime's 1/300 s steps round back to them.
    EXPECT_EQ(e2e_canonical_dest(8, "2024-02-29 13:05:09.997", false), "=2024-02-29 13:05:10");
    EXPECT_EQ(e2e_canonical_dest(8, "Feb 29 2024 01:05:09:000PM", false), "=2024-02-29 13:05:09");
    EXPECT_EQ(e2e_canonical_dest(8, "Dec 31 1999 11:59:59:999PM", false), "=2000-01-01 00:00:00");
    EXPECT_EQ(e2e_canonical_source(8, "1899-12-30 00:00:00"), "=1899-12-30 00:00:00");
}

TEST(Canonical, NumbersCompareByValueNotSpelling) {
    EXPECT_EQ(e2e_canonical_dest(5, "-12.3400", false), e2e_canonical_source(5, "-12.3400"));
    EXPECT_EQ(e2e_canonical_dest(20, "0.50", false), "=0.5");
    EXPECT_NE(e2e_canonical_dest(20, "1.05", false), e2e_canonical_source(20, "1.5"));
    EXPECT_EQ(e2e_canonical_dest(6, "0.1", false), e2e_canonical_source(6, "0.1"));
    EXPECT_NE(e2e_canonical_dest(7, "0.1", false), e2e_canonical_source(7, "0.10000000000000002"));
    EXPECT_EQ(e2e_canonical_dest(11, "ABCD", false), e2e_canonical_source(11, "0xabcd"));
    EXPECT_EQ(e2e_canonical_dest(4, "", true), "NULL");
}

TEST(Manifest, TakesPasswordsAndLeavesWorkgroupFilesOut) {
    std::string text =
        "| testdata/access/x/db.accdb | r | MIT | ACE14 | 1 | 1 | 1 | T | 0/0/0 | n | "
        "`Test123` (documented) | clean |\n"
        "| testdata/access/x/plain.mdb | r | MIT | JET4 | 1 | 1 | 1 | T | 0/0/0 | n | none | "
        "clean |\n"
        "| testdata/access/x/system.mdw | r | MIT | JET3 | 1 | 0 | 0 | - | 0/0/0 | n | "
        "admin: blank | clean |\n";
    std::vector<e2e_file> files = e2e_parse_manifest(text);
    ASSERT_EQ(files.size(), 2u);
    EXPECT_EQ(files[0].password, "Test123");
    EXPECT_EQ(files[1].password, "");
    EXPECT_EQ(files[1].test_name, "plain_mdb");
}

TEST(Target, ParsesHostPortUserPasswordAndRejectsTheRest) {
    std::optional<e2e_server> server = e2e_parse_target("db.example,1444;sa;p;w");
    EXPECT_FALSE(server);
    server = e2e_parse_target("db.example,1444;sa;p=w");
    ASSERT_TRUE(server);
    EXPECT_EQ(server->agent_host(), "db.example,1444");
    EXPECT_EQ(server->tds_server(), "db.example:1444");
    EXPECT_EQ(server->password, "p=w");
    EXPECT_FALSE(e2e_parse_target("db.example,99999;sa;x"));
    EXPECT_EQ(e2e_parse_target("db;sa;")->port, 1433);
}

TEST(SqlText, BracketsAndLiteralsDoubleTheirClosingCharacter) {
    EXPECT_EQ(e2e_bracket("a]b"), "[a]]b]");
    EXPECT_EQ(e2e_literal("O'Brien"), "N'O''Brien'");
}

}   // namespace
