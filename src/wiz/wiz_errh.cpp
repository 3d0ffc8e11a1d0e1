// wiz_errh.cpp - the wizard's error handler. The run calls it on the worker thread; every
// dialog goes through the GUI thread (wiz_gui_call) while the worker waits for the answer.
// After Cancel the dialogs are no longer shown: the run is being stopped anyway.
#include "wiz/wiz_errh.hpp"

#include <QCoreApplication>
#include <QThread>

#include "conv/conv_maps.hpp"
#include "conv/vantrel_conv.hpp"
#include "tk/tk_exce.hpp"
#include "tk/tk_trace.hpp"
#include "wiz/wiz_error_dialogs.hpp"
#include "wiz/wiz_gui_call.hpp"
#include "wiz/wiz_page.hpp"
#include "wiz/wiz_shell.hpp"

namespace {

// Codes whose messages send the user to the "Troubleshooting" article.
constexpr std::int32_t TROUBLESHOOTING_CODES[] = {
    68558,     // duplicate values under a unique index
    68648,     // relationships cannot be read
    0x80E2F,   // a record violates integrity constraints
};

bool is_gui_thread() {
    const QCoreApplication* application = QCoreApplication::instance();
    return application != nullptr && QThread::currentThread() == application->thread();
}

bool is_stopping() { return tk_converter::is_registered() && wiz_converter().is_stop_requested(); }

}   // namespace

wiz_error_handler::wiz_error_handler() : error_handler(conv_access_messages()) {
    load_err_map(conv_mssql_messages());
    for (std::int32_t code : TROUBLESHOOTING_CODES) help_map.emplace(code, HELP_TROUBLESHOOTING);
}

wiz_error_handler& wiz_error_handler::current() {
    auto* handler = dynamic_cast<wiz_error_handler*>(&error_handler::instance());
    TK_ASSERT(handler != nullptr);
    return *handler;
}

std::string wiz_error_handler::one_line_message(const tk_exception& failure) {
    std::string message = compose_message(failure);
    tk_trace::write(3, "Error:\n%s", message.c_str());
    for (char& letter : message) {
        if (letter == '\n') letter = ' ';
    }
    return message;
}

void wiz_error_handler::handle(const tk_exception& failure, int cannot_continue) {
    tk_trace::write(2, "error_handler::handle");
    count_report();   // the run's outcome counts what was reported
    if (failure.level() == ERROR_LEVEL_INTERNAL) {
        report_internal(failure);
        if (cannot_continue == 0) throw tk_final_exception();
        return;
    }
    const std::string message = one_line_message(failure);
    if (wizard_shell::is_initialized()) wizard_shell::instance().add_error(message);
    if (failure.level() == ERROR_LEVEL_RECOVERABLE) {
        tk_trace::write(1, "Got 0-level error");
        if (silent || is_stopping()) return;
        bool b_abort = false;
        bool b_do_not_show = false;
        wiz_gui_call([&] {
            dlg_error_continue dialog(QString::fromStdString(message));
            b_abort = dialog.exec() == DLG_ERROR_ABORT;
            b_do_not_show = dialog.is_do_not_show();
        });
        if (b_abort && cannot_continue == 0) throw tk_final_exception();
        silent = b_do_not_show;
        return;
    }
    tk_trace::write(1, "Got 1-level error");
    if (!silent && !is_stopping()) {
        tk_trace::write(1, "Step 1");
        wizard_shell::error(QString::fromStdString(message));
    }
    tk_trace::write(1, "Step 2");
    show_help_topics(failure);
    if (cannot_continue == 0) throw tk_final_exception();
}

void wiz_error_handler::report_on_page(const tk_exception& failure) {
    if (failure.level() == ERROR_LEVEL_INTERNAL) {
        report_internal(failure);
        return;
    }
    clear_context();
    wizard_shell::error(QString::fromStdString(one_line_message(failure)));
    show_help_topics(failure);
}

void wiz_error_handler::report_internal(const tk_exception& failure) {
    tk_trace::write(3, "Internal error:\n%s", failure.what());
    b_internal_failure.store(true);
    wiz_gui_call([&] {
        dlg_error_ex dialog(QString::fromStdString(failure.what()));
        dialog.exec();
    });
    // The program ends on the GUI thread: at once from there, after the run from the worker
    // (the progress page reads has_internal_failure when the run is done).
    if (is_gui_thread()) QCoreApplication::exit(WIZ_EXIT_INTERNAL);
}

void wiz_error_handler::show_help_topics(const tk_exception& failure) {
    auto [first, last] = help_map.equal_range(failure.code());
    for (auto entry = first; entry != last; ++entry) {
        const int topic = static_cast<int>(entry->second);
        wiz_gui_call([topic] { wizard_shell::instance().display_help(topic); });
    }
}
