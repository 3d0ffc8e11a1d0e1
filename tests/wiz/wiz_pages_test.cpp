// wiz_pages_test.cpp - the wizard's pages on the offscreen platform, without a server: the
// cancel question, captions, the login controls, the workgroup checks, the destination name,
// the table lists and queries, the error handler's dialogs and list, help, profiles through
// the pages, the start-up check and the progress formula. Expected texts are the wizard's
// documented messages.
#include <QCheckBox>
#include <QClipboard>
#include <QDialog>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTest>
#include <QTextBrowser>

#include <atomic>
#include <fstream>
#include <thread>

#include "tk/tk_exce.hpp"
#include "wiz/wiz_connect.hpp"
#include "wiz/wiz_files.hpp"
#include "wiz/wiz_gui_call.hpp"
#include "wiz/wiz_help.hpp"
#include "wiz/wiz_progress.hpp"
#include "wiz/wiz_query.hpp"
#include "wiz/wiz_security.hpp"
#include "wiz/wiz_startup.hpp"
#include "wiz/wiz_tables.hpp"
#include "wiz_test_env.hpp"

namespace {

// Types a full path into a file dialog's name field and accepts, as a user does; selectFile()
// would depend on the dialog's folder listing, which is read in the background.
void choose_file(QFileDialog* dialog, const QString& path) {
    child<QLineEdit>(dialog, "fileNameEdit")->setText(path);
    static_cast<QDialog*>(dialog)->accept();
}

// The error dialogs cannot be met in the Xvfb run (Northwind converts without errors): their
// pictures for docs/screenshots are taken here, without window decorations.
void save_picture(QWidget* dialog, const char* name) {
    const std::string folder = std::string(VANTREL_BUILD_DIR) + "/wiz-screenshots";
    std::filesystem::create_directories(folder);
    dialog->grab().save(QString::fromStdString(folder + "/" + name), "PNG");
}

using WizardShell = wiz_test_env;

TEST_F(WizardShell, CancelAsksWithNoAsDefaultAndNoKeepsThePage) {
    show_wizard();
    seen_box asked;
    answer_box("questionBox", QMessageBox::No, &asked);
    shell->reject();
    EXPECT_EQ(asked.text, "Are you sure you want to exit the wizard?");
    EXPECT_EQ(asked.default_button, QMessageBox::No);
    EXPECT_EQ(asked.title, "Vantrel 3.3 Wizard Question");
    EXPECT_TRUE(shell->isVisible());

    answer_box("questionBox", QMessageBox::Yes, nullptr);
    shell->reject();
    EXPECT_FALSE(shell->isVisible());
    EXPECT_EQ(shell->result(), QDialog::Rejected);
}

TEST_F(WizardShell, BoxBeforeTheFirstShowIsCaptionedByItsKindAlone) {
    shell = wiz_build(*converter, nullptr);
    seen_box before;
    answer_box("errorBox", QMessageBox::Ok, &before);
    wizard_shell::error("early");
    EXPECT_EQ(before.title, "Error");

    shell->show();
    QApplication::processEvents();
    seen_box after;
    answer_box("errorBox", QMessageBox::Ok, &after);
    wizard_shell::error("late");
    EXPECT_EQ(after.title, "Vantrel 3.3 Wizard Error");
    EXPECT_EQ(shell->windowTitle(), "Vantrel 3.3 Wizard");
}

TEST_F(WizardShell, StartingTheProgressTimerTwiceIsAnInternalError) {
    show_wizard();
    shell->start_timer(200);
    EXPECT_THROW(shell->start_timer(200), tk_mail_assertion);
    shell->stop_timer();
}

TEST_F(WizardShell, StepsCarryTheirHeaderTitles) {
    show_wizard();
    const char* const subtitles[] = {"",
                                     "Connect to MS SQL server",
                                     "MS Access user-level security settings",
                                     "Select databases",
                                     "Select tables to convert",
                                     "Database conversion is in progress",
                                     ""};
    for (int id = 0; id <= FINISH; ++id) {
        EXPECT_EQ(shell->page(id)->subTitle(), subtitles[id]) << id;
        if (id >= 1 && id <= 5) {
            EXPECT_EQ(shell->page(id)->title(), QString("Step %1 of 5").arg(id));
        }
    }
}

TEST_F(WizardShell, WindowsAuthenticationDisablesLoginAndPasswordAndKeepsTheirTexts) {
    show_wizard();
    converter->set_windows_authentication(false);
    converter->set_user(u"migrator");
    shell->setStartId(STEP_1);
    shell->restart();
    QWidget* step = page(STEP_1);
    auto* login = child<QLineEdit>(step, "loginEdit");
    EXPECT_EQ(login->text(), "migrator");
    EXPECT_TRUE(login->isEnabled());
    click(step, "windowsAuthRadio");
    EXPECT_FALSE(login->isEnabled());
    EXPECT_FALSE(child<QLineEdit>(step, "passwordEdit")->isEnabled());
    click(step, "sqlAuthRadio");
    EXPECT_TRUE(login->isEnabled());
    EXPECT_EQ(login->text(), "migrator");
}

class WorkgroupPage : public wiz_test_env {
protected:
    // Types the three fields and presses Next; the text of the box it showed, if any.
    QString next_with(const QString& file, const QString& user, const QString& password) {
        QWidget* step = page(STEP_2);
        type(step, "workgroupEdit", file);
        type(step, "userEdit", user);
        type(step, "userPasswordEdit", password);
        seen_box shown;
        answer_box("*box", QMessageBox::Ok, &shown);
        b_went_on = static_cast<ugl_page*>(step)->on_wizard_next();
        drop_modal_answers();
        return shown.text;
    }

    bool b_went_on = false;
};

TEST_F(WorkgroupPage, TheSixChecks) {
    show_wizard();
    EXPECT_EQ(next_with("", "", ""), "");
    EXPECT_TRUE(b_went_on);
    EXPECT_EQ(next_with("", "", "secret"), "");
    EXPECT_TRUE(b_went_on);
    EXPECT_EQ(next_with("", "admin", ""),
              "You should enter path to MS Access workgroup information file");
    EXPECT_FALSE(b_went_on);
    EXPECT_EQ(next_with(QString::fromStdString((folder / "none.mdw").string()), "admin", ""),
              "Workgroup information file does not exist.\r\n"
              "Please verify the correct path was given.");
    EXPECT_FALSE(b_went_on);
    TEST_DATA_REQUIRE(has_testdata("horsje-tril/System.mdw"), testdata("horsje-tril/System.mdw"));
    const QString workgroup = QString::fromStdString(testdata("horsje-tril/System.mdw"));
    EXPECT_EQ(next_with(workgroup, "", ""), "You should enter user name");
    EXPECT_FALSE(b_went_on);
    EXPECT_EQ(next_with(workgroup, "admin", ""), "");
    EXPECT_TRUE(b_went_on);
    const QString database = QString::fromStdString(
        testdata("npsmith88-NorthwindDatabaseQueryTool/Northwind.mdb"));
    EXPECT_EQ(next_with(database, "admin", ""),
              "The file does not comply with MS Access workgroup information\r\n"
              "file format. Leave all the fields empty on this wizard page if your\r\n"
              "database is not protected with MS Access user-level security.");
    EXPECT_FALSE(b_went_on);
}

using DatabasesPage = wiz_test_env;

TEST_F(DatabasesPage, DestinationIsShownWithoutExtension) {
    converter->set_destination(u"my.db");
    show_wizard();
    static_cast<sel_file_page*>(page(STEP_3))->page_init();
    EXPECT_EQ(child<QLineEdit>(page(STEP_3), "destinationEdit")->text(), "my");
}

TEST_F(DatabasesPage, EmptyNamesAndMissingSourceKeepThePage) {
    show_wizard();
    QWidget* step = page(STEP_3);
    auto next_says = [&](const char* box) {
        seen_box shown;
        answer_box(box, QMessageBox::Ok, &shown);
        EXPECT_FALSE(static_cast<sel_file_page*>(step)->on_wizard_next());
        drop_modal_answers();
        return shown.text;
    };
    EXPECT_EQ(next_says("messageBox"), "You should enter MS Access database name");
    type(step, "sourceEdit", QString::fromStdString((folder / "gone.mdb").string()));
    type(step, "destinationEdit", "");
    EXPECT_EQ(next_says("messageBox"), "You should enter MS SQL database name");
    type(step, "destinationEdit", "Sales");
    EXPECT_EQ(next_says("errorBox"),
              "Source file does not exist.\r\nPlease verify the correct path was given.");
}

TEST_F(DatabasesPage, BrowseOffersBothAccessExtensionsAndFillsTheDestination) {
    show_wizard();
    std::ofstream(folder / "sales.mdb") << "x";
    std::ofstream(folder / "stock.accdb") << "x";
    std::ofstream(folder / "notes.txt") << "x";
    QStringList visible;
    QString filter;
    when_modal("QFileDialog", [&](QWidget* window) {
        auto* dialog = qobject_cast<QFileDialog*>(window);
        filter = dialog->selectedNameFilter();
        dialog->setDirectory(QString::fromStdString(folder.string()));
        QString inside = filter.mid(filter.indexOf('(') + 1).chopped(1);
        visible = QDir(QString::fromStdString(folder.string()))
                      .entryList(inside.split(' '), QDir::Files, QDir::Name);
        choose_file(dialog, QString::fromStdString((folder / "stock.accdb").string()));
    });
    click(page(STEP_3), "browseSourceButton");
    EXPECT_EQ(filter, "MS Access Databases (*.mdb *.accdb)");
    EXPECT_EQ(visible, (QStringList{"sales.mdb", "stock.accdb"}));
    EXPECT_EQ(child<QLineEdit>(page(STEP_3), "destinationEdit")->text(), "stock");
}

class TablesPage : public wiz_test_env {
protected:
    void SetUp() override {
        wiz_test_env::SetUp();
        TEST_DATA_REQUIRE(has_testdata(NORTHWIND), testdata(NORTHWIND));
        converter->set_source(QString::fromStdString(testdata(NORTHWIND)).toStdU16String());
    }

    sel_tables_page* tables() { return static_cast<sel_tables_page*>(page(STEP_4)); }
    QListWidget* list(const char* name) { return child<QListWidget>(page(STEP_4), name); }

    static constexpr const char* NORTHWIND = "npsmith88-NorthwindDatabaseQueryTool/Northwind.mdb";
};

TEST_F(TablesPage, DuplicateQueryNameInAnyCaseReopensTheDialogWithTheText) {
    show_wizard();
    tables()->page_init();
    ASSERT_FALSE(list("availableList")->findItems("Orders", Qt::MatchExactly).isEmpty());
    QString warned;
    QString reopened_name;
    QString reopened_query;
    when_modal("setQueryDialog", [&](QWidget* dialog) {
        type(dialog, "tableNameEdit", "oRDERS");
        child<QPlainTextEdit>(dialog, "queryEdit")->setPlainText("  select * from Orders");
        when_modal("messageBox", [&](QWidget* box) {
            warned = qobject_cast<QMessageBox*>(box)->text();
            when_modal("setQueryDialog", [&](QWidget* again) {
                reopened_name = child<QLineEdit>(again, "tableNameEdit")->text();
                reopened_query = child<QPlainTextEdit>(again, "queryEdit")->toPlainText();
                type(again, "tableNameEdit", "French orders");
                click(again, "okButton");
            });
            qobject_cast<QMessageBox*>(box)->button(QMessageBox::Ok)->click();
        });
        click(dialog, "okButton");
    });
    click(page(STEP_4), "addQueryButton");
    EXPECT_EQ(warned, "Duplicate table name. Try again.");
    EXPECT_EQ(reopened_name, "oRDERS");
    EXPECT_EQ(reopened_query, "  select * from Orders");
    EXPECT_EQ(list("selectedList")->findItems("French orders", Qt::MatchExactly).size(), 1);

    ASSERT_TRUE(tables()->on_wizard_next());
    EXPECT_EQ(converter->get_table_map().at(u"French orders"), u"  select * from Orders");
    EXPECT_TRUE(converter->get_selected_tables().empty());
}

TEST_F(TablesPage, StoredQueryMovedToTheSelectedListIsConverted) {
    converter->add_query_entry(u"Big orders", u"SELECT * FROM Orders WHERE Freight > 100");
    show_wizard();
    tables()->page_init();
    QListWidget* available = list("availableList");
    auto stored = available->findItems("Big orders", Qt::MatchExactly);
    ASSERT_EQ(stored.size(), 1);
    available->setCurrentItem(stored[0]);
    click(page(STEP_4), "addButton");
    auto customers = available->findItems("Customers", Qt::MatchExactly);
    available->setCurrentItem(customers[0]);
    click(page(STEP_4), "addButton");

    ASSERT_TRUE(tables()->on_wizard_next());
    EXPECT_EQ(converter->get_table_map().at(u"Big orders"),
              u"SELECT * FROM Orders WHERE Freight > 100");
    EXPECT_EQ(converter->get_query_map().count(u"Big orders"), 0u);
    EXPECT_EQ(converter->get_selected_tables(), std::vector<std::u16string>{u"Customers"});
}

TEST_F(TablesPage, NothingSelectedAsksWithNoAsDefaultAndRemoveLastFocusesAvailable) {
    show_wizard();
    shell->setStartId(STEP_4);
    shell->restart();
    QApplication::processEvents();
    QListWidget* selected = list("selectedList");
    QListWidget* available = list("availableList");
    available->setCurrentRow(0);
    click(page(STEP_4), "addButton");
    ASSERT_EQ(selected->count(), 1);
    selected->setCurrentRow(0);
    click(page(STEP_4), "removeButton");
    EXPECT_EQ(selected->count(), 0);
    EXPECT_EQ(available->currentRow(), 0);
    EXPECT_TRUE(available->hasFocus() || QApplication::focusWidget() == available);

    seen_box asked;
    answer_box("questionBox", QMessageBox::No, &asked);
    EXPECT_FALSE(tables()->on_wizard_next());
    EXPECT_EQ(asked.text, "There are no tables selected. Continue anyway?");
    EXPECT_EQ(asked.default_button, QMessageBox::No);
}

TEST(SelectTest, LeadingBlanksAndLowerCaseSelectPass) {
    EXPECT_TRUE(wiz_starts_with_select(" \t\r\n select * from T"));
    EXPECT_TRUE(wiz_starts_with_select("SELECT"));
    EXPECT_FALSE(wiz_starts_with_select("  SELEC"));
    EXPECT_FALSE(wiz_starts_with_select("UPDATE T SET x = 1"));
    EXPECT_FALSE(wiz_starts_with_select(""));
}

using QueryDialog = wiz_test_env;

TEST_F(QueryDialog, EmptyFieldsAreRefusedWithTheirOwnMessages) {
    show_wizard();
    set_query_dlg dialog("", "", shell.get());
    QStringList said;
    auto expect_box = [&](const char* name) {
        when_modal(name, [&said](QWidget* window) {
            said << qobject_cast<QMessageBox*>(window)->text();
            qobject_cast<QMessageBox*>(window)->button(QMessageBox::Ok)->click();
        });
    };
    dialog.show();
    expect_box("messageBox");
    click(&dialog, "okButton");
    type(&dialog, "tableNameEdit", "Q");
    expect_box("errorBox");
    click(&dialog, "okButton");
    expect_box("errorBox");
    click(&dialog, "testQueryButton");
    EXPECT_EQ(said, (QStringList{"Table name is empty!", "Query is empty!",
                                 "The query must start with SELECT."}));
    EXPECT_TRUE(dialog.isVisible());
}

TEST(ProgressPosition, WholeTablesThenTheShareOfTheCurrentOne) {
    EXPECT_EQ(wiz_progress_position(4, 1, 200, 50), 31);   // 25 + 6
    EXPECT_EQ(wiz_progress_position(0, 0, 0, 0), 0);
    EXPECT_EQ(wiz_progress_position(3, 2, 0, 0), 66);
}

using ErrorHandler = wiz_test_env;

TEST_F(ErrorHandler, DoNotShowAgainKeepsCollectingAndTheListStopsAtTwenty) {
    show_wizard();
    int dialogs = 0;
    QString first_message;
    when_modal("errorContinueDialog", [&](QWidget* dialog) {
        ++dialogs;
        first_message = child<QLabel>(dialog, "errorMessage")->text();
        save_picture(dialog, "10-error-continue.png");
        child<QCheckBox>(dialog, "doNotShowCheck")->setChecked(true);
        click(dialog, "continueButton");
    });
    for (int record = 1; record <= 25; ++record) {
        handler->set_context(u"Orders", record);
        handler->handle(tk_exception("bad value\nhere", 0x80E2F, ERROR_LEVEL_RECOVERABLE), 0);
    }
    EXPECT_EQ(dialogs, 1);
    EXPECT_EQ(first_message.toStdString(),
              "Orders, record #1: The specified record violates the integrity constraints. See "
              "'Troubleshooting' article of the product documentation for solution.");
    std::vector<std::string> listed = shell->errors();
    ASSERT_EQ(listed.size(), 20u);
    EXPECT_EQ(listed[19].rfind("Orders, record #20: ", 0), 0u);
}

TEST_F(ErrorHandler, AbortEndsTheRunUnlessItIsEndingAnyway) {
    show_wizard();
    when_modal("errorContinueDialog", [](QWidget* dialog) { click(dialog, "abortButton"); });
    EXPECT_THROW(handler->handle(tk_exception("x", ERROR_LEVEL_RECOVERABLE), 0),
                 tk_final_exception);
    when_modal("errorContinueDialog", [](QWidget* dialog) { click(dialog, "abortButton"); });
    EXPECT_NO_THROW(handler->handle(tk_exception("x", ERROR_LEVEL_RECOVERABLE), 1));
}

TEST_F(ErrorHandler, InternalErrorShowsItsDialogAndEndsTheRunWithoutEndingTheProcess) {
    show_wizard();
    QStringList buttons;
    when_modal("errorExDialog", [&](QWidget* dialog) {
        for (const char* name : {"sendBugButton", "okButton", "copyButton"}) {
            auto* button = dialog->findChild<QAbstractButton*>(name);
            if (button != nullptr) buttons << button->text();
        }
        save_picture(dialog, "11-internal-error.png");
        click(dialog, "copyButton");
    });
    // From a worker, as the run calls it: the dialog comes on the GUI thread meanwhile.
    std::atomic<bool> b_finished{false};
    bool b_ended_run = false;
    std::thread worker([&] {
        try {
            handler->handle(tk_mail_assertion("over_dlg", 122), 0);
        } catch (const tk_final_exception&) {
            b_ended_run = true;
        }
        b_finished = true;
    });
    while (!b_finished) QApplication::processEvents(QEventLoop::AllEvents, 20);
    worker.join();
    EXPECT_TRUE(b_ended_run);
    EXPECT_EQ(buttons, (QStringList{"Send bug", "OK", "Copy to clipboard"}));
    EXPECT_TRUE(QApplication::clipboard()->text().startsWith("Internal error: "));
    EXPECT_TRUE(handler->has_internal_failure());
}

using Help = wiz_test_env;

TEST_F(Help, MissingHelpIsReportedAndF1OpensThePageTopic) {
    show_wizard();
    std::filesystem::remove_all(wiz_help_folder().toStdString());
    seen_box missing;
    answer_box("errorBox", QMessageBox::Ok, &missing);
    click(shell.get(), "helpButton");
    EXPECT_EQ(missing.text, "Help file does not exist. Reinstall the program.");

    std::filesystem::copy(std::string(VANTREL_SOURCE_DIR) + "/src/wiz/help",
                          wiz_help_folder().toStdString());
    shell->setStartId(STEP_1);
    shell->restart();
    QApplication::processEvents();
    QApplication::setActiveWindow(shell.get());
    QTest::keyClick(shell->page(STEP_1), Qt::Key_F1);
    QTextBrowser* help = nullptr;
    for (QWidget* top : QApplication::topLevelWidgets()) {
        if (top->objectName() == "helpWindow" && top->isVisible()) {
            help = qobject_cast<QTextBrowser*>(top);
        }
    }
    ASSERT_NE(help, nullptr);
    EXPECT_EQ(help->documentTitle(), "Step 1: Connect to MS SQL server");
    help->close();
    std::filesystem::remove_all(wiz_help_folder().toStdString());
}

TEST(HelpPages, EveryContextIdHasItsPageInstalled) {
    const std::filesystem::path pages = std::string(VANTREL_SOURCE_DIR) + "/src/wiz/help";
    for (int topic : {HELP_NONE, HELP_CONNECT, HELP_WELCOME, HELP_EXISTING_DATABASE, HELP_SECURITY,
                      HELP_FILES, HELP_TABLES, HELP_ADD_QUERY, HELP_TROUBLESHOOTING}) {
        EXPECT_TRUE(std::filesystem::is_regular_file(pages / wiz_help_page(topic).toStdString()))
            << topic;
    }
    EXPECT_NE(wiz_help_page(HELP_TROUBLESHOOTING), wiz_help_page(HELP_NONE));
}

using Profiles = wiz_test_env;

TEST_F(Profiles, SavedOnTheFinishPageAndLoadedOnTheWelcomePage) {
    show_wizard();
    converter->set_host(u"db1.example.org,1433");
    converter->set_windows_authentication(false);
    converter->set_user(u"migrator");
    converter->set_destination(u"Sales");
    converter->set_mode(MODE_MERGE);
    const QString path = QString::fromStdString((folder / "sales").string());
    when_modal("saveProfileDialog", [&](QWidget* window) {
        auto* dialog = qobject_cast<QFileDialog*>(window);
        choose_file(dialog, path);
    });
    click(page(FINISH), "saveSettingsButton");
    ASSERT_TRUE(std::filesystem::exists(path.toStdString() + ".vantrel"));

    converter->set_host(u"other");
    converter->set_user(u"someone");
    converter->set_mode(MODE_OVERWRITE_DATABASE);
    when_modal("QFileDialog", [&](QWidget* window) {
        auto* dialog = qobject_cast<QFileDialog*>(window);
        choose_file(dialog, path + ".vantrel");
    });
    click(page(0), "loadSettingsButton");
    static_cast<wizard_page*>(page(STEP_1))->page_init();
    EXPECT_EQ(child<QLineEdit>(page(STEP_1), "serverEdit")->text(), "db1.example.org,1433");
    EXPECT_EQ(child<QLineEdit>(page(STEP_1), "loginEdit")->text(), "migrator");
    EXPECT_TRUE(child<QRadioButton>(page(STEP_1), "sqlAuthRadio")->isChecked());
    EXPECT_EQ(converter->get_mode(), MODE_MERGE);
}

// A worker's call runs on the GUI thread, the worker sees what it wrote once the call returns,
// and a failure in the work is the worker's to handle, not the event loop's.
TEST(GuiCall, RunsOnTheGuiThreadAndHandsBackResultsAndFailures) {
    QApplication& application = wiz_test_app();
    QThread* ran_on = nullptr;
    int answer = 0;
    std::string failure;
    std::atomic<bool> b_done{false};
    std::thread worker([&] {
        wiz_gui_call([&] {
            ran_on = QThread::currentThread();
            answer = 42;
        });
        try {
            wiz_gui_call(
                [] { throw tk_exception("refused on the GUI thread", ERROR_LEVEL_RECOVERABLE); });
        } catch (const tk_exception& error) {
            failure = error.what();
        }
        b_done = true;
    });
    EXPECT_TRUE(QTest::qWaitFor([&] { return b_done.load(); }, 10000));
    worker.join();
    EXPECT_EQ(ran_on, application.thread());
    EXPECT_EQ(answer, 42);
    EXPECT_EQ(failure, "refused on the GUI thread");
}

TEST(StartupCheck, NoDisplayOrAnOlderQtRefusesToStart) {
    EXPECT_EQ(wiz_startup_problem(QT_VERSION_STR, "", "", "").rfind("Failed to initialize GUI", 0),
              0u);
    EXPECT_NE(wiz_startup_problem(QT_VERSION_STR, "xcb", "", "wayland-0"), "");
    EXPECT_EQ(wiz_startup_problem(QT_VERSION_STR, "xcb", ":99", ""), "");
    EXPECT_EQ(wiz_startup_problem(QT_VERSION_STR, "offscreen", "", ""), "");
    EXPECT_EQ(wiz_startup_problem("6.0.0", "offscreen", "", "").rfind("Incorrect version", 0), 0u);
}

}   // namespace
