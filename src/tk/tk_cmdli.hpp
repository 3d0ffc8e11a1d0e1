// tk_cmdli.hpp - the command-line walker. It starts at the first argument after the program
// name; each argument takes the first option of the table whose name begins it (case
// matters), and its value is the rest of the argument. The table ends with {0, ""}, which
// matches anything: such an argument is unrecognised (identifier -1). So a flag accepts letters
// behind its name and "--mode=" takes everything after the equals sign.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

struct tk_cmdli_option {
    int id;
    const char* name;
};

inline constexpr int TK_CMDLI_UNRECOGNISED = -1;
inline constexpr std::size_t TK_CMDLI_MAX_KEPT = 20;

class tk_cmdli {
public:
    // `table` must end with an entry whose name is empty.
    tk_cmdli(int argc, const char* const* argv, const tk_cmdli_option* table);

    bool has_more() const { return current_ < arguments_.size(); }
    void next();

    // The current argument's option identifier, value and text; internal error past the end.
    int option_id() const;
    const std::string& value() const;
    const std::string& argument() const;

    // Every unrecognised argument counts; the first TK_CMDLI_MAX_KEPT are kept for the report.
    std::size_t unrecognised_count() const { return unrecognised_count_; }
    const std::vector<std::string>& unrecognised() const { return unrecognised_; }

private:
    void match_current();

    std::vector<std::string> arguments_;
    const tk_cmdli_option* table_;
    std::size_t current_ = 0;
    int option_id_ = TK_CMDLI_UNRECOGNISED;
    std::string value_;
    std::size_t unrecognised_count_ = 0;
    std::vector<std::string> unrecognised_;
};
