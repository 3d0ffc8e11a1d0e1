// udb_load_report.hpp - what loading rows into a destination table tells the run: the rows it
// could not load (with their record numbers), and how often each substitution rule changed a
// value so the destination could take it. The destination counts; the run reports. Both
// sides know only this model, so the run never learns which destination applied a rule.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

class tk_exception;
class udb_record;

// The value changes a destination makes rather than refuse a row. No rule cuts text: a text
// longer than its column is refused by the server and reported as a rejected row.
enum class udb_substitution : std::size_t {
    REQUIRED_NULL,   // NULL into a required column: its default, or empty text or 0
    EARLY_DATE,      // a date before the destination's first date
    DECIMAL_RANGE,   // a decimal too large for its column: the column's largest value
    EMPTY_BINARY,    // an empty binary value written as NULL
    COUNT
};

// The summary's words for a rule ("NULL into a required column").
const char* udb_substitution_text(udb_substitution rule);

// How many values each rule changed.
class udb_substitution_counts {
public:
    void add(udb_substitution rule, std::int64_t times = 1);
    void add(const udb_substitution_counts& other);
    std::int64_t count(udb_substitution rule) const;
    bool empty() const;

private:
    std::array<std::int64_t, static_cast<std::size_t>(udb_substitution::COUNT)> counts{};
};

// Receives what a destination table could not load. The table asks for the number of the
// record it is given, because it may learn of a refusal only when a later batch commits.
class udb_load_report {
public:
    virtual ~udb_load_report() = default;
    // 1-based number of the record the run is appending now, in the source's order.
    virtual std::int32_t record_number() const = 0;
    // A row the destination refused, with the destination's failure.
    virtual void record_rejected(std::int32_t number, const udb_record& record,
                                 const tk_exception& failure) = 0;
};
