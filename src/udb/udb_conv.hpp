// udb_conv.hpp - udb_converter, the generic converter: the mode, the two flags, the table
// selection, the table and query maps, the progress counters, and the generic part of a
// settings profile. The wizard's timer reads the counters and the current table from another
// thread: the counters are atomics and the table name is guarded by a mutex.
#pragma once

#include <atomic>
#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "tk/tk_conv.hpp"

class udb_profile;

// Conversion modes: what happens to an existing destination.
inline constexpr std::int32_t MODE_OVERWRITE_DATABASE = 0;
inline constexpr std::int32_t MODE_OVERWRITE_TABLES = 1;
inline constexpr std::int32_t MODE_SKIP_TABLES = 2;
inline constexpr std::int32_t MODE_MERGE = 3;

class udb_converter : public tk_converter {
public:
    // Name to query text; an empty text is a table. Ordered by code unit.
    using table_map = std::map<std::u16string, std::u16string>;

    udb_converter();

    // Whether the statement can run on the source (the wizard's query dialog).
    virtual bool test_query(const std::u16string& sql) = 0;

    void set_mode(std::int32_t new_mode);
    std::int32_t get_mode() const { return mode; }
    void set_definitions_only(bool flag) { b_definitions_only = flag; }
    bool is_definitions_only() const { return b_definitions_only; }
    void set_skip_indexes(bool flag) { b_skip_indexes = flag; }
    bool is_skip_indexes() const { return b_skip_indexes; }

    const std::vector<std::u16string>& get_selected_tables() const { return selected_tables; }
    void set_selected_tables(std::vector<std::u16string> tables);
    // Whether an empty selection converts every table of the source (the agent and profiles:
    // no names given) or none (the wizard, where the user chose none, perhaps queries only).
    void set_empty_selection_means_all(bool flag) { b_empty_selection_means_all = flag; }
    bool is_empty_selection_all() const { return b_empty_selection_means_all; }
    const table_map& get_table_map() const { return tables; }
    const table_map& get_query_map() const { return queries; }
    void add_table_entry(const std::u16string& name, const std::u16string& sql);
    void add_query_entry(const std::u16string& name, const std::u16string& sql);
    // The wizard's table page hands over its whole selection at once.
    void set_table_map(table_map map) { tables = std::move(map); }
    void set_query_map(table_map map) { queries = std::move(map); }

    // Progress, safe to read from another thread while a run goes on.
    std::u16string get_current_table() const;
    std::int32_t get_record_count() const { return record_count.load(); }
    std::int32_t get_record_index() const { return record_index.load(); }
    std::int32_t get_table_count() const { return table_count.load(); }
    std::int32_t get_table_index() const { return table_index.load(); }

    // The generic settings and the two table sections of a profile.
    bool load_profile(const udb_profile& profile);
    bool store_profile(udb_profile& profile) const;

protected:
    void set_current_table(const std::u16string& name);

    std::int32_t mode = MODE_OVERWRITE_DATABASE;
    std::atomic<std::int32_t> record_count{0};
    std::atomic<std::int32_t> record_index{0};
    std::atomic<std::int32_t> table_count{0};
    std::atomic<std::int32_t> table_index{0};
    std::vector<std::u16string> selected_tables;
    table_map tables;
    table_map queries;
    bool b_definitions_only = false;
    bool b_skip_indexes = false;
    bool b_empty_selection_means_all = true;

private:
    mutable std::mutex current_table_lock;
    std::u16string current_table;
};
