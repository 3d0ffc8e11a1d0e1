// conv_mss_adapter.cpp - the SQL Server half of the seam over mss_engine. Built only when the
// SQL Server layer is; the converter owns the one engine from its construction to its end.
#include <memory>
#include <string>

#include "conv/conv_engines.hpp"
#include "mss/mss_db.hpp"
#include "mss/mss_engi.hpp"
#include "mss/mss_rule.hpp"
#include "mss/mss_tab.hpp"
#include "mss/mss_vali.hpp"
#include "mss/odb_exce.hpp"
#include "udb/udb_rule.hpp"

namespace {

class mss_engine_adapter : public conv_mssql_engine {
public:
    // The run sets up no component runtime of its own: the engine does it.
    mss_engine_adapter() : engine(false) {}

    void set_as_dbo(bool as_dbo) override { engine.set_as_dbo(as_dbo); }
    void set_read_timeout(int seconds) override { engine.set_read_timeout(seconds); }
    bool is_as_dbo() const override { return engine.is_as_dbo(); }
    bool connect(const std::u16string& host, bool fast_load) override {
        engine.connect(host, fast_load);
        return engine.is_connected();
    }
    bool connect(const std::u16string& host, const std::u16string& user,
                 const std::u16string& password, bool fast_load) override {
        engine.connect(host, user, password, fast_load);
        return engine.is_connected();
    }
    bool is_db_exist(const std::u16string& name) override { return engine.is_db_exist(name); }
    std::unique_ptr<udb_database> open_db(const std::u16string& name, std::uint32_t mode) override {
        return engine.open_db(name, mode);
    }
    std::unique_ptr<udb_database> create_db(const std::u16string& name) override {
        return engine.create_db(name);
    }
    void delete_db(const std::u16string& name) override { engine.delete_db(name); }
    std::unique_ptr<udb_validator> make_table_validator(
        const std::vector<std::u16string>& selected_tables,
        const std::vector<std::u16string>& destination_tables) override {
        return std::make_unique<mss_tn_validator>(selected_tables, destination_tables);
    }
    void add_conversion_rules(udb_custom_conversion& registry) override {
        registry.add_rule(std::make_unique<mss_guid_rule>());
    }
    bool is_record_failure(const tk_exception& failure) const override {
        return dynamic_cast<const odb_exception*>(&failure) != nullptr;
    }
    void set_failure_report(udb_database& database, failure_report report) override {
        if (auto* destination = dynamic_cast<mss_database*>(&database)) {
            destination->set_failure_reporter(std::move(report));
        }
    }
    void finish_table(udb_recordset& table) override {
        if (auto* loaded = dynamic_cast<mss_table*>(&table)) loaded->finish_load();
    }

private:
    mss_engine engine;
};

}   // namespace

std::unique_ptr<conv_mssql_engine> conv_make_mssql_engine() {
    return std::make_unique<mss_engine_adapter>();
}
