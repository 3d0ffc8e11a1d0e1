// tk_cmdli.cpp - walking argv against the option table. A long list of unknown arguments is
// the user's mistake, not ours: past the kept twenty they are only counted, and the caller
// answers with the help text as for one.
#include "tk/tk_cmdli.hpp"

#include "tk/tk_exce.hpp"

tk_cmdli::tk_cmdli(int argc, const char* const* argv, const tk_cmdli_option* table)
    : table_(table) {
    TK_ASSERT(table != nullptr && (argc == 0 || argv != nullptr));
    for (int argument_idx = 1; argument_idx < argc; ++argument_idx) {
        arguments_.emplace_back(argv[argument_idx] == nullptr ? "" : argv[argument_idx]);
    }
    if (has_more()) match_current();
}

void tk_cmdli::next() {
    if (!has_more()) return;
    ++current_;
    if (has_more()) match_current();
}

void tk_cmdli::match_current() {
    const std::string& argument = arguments_[current_];
    for (const tk_cmdli_option* option = table_;; ++option) {
        const std::string_view name = option->name == nullptr ? "" : option->name;
        if (!argument.starts_with(name)) continue;
        option_id_ = name.empty() ? TK_CMDLI_UNRECOGNISED : option->id;
        value_ = argument.substr(name.size());
        break;
    }
    if (option_id_ != TK_CMDLI_UNRECOGNISED) return;
    ++unrecognised_count_;
    if (unrecognised_.size() < TK_CMDLI_MAX_KEPT) unrecognised_.push_back(argument);
}

int tk_cmdli::option_id() const {
    TK_ASSERT(has_more());
    return option_id_;
}

const std::string& tk_cmdli::value() const {
    TK_ASSERT(has_more());
    return value_;
}

const std::string& tk_cmdli::argument() const {
    TK_ASSERT(has_more());
    return arguments_[current_];
}
