// wiz_server_test.cpp - the wizard's steps that talk to SQL Server, against the mssql-double
// fixture: the connection test, the existing-database choice, a whole conversion through the
// pages, Abort in the error dialog, and Cancel while the run goes on.
#include <QDialog>
#include <QLabel>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QThread>

#include "e2e/e2e_server.hpp"
#include "mssql-double/double_fixture.hpp"
#include "tk/tk_exce.hpp"
#include "udb/udb_db.hpp"
#include "wiz/wiz_connect.hpp"
#include "wiz/wiz_files.hpp"
#include "wiz_test_env.hpp"

namespace {

constexpr const char* NORTHWIND = "npsmith88-NorthwindDatabaseQueryTool/Northwind.mdb";

class WizardServer : public wiz_test_env {
protected:
    void SetUp() override {
        wiz_test_env::SetUp();
        TEST_DATA_REQUIRE(std::filesystem::exists(testdata(NORTHWIND)), testdata(NORTHWIND));
        std::string why_not;
        server = e2e_target(why_not);
        if (!server) GTEST_SKIP() << why_not;
        database = e2e_unique_db("wiz");
    }

    void TearDown() override {
        if (server && converter) {
            try {
                if (converter->mssql_engine().is_db_exist(to_u16(database))) {
                    converter->mssql_engine().delete_db(to_u16(database));
                }
            } catch (const tk_exception&) {   // a test that never connected
            }
        }
        wiz_test_env::TearDown();
    }

    static std::u16string to_u16(const std::string& text) {
        return QString::fromStdString(text).toStdU16String();
    }

    // Step 1 filled with the test server's login; Next pressed.
    void connect_on_step_1(const std::string& host) {
        shell->setStartId(STEP_1);
        shell->restart();
        QApplication::processEvents();
        QWidget* step = page(STEP_1);
        type(step, "serverEdit", QString::fromStdString(host));
        click(step, "sqlAuthRadio");
        type(step, "loginEdit", QString::fromStdString(server->user));
        type(step, "passwordEdit", QString::fromStdString(server->password));
        click(shell.get(), "nextButton");
    }

    // Steps 2 and 3 with Northwind into `database`; Next pressed on step 3.
    void fill_steps_2_and_3() {
        click(shell.get(), "nextButton");
        ASSERT_EQ(shell->currentId(), STEP_3);
        type(page(STEP_3), "sourceEdit", QString::fromStdString(testdata(NORTHWIND)));
        type(page(STEP_3), "destinationEdit", QString::fromStdString(database));
        click(shell.get(), "nextButton");
    }

    // Steps 1 to 4 with every table of Northwind selected; the run starts.
    void start_northwind_conversion() {
        show_wizard();
        connect_on_step_1(server->agent_host());
        fill_steps_2_and_3();
        ASSERT_EQ(shell->currentId(), STEP_4);
        click(page(STEP_4), "addAllButton");
        click(shell.get(), "commitButton");
    }

    // Waits for the run to end (the finish page) or the wizard to close.
    void wait_for_finish() {
        for (int tick = 0; tick < 3000 && shell->isVisible() && shell->currentId() != FINISH;
             ++tick) {
            QApplication::processEvents(QEventLoop::AllEvents, 50);
            QThread::msleep(20);
        }
    }

    std::optional<e2e_server> server;
    std::string database;
};

TEST_F(WizardServer, WrongHostIsReportedAndStepOneStays) {
    show_wizard();
    seen_box said;
    answer_box("errorBox", QMessageBox::Ok, &said);
    connect_on_step_1("127.0.0.1,1");
    EXPECT_EQ(said.text, "MS SQL Server does not exist or access denied.\n"
                         "Check to verify the correct host was given.");
    EXPECT_EQ(shell->currentId(), STEP_1);
    EXPECT_EQ(child<QLineEdit>(page(STEP_1), "serverEdit")->text(), "127.0.0.1,1");
}

TEST_F(WizardServer, ExistingDatabaseDialogCancelKeepsStepThreeAndEachModeIsTaken) {
    show_wizard();
    connect_on_step_1(server->agent_host());
    ASSERT_EQ(shell->currentId(), STEP_2);
    converter->mssql_engine().create_db(to_u16(database));

    when_modal("overwriteDialog", [](QWidget* dialog) {
        EXPECT_EQ(dialog->windowTitle(), "Vantrel 3.3 Wizard Warning");
        EXPECT_TRUE(child<QRadioButton>(dialog, "overwriteDatabaseRadio")->isChecked());
        click(dialog, "cancelButton");
    });
    fill_steps_2_and_3();
    EXPECT_EQ(shell->currentId(), STEP_3);
    EXPECT_TRUE(converter->mssql_engine().is_db_exist(to_u16(database)));

    const char* const radios[] = {"overwriteTablesRadio", "skipTablesRadio", "mergeRadio"};
    for (std::int32_t mode = 1; mode <= 3; ++mode) {
        when_modal("overwriteDialog", [&radios, mode](QWidget* dialog) {
            click(dialog, radios[mode - 1]);
            click(dialog, "okButton");
        });
        EXPECT_TRUE(static_cast<sel_file_page*>(page(STEP_3))->on_wizard_next());
        EXPECT_EQ(converter->get_mode(), mode);
        EXPECT_TRUE(converter->mssql_engine().is_db_exist(to_u16(database)));
    }
    when_modal("overwriteDialog", [](QWidget* dialog) { click(dialog, "okButton"); });
    click(shell.get(), "nextButton");
    EXPECT_EQ(shell->currentId(), STEP_4);
    EXPECT_EQ(converter->get_mode(), MODE_OVERWRITE_DATABASE);
    EXPECT_FALSE(converter->mssql_engine().is_db_exist(to_u16(database)));
}

TEST_F(WizardServer, WholeConversionThroughThePagesEndsOnTheSuccessText) {
    ASSERT_NO_FATAL_FAILURE(start_northwind_conversion());
    wait_for_finish();
    ASSERT_EQ(shell->currentId(), FINISH);
    EXPECT_EQ(child<QLabel>(page(FINISH), "resultLabel")->text().toStdString(),
              "Wizard has migrated your MS Access database to\nMS SQL server successfully.\n\n"
              "Click 'Finish' to exit the wizard.");
    EXPECT_FALSE(shell->button(QWizard::CancelButton)->isEnabled());
    EXPECT_FALSE(shell->button(QWizard::BackButton)->isEnabled());
    e2e_client client(*server);
    EXPECT_EQ(client.count(database, "Order Details"), 2155);
    EXPECT_EQ(client.count(database, "Customers"), 91);
}

TEST_F(WizardServer, AbortInTheErrorDialogEndsTheRunAndTheFinishPageListsTheError) {
    show_wizard();
    connect_on_step_1(server->agent_host());
    e2e_client client(*server);
    client.sql("", "CREATE DATABASE " + e2e_bracket(database));
    client.sql(database, "CREATE TABLE [Categories] ([Other] int)");
    when_modal("overwriteDialog", [](QWidget* dialog) {
        click(dialog, "mergeRadio");
        click(dialog, "okButton");
    });
    fill_steps_2_and_3();
    ASSERT_EQ(shell->currentId(), STEP_4);
    click(page(STEP_4), "addAllButton");
    QString shown;
    when_modal("errorContinueDialog", [&shown](QWidget* dialog) {
        shown = child<QLabel>(dialog, "errorMessage")->text();
        click(dialog, "abortButton");
    });
    click(shell.get(), "commitButton");
    wait_for_finish();
    ASSERT_EQ(shell->currentId(), FINISH);
    const QString expected =
        "Categories: The structure of data source does not conform to the destination table.";
    EXPECT_EQ(shown, expected);
    EXPECT_EQ(child<QLabel>(page(FINISH), "resultLabel")->text().toStdString(),
              "There were some errors while converting the database.\n"
              "Click 'Finish' to exit the wizard.");
    auto* listed = child<QPlainTextEdit>(page(FINISH), "errorList");
    EXPECT_TRUE(listed->isVisible());
    EXPECT_EQ(listed->toPlainText(), expected + "\n\n");
    // Abort came at the first table: nothing after it was converted.
    EXPECT_EQ(client.tables(database), std::vector<std::string>{"Categories"});
}

TEST_F(WizardServer, CancelWhileConvertingStopsTheRunAndClosesTheWizard) {
    ASSERT_NO_FATAL_FAILURE(start_northwind_conversion());
    answer_box("questionBox", QMessageBox::Yes, nullptr);
    shell->reject();
    EXPECT_FALSE(shell->isVisible());
    EXPECT_TRUE(converter->is_stop_requested());
    EXPECT_TRUE(converter->is_done());
    e2e_client client(*server);
    EXPECT_LT(client.tables(database).size(), 8u);
}

}   // namespace
