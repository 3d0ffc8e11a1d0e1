#pragma once
// jet_sql_test_rows.hpp - a query's rows as the query tests compare them: each value in the
// normalised CSV form of jet_value_text.hpp, fields joined by ','.

#include <string>
#include <string_view>
#include <vector>

#include "platform/jet/jet_value_text.hpp"
#include "platform/jetsql/jet_query.hpp"

inline std::vector<std::string> jet_sql_test_rows(const jet_database& database,
                                                  std::u16string_view sql) {
    std::unique_ptr<jet_query> query = jet_query::compile(database, sql);
    std::vector<std::string> result;
    while (query->next()) {
        std::string line;
        for (std::size_t value_idx = 0; value_idx < query->values().size(); ++value_idx)
            line += (value_idx == 0 ? "" : ",") + jet_value_to_csv(query->values()[value_idx]);
        result.push_back(line);
    }
    return result;
}
