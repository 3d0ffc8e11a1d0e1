// conv_account.hpp - the run's account of each table it loaded: rows read from the source,
// rows the destination holds (counted on the server), rows it refused and the values its
// substitution rules changed; the summary made from it; and conv_table_report, through which
// a destination table hands its refused rows to the error handler and the rejects file.
// Invariant: a table's rows_after - rows_before equals rows_read - rows_rejected; anything
// else is a row lost without a word, which the summary reports as an error.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include "udb/udb_load_report.hpp"

class conv_rejects_file;

struct conv_table_account {
    std::u16string name;   // the source's name, as every message names the table
    std::u16string dest_name;
    std::int64_t rows_read = 0;
    std::int64_t rows_before = 0;   // the destination's rows before loading (merge mode)
    std::int64_t rows_after = -1;   // counted on the server after loading; -1 not counted
    std::int64_t rows_rejected = 0;
    std::int64_t rows_unreadable = 0;   // source rows that could not be read (reported each)
    udb_substitution_counts substitutions;

    bool is_counted() const { return rows_after >= 0; }
    // Rows read that neither arrived nor were reported refused; negative when the destination
    // holds more than was sent. 0 when not counted.
    std::int64_t rows_lost() const;
};

// One line per table, for the console and the log.
std::vector<std::string> conv_summary_lines(const std::vector<conv_table_account>& accounts);

// The error for a table whose count does not add up; empty when it does.
std::string conv_shortfall_text(const conv_table_account& account);

class conv_table_report : public udb_load_report {
public:
    // `record_index` is the run's 0-based index of the record being appended.
    conv_table_report(conv_table_account& account, const std::atomic<std::int32_t>& record_index,
                      conv_rejects_file& rejects);

    std::int32_t record_number() const override;
    // Reports the row with its table and number, writes it to the rejects file and counts it.
    void record_rejected(std::int32_t number, const udb_record& record,
                         const tk_exception& failure) override;

private:
    conv_table_account& account;
    const std::atomic<std::int32_t>& record_index;
    conv_rejects_file& rejects;
};
