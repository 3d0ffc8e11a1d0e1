// wiz_errh.hpp - the wizard's form of the error handler. It makes the console handler's
// decisions with dialogs: a record or table failure asks Continue or Abort (dlg_error_continue),
// a fatal one shows the error box and its help topic, an internal one dlg_error_ex. Messages
// are collected for the finish page. It never ends the process itself: from the worker an
// internal error ends the run, and the GUI thread ends the program with status 255.
#pragma once

#include <atomic>

#include "conv/conv_errh.hpp"

inline constexpr int WIZ_EXIT_INTERNAL = 255;

class wiz_error_handler : public error_handler {
public:
    wiz_error_handler();

    static wiz_error_handler& current();

    void handle(const tk_exception& failure, int cannot_continue) override;
    // A failure of a page's own check (GUI thread): the error box, the help topic, and for
    // an internal error dlg_error_ex and the end of the program.
    void report_on_page(const tk_exception& failure);

    // Whether an internal error was met: the program ends with WIZ_EXIT_INTERNAL.
    bool has_internal_failure() const { return b_internal_failure.load(); }

private:
    void report_internal(const tk_exception& failure);
    void show_help_topics(const tk_exception& failure);
    // The message as the user reads it: context, then the map's text or the exception's.
    std::string one_line_message(const tk_exception& failure);

    std::atomic<bool> b_internal_failure{false};
};
