// agent_main.cpp - vantrelagent: takes the settings from the command line (and a profile),
// checks the source, connects the server, drops the destination in mode 0, and runs one
// conversion. Exit status 0 after a run; 255 (the -1 of the console program) for the help
// text, a validation message, a fatal or internal error.
#include <exception>
#include <optional>

#include "agent/agent_exit.hpp"
#include "agent/agent_help.hpp"
#include "agent/agent_opts.hpp"
#include "conv/conv_errh.hpp"
#include "conv/conv_maps.hpp"
#include "conv/vantrel_conv.hpp"
#include "tk/tk_exce.hpp"
#include "tk/tk_trace.hpp"

namespace {

void run_agent(int argc, char** argv, vantrel_convertor& converter) {
    if (argc == 1 || !parse_cmd_line(argc, argv)) exit_with_message(agent_help_text());
    converter.check_acc_base(converter.get_source(), converter.get_database_password());
    converter.connect_mssql_server();
    check_dest(converter.get_destination());
    converter.run();
}

}  // namespace

int main(int argc, char** argv) {
    tk_trace trace(std::nullopt, false, 3, false);
    error_handler handler(conv_access_messages());
    handler.load_err_map(conv_mssql_messages());
    try {
        vantrel_convertor converter;
        try {
            run_agent(argc, argv, converter);
        } catch (const tk_exception& failure) {
            handler.handle(failure, 0);
        } catch (const std::exception& failure) {
            exit_with_message(failure.what());
        }
    } catch (const tk_exception& failure) {
        // The converter itself could not be built (its SQL Server engine failed to start).
        handler.handle(failure, 0);
    }
    return 0;
}
