// wiz_test_env.hpp - what every wizard test sets up: a QApplication on the offscreen platform,
// private settings (XDG_CONFIG_HOME in a scratch folder), the wizard's error handler, a
// converter over this build's engines and the shell with its seven pages, shown. Modal
// windows are answered by when_modal(): it waits for a modal window of that object name and
// hands it to the test's answer, which clicks a button as a user would.
#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include "conv/vantrel_conv.hpp"
#include "test_data.hpp"
#include "wiz/wiz_build.hpp"
#include "wiz/wiz_errh.hpp"
#include "wiz/wiz_gui_queue.hpp"
#include "wiz/wiz_shell.hpp"

// Page ids of the steps, in the wizard's order.
constexpr int STEP_1 = 1;
constexpr int STEP_2 = 2;
constexpr int STEP_3 = 3;
constexpr int STEP_4 = 4;
constexpr int FINISH = 6;

// A file of the shared test data, and whether it is there.
inline std::string testdata(const std::string& relative) {
    return std::string(VANTREL_TESTDATA_DIR) + "/" + relative;
}

inline bool has_testdata(const std::string& relative) {
    return std::filesystem::exists(testdata(relative));
}

inline QApplication& wiz_test_app() {
    static int argc = 1;
    static char name[] = "wiz_test";
    static char* argv[] = {name, nullptr};
    static QApplication* application = [] {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        auto* made = new QApplication(argc, argv);
        wiz_gui_queue::instance();   // on the GUI thread, as the wizard's main makes it
        return made;
    }();
    return *application;
}

// Waits (polling the event loop) for a visible modal window named `object_name` (any message
// box for "*box"), then runs `answer` on it once. Registered before the action that opens
// the window; one that never came is dropped when the test ends.
inline void when_modal(const QString& object_name, std::function<void(QWidget*)> answer) {
    auto* poll = new QTimer(&wiz_test_app());
    poll->setObjectName("modalPoll");
    QObject::connect(poll, &QTimer::timeout, poll, [poll, object_name, answer] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal == nullptr) return;
        const bool b_any_box = object_name == "*box" && qobject_cast<QMessageBox*>(modal);
        if (!b_any_box && modal->objectName() != object_name) return;
        poll->stop();
        poll->deleteLater();
        answer(modal);
    });
    poll->start(20);
}

inline void drop_modal_answers() {
    for (QTimer* poll : wiz_test_app().findChildren<QTimer*>("modalPoll")) delete poll;
}

// What a message box said when it was answered.
struct seen_box {
    QString name;
    QString title;
    QString text;
    QMessageBox::StandardButton default_button = QMessageBox::NoButton;
};

inline void answer_box(const QString& object_name, QMessageBox::StandardButton button,
                       seen_box* seen) {
    when_modal(object_name, [button, seen](QWidget* window) {
        auto* box = qobject_cast<QMessageBox*>(window);
        if (seen != nullptr) {
            seen->name = box->objectName();
            seen->title = box->windowTitle();
            seen->text = box->text();
            seen->default_button = box->standardButton(box->defaultButton());
        }
        box->button(button)->click();
    });
}

template <class T>
T* child(QWidget* parent, const char* name) {
    T* found = parent->findChild<T*>(name);
    EXPECT_NE(found, nullptr) << name;
    return found;
}

inline void click(QWidget* parent, const char* name) {
    if (auto* button = child<QAbstractButton>(parent, name)) button->click();
}

class wiz_test_env : public ::testing::Test {
protected:
    void SetUp() override {
        wiz_test_app();
        folder = std::filesystem::temp_directory_path()
                 / ("vantrel-wiz-" + std::to_string(::getpid()) + "-"
                    + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(folder);
        qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(folder.string()));
        handler = std::make_unique<wiz_error_handler>();
        converter = std::make_unique<vantrel_convertor>();
    }

    void TearDown() override {
        drop_modal_answers();
        shell.reset();
        converter.reset();
        handler.reset();
        std::filesystem::remove_all(folder);
    }

    void show_wizard() {
        shell = wiz_build(*converter, nullptr);
        shell->show();
        QApplication::processEvents();
    }

    QWidget* page(int id) { return shell->page(id); }

    static void type(QWidget* parent, const char* name, const QString& text) {
        if (auto* edit = child<QLineEdit>(parent, name)) edit->setText(text);
    }

    std::filesystem::path folder;
    std::unique_ptr<wiz_error_handler> handler;
    std::unique_ptr<vantrel_convertor> converter;
    std::unique_ptr<wizard_shell> shell;
};
