#include "platform/jetsql/jet_query.hpp"

#include "platform/jet/jet_database.hpp"
#include "platform/jetsql/jet_sql_binder.hpp"
#include "platform/jetsql/jet_sql_fetch.hpp"
#include "platform/jetsql/jet_sql_functions.hpp"
#include "platform/jetsql/jet_sql_loader.hpp"
#include "platform/jetsql/jet_sql_parser.hpp"
#include "platform/jetsql/jet_sql_sqlite.hpp"

// Owns the query's SQLite database (its loaded tables live as long as the query) and the
// prepared statement that walks the result.
class jet_query_runner {
public:
    jet_query_runner() : connection(jet_sql_open_memory()) {
        jet_sql_register_functions(connection.get(), &failure);
    }

    void prepare(const jet_sql_compiled& compiled) {
        statement = jet_sql_prepare(connection.get(), compiled.sql);
        for (std::size_t param_idx = 0; param_idx < compiled.params.size(); ++param_idx)
            bind(int(param_idx) + 1, compiled.params[param_idx]);
        for (const jet_sql_output_column& column : compiled.columns) types.push_back(column.type);
    }

    bool next(std::vector<jet_value>& row) {
        int result = sqlite3_step(statement.get());
        if (result == SQLITE_DONE) return false;
        if (result != SQLITE_ROW) {
            if (failure.number == 0) jet_sql_throw(connection.get());
            jet_error error(failure.number, failure.text);
            failure = {};
            sqlite3_reset(statement.get());
            throw error;
        }
        row.clear();
        for (std::size_t column_idx = 0; column_idx < types.size(); ++column_idx)
            row.push_back(jet_sql_fetch(statement.get(), int(column_idx), types[column_idx]));
        return true;
    }

    void rewind() {
        sqlite3_reset(statement.get());
        failure = {};
    }

    sqlite3* database() const { return connection.get(); }

private:
    void bind(int slot, const jet_sql_param& value) {
        switch (value.kind) {
        case jet_sql_param::kind_t::integer:
            sqlite3_bind_int64(statement.get(), slot, value.integer_value);
            return;
        case jet_sql_param::kind_t::real:
            sqlite3_bind_double(statement.get(), slot, value.real_value);
            return;
        case jet_sql_param::kind_t::text:
            jet_sql_bind_text(statement.get(), slot, value.text);
            return;
        }
    }

    jet_sql_failure failure;
    jet_sql_connection connection;
    jet_sql_statement statement;
    std::vector<jet_sql_type> types;
};

std::unique_ptr<jet_query> jet_query::compile(const jet_database& database,
                                              std::u16string_view access_sql) {
    std::unique_ptr<jet_sql_select> select = jet_sql_parse(access_sql);
    auto runner = std::make_unique<jet_query_runner>();
    jet_sql_loader loader(database, runner->database());
    jet_sql_compiled compiled = jet_sql_bind(*select, loader);
    runner->prepare(compiled);
    std::vector<jet_column> columns;
    for (const jet_sql_output_column& column : compiled.columns)
        columns.push_back(column.type.as_column(column.name));
    return std::unique_ptr<jet_query>(new jet_query(std::move(runner), std::move(columns)));
}

jet_query::jet_query(std::unique_ptr<jet_query_runner> query_runner,
                     std::vector<jet_column> columns)
    : runner(std::move(query_runner)), result_columns(std::move(columns)) {}

jet_query::~jet_query() = default;

bool jet_query::next() {
    if (runner->next(row)) return true;
    row.clear();
    return false;
}

void jet_query::rewind() {
    runner->rewind();
    row.clear();
}
