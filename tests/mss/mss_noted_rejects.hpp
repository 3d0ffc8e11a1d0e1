#pragma once
// mss_noted_rejects.hpp - a load report for the destination tests: it notes each row a table
// refuses (its record number, its first value and the failure's text), numbering records by
// `current`, which the test sets as the run does before each append.

#include "tk/tk_exce.hpp"
#include "udb/udb_db.hpp"

#include <cstdint>
#include <string>
#include <vector>

class noted_rejects : public udb_load_report {
public:
    std::int32_t record_number() const override { return current; }
    void record_rejected(std::int32_t number, const udb_record& record,
                         const tk_exception& failure) override {
        numbers.push_back(number);
        first_values.push_back(record[0].to_long());
        messages.push_back(failure.what());
    }

    std::int32_t current = 0;
    std::vector<std::int32_t> numbers;
    std::vector<long> first_values;
    std::vector<std::string> messages;
};
