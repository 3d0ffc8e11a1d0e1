// conv_summary.cpp - the run's closing account: per table the rows read, the rows the
// destination holds and the rows it refused, with every substitution rule that changed
// values; the indexes and foreign keys that could not be made; then an error for each table
// whose count does not add up, and the rejects file's name as the last line. Written to
// the log always, to the console unless silent.
#include "conv/vantrel_conv.hpp"

#include <iostream>

#include "conv/conv_account.hpp"
#include "conv/conv_errh.hpp"
#include "conv/conv_rejects.hpp"
#include "tk/tk_exce.hpp"
#include "tk/tk_trace.hpp"
#include "tk/tk_utf.hpp"
#include "udb/udb_db.hpp"

namespace {

constexpr std::uint32_t DEST_OPEN_READ = 1;

}   // namespace

void vantrel_convertor::print_text(const std::string& text) const {
    if (!silent) std::cout << text << std::endl;
}

// A table whose connection was lost is counted on a new connection, so the summary shows
// what did arrive instead of nothing.
void vantrel_convertor::recount_lost_connections(std::vector<conv_table_account>& accounts) {
    bool b_any = false;
    for (const conv_table_account& account : accounts) b_any |= !account.is_counted();
    if (!b_any) return;
    try {
        std::unique_ptr<udb_database> database = engine->open_db(destination, MSSQL_OPEN_APPEND);
        for (conv_table_account& account : accounts) {
            if (account.is_counted()) continue;
            account.rows_after =
                database->get_table(account.dest_name, DEST_OPEN_READ)->count_rows();
        }
    } catch (const tk_exception& failure) {
        // The tables stay "not counted", which the summary reports as an error of its own.
        tk_trace::write(3, "Counting the destination again failed: %s", failure.what());
    }
}

void vantrel_convertor::write_summary(std::vector<conv_table_account>& accounts,
                                      const std::vector<std::u16string>& not_created,
                                      const conv_rejects_file& rejects) {
    recount_lost_connections(accounts);
    tk_trace::write(3, "Summary:");
    print_text("Summary:");
    for (const std::string& line : conv_summary_lines(accounts)) {
        tk_trace::write(3, "%s", line.c_str());
        print_text(line);
    }
    for (const std::u16string& object : not_created) {
        const std::string line = "Not created: " + tk_utf16_to_utf8(object);
        tk_trace::write(3, "%s", line.c_str());
        print_text(line);
    }
    for (const conv_table_account& account : accounts) {
        const std::string shortfall = conv_shortfall_text(account);
        if (shortfall.empty()) continue;
        error_handler::instance().set_context(account.name);
        error_handler::instance().handle(tk_exception(shortfall, ERROR_LEVEL_RECOVERABLE), 0);
        error_handler::instance().clear_context();
    }
    report_incomplete_files(rejects);
    if (rejects.written() == 0) return;
    rejects_path = rejects.path();
    const std::string text = "Rejected records are in " + rejects_path;
    tk_trace::write(3, "%s", text.c_str());
    print_text(text);
}

// A rejects file or a log that could not take everything is an error of the run, said with
// how much is missing; the reason was reported when the first write failed.
void vantrel_convertor::report_incomplete_files(const conv_rejects_file& rejects) {
    error_handler& handler = error_handler::instance();
    if (rejects.not_written() > 0) {
        handler.handle(tk_exception("The rejects file " + rejects.path() + " holds "
                                        + std::to_string(rejects.written()) + " of the "
                                        + std::to_string(rejects.written() + rejects.not_written())
                                        + " rejected records; "
                                        + std::to_string(rejects.not_written())
                                        + " could not be written.",
                                    ERROR_LEVEL_RECOVERABLE),
                       0);
    }
    if (!tk_trace::is_registered()) return;
    const tk_trace& log = tk_trace::instance();
    if (log.lines_lost() == 0) return;
    handler.handle(tk_exception("The log file " + log.path() + " lost "
                                    + std::to_string(log.lines_lost())
                                    + " lines: " + log.write_failure(),
                                ERROR_LEVEL_RECOVERABLE),
                   0);
}
