// daostub_query_jetsql.cpp - statements the Access side does not answer itself run on the
// query engine (Access SQL through SQLite); its errors already carry DAO's numbers.
#include <utility>

#include "platform/dao/daostub_statement.hpp"
#include "platform/jet/jet_database.hpp"
#include "platform/jetsql/jet_query.hpp"

namespace {

class query_rows : public daostub_rows {
public:
    query_rows(std::shared_ptr<const jet_database> new_database, std::u16string_view sql)
        : database(std::move(new_database)), query(jet_query::compile(*this->database, sql)) {}

    const std::vector<jet_column>& columns() const override { return query->columns(); }

protected:
    bool fetch_next() override { return query->next(); }
    void restart() override { query->rewind(); }
    const std::vector<jet_value>& fetched() const override { return query->values(); }

private:
    std::shared_ptr<const jet_database> database;   // outlives the query over it
    std::unique_ptr<jet_query> query;
};

}   // namespace

std::unique_ptr<daostub_rows> daostub_query_rows(std::shared_ptr<const jet_database> database,
                                                 std::u16string_view sql) {
    return std::make_unique<query_rows>(std::move(database), sql);
}
