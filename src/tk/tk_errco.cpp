// tk_errco.cpp - loading and looking up error texts.
#include "tk/tk_errco.hpp"

#include "tk/tk_exce.hpp"
#include "tk/tk_trace.hpp"

tk_error_converter::tk_error_converter(std::size_t size, const tk_error_pair* table) {
    tk_trace::write(2, "tk_error_converter::ctor (map size=%d)", int(size));
    load_map(size, table);
}

void tk_error_converter::load_map(std::size_t size, const tk_error_pair* table) {
    tk_trace::write(2, "tk_error_converter::load_map (map size=%d)", int(size));
    if (table == nullptr) throw tk_mail_assertion(TK_ERRCO_SOURCE, FAULT_ERRCO_TABLE_MISSING);
    for (std::size_t pair_idx = 0; pair_idx < size; ++pair_idx) {
        const tk_error_pair& pair = table[pair_idx];
        messages_.try_emplace(pair.code, pair.text == nullptr ? "" : pair.text);
    }
}

std::string tk_error_converter::convert(std::int32_t code) const {
    tk_trace::write(2, "tk_error_converter::convert(%d)", int(code));
    const auto found = messages_.find(code);
    if (found == messages_.end()) {
        tk_trace::write(1, "Error message not found!");
        return std::string();
    }
    tk_trace::write(1, "Error message has been found: %s", found->second.c_str());
    return found->second;
}
