// udb_load_report.cpp - the substitution counters and the words the summary uses for them.
#include "udb/udb_load_report.hpp"

namespace {

constexpr std::size_t index_of(udb_substitution rule) { return static_cast<std::size_t>(rule); }

}   // namespace

const char* udb_substitution_text(udb_substitution rule) {
    switch (rule) {
    case udb_substitution::REQUIRED_NULL: return "NULL into a required column";
    case udb_substitution::EARLY_DATE: return "dates before 1753";
    case udb_substitution::DECIMAL_RANGE: return "decimals out of range";
    case udb_substitution::EMPTY_BINARY: return "NULL for an empty binary";
    case udb_substitution::COUNT: break;
    }
    return "";
}

void udb_substitution_counts::add(udb_substitution rule, std::int64_t times) {
    if (rule != udb_substitution::COUNT) counts[index_of(rule)] += times;
}

void udb_substitution_counts::add(const udb_substitution_counts& other) {
    for (std::size_t rule_idx = 0; rule_idx < counts.size(); ++rule_idx) {
        counts[rule_idx] += other.counts[rule_idx];
    }
}

std::int64_t udb_substitution_counts::count(udb_substitution rule) const {
    return rule == udb_substitution::COUNT ? 0 : counts[index_of(rule)];
}

bool udb_substitution_counts::empty() const {
    for (const std::int64_t times : counts) {
        if (times != 0) return false;
    }
    return true;
}
