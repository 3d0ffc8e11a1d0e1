// agent_main.cpp - vantrelagent: takes the settings from the command line (and a profile),
// checks the source, connects the server, drops the destination in mode 0, and runs one
// conversion. Exit status 0 only when every selected table, row and key arrived; 1 when the
// run finished but something was refused, rejected or lost (a script cannot read the
// messages, so the status must say it); 255 (the -1 of the console program) for the help
// text, a validation message, a fatal or internal error, and a run given up at its top;
// 130 or 143 when SIGINT or SIGTERM stopped the run.
#include <exception>
#include <optional>

#include "agent/agent_exit.hpp"
#include "agent/agent_help.hpp"
#include "agent/agent_messages.hpp"
#include "agent/agent_opts.hpp"
#include "agent/agent_signal.hpp"
#include "conv/conv_errh.hpp"
#include "conv/conv_maps.hpp"
#include "conv/vantrel_conv.hpp"
#include "tk/tk_exce.hpp"
#include "tk/tk_trace.hpp"

namespace {

// The agent's status when the source check, the connection, the destination check or the
// run itself failed at the top. The console program ended with 0 there, printing only the
// message, so a script could not tell a run that converted nothing from a good one; the
// messages stay as they were, only the status tells the failure now.
constexpr int EXIT_ABANDONED = AGENT_EXIT_FAILURE;
constexpr int EXIT_INCOMPLETE = 1;
constexpr int EXIT_SIGNALLED = 128;   // plus the signal's number, as the shells report it

int run_agent(int argc, char** argv, vantrel_convertor& converter) {
    if (argc == 1 || !parse_cmd_line(argc, argv)) exit_with_message(agent_help_text());
    converter.check_acc_base(converter.get_source(), converter.get_database_password());
    converter.connect_mssql_server();
    check_dest(converter.get_destination());
    converter.run();
    if (agent_stop_signal() != 0) return EXIT_SIGNALLED + agent_stop_signal();
    if (converter.is_abandoned()) return EXIT_ABANDONED;
    return converter.is_complete() ? 0 : EXIT_INCOMPLETE;
}

// Everything but the ending: a tk_exit_request passes through to main.
int run_guarded(int argc, char** argv, error_handler& handler) {
    try {
        vantrel_convertor converter;
        agent_stop_signals stop_signals(converter);
        try {
            return run_agent(argc, argv, converter);
        } catch (const tk_exception& failure) {
            handler.handle(failure, 0);
        } catch (const std::exception& failure) {
            exit_with_message(failure.what());
        }
    } catch (const tk_exception& failure) {
        // The converter itself could not be built (its SQL Server engine failed to start).
        handler.handle(failure, 0);
    }
    return EXIT_ABANDONED;
}

}   // namespace

int main(int argc, char** argv) {
    tk_trace trace(std::nullopt, false, 3, false);
    error_handler handler(agent_console_messages());
    handler.load_err_map(conv_access_messages());
    handler.load_err_map(conv_mssql_messages());
    // The one place the program ends: the converter, its engines and their temporary files
    // are destroyed on the way here.
    try {
        return run_guarded(argc, argv, handler);
    } catch (const tk_exit_request& request) {
        return request.status();
    }
}
