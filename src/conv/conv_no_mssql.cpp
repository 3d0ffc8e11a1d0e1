// conv_no_mssql.cpp - the SQL Server half of a build without the SQL Server engine: it keeps
// the as-DBO flag and refuses everything else with a fatal error.
#include <string>

#include "conv/conv_engines.hpp"
#include "tk/tk_exce.hpp"
#include "udb/udb_db.hpp"
#include "udb/udb_vali.hpp"

namespace {

constexpr const char* NO_MSSQL_TEXT = "MS SQL Server support is not available in this build.";

class no_mssql_engine : public conv_mssql_engine {
public:
    void set_as_dbo(bool flag) override { as_dbo = flag; }
    bool is_as_dbo() const override { return as_dbo; }
    bool connect(const std::u16string&, bool) override { refuse(); }
    bool connect(const std::u16string&, const std::u16string&, const std::u16string&,
                 bool) override {
        refuse();
    }
    bool is_db_exist(const std::u16string&) override { refuse(); }
    std::unique_ptr<udb_database> open_db(const std::u16string&, std::uint32_t) override {
        refuse();
    }
    std::unique_ptr<udb_database> create_db(const std::u16string&) override { refuse(); }
    void delete_db(const std::u16string&) override { refuse(); }
    std::unique_ptr<udb_validator> make_table_validator(
        const std::vector<std::u16string>&, const std::vector<std::u16string>&) override {
        refuse();
    }
    void add_conversion_rules(udb_custom_conversion&) override {}
    bool is_record_failure(const tk_exception&) const override { return false; }
    // Nothing to route or finish: this engine never hands out a database.
    void set_failure_report(udb_database&, failure_report) override {}
    void finish_table(udb_recordset&) override {}

private:
    [[noreturn]] static void refuse() { throw tk_exception(NO_MSSQL_TEXT, ERROR_LEVEL_FATAL); }

    bool as_dbo = false;
};

}  // namespace

std::unique_ptr<conv_mssql_engine> conv_make_mssql_engine() {
    return std::make_unique<no_mssql_engine>();
}
