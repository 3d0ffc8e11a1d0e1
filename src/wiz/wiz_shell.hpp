// wiz_shell.hpp - wizard_shell, the one wizard window: a QWizard in the Wizard97 look with
// seven pages, the message boxes every page and the error handler use, the help, the
// progress timer and the list of error messages the finish page shows. The boxes may be
// asked for from the worker thread; they are shown on the GUI thread and the worker waits.
#pragma once

#include <QString>
#include <QTimer>
#include <QWizard>

#include <cstddef>
#include <mutex>
#include <string>
#include <vector>

#include "tk/tk_singl.hpp"

class wizard_page;

inline constexpr const char* WIZ_SHELL_SOURCE = "g_wiz_sh";
inline constexpr int FAULT_SHELL_TIMER_STARTED_TWICE = 232;
// The finish page lists at most this many messages.
inline constexpr std::size_t WIZ_MAX_ERRORS = 20;

class wizard_shell : public QWizard, public tk_singl<wizard_shell> {
    Q_OBJECT
public:
    explicit wizard_shell(const QString& title, QWidget* parent = nullptr);
    ~wizard_shell() override;

    // Pages take the ids 0 to 6 in the order they are added.
    void add_page(wizard_page* page);
    // On the first page activation: caption, icon, centred; boxes get caption and owner.
    void first_show();
    static bool is_initialized();
    void enable_button(QWizard::WizardButton which, bool on);

    // The progress page's tick: forwarded to the current page every `milliseconds`.
    void start_timer(int milliseconds);
    void stop_timer();
    bool is_timer_running() const { return timer_running; }

    // Message boxes, from any thread. Captions are the title plus " Error", " Message",
    // " Question" once the wizard is shown, else the kind alone. question() has No as default.
    static void error(const QString& text);
    static void message(const QString& text);
    static bool question(const QString& text);

    void display_help();
    void display_help(int topic_id);

    // The messages of the run, from any thread; the 21st and later are dropped.
    void add_error(const std::string& text);
    std::vector<std::string> errors() const;

    const QString& title() const { return window_title; }

public slots:
    // Cancel, Escape and the close box: the current page asks, only Yes closes.
    void reject() override;

private:
    void on_page_changed(int id);
    void on_timer_tick();
    wizard_page* current_wizard_page() const;

    QString window_title;
    QTimer progress_timer;
    bool timer_running = false;
    bool initialized = false;
    int next_page_id = 0;
    mutable std::mutex errors_lock;
    std::vector<std::string> error_list;
};
