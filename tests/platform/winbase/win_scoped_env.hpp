#pragma once
// win_scoped_env.hpp - sets or clears one environment variable for a test and puts the old
// value back after it, so tests that read the locale or our own variables stay independent of
// the shell that runs them.

#include <stdlib.h>

#include <optional>
#include <string>

class win_scoped_env {
public:
    // value nullptr clears the variable.
    win_scoped_env(const char* name, const char* value) : variable(name) {
        if (const char* old = getenv(name)) saved = old;
        if (value) setenv(name, value, 1);
        else unsetenv(name);
    }
    ~win_scoped_env() {
        if (saved) setenv(variable, saved->c_str(), 1);
        else unsetenv(variable);
    }
    win_scoped_env(const win_scoped_env&) = delete;
    win_scoped_env& operator=(const win_scoped_env&) = delete;

private:
    const char* variable;
    std::optional<std::string> saved;
};
