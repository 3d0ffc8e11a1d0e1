// conv_errh.hpp - error_handler, the one place where a caught exception becomes a message and
// a decision: go on, or end the program (a tk_exit_request with status -1 that main returns).
// The console form prints on standard output; the wizard derives its own form. The context
// (table, or table and record) is prefixed to the next message.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <span>
#include <string>

#include "conv/conv_maps.hpp"
#include "tk/tk_errco.hpp"
#include "tk/tk_singl.hpp"

class tk_exception;

class error_handler : public tk_singl<error_handler> {
public:
    // Starts with the Access message map.
    explicit error_handler(std::span<const conv_message_entry> access_map);
    error_handler(const error_handler&) = delete;
    error_handler& operator=(const error_handler&) = delete;
    virtual ~error_handler();

    // Adds the SQL Server message map; a code already present keeps its first text.
    void load_err_map(std::span<const conv_message_entry> map);

    // Reports one failure. cannot_continue is 1 for the run's outermost handler; the console
    // form throws tk_exit_request(-1) for levels 1 and 2 whatever it says.
    virtual void handle(const tk_exception& failure, int cannot_continue);

    void set_context(const std::u16string& table_name);
    void set_context(const std::u16string& table_name, std::int32_t record_number);
    void clear_context() { context.clear(); }
    const std::string& get_context() const { return context; }

    // Called before a message is printed, to clear what is drawn on the console (a progress
    // line) so the message starts on a line of its own; an empty hook removes it.
    void set_before_print(std::function<void()> hook) { before_print = std::move(hook); }

    void set_silent(bool flag) { silent = flag; }
    bool is_silent() const { return silent; }

    // How many failures were reported so far; a run compares it before and after to know
    // whether anything was refused. Forms that replace handle() call count_report().
    std::int32_t reported_count() const { return reported; }

    // The user text for a code, empty when neither map has it.
    std::string find_message(std::int32_t code);

protected:
    // Context, then the map's text for the code or the exception's own text.
    std::string compose_message(const tk_exception& failure);
    void count_report() { ++reported; }

    std::string context;
    bool silent = false;
    std::map<std::int32_t, std::uint32_t> help_map;   // code -> help context; the wizard's
    tk_error_converter messages;
    std::int32_t reported = 0;
    std::function<void()> before_print;
};
