// vantrel_conv.hpp - vantrel_convertor, the converter both programs run: the generic
// converter with its Access half and its SQL Server half, the conversion run, the wizard's
// helpers (table list, query test) and the settings kept in profiles and the registry.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "conv/conv_access_half.hpp"
#include "conv/conv_engines.hpp"
#include "conv/conv_mssql_half.hpp"
#include "udb/udb_conv.hpp"

class udb_database;
class udb_recordset;
class udb_validator;
struct conv_table_account;
class conv_rejects_file;

// Where the wizard keeps its last-used settings, under the current user.
inline constexpr const char* CONVERTER_REGISTRY_KEY = "Software\\Orvane\\Vantrel";

class vantrel_convertor : public udb_converter,
                          public acc_converter_impl,
                          public mssql_converter_impl {
public:
    explicit vantrel_convertor(conv_engines engines = conv_default_engines());
    ~vantrel_convertor() override;

    // The conversion; failures go to the error handler.
    void run() override;
    // Whether the last run was given up at its outermost level (nothing or only part of the
    // tables converted), as opposed to a run with record- or table-level errors only.
    bool is_abandoned() const { return b_abandoned; }
    // Whether the last run converted every selected table, every row and every key: no
    // failure reported, no table missing, no row lost, not stopped.
    bool is_complete() const { return b_complete; }
    // Asks a run on another thread (or the next run: a new run does not clear it) to stop at
    // the next record or table: the current batch is committed, the table closed as after its
    // last record, the summary written. Safe from any thread and from a signal handler.
    void request_stop() noexcept { b_stop_requested.store(true); }
    bool is_stop_requested() const noexcept { return b_stop_requested.load(); }
    // The rejects file the last run wrote; empty when no row was refused.
    const std::string& get_rejects_path() const { return rejects_path; }
    bool test_query(const std::u16string& sql) override;
    // The source database's table names (the wizard's table page).
    void get_all_tables(std::vector<std::u16string>& out);

    // Profile files: load runs the generic, Access and SQL Server parts in turn.
    bool load(const std::string& path);
    // Why the last load failed: the file's reason, or that its settings are not valid.
    const std::string& get_load_failure() const { return load_failure; }
    bool save(const std::string& path) const;
    // The wizard's last-used settings: read (store false) or write (store true).
    bool serialize(bool store);

    bool check_sysdb(const std::u16string& path) const { return engines.check_sysdb(path); }

private:
    struct run_state;

    void run_conversion();
    std::unique_ptr<udb_database> open_destination(bool& b_created);
    void select_tables(run_state& state);
    void add_child_tables(const udb_database& source_db);
    void convert_entry(run_state& state, const std::u16string& name, const std::u16string& sql);
    void load_rows(run_state& state, udb_recordset& source_table, udb_recordset& dest_table,
                   conv_table_account& account);
    void copy_records(udb_recordset& source_table, udb_recordset& dest_table,
                      conv_table_account& account);
    void count_rows(udb_recordset& dest_table, conv_table_account& account);
    void convert_foreign_keys(run_state& state, bool b_created);
    void recount_lost_connections(std::vector<conv_table_account>& accounts);
    void report_incomplete_files(const conv_rejects_file& rejects);
    void check_skipped_table(run_state& state, const udb_recordset& source_table,
                             const std::u16string& dest_name);
    void write_summary(std::vector<conv_table_account>& accounts,
                       const std::vector<std::u16string>& not_created,
                       const conv_rejects_file& rejects);
    void print_text(const std::string& text) const;
    void report_rename(const std::u16string& name, const std::u16string& dest_name) const;
    void print_line(const std::u16string& prefix, const std::u16string& name, std::int32_t count,
                    const char* unit) const;

    conv_engines engines;
    std::string load_failure;
    bool b_abandoned = false;
    bool b_complete = false;
    bool b_stopped = false;
    bool b_table_missing = false;
    std::string rejects_path;
    // Lock-free, so a signal handler may set it.
    std::atomic<bool> b_stop_requested{false};
    static_assert(std::atomic<bool>::is_always_lock_free);
};
