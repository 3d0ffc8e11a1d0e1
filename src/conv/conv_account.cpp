// conv_account.cpp - the summary lines and the refused-row report of the run.
#include "conv/conv_account.hpp"

#include "conv/conv_errh.hpp"
#include "conv/conv_rejects.hpp"
#include "tk/tk_exce.hpp"
#include "tk/tk_utf.hpp"

namespace {

std::string substitution_part(const udb_substitution_counts& substitutions) {
    std::string part;
    for (std::size_t rule_idx = 0; rule_idx < std::size_t(udb_substitution::COUNT); ++rule_idx) {
        const auto rule = static_cast<udb_substitution>(rule_idx);
        const std::int64_t times = substitutions.count(rule);
        if (times == 0) continue;
        part += "; " + std::string(udb_substitution_text(rule)) + ": " + std::to_string(times);
    }
    return part;
}

}   // namespace

std::int64_t conv_table_account::rows_lost() const {
    if (!is_counted()) return 0;
    return rows_read - rows_rejected - (rows_after - rows_before);
}

std::vector<std::string> conv_summary_lines(const std::vector<conv_table_account>& accounts) {
    std::vector<std::string> lines;
    for (const conv_table_account& account : accounts) {
        std::string line = tk_utf16_to_utf8(account.name) + ": " + std::to_string(account.rows_read)
                           + " read, ";
        if (!account.is_counted()) {
            line += "not counted in the destination";
        } else {
            line += std::to_string(account.rows_after) + " in the destination";
            if (account.rows_before > 0) {
                line += " (" + std::to_string(account.rows_before) + " there before)";
            }
        }
        line += ", " + std::to_string(account.rows_rejected) + " rejected";
        if (account.rows_unreadable > 0)
            line += ", " + std::to_string(account.rows_unreadable) + " unreadable in the source";
        lines.push_back(line + substitution_part(account.substitutions));
    }
    return lines;
}

std::string conv_shortfall_text(const conv_table_account& account) {
    if (!account.is_counted()) {
        return "The rows in the destination could not be counted: rows may be missing.";
    }
    const std::int64_t lost = account.rows_lost();
    if (lost > 0) {
        return std::to_string(lost) + " of the rows read are not in the destination.";
    }
    if (lost < 0) {
        return "The destination holds " + std::to_string(-lost) + " rows more than were sent.";
    }
    return "";
}

conv_table_report::conv_table_report(conv_table_account& new_account,
                                     const std::atomic<std::int32_t>& new_record_index,
                                     conv_rejects_file& new_rejects)
    : account(new_account), record_index(new_record_index), rejects(new_rejects) {}

std::int32_t conv_table_report::record_number() const { return record_index.load() + 1; }

void conv_table_report::record_rejected(std::int32_t number, const udb_record& record,
                                        const tk_exception& failure) {
    ++account.rows_rejected;
    error_handler& handler = error_handler::instance();
    handler.set_context(account.name, number);
    handler.handle(failure, 0);
    handler.clear_context();
    // The file keeps the server's own words for the row ("Violation of PRIMARY KEY
    // constraint ..."): the mapped message says only what kind of failure it was.
    const std::string own = failure.what();
    try {
        rejects.write(account.name, number, record,
                      own.empty() ? handler.find_message(failure.code()) : own);
    } catch (const tk_exception& file_failure) {
        handler.handle(file_failure, 0);
    }
}
