// conv_engines.hpp - the seam between the converter and the two engines. The run speaks to
// the Access engine (dao_engine) and the SQL Server engine (mss_engine) only through these
// interfaces, so a build without an engine still runs (and fails with a clear fatal error)
// and tests can put in-memory databases behind them. conv_default_engines() gives the
// engines this build has: adapters over dao_engine and mss_engine, or stand-ins that refuse.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class tk_exception;
class udb_custom_conversion;
class udb_database;
class udb_recordset;
class udb_validator;

// Open options the run passes (their meaning belongs to the engines).
inline constexpr std::uint32_t ACCESS_OPEN_RUN = 1;
inline constexpr std::uint32_t ACCESS_OPEN_LIST = 33;
inline constexpr std::uint32_t ACCESS_OPEN_CHECK = 97;
inline constexpr std::uint32_t MSSQL_OPEN_READ_ONLY = 1;
inline constexpr std::uint32_t MSSQL_OPEN_OVERWRITE = 4;
inline constexpr std::uint32_t MSSQL_OPEN_APPEND = 8;

// The engine generations tried, in this order; generation 2 is never asked for.
inline constexpr int ACCESS_ENGINE_KEYS[] = {3, 0, 1};

// One DAO engine: constructed for one check or one run, destroyed after it.
class conv_access_engine {
public:
    virtual ~conv_access_engine() = default;
    virtual bool set_version_if(int key) = 0;
    virtual void set_ugl_info(const std::u16string& workgroup_file, const std::u16string& user,
                              const std::u16string& password) = 0;
    virtual void set_anonymous_sys_db() = 0;
    // The code page of Access 97 text for the opens that follow (0: the engine chooses).
    virtual void set_code_page(std::uint16_t code_page) = 0;
    virtual std::unique_ptr<udb_database> open_db(const std::u16string& path, std::uint32_t mode,
                                                  const std::u16string& password) = 0;
};

// The SQL Server engine: one per converter, from its construction to its end.
class conv_mssql_engine {
public:
    virtual ~conv_mssql_engine() = default;
    virtual void set_as_dbo(bool as_dbo) = 0;
    // Seconds to wait for each answer of the server before the connection counts as lost.
    virtual void set_read_timeout(int) {}
    virtual bool is_as_dbo() const = 0;
    // Windows authentication (host only) or a SQL Server login.
    virtual bool connect(const std::u16string& host, bool fast_load) = 0;
    virtual bool connect(const std::u16string& host, const std::u16string& user,
                         const std::u16string& password, bool fast_load) = 0;
    virtual bool is_db_exist(const std::u16string& name) = 0;
    virtual std::unique_ptr<udb_database> open_db(const std::u16string& name,
                                                  std::uint32_t mode) = 0;
    virtual std::unique_ptr<udb_database> create_db(const std::u16string& name) = 0;
    virtual void delete_db(const std::u16string& name) = 0;
    // The destination's table-name validator, with both lists in its `used` list.
    virtual std::unique_ptr<udb_validator> make_table_validator(
        const std::vector<std::u16string>& selected_tables,
        const std::vector<std::u16string>& destination_tables) = 0;
    // Registers the destination's conversion rules (the GUID rule) for one run.
    virtual void add_conversion_rules(udb_custom_conversion& registry) = 0;
    // Whether a failure while appending one record is the destination's (an odb_exception):
    // those skip the record; any other failure abandons the table.
    virtual bool is_record_failure(const tk_exception& failure) const = 0;

    // Receives a failure the destination reports without throwing, with the object it
    // belongs to ("Foreign key 'x'"), so that the next object follows.
    using failure_report =
        std::function<void(const std::u16string& context, const tk_exception& failure)>;
    // Routes the foreign-key failures of a database this engine opened to `report`.
    virtual void set_failure_report(udb_database& database, failure_report report) = 0;
    // Ends the loading of a table this engine's database created: the final commit of a
    // bulk load and the rows left for statements. Throws what fails, so that the loss is
    // reported with the table rather than only traced when the table is destroyed.
    virtual void finish_table(udb_recordset& table) = 0;
};

struct conv_engines {
    std::function<std::unique_ptr<conv_access_engine>()> make_access_engine;
    std::function<std::unique_ptr<conv_mssql_engine>()> make_mssql_engine;
    // Whether a file is a workgroup information file (dao_check_sysdb).
    std::function<bool(const std::u16string& path)> check_sysdb;
};

// The engines of this build; each half comes from its own adapter file.
conv_engines conv_default_engines();
std::unique_ptr<conv_access_engine> conv_make_access_engine();
std::unique_ptr<conv_mssql_engine> conv_make_mssql_engine();
bool conv_check_sysdb(const std::u16string& path);
