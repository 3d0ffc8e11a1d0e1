// wiz_shell.cpp - the wizard window. Pages are activated through currentIdChanged, so every
// visit of a page (forward or back) fills it again from the converter, as the pages expect.
#include "wiz/wiz_shell.hpp"

#include <QAbstractButton>
#include <QApplication>
#include <QGuiApplication>
#include <QIcon>
#include <QMessageBox>
#include <QPixmap>
#include <QScreen>
#include <QShortcut>

#include "tk/tk_exce.hpp"
#include "tk/tk_trace.hpp"
#include "wiz/wiz_gui_call.hpp"
#include "wiz/wiz_help.hpp"
#include "wiz/wiz_page.hpp"

namespace {

QString box_caption(const char* kind) {
    if (!wizard_shell::is_initialized()) return QString::fromLatin1(kind);
    return wizard_shell::instance().title() + " " + QString::fromLatin1(kind);
}

QWidget* box_owner() {
    return wizard_shell::is_initialized() ? &wizard_shell::instance() : nullptr;
}

// One box on the GUI thread; the answer is the button pressed.
QMessageBox::StandardButton show_box(QMessageBox::Icon icon, const char* kind,
                                     const char* object_name, const QString& text,
                                     QMessageBox::StandardButtons buttons,
                                     QMessageBox::StandardButton default_button) {
    QMessageBox::StandardButton answer = QMessageBox::NoButton;
    wiz_gui_call([&] {
        QMessageBox box(icon, box_caption(kind), text, buttons, box_owner());
        box.setObjectName(object_name);
        box.setDefaultButton(default_button);
        answer = static_cast<QMessageBox::StandardButton>(box.exec());
    });
    return answer;
}

}   // namespace

wizard_shell::wizard_shell(const QString& title, QWidget* parent)
    : QWizard(parent), window_title(title) {
    setObjectName("wizardShell");
    setWizardStyle(QWizard::ModernStyle);
    setOptions(QWizard::HaveHelpButton | QWizard::DisabledBackButtonOnLastPage
               | QWizard::NoBackButtonOnStartPage);
    setPixmap(QWizard::BannerPixmap, QPixmap(":/wiz/header.png"));
    setPixmap(QWizard::LogoPixmap, QPixmap(":/wiz/icon.png").scaled(48, 48));
    // Step 4 commits the choices: from step 5 on there is no way back.
    setButtonText(QWizard::CommitButton, buttonText(QWizard::NextButton));
    for (auto [which, name] : {std::pair{QWizard::BackButton, "backButton"},
                               {QWizard::NextButton, "nextButton"},
                               {QWizard::CommitButton, "commitButton"},
                               {QWizard::FinishButton, "finishButton"},
                               {QWizard::CancelButton, "cancelButton"},
                               {QWizard::HelpButton, "helpButton"}}) {
        button(which)->setObjectName(name);
    }
    progress_timer.setObjectName("progressTimer");
    connect(&progress_timer, &QTimer::timeout, this, &wizard_shell::on_timer_tick);
    connect(this, &QWizard::currentIdChanged, this, &wizard_shell::on_page_changed);
    connect(this, &QWizard::helpRequested, this, [this] {
        if (wizard_page* page = current_wizard_page()) page->on_help();
    });
    auto* help_key = new QShortcut(QKeySequence::HelpContents, this);
    connect(help_key, &QShortcut::activated, this, [this] {
        if (wizard_page* page = current_wizard_page()) page->on_help();
    });
}

wizard_shell::~wizard_shell() {
    tk_trace::write(2, "wizard_shell::dtor");
    stop_timer();
}

void wizard_shell::add_page(wizard_page* page) { setPage(next_page_id++, page); }

void wizard_shell::first_show() {
    if (initialized) return;
    setWindowTitle(window_title);
    setWindowIcon(QIcon(":/wiz/icon.png"));
    const QWidget* parent = parentWidget();
    const QRect around = parent != nullptr ? parent->geometry()
                                           : QGuiApplication::primaryScreen()->availableGeometry();
    move(around.center() - rect().center());
    initialized = true;
}

bool wizard_shell::is_initialized() {
    tk_trace::write(1, "wizard_shell::is_initialized");
    if (!is_registered()) {
        tk_trace::write(1, "Before return false");
        return false;
    }
    tk_trace::write(1, "Singleton has been initialized");
    return instance().initialized;
}

void wizard_shell::enable_button(QWizard::WizardButton which, bool on) {
    tk_trace::write(2, "wizard_shell::enable_button(%08X)", static_cast<unsigned>(which));
    button(which)->setEnabled(on);
}

void wizard_shell::start_timer(int milliseconds) {
    if (timer_running) throw tk_mail_assertion(WIZ_SHELL_SOURCE, FAULT_SHELL_TIMER_STARTED_TWICE);
    progress_timer.start(milliseconds);
    timer_running = true;
}

void wizard_shell::stop_timer() {
    if (!timer_running) return;
    progress_timer.stop();
    timer_running = false;
}

void wizard_shell::error(const QString& text) {
    tk_trace::write(1, u"wizard_shell::error(%s)", text.toStdU16String());
    show_box(QMessageBox::Critical, "Error", "errorBox", text, QMessageBox::Ok, QMessageBox::Ok);
    tk_trace::write(3, u"%s", text.toStdU16String());
}

void wizard_shell::message(const QString& text) {
    tk_trace::write(1, u"wizard_shell::message(%s)", text.toStdU16String());
    show_box(QMessageBox::Information, "Message", "messageBox", text, QMessageBox::Ok,
             QMessageBox::Ok);
    tk_trace::write(3, u"%s", text.toStdU16String());
}

bool wizard_shell::question(const QString& text) {
    return show_box(QMessageBox::Question, "Question", "questionBox", text,
                    QMessageBox::Yes | QMessageBox::No, QMessageBox::No)
           == QMessageBox::Yes;
}

void wizard_shell::display_help() {
    tk_trace::write(1, "wizard_shell::display_help");
    wiz_show_help(HELP_NONE);
}

void wizard_shell::display_help(int topic_id) {
    tk_trace::write(1, "wizard_shell::display_help(%d)", topic_id);
    wiz_show_help(topic_id);
}

void wizard_shell::add_error(const std::string& text) {
    std::scoped_lock guard(errors_lock);
    if (error_list.size() < WIZ_MAX_ERRORS) error_list.push_back(text);
}

std::vector<std::string> wizard_shell::errors() const {
    std::scoped_lock guard(errors_lock);
    return error_list;
}

void wizard_shell::reject() {
    wizard_page* page = current_wizard_page();
    if (page != nullptr && !page->on_cancel()) return;
    QWizard::reject();
}

void wizard_shell::on_page_changed(int id) {
    if (id < 0) return;
    if (wizard_page* page = current_wizard_page()) page->on_set_active();
}

void wizard_shell::on_timer_tick() {
    if (wizard_page* page = current_wizard_page()) page->on_timer();
}

wizard_page* wizard_shell::current_wizard_page() const {
    return qobject_cast<wizard_page*>(currentPage());
}
