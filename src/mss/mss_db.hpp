#pragma once
// mss_db.hpp - mss_database, the destination database as the conversion run sees it: the
// tables of the working owner, table creation (then the table opened for loading, holding the
// plain indexes it creates after its rows), tables and queries opened by name, and foreign
// keys made from a relationship list. Foreign-key and plain-index failures never stop the
// caller: each goes to the failure reporter the caller installs (the run hands them to its
// error handler) and the next key or index follows.

#include "mss/mss_tab.hpp"
#include "mss/odb_db.hpp"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

class tk_exception;

class mss_database : public odb_database {
public:
    // Receives a failure and the object it belongs to ("Foreign key 'x'").
    using failure_reporter = mss_failure_reporter;

    mss_database(const std::u16string& name, std::unique_ptr<oledb_data_source> data_source,
                 std::unique_ptr<oledb_session> session, std::uint32_t open_mode);
    ~mss_database() override;

    std::unique_ptr<udb_recordset> create_table(const std::u16string& table_name,
                                                const udb_schema& schema,
                                                const udb_indexes& indexes) override;
    std::unique_ptr<udb_recordset> get_table(const std::u16string& table_name,
                                             std::uint32_t open_flags) override;
    std::unique_ptr<udb_recordset> get_query(const std::u16string& query_name,
                                             const std::u16string& sql,
                                             std::uint32_t open_flags) override;
    void create_relationships(const udb_relationships& relationships) override;

    void set_failure_reporter(failure_reporter reporter) { report = std::move(reporter); }
    // The ALTER TABLE statement for one relationship (names mapped and bracketed), with its
    // cascading rules unless `b_without_rules`.
    std::u16string foreign_key_sql(const udb_relationship& relationship,
                                   bool b_without_rules = false) const;

    // The statement that disables a key Access does not enforce, run after it is added.
    std::u16string disable_key_sql(const udb_relationship& relationship) const;

    static bool is_valid_fk_props(const std::u16string& text);
    // One phrase, or a delete phrase followed by an update phrase, as Access keeps both.
    static bool is_valid_fk_rules(const std::u16string& text);

private:
    void report_lost_defaults(const std::u16string& table_name, const udb_schema& schema);
    void create_foreign_key(const udb_relationship& relationship, const std::u16string& context);
    bool unfilter_key(const udb_relationship& relationship);
    void report_failure(const std::u16string& context, const tk_exception& failure);

    std::uint32_t mode;
    failure_reporter report;
};
