// conv_fakes.cpp - the in-memory engines and databases of conv_fakes.hpp.
#include "conv_fakes.hpp"

#include <algorithm>
#include <cwctype>

#include "tk/tk_exce.hpp"
#include "tk/tk_utf.hpp"
#include "udb/udb_name.hpp"

namespace {

constexpr std::uint16_t VT_I4_CODE = 3;

class fake_source_set : public udb_recordset {
public:
    fake_source_set(const std::u16string& new_name, const fake_table& table)
        : udb_recordset(new_name), rows(table.rows), on_read(table.on_read) {
        schema = table.schema;
        indexes = table.indexes;
        records_count = static_cast<std::int32_t>(rows.size());
    }
    void append_record(udb_record&) override { throw tk_mail_assertion("conv_fakes", 1); }
    udb_record* get_item() override {
        if (on_read) on_read(row_idx);
        current.clear();
        for (std::size_t column_idx = 0; column_idx < rows.at(row_idx).size(); ++column_idx) {
            current.append(std::make_unique<udb_field>(
                schema[column_idx].name, 4, ole_variant(rows[row_idx][column_idx]), false, false));
        }
        return &current;
    }
    bool is_eof() override { return row_idx >= rows.size(); }
    void next() override { ++row_idx; }
    void reset() override { row_idx = 0; }

private:
    std::vector<std::vector<std::int32_t>> rows;
    std::function<void(std::size_t row_idx)> on_read;
    std::size_t row_idx = 0;
    udb_record current;
};

class fake_dest_set : public udb_recordset {
public:
    fake_dest_set(const std::u16string& new_name, fake_table& table)
        : udb_recordset(new_name), target(table) {
        schema = table.schema;
        records_count = static_cast<std::int32_t>(table.rows.size());
    }
    std::int64_t count_rows() override { return static_cast<std::int64_t>(target.rows.size()); }
    void append_record(udb_record& record) override {
        std::vector<std::int32_t> row;
        for (std::size_t field_idx = 0; field_idx < record.size(); ++field_idx) {
            row.push_back(record[field_idx].to_long());
            if (row.back() == REFUSED_VALUE) {
                throw tk_exception("row refused", TABLE_MISSING_CODE, ERROR_LEVEL_RECOVERABLE);
            }
        }
        target.rows.push_back(row);
    }
    void finish(fake_store& store) {
        store.finished.push_back(name);
        const auto& refused = store.refused_commits;
        if (std::find(refused.begin(), refused.end(), name) == refused.end()) return;
        target.rows.clear();
        // Of the kind a single record fails with: the run must still give up the table.
        throw tk_exception("final commit refused", UNMAPPED_OLEDB_CODE, ERROR_LEVEL_RECOVERABLE);
    }

private:
    fake_table& target;
};

udb_schema int_schema(int column_count) {
    udb_schema schema;
    for (int column_idx = 0; column_idx < column_count; ++column_idx) {
        std::u16string name = u"c" + tk_utf8_to_utf16(std::to_string(column_idx));
        schema.append(std::make_unique<t_ftd>(4, name, VT_I4_CODE, false, false, ole_variant(), 0));
    }
    return schema;
}

class fake_access_engine : public conv_access_engine {
public:
    explicit fake_access_engine(fake_world& w) : world(w) {}
    bool set_version_if(int key) override {
        world.calls.push_back(u"version " + tk_utf8_to_utf16(std::to_string(key)));
        return world.b_access_loads && key == 0;
    }
    void set_ugl_info(const std::u16string& file, const std::u16string& user,
                      const std::u16string& password) override {
        world.calls.push_back(u"ugl " + file + u"," + user + u"," + password);
    }
    void set_anonymous_sys_db() override { world.calls.push_back(u"anonymous"); }
    void set_code_page(std::uint16_t code_page) override {
        world.calls.push_back(u"code page " + tk_utf8_to_utf16(std::to_string(code_page)));
    }
    std::unique_ptr<udb_database> open_db(const std::u16string& path, std::uint32_t mode,
                                          const std::u16string& password) override {
        world.calls.push_back(u"open source " + tk_utf8_to_utf16(std::to_string(mode)) + u" "
                              + password);
        if (world.access_fatal_level >= 0) {
            throw tk_exception("Source cannot be opened", world.access_fatal_level);
        }
        return std::make_unique<fake_database>(path, world.source, mode);
    }

private:
    fake_world& world;
};

class fake_mssql_engine : public conv_mssql_engine {
public:
    explicit fake_mssql_engine(fake_world& w) : world(w) {}
    void set_as_dbo(bool flag) override { as_dbo = flag; }
    bool is_as_dbo() const override { return as_dbo; }
    bool connect(const std::u16string& host, bool fast_load) override {
        world.calls.push_back(u"connect " + host + (fast_load ? u" fast" : u" slow"));
        return true;
    }
    bool connect(const std::u16string& host, const std::u16string& user,
                 const std::u16string& password, bool fast_load) override {
        world.calls.push_back(u"connect " + host + u"," + user + u"," + password
                              + (fast_load ? u" fast" : u" slow"));
        return true;
    }
    bool is_db_exist(const std::u16string&) override { return world.b_destination_exists; }
    std::unique_ptr<udb_database> open_db(const std::u16string& name, std::uint32_t mode) override {
        world.calls.push_back(u"open dest " + tk_utf8_to_utf16(std::to_string(mode)));
        return std::make_unique<fake_database>(name, world.destination, mode);
    }
    std::unique_ptr<udb_database> create_db(const std::u16string& name) override {
        world.calls.push_back(u"create dest");
        world.b_destination_exists = true;
        return std::make_unique<fake_database>(name, world.destination, 2);
    }
    void delete_db(const std::u16string&) override {
        world.calls.push_back(u"delete dest");
        world.destination = fake_store();
        world.b_destination_exists = false;
    }
    std::unique_ptr<udb_validator> make_table_validator(
        const std::vector<std::u16string>& selected,
        const std::vector<std::u16string>& existing) override {
        return std::make_unique<fake_tn_validator>(selected, existing);
    }
    void add_conversion_rules(udb_custom_conversion&) override {}
    bool is_record_failure(const tk_exception& failure) const override {
        return (failure.code() >> 16) == 8;   // 0x80000 | low word: the OLE DB side's codes
    }
    void set_failure_report(udb_database& database, failure_report report) override {
        dynamic_cast<fake_database&>(database).report = std::move(report);
    }
    void finish_table(udb_recordset& table) override {
        dynamic_cast<fake_dest_set&>(table).finish(world.destination);
    }

private:
    fake_world& world;
    bool as_dbo = false;
};

}   // namespace

void fake_store::add_table(const std::u16string& name, int column_count,
                           std::vector<std::vector<std::int32_t>> rows) {
    fake_table& table = tables[name];
    table.schema = int_schema(column_count);
    table.rows = std::move(rows);
    catalogue_order.push_back(name);
}

fake_database::fake_database(std::u16string db_name, fake_store& backing, std::uint32_t open_mode)
    : udb_database(std::move(db_name), open_mode, false), store(backing) {
    store.open_mode = open_mode;
    tables = store.catalogue_order;
    relationships = store.relationships;
}

std::unique_ptr<udb_recordset> fake_database::create_table(const std::u16string& table_name,
                                                           const udb_schema& schema,
                                                           const udb_indexes& indexes) {
    store.created.push_back(table_name);
    auto found = store.tables.find(table_name);
    if (found == store.tables.end()) {
        fake_table& table = store.tables[table_name];
        table.schema = schema;
        table.indexes = indexes;
        store.catalogue_order.push_back(table_name);
        tables.push_back(table_name);
        return std::make_unique<fake_dest_set>(table_name, table);
    }
    return std::make_unique<fake_dest_set>(table_name, found->second);
}

bool fake_database::delete_tab(const std::u16string& table_name) {
    store.deleted.push_back(table_name);
    store.tables.erase(table_name);
    std::erase(store.catalogue_order, table_name);
    return udb_database::delete_tab(table_name);
}

std::vector<std::u16string> fake_database::child_tables(const std::u16string& table_name) const {
    auto found = store.children.find(table_name);
    return found == store.children.end() ? std::vector<std::u16string>{} : found->second;
}

std::unique_ptr<udb_recordset> fake_database::get_table(const std::u16string& table_name,
                                                        std::uint32_t) {
    auto found = store.tables.find(table_name);
    if (found == store.tables.end()) {
        found = std::find_if(store.tables.begin(), store.tables.end(), [&](const auto& entry) {
            return udb_same_name(entry.first, table_name);
        });
    }
    if (found != store.tables.end()) {
        if (found->second.b_system) return nullptr;
        return std::make_unique<fake_source_set>(table_name, found->second);
    }
    throw tk_exception("no such table", 0x10000 | 3265, ERROR_LEVEL_RECOVERABLE);
}

std::unique_ptr<udb_recordset> fake_database::get_query(const std::u16string& query_name,
                                                        const std::u16string& sql, std::uint32_t) {
    // "SELECT * FROM T": the rows of T under the query's name.
    std::u16string from = sql.substr(sql.rfind(u' ') + 1);
    return std::make_unique<fake_source_set>(query_name, store.tables.at(from));
}

bool fake_database::test_query(const std::u16string& sql) {
    return store.tables.count(sql.substr(sql.rfind(u' ') + 1)) != 0;
}

void fake_database::create_relationships(const udb_relationships& list) {
    store.relationship_calls.push_back(list);
    for (const udb_relationship& key : list) {
        if (std::find(store.orphan_keys.begin(), store.orphan_keys.end(), key.name)
            == store.orphan_keys.end()) {
            continue;
        }
        const tk_exception orphans("orphaned records", ERROR_LEVEL_RECOVERABLE);
        if (report) report(u"Foreign key '" + key.name + u"'", orphans);
    }
}

fake_tn_validator::fake_tn_validator(const std::vector<std::u16string>& first,
                                     const std::vector<std::u16string>& second)
    : udb_validator(0) {
    for (const std::u16string& name : first) add_used(name);
    for (const std::u16string& name : second) add_used(name);
}

bool fake_tn_validator::is_acceptable(const std::u16string& name) const {
    char16_t first = name.at(0);
    return first == u'_' || (first < 0x80 && std::iswalpha(static_cast<wint_t>(first)));
}

std::u16string fake_tn_validator::get_safe_name(const std::u16string& name) const {
    static constexpr char16_t PREFIXES[] = {u'_', u'1', u'_', u'2', u'_', u'3'};
    std::u16string candidate = name;
    for (std::size_t taken_idx = 0; is_duplicated(candidate); ++taken_idx) {
        candidate.insert(candidate.begin(), PREFIXES[taken_idx % 6]);
    }
    return candidate;
}

conv_engines make_fake_engines(fake_world& world) {
    conv_engines engines;
    engines.make_access_engine = [&world] { return std::make_unique<fake_access_engine>(world); };
    engines.make_mssql_engine = [&world] { return std::make_unique<fake_mssql_engine>(world); };
    engines.check_sysdb = [](const std::u16string& path) {
        return path.size() >= 4 && path.substr(path.size() - 4) == u".mdw";
    };
    return engines;
}
