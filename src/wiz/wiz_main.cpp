// wiz_main.cpp - vantrelwiz: checks that a window can be opened, creates the error handler
// and the converter (which reads the last-used settings), loads a profile named on the
// command line, and runs the seven pages. Exit status 0 when the wizard closes, 255 when it
// could not start or met an internal error.
#include <QApplication>

#include <cstdio>
#include <cstdlib>
#include <memory>

#include "conv/vantrel_conv.hpp"
#include "tk/tk_exce.hpp"
#include "wiz/wiz_build.hpp"
#include "wiz/wiz_errh.hpp"
#include "wiz/wiz_gui_queue.hpp"
#include "wiz/wiz_shell.hpp"
#include "wiz/wiz_startup.hpp"

namespace {

std::string environment(const char* name) {
    const char* value = std::getenv(name);
    return value == nullptr ? std::string() : std::string(value);
}

}   // namespace

int main(int argc, char** argv) {
    const std::string problem = wiz_startup_problem(qVersion(), environment("QT_QPA_PLATFORM"),
                                                    environment("DISPLAY"),
                                                    environment("WAYLAND_DISPLAY"));
    if (!problem.empty()) {
        std::fprintf(stderr, "Error\n%s\n", problem.c_str());
        return WIZ_EXIT_INTERNAL;
    }
    QApplication application(argc, argv);
    // Made here, on the GUI thread: a queue first made by a worker would be read by the GUI
    // thread through Qt's event hand-over, which the thread checker cannot see.
    wiz_gui_queue::instance();
    wiz_error_handler handler;
    try {
        vantrel_convertor converter;
        std::unique_ptr<wizard_shell> shell = wiz_build(converter, argc > 1 ? argv[1] : nullptr);
        // Finish and Cancel end the program even while a help window is still open.
        QObject::connect(shell.get(), &QDialog::finished, &application, &QApplication::quit);
        shell->show();
        return handler.has_internal_failure() ? WIZ_EXIT_INTERNAL : application.exec();
    } catch (const tk_exception& failure) {
        // The converter could not be built (its SQL Server engine failed to start).
        handler.report_on_page(failure);
        return WIZ_EXIT_INTERNAL;
    }
}
