// vantreldump's command line: options, exit status, error texts, and that no password
// reaches the output.

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "dump/dump_options.hpp"
#include "dump/dump_printer.hpp"
#include "dump/dump_readers.hpp"
#include "platform/jet/jet_test_files.hpp"

namespace {

const std::string DUMP = VANTREL_BUILD_DIR "/vantreldump";

struct run_result {
    int status = 0;
    std::string output;   // stdout and stderr together
};

// environment: "NAME=value ..." put before the command.
run_result run_dump(const std::string& arguments, const std::string& environment = "") {
    run_result result;
    result.output = dump_run(environment + " " + dump_shell_quote(DUMP) + " " + arguments + " 2>&1",
                             &result.status);
    return result;
}

}   // namespace

TEST(DumpOptions, ReadsEveryOption) {
    dump_options options = dump_parse_options({"a.mdb", "--accp=pw", "--sysdb=s.mdw", "--uglu=u",
                                               "--uglp=p", "--table=T 1", "--schema-only",
                                               "--tables", "--counts"});
    EXPECT_EQ(options.file, "a.mdb");
    EXPECT_EQ(options.database_password, "pw");
    EXPECT_EQ(options.system_db, "s.mdw");
    EXPECT_EQ(options.user, "u");
    EXPECT_EQ(options.user_password, "p");
    EXPECT_EQ(options.table.value_or(""), "T 1");
    EXPECT_TRUE(options.b_schema_only && options.b_table_names && options.b_counts);
}

TEST(DumpOptions, RefusesBadCommandLinesWithoutEchoingPasswords) {
    EXPECT_THROW(dump_parse_options({}), std::invalid_argument);
    EXPECT_THROW(dump_parse_options({"a.mdb", "b.mdb"}), std::invalid_argument);
    EXPECT_THROW(dump_parse_options({"a.mdb", "--bogus"}), std::invalid_argument);
    EXPECT_THROW(dump_parse_options({"a.mdb", "--uglu=u", "--uglp=secret"}), std::invalid_argument);
    try {
        dump_parse_options({"a.mdb", "--uglp=secret"});
        FAIL();
    } catch (const std::invalid_argument& error) {
        EXPECT_EQ(std::string(error.what()).find("secret"), std::string::npos);
    }
}

TEST(DumpOptions, ReadsTheCodePageAsANumber) {
    EXPECT_EQ(dump_parse_options({"a.mdb", "--codepage=936"}).code_page, 936);
    EXPECT_EQ(dump_parse_options({"a.mdb"}).code_page, 0);
    EXPECT_THROW(dump_parse_options({"a.mdb", "--codepage=GBK"}), std::invalid_argument);
    EXPECT_THROW(dump_parse_options({"a.mdb", "--codepage="}), std::invalid_argument);
}

TEST(DumpCodePage, TablesSaysWhichCodePageAndWhy) {
    JET_REQUIRE_TESTDATA();
    std::string file = dump_shell_quote(jet_testdata("mdbtools-mdbtestdata/nwind.mdb"));
    run_result chosen = run_dump(file + " --codepage=1251 --tables");
    EXPECT_EQ(chosen.status, 0);
    EXPECT_NE(chosen.output.find("vantreldump: text in code page 1251, chosen by --codepage\n"),
              std::string::npos)
        << chosen.output;
    run_result by_locale = run_dump(file + " --tables", "LC_ALL= LC_CTYPE= LANG=el_GR.UTF-8 "
                                                        "VANTREL_CODEPAGE=");
    EXPECT_NE(by_locale.output.find("code page 1253, paired with the locale LANG=el_GR.UTF-8"),
              std::string::npos)
        << by_locale.output;
    run_result refused = run_dump(file + " --codepage=4242 --tables");
    EXPECT_EQ(refused.status, 1);
    EXPECT_NE(refused.output.find("error 3001: "), std::string::npos) << refused.output;
}

TEST(DumpConnectText, MasksOdbcPasswords) {
    EXPECT_EQ(dump_mask_password(u"ODBC;DSN=x;UID=u;PWD=secret;APP=a"),
              u"ODBC;DSN=x;UID=u;PWD=***;APP=a");
    EXPECT_EQ(dump_mask_password(u"ODBC;pwd=secret"), u"ODBC;pwd=***");
    EXPECT_EQ(dump_mask_password(u"C:\\data\\linked.accdb"), u"C:\\data\\linked.accdb");
}

TEST(DumpCommand, ReportsErrorsWithTheirDaoNumberAndExitsOne) {
    run_result missing = run_dump("/nonexistent/x.mdb");
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.output, "error 3024: Could not find file '/nonexistent/x.mdb'.\n");
    run_result usage = run_dump("");
    EXPECT_EQ(usage.status, 1);
    EXPECT_NE(usage.output.find("usage: vantreldump FILE"), std::string::npos);
}

TEST(DumpCommand, RefusesAWrongPasswordWithoutPrintingIt) {
    JET_REQUIRE_TESTDATA();
    std::string file = jet_testdata("andipaetzold-mdb-reader/password/V2000_with-password.mdb");
    run_result wrong = run_dump(dump_shell_quote(file) + " --accp=NotThePassword42");
    EXPECT_EQ(wrong.status, 1);
    EXPECT_EQ(wrong.output, "error 3031: Not a valid password.\n");
}

TEST(DumpCommand, ListsUserTablesAndCounts) {
    JET_REQUIRE_TESTDATA();
    std::string file = dump_shell_quote(jet_testdata("jahlborn-jackcess/V2007/test2V2007.accdb"));
    run_result tables = run_dump(file + " --tables");
    EXPECT_EQ(tables.status, 0);
    EXPECT_EQ(tables.output, "MSP_PROJECTS\n");   // MSysCompactError is left out
    run_result counts = run_dump(file + " --counts");
    EXPECT_EQ(counts.output, "MSP_PROJECTS\t1\n");
    run_result unknown = run_dump(file + " --table=Nope");
    EXPECT_EQ(unknown.status, 1);
    EXPECT_EQ(unknown.output.rfind("error 3078: ", 0), 0u);
}

TEST(DumpCommand, MarksLinkedAndSystemTablesAndMasksConnectPasswords) {
    JET_REQUIRE_TESTDATA();
    run_result odbc = run_dump(
        dump_shell_quote(jet_testdata("jahlborn-jackcess/V2007/odbcLinkerTestV2007.accdb"))
        + " --schema-only");
    EXPECT_EQ(odbc.status, 0);
    EXPECT_NE(odbc.output.find("table \"Ordrar\" linked-odbc user attributes=0x60000000"),
              std::string::npos);
    EXPECT_NE(odbc.output.find("table \"MSysObjects\" local system attributes=0x80000002"),
              std::string::npos);
    EXPECT_NE(odbc.output.find("PWD=***"), std::string::npos);
    EXPECT_EQ(odbc.output.find("DummyPassword"), std::string::npos);
    EXPECT_EQ(odbc.output.find("\"Ordrar\"]"), std::string::npos);   // no rows of links
}

TEST(DumpCommand, PrintsColumnsIndexesRowsAndRelationships) {
    JET_REQUIRE_TESTDATA();
    run_result dump = run_dump(
        dump_shell_quote(jet_testdata("jahlborn-jackcess/V2007/indexTestV2007.accdb")));
    EXPECT_EQ(dump.status, 0);
    EXPECT_NE(dump.output.find("[table \"Table1\"]\ncolumn \"id\" type=4 size=4 "),
              std::string::npos);
    EXPECT_NE(dump.output.find("index \"PrimaryKey\" primary=1 unique=1 ignore_nulls=0 "
                               "required=1 foreign=0 columns=\"id\""),
              std::string::npos);
    EXPECT_NE(dump.output.find("relationship \"Table2Table1\" \"Table1\"(\"otherfk1\") -> "
                               "\"Table2\"(\"id\") flags=0x00001000"),
              std::string::npos);
}

TEST(DumpCommand, ChecksTheWorkgroupLogonBeforeOpening) {
    JET_REQUIRE_TESTDATA();
    std::string file = dump_shell_quote(jet_testdata("bdata4200-Mission/ContourBL.mdb"));
    std::string mdw = dump_shell_quote(jet_testdata("bdata4200-Mission/system.mdw"));
    run_result admin = run_dump(file + " --sysdb=" + mdw + " --uglu=admin --uglp= --tables");
    EXPECT_EQ(admin.status, 0);
    EXPECT_NE(admin.output.find("Block Code\n"), std::string::npos);
    run_result stranger = run_dump(file + " --sysdb=" + mdw
                                   + " --uglu=nobody --uglp=Hush1234 --tables");
    EXPECT_EQ(stranger.status, 1);
    EXPECT_EQ(stranger.output, "error 3029: Not a valid account name or password.\n");
}

// A FIFO blocked the open until a writer came.
TEST(DumpCommand, RefusesANamedPipeWithoutBlocking) {
    std::filesystem::path fifo = std::filesystem::temp_directory_path()
                                 / ("dump_fifo_" + std::to_string(::getpid()) + ".mdb");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    run_result refused = run_dump("--tables " + dump_shell_quote(fifo.string()));
    std::filesystem::remove(fifo);
    EXPECT_EQ(refused.status, 1);
    EXPECT_EQ(refused.output, "error 3343: Unrecognized database format '" + fifo.string()
                                  + "': it is a named pipe (FIFO), not a regular file.\n");
}

TEST(DumpCommand, ListsTheReadableTablesOfADamagedCatalogueAndFails) {
    JET_REQUIRE_TESTDATA();
    std::string bytes = jet_read_test_file(
        jet_testdata("npsmith88-NorthwindDatabaseQueryTool/Northwind.mdb"));
    bytes.replace(18 * 4096, 4096, std::string(4096, '\0'));   // a catalogue page
    jet_scratch_file copy("damaged_catalogue.mdb");
    copy.write(bytes);
    run_result listed = run_dump(dump_shell_quote(copy.path.string()) + " --tables");
    EXPECT_EQ(listed.status, 1);
    EXPECT_EQ(listed.output.rfind("Products\nShippers\nSuppliers\n"
                                  "damaged catalogue: only the tables listed could be read\n"
                                  "error 3049: The database is corrupt: page 18 of table "
                                  "'MSysObjects': ",
                                  0),
              0u)
        << listed.output;
    run_result dumped = run_dump(dump_shell_quote(copy.path.string()));
    EXPECT_EQ(dumped.status, 1);
    EXPECT_EQ(dumped.output.rfind("error 3049: ", 0), 0u) << dumped.output;
}
