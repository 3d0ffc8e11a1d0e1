// conv_run_test.cpp - the conversion run driven through in-memory engines: order of the
// tables, the modes against an existing destination, the three failure levels, safe names,
// foreign keys and the progress state a second thread reads.
#include <unistd.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "conv_test_env.hpp"
#include "tk/tk_exce.hpp"
#include "udb/udb_row_error.hpp"

using ::testing::HasSubstr;
using ::testing::Not;

namespace {

using rows = std::vector<std::vector<std::int32_t>>;

class ConversionRun : public conv_test_env {
protected:
    // Runs and returns standard output; standard error lands in `errors`.
    std::string run_captured() {
        ::testing::internal::CaptureStdout();
        ::testing::internal::CaptureStderr();
        converter->run();
        errors = ::testing::internal::GetCapturedStderr();
        return ::testing::internal::GetCapturedStdout();
    }

    std::string errors;
};

TEST_F(ConversionRun, ConvertsTablesInNameOrderNotSelectionOrder) {
    world.source.add_table(u"Orders", 2, rows{{1, 10}, {2, 20}});
    world.source.add_table(u"Customers", 1, rows{{7}});
    converter->set_selected_tables({u"Orders", u"Customers"});

    std::string output = run_captured();

    EXPECT_EQ(output, "Converting database src.mdb(2 tables)\n"
                      "Converting table Customers(1 records)\n"
                      "Converting table Orders(2 records)\n"
                      "Summary:\n"
                      "Customers: 1 read, 1 in the destination, 0 rejected\n"
                      "Orders: 2 read, 2 in the destination, 0 rejected\n");
    EXPECT_TRUE(converter->is_complete());
    EXPECT_EQ(world.destination.created, (std::vector<std::u16string>{u"Customers", u"Orders"}));
    EXPECT_EQ(world.destination.tables[u"Orders"].rows, (rows{{1, 10}, {2, 20}}));
    EXPECT_EQ(world.destination.tables[u"Customers"].rows, (rows{{7}}));
    EXPECT_THAT(log_text(), HasSubstr("Converting table Customers (1 records)\r\n"));
}

TEST_F(ConversionRun, EmptySelectionConvertsEveryTableAndTheQueries) {
    world.source.add_table(u"Orders", 1, rows{{1}, {2}});
    world.source.add_table(u"Customers", 1, rows{{3}});
    converter->add_table_entry(u"Big orders", u"SELECT * FROM Orders");

    std::string output = run_captured();

    EXPECT_THAT(output, HasSubstr("Converting database src.mdb(2 tables)\n"));
    EXPECT_THAT(output, HasSubstr("Converting table Big orders(2 records)\n"));
    EXPECT_EQ(world.destination.tables[u"Big orders"].rows, (rows{{1}, {2}}));
    EXPECT_EQ(world.destination.tables[u"Customers"].rows, (rows{{3}}));
}

TEST_F(ConversionRun, EmptySelectionInTheWizardConvertsOnlyTheQueries) {
    world.source.add_table(u"Orders", 1, rows{{1}, {2}});
    world.source.add_table(u"Customers", 1, rows{{3}});
    converter->add_table_entry(u"Big orders", u"SELECT * FROM Orders");
    converter->set_empty_selection_means_all(false);

    run_captured();

    EXPECT_EQ(world.destination.created, std::vector<std::u16string>{u"Big orders"});
}

TEST_F(ConversionRun, MissingTableIsReportedOnStandardErrorAndTheRunGoesOn) {
    world.source.add_table(u"Orders", 1, rows{{1}});
    converter->set_selected_tables({u"Ghost", u"Orders"});

    std::string output = run_captured();

    EXPECT_EQ(errors, "Table Ghost not exists\n");
    EXPECT_THAT(output, HasSubstr("Converting table Orders(1 records)"));
    EXPECT_THAT(log_text(), Not(HasSubstr("Ghost")));
}

TEST_F(ConversionRun, SystemTablesAreSkippedSilently) {
    world.source.add_table(u"MSysObjects", 1, rows{{1}});
    world.source.tables[u"MSysObjects"].b_system = true;
    world.source.add_table(u"Orders", 1, rows{{1}});

    std::string output = run_captured();

    EXPECT_THAT(output, Not(HasSubstr("MSysObjects")));
    EXPECT_EQ(world.destination.created, std::vector<std::u16string>{u"Orders"});
    EXPECT_THAT(log_text(), HasSubstr("Skip system/linked table 'MSysObjects'"));
}

TEST_F(ConversionRun, DefinitionsOnlyCreatesAndReportsTablesWithoutRows) {
    world.source.add_table(u"Orders", 1, rows{{1}, {2}, {3}});
    converter->set_definitions_only(true);

    std::string output = run_captured();

    EXPECT_THAT(output, HasSubstr("Converting table Orders(3 records)"));
    ASSERT_EQ(world.destination.created, std::vector<std::u16string>{u"Orders"});
    EXPECT_TRUE(world.destination.tables[u"Orders"].rows.empty());
}

TEST_F(ConversionRun, EmptyTableIsCreatedWithZeroRecords) {
    world.source.add_table(u"Empty", 2, rows{});

    std::string output = run_captured();

    EXPECT_THAT(output, HasSubstr("Converting table Empty(0 records)"));
    EXPECT_EQ(world.destination.created, std::vector<std::u16string>{u"Empty"});
    // In the summary as any table: its count on the server is checked too.
    EXPECT_THAT(output, HasSubstr("Empty: 0 read, 0 in the destination, 0 rejected\n"));
}

TEST_F(ConversionRun, SkipIndexesHandsTheDestinationNoIndexes) {
    world.source.add_table(u"Orders", 1, rows{{1}});
    world.source.tables[u"Orders"].indexes.add(udb_index{u"PrimaryKey", true, true, {u"c0"}});
    converter->set_skip_indexes(true);

    run_captured();

    EXPECT_TRUE(world.destination.tables[u"Orders"].indexes.empty());
}

TEST_F(ConversionRun, FailingRecordIsReportedWithItsNumberAndTheRestIsCopied) {
    world.source.add_table(u"Orders", 1, rows{{1}, {REFUSED_VALUE}, {3}});

    std::string output = run_captured();

    EXPECT_THAT(output,
                HasSubstr("Error:\nOrders, record #2: The specified table does not exist.\n"));
    EXPECT_EQ(world.destination.tables[u"Orders"].rows, (rows{{1}, {3}}));
    EXPECT_THAT(output, HasSubstr("Orders: 3 read, 2 in the destination, 1 rejected\n"));
    EXPECT_FALSE(converter->is_complete());
    // Beside the log, named by the destination; the last line names it.
    const std::string rejects = (folder / "Sales.rejects.csv").string();
    EXPECT_EQ(converter->get_rejects_path(), rejects);
    EXPECT_THAT(output, testing::EndsWith("Rejected records are in " + rejects + "\n"));
    std::ifstream file(rejects, std::ios::binary);
    const std::string csv((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    // The file keeps the destination's own words for the row, the screen the mapped message.
    EXPECT_EQ(csv, "\"table\",\"record\",\"message\",\"c0\"\r\n"
                   "\"Orders\",\"2\",\"row refused\",\"-999\"\r\n");
    EXPECT_EQ(std::filesystem::status(rejects).permissions() & std::filesystem::perms::all,
              std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
}

// A source row that cannot be read (a damaged attachment) is reported with its table and
// number, counted in the summary, makes the run incomplete, and the next rows still arrive.
TEST_F(ConversionRun, UnreadableSourceRowIsReportedCountedAndTheRestIsCopied) {
    world.source.add_table(u"Orders", 1, rows{{1}, {2}, {3}});
    world.source.tables[u"Orders"].on_read = [](std::size_t row_idx) {
        if (row_idx == 1) throw udb_row_error("The attachment data is damaged.");
    };

    std::string output = run_captured();

    EXPECT_THAT(output, HasSubstr("Orders, record #2: The attachment data is damaged.\n"));
    EXPECT_EQ(world.destination.tables[u"Orders"].rows, (rows{{1}, {3}}));
    EXPECT_THAT(output, HasSubstr("Orders: 2 read, 2 in the destination, 0 rejected, "
                                  "1 unreadable in the source\n"));
    EXPECT_FALSE(converter->is_complete());
}

// The tables holding a table's complex columns go with it, even when not chosen themselves.
TEST_F(ConversionRun, ChosenTableBringsItsChildTables) {
    world.source.add_table(u"Orders", 1, rows{{1}});
    world.source.add_table(u"Orders_Files", 1, rows{{1}});
    world.source.add_table(u"Customers", 1, rows{{7}});
    world.source.children[u"Orders"] = {u"Orders_Files"};
    converter->set_selected_tables({u"Orders"});

    std::string output = run_captured();

    EXPECT_THAT(output, HasSubstr("Converting database src.mdb(2 tables)\n"));
    EXPECT_EQ(world.destination.created, (std::vector<std::u16string>{u"Orders", u"Orders_Files"}));
}

TEST_F(ConversionRun, ARunWithoutRefusalsWritesNoRejectsFile) {
    world.source.add_table(u"Orders", 1, rows{{1}});

    std::string output = run_captured();

    EXPECT_TRUE(converter->is_complete());
    EXPECT_TRUE(converter->get_rejects_path().empty());
    EXPECT_FALSE(std::filesystem::exists(folder / "Sales.rejects.csv"));
    EXPECT_THAT(output, Not(HasSubstr("Rejected records")));
}

TEST_F(ConversionRun, AMissingTableMakesTheRunIncomplete) {
    world.source.add_table(u"Orders", 1, rows{{1}});
    converter->set_selected_tables({u"Orders", u"Ghost"});

    run_captured();

    EXPECT_FALSE(converter->is_complete());
}

TEST_F(ConversionRun, AStopRequestEndsTheRunAtTheNextRecordWithASummary) {
    world.source.add_table(u"Lines", 1, rows{{1}, {2}, {3}, {4}});
    world.source.add_table(u"Orders", 1, rows{{7}});
    // As a signal handler would, while the second row is read.
    world.source.tables[u"Lines"].on_read = [this](std::size_t row_idx) {
        if (row_idx == 1) converter->request_stop();
    };

    std::string output = run_captured();

    EXPECT_EQ(world.destination.tables[u"Lines"].rows, (rows{{1}, {2}}));
    EXPECT_EQ(world.destination.finished, std::vector<std::u16string>{u"Lines"})
        << "the current table is committed, the next one not begun";
    EXPECT_THAT(output, HasSubstr("Stopped while converting table Lines: 2 of its rows arrived.\n"
                                  "Summary:\nLines: 2 read, 2 in the destination, 0 rejected\n"));
    EXPECT_THAT(output, Not(HasSubstr("Orders")));
    EXPECT_FALSE(converter->is_complete());
}

TEST_F(ConversionRun, ProgressIsResetAndDoneIsSetWhenTheRunEnds) {
    world.source.add_table(u"Orders", 1, rows{{1}});
    ASSERT_FALSE(converter->is_done());

    run_captured();

    EXPECT_TRUE(converter->is_done());
    EXPECT_EQ(converter->get_table_count(), 0);
    EXPECT_EQ(converter->get_table_index(), 0);
    EXPECT_TRUE(handler->get_context().empty());
}

TEST_F(ConversionRun, EngineGenerationsAreTriedInTheOrderThreeZeroOne) {
    world.source.add_table(u"Orders", 1, rows{});
    run_captured();
    ASSERT_GE(world.calls.size(), 3u);
    EXPECT_EQ(world.calls[0], u"version 3");
    EXPECT_EQ(world.calls[1], u"version 0");
    EXPECT_EQ(world.calls[2], u"anonymous");
}

TEST_F(ConversionRun, WorkgroupLogonNeedsBothFileAndUser) {
    world.source.add_table(u"Orders", 1, rows{});
    converter->store_ugl_settings(u"  team.mdw ", u" admin", u"pw  ");
    run_captured();
    EXPECT_EQ(world.calls.at(2), u"ugl team.mdw,admin,pw");

    converter->store_ugl_settings(u"team.mdw", u"   ", u"pw");
    world.calls.clear();
    converter->check_acc_base(u"src.mdb", u"secret");
    EXPECT_EQ(world.calls, (std::vector<std::u16string>{u"version 3", u"version 0", u"anonymous",
                                                        u"open source 97 secret"}));
}

TEST_F(ConversionRun, SafeNameOfOneTableIsNotReusedForALaterOne) {
    // Both names start with a digit; SQL Server compares names case-blind, so the second
    // safe name must not be "_1a" once "_1A" has been handed out.
    world.source.add_table(u"1a", 1, rows{{1}});
    world.source.add_table(u"1A", 1, rows{{2}});

    run_captured();

    EXPECT_EQ(world.destination.created, (std::vector<std::u16string>{u"_1A", u"1_1a"}));
    EXPECT_EQ(world.destination.tables[u"1_1a"].rows, (rows{{1}}));
}

TEST_F(ConversionRun, EveryRenameIsPrintedWithBothNames) {
    world.source.add_table(u"1st", 1, rows{{1}});
    world.source.add_table(u"Orders", 1, rows{{2}});

    std::string output = run_captured();

    EXPECT_THAT(output, HasSubstr("Table '1st' is renamed to '_1st'\n"));
    EXPECT_THAT(output, Not(HasSubstr("'Orders' is renamed")));
    EXPECT_THAT(log_text(), HasSubstr("Table '1st' is renamed to '_1st'"));
}

TEST_F(ConversionRun, NoAccessEngineIsAFatalErrorThatEndsTheProgram) {
    world.b_access_loads = false;
    ::testing::internal::CaptureStdout();
    EXPECT_EQ(exit_status_of([&] { converter->run(); }), -1);
    // The text's own line breaks become spaces on the console, its last one too.
    EXPECT_EQ(::testing::internal::GetCapturedStdout(),
              "Error:\nFailed to load Data Access Objects (DAO) support library. Microsoft "
              "Access installation is required to proceed with the application. \n");
    EXPECT_TRUE(converter->is_abandoned());
}

TEST_F(ConversionRun, InternalErrorIsPrintedEvenWhenSilent) {
    world.access_fatal_level = ERROR_LEVEL_INTERNAL;
    converter->set_silent(true);
    handler->set_silent(true);
    ::testing::internal::CaptureStdout();
    EXPECT_EQ(exit_status_of([&] { converter->run(); }), -1);
    EXPECT_THAT(::testing::internal::GetCapturedStdout(),
                HasSubstr("Internal error: Source cannot be opened"));
}

TEST_F(ConversionRun, RecoverableFailureOutsideTheTablesEndsOnlyTheRun) {
    world.access_fatal_level = ERROR_LEVEL_RECOVERABLE;
    std::string output = run_captured();
    EXPECT_EQ(output, "Error:\nSource cannot be opened\n");
    EXPECT_TRUE(converter->is_done());
    EXPECT_TRUE(converter->is_abandoned()) << "the agent's status depends on it";

    // The next run starts afresh.
    world.access_fatal_level = -1;
    world.source.add_table(u"Orders", 1, rows{{1}});
    run_captured();
    EXPECT_FALSE(converter->is_abandoned());
}

// Record, table and foreign-key failures are reported where they happen; the run as a whole
// went through, so it is not the failure the agent ends with -1 for.
TEST_F(ConversionRun, ErrorsBelowTheTopDoNotAbandonTheRun) {
    world.source.add_table(u"Bad", 1, rows{{REFUSED_VALUE}});
    world.source.add_table(u"Gone", 1, rows{{1}});
    world.destination.refused_commits = {u"Gone"};
    world.source.add_table(u"Orders", 1, rows{{1}});
    world.source.relationships.add(
        udb_relationship{u"K", u"", u"Orders", u"Bad", u"", {u"c0"}, {u"c0"}});
    world.destination.orphan_keys = {u"K"};
    world.b_destination_exists = false;

    std::string output = run_captured();

    EXPECT_THAT(output, HasSubstr("Error:\nBad, record #1: "));
    EXPECT_THAT(output, HasSubstr("Error:\nGone: final commit refused\n"));
    EXPECT_THAT(output, HasSubstr("Error:\nForeign key 'K': orphaned records\n"));
    // The summary names what the destination could not make (an index or key) as well.
    EXPECT_THAT(output, HasSubstr("Summary:\n"));
    EXPECT_THAT(output.substr(output.find("Summary:\n")),
                HasSubstr("\nNot created: Foreign key 'K'\n"));
    EXPECT_FALSE(converter->is_abandoned());
    EXPECT_FALSE(converter->is_complete());
}

TEST_F(ConversionRun, RefusedFinalCommitIsReportedWithTheTableAndTheRunGoesOn) {
    world.source.add_table(u"Lines", 1, rows{{1}, {2}});
    world.destination.refused_commits = {u"Lines"};
    world.source.add_table(u"Orders", 1, rows{{7}});

    std::string output = run_captured();

    // The summary counts what the refused commit cost.
    EXPECT_EQ(output, "Converting database src.mdb(2 tables)\n"
                      "Converting table Lines(2 records)\n"
                      "Error:\nLines: final commit refused\n"
                      "Converting table Orders(1 records)\n"
                      "Summary:\n"
                      "Lines: 2 read, 0 in the destination, 0 rejected\n"
                      "Orders: 1 read, 1 in the destination, 0 rejected\n"
                      "Error:\nLines: 2 of the rows read are not in the destination.\n");
    EXPECT_FALSE(converter->is_complete());
    EXPECT_EQ(world.destination.finished, (std::vector<std::u16string>{u"Lines", u"Orders"}));
    EXPECT_EQ(world.destination.tables[u"Orders"].rows, (rows{{7}}));
    EXPECT_THAT(log_text(), HasSubstr("Lines: final commit refused"));
}

TEST_F(ConversionRun, TablesWithoutRowsToLoadAreNotFinished) {
    world.source.add_table(u"Empty", 1, rows{});
    world.source.add_table(u"Orders", 1, rows{{1}});
    world.destination.refused_commits = {u"Orders"};
    converter->set_definitions_only(true);

    std::string output = run_captured();

    EXPECT_TRUE(world.destination.finished.empty());
    EXPECT_THAT(output, Not(HasSubstr("Error:")));
}

TEST_F(ConversionRun, QueryTestAnswersFalseInsteadOfThrowing) {
    world.source.add_table(u"Orders", 1, rows{{1}});
    EXPECT_TRUE(converter->test_query(u"SELECT * FROM Orders"));
    EXPECT_FALSE(converter->test_query(u"SELECT * FROM Nothing"));
    EXPECT_THAT(world.calls, ::testing::Contains(u"ugl ,,"));   // asked even when empty

    world.access_fatal_level = ERROR_LEVEL_FATAL;
    EXPECT_FALSE(converter->test_query(u"SELECT * FROM Orders"));
    world.b_access_loads = false;
    EXPECT_FALSE(converter->test_query(u"SELECT * FROM Orders"));
}

TEST_F(ConversionRun, TableListComesFromTheSourceCatalogue) {
    world.source.add_table(u"Orders", 1, rows{});
    world.source.add_table(u"Customers", 1, rows{});
    std::vector<std::u16string> names;
    converter->get_all_tables(names);
    EXPECT_EQ(names, (std::vector<std::u16string>{u"Orders", u"Customers"}));
    EXPECT_THAT(world.calls, ::testing::Contains(u"open source 33 "));
}

TEST_F(ConversionRun, ConnectionFollowsAuthenticationAndTheFastLoadSwitch) {
    converter->set_host(u"db1");
    converter->set_user(u"bob");
    converter->set_password(u"pw");
    converter->connect_mssql_server();   // Windows authentication is the default
    converter->set_windows_authentication(false);
    ::setenv(FAST_LOAD_ENV, "0", 1);
    converter->connect_mssql_server();
    ::unsetenv(FAST_LOAD_ENV);
    EXPECT_EQ(world.calls,
              (std::vector<std::u16string>{u"connect db1 fast", u"connect db1,bob,pw slow"}));
}

class ExistingDestinationTable : public ConversionRun {
protected:
    void SetUp() override {
        ConversionRun::SetUp();
        world.source.add_table(u"Orders", 1, rows{{1}, {2}});
        world.source.add_table(u"Zeta", 1, rows{{9}});
        world.destination.add_table(u"Orders", 1, rows{{100}});
    }
};

TEST_F(ExistingDestinationTable, ModeZeroOpensForOverwriteAndHandsTheTableToCreate) {
    run_captured();
    EXPECT_THAT(world.calls, ::testing::Contains(u"open dest 4"));
    EXPECT_TRUE(world.destination.deleted.empty());
    EXPECT_EQ(world.destination.created, (std::vector<std::u16string>{u"Orders", u"Zeta"}));
}

TEST_F(ExistingDestinationTable, ModeOneDropsTheTableThenCreatesIt) {
    converter->set_mode(MODE_OVERWRITE_TABLES);
    run_captured();
    EXPECT_THAT(world.calls, ::testing::Contains(u"open dest 8"));
    EXPECT_EQ(world.destination.deleted, std::vector<std::u16string>{u"Orders"});
    EXPECT_EQ(world.destination.tables[u"Orders"].rows, (rows{{1}, {2}}));
}

TEST_F(ExistingDestinationTable, ModeTwoLeavesTheTableUntouchedAndUnreported) {
    converter->set_mode(MODE_SKIP_TABLES);
    std::string output = run_captured();
    EXPECT_THAT(output, Not(HasSubstr("Converting table Orders")));
    EXPECT_EQ(world.destination.tables[u"Orders"].rows, (rows{{100}}));
    EXPECT_EQ(world.destination.created, std::vector<std::u16string>{u"Zeta"});
}

TEST_F(ExistingDestinationTable, ModeThreeAppendsToAConformingTable) {
    converter->set_mode(MODE_MERGE);
    run_captured();
    EXPECT_EQ(world.destination.tables[u"Orders"].rows, (rows{{100}, {1}, {2}}));
}

TEST_F(ExistingDestinationTable, ModeThreeReportsANonConformingTableAndGoesOn) {
    world.destination.tables.erase(u"Orders");
    world.destination.catalogue_order.clear();
    world.destination.add_table(u"Orders", 2, rows{{100, 200}});
    converter->set_mode(MODE_MERGE);

    std::string output = run_captured();

    EXPECT_THAT(output, HasSubstr("Error:\nOrders: The structure of data source does not "
                                  "conform to the destination table.\n"));
    EXPECT_EQ(world.destination.tables[u"Orders"].rows, (rows{{100, 200}}));
    EXPECT_EQ(world.destination.tables[u"Zeta"].rows, (rows{{9}}));
}

class ForeignKeys : public ConversionRun {
protected:
    void SetUp() override {
        ConversionRun::SetUp();
        world.source.add_table(u"Orders", 1, rows{{1}});
        world.source.add_table(u"Customers", 1, rows{{1}});
        world.source.add_table(u"Lines", 1, rows{{1}});
    }
    static udb_relationship key(const char16_t* name, const char16_t* from, const char16_t* to) {
        return udb_relationship{name, u"", from, to, u"", {u"c0"}, {u"c0"}};
    }
};

TEST_F(ForeignKeys, OnlyKeysBetweenConvertedTablesAreCreated) {
    world.source.relationships.add(key(u"OrdersCustomers", u"orders", u"Customers"));
    world.source.relationships.add(key(u"LinesOrders", u"Lines", u"Orders"));
    converter->set_selected_tables({u"Orders", u"Customers"});

    run_captured();

    ASSERT_EQ(world.destination.relationship_calls.size(), 1u);
    ASSERT_EQ(world.destination.relationship_calls[0].size(), 1u);
    EXPECT_EQ(world.destination.relationship_calls[0][0].name, u"OrdersCustomers");
}

TEST_F(ForeignKeys, FailedKeyIsPrintedWithItsNameAndTheNextOneFollows) {
    world.source.relationships.add(key(u"OrdersCustomers", u"Orders", u"Customers"));
    world.source.relationships.add(key(u"LinesOrders", u"Lines", u"Orders"));
    world.destination.orphan_keys = {u"OrdersCustomers"};

    std::string output = run_captured();

    EXPECT_THAT(output, HasSubstr("Converting table Orders(1 records)\n"
                                  "Error:\nForeign key 'OrdersCustomers': orphaned records\n"));
    EXPECT_EQ(output.find("LinesOrders"), std::string::npos) << "only the failed key";
    ASSERT_EQ(world.destination.relationship_calls.size(), 1u);
    EXPECT_EQ(world.destination.relationship_calls[0].size(), 2u);
    EXPECT_TRUE(handler->get_context().empty()) << "no context left for the next message";
    EXPECT_THAT(log_text(), HasSubstr("Foreign key 'OrdersCustomers': orphaned records"));
}

TEST_F(ForeignKeys, AppendModesOnAnExistingDatabaseCreateNone) {
    world.source.relationships.add(key(u"OrdersCustomers", u"Orders", u"Customers"));
    converter->set_mode(MODE_MERGE);
    run_captured();
    EXPECT_TRUE(world.destination.relationship_calls.empty());
}

TEST_F(ForeignKeys, ANewDatabaseGetsThemInEveryMode) {
    world.source.relationships.add(key(u"OrdersCustomers", u"Orders", u"Customers"));
    world.b_destination_exists = false;
    converter->set_mode(MODE_MERGE);
    run_captured();
    EXPECT_THAT(world.calls, ::testing::Contains(u"create dest"));
    EXPECT_EQ(world.destination.relationship_calls.size(), 1u);
}

// A handler that asks the converter to stop at its first report, as the wizard's Cancel does
// while a record failure is on screen.
class stopping_handler : public error_handler {
public:
    stopping_handler() : error_handler(conv_access_messages()) {}
    void handle(const tk_exception& /*failure*/, int /*cannot_continue*/) override {
        ++reports;
        static_cast<vantrel_convertor&>(tk_converter::instance()).request_stop();
    }
    int reports = 0;
};

TEST_F(ConversionRun, StopRequestEndsTheRunAtTheNextRecordAndSkipsLaterTables) {
    handler.reset();
    auto stopper = std::make_unique<stopping_handler>();
    world.source.add_table(u"A", 1, rows{{1}, {REFUSED_VALUE}, {3}, {4}});
    world.source.add_table(u"B", 1, rows{{5}});

    run_captured();

    EXPECT_EQ(stopper->reports, 1);
    EXPECT_EQ(world.destination.tables[u"A"].rows, (rows{{1}}));
    EXPECT_EQ(world.destination.created, std::vector<std::u16string>{u"A"});
    EXPECT_TRUE(converter->is_done());
    EXPECT_FALSE(converter->is_abandoned());
}

TEST_F(ConversionRun, StopRequestedBeforeTheRunCreatesNothing) {
    world.source.add_table(u"A", 1, rows{{1}});
    converter->request_stop();

    std::string output = run_captured();

    EXPECT_TRUE(world.destination.created.empty());
    EXPECT_THAT(output, Not(HasSubstr("Converting table")));
    EXPECT_TRUE(converter->is_done());
}

}   // namespace
