// tk_exce.hpp - the exception family every layer throws: a message, a code and a level that
// tells the error handler how far the failure reaches. Component exceptions (dao_exception,
// odb_exception, ole_type_exception) derive from tk_exception and set code and level their way;
// tk_final_exception stands apart and carries nothing; tk_exit_request carries a process status
// to main.
#pragma once

#include <cstdint>
#include <exception>
#include <string>
#include <string_view>

constexpr int ERROR_LEVEL_RECOVERABLE = 0;   // report, then the run goes on
constexpr int ERROR_LEVEL_FATAL = 1;         // report, then the console program ends with -1
constexpr int ERROR_LEVEL_INTERNAL = 2;      // internal error, then the console program ends

class tk_exception : public std::exception {
public:
    explicit tk_exception(int level);
    // An empty message becomes "Unknown exception"; the code is 0.
    tk_exception(std::string message, int level);
    // For subclasses and converters that know the code as well.
    tk_exception(std::string message, std::int32_t code, int level);
    ~tk_exception() override = default;

    const char* what() const noexcept override { return message_.c_str(); }
    const std::string& message() const { return message_; }
    std::int32_t code() const { return code_; }
    int level() const { return level_; }

protected:
    void set_message(std::string message);
    void set_code(std::int32_t code) { code_ = code; }
    void set_level(int level) { level_ = level; }

private:
    std::string message_;
    std::int32_t code_ = 0;
    int level_ = ERROR_LEVEL_RECOVERABLE;
};

// The last system error (errno on this platform) as code, with its system text as message.
// Level 1. The text never names a file: callers that know one add it to their own trace.
class tk_exception_ex : public tk_exception {
public:
    tk_exception_ex();                            // reads errno now
    explicit tk_exception_ex(int error_number);   // for a saved errno
};

// A broken internal precondition (level 2). Its message is "Internal error: \ncode=" and the
// location code: "<source>\<number>" with every byte written as two lowercase hex digits.
// TK_ASSERT passes __LINE__ as the number. Where the design fixes a location users report,
// the number is a named FAULT_ constant that says what failed (FAULT_TO_BOOL_UNHANDLED_TYPE is
// 446 in "ole_var"): a fixed code, no longer the line it stands on.
class tk_mail_assertion : public tk_exception {
public:
    tk_mail_assertion(const char* source_file, int number);
    static std::string location_code(std::string_view source_file, int number);
};

// Ends a run quietly (the wizard's cancel path); derives from std::exception only.
class tk_final_exception : public std::exception {
public:
    tk_final_exception();
    const char* what() const noexcept override { return "tk_final_exception"; }
};

// Ends the console program with a status: thrown where the program must stop (a fatal error,
// a refused option) and caught only in main, which returns the status. Only main may end the
// process: the wizard shares this code and must outlive a failed run, and unwinding runs the
// destructors that remove temporary files. Deliberately no std::exception, so that the
// run's handlers for std::exception and tk_exception cannot swallow it on its way up.
class tk_exit_request {
public:
    explicit tk_exit_request(int status) : status_(status) {}
    int status() const { return status_; }

private:
    int status_;
};

// The source name that assertions report: the path below the source root ("tk/tk_cmdli.cpp"),
// so the code a user reads does not depend on where the program was built.
constexpr const char* tk_source_name(const char* path) {
    const char* name = path;
    for (const char* at = path; *at != '\0'; ++at) {
        if (at[0] == 's' && at[1] == 'r' && at[2] == 'c' && at[3] == '/'
            && (at == path || at[-1] == '/')) {
            name = at + 4;
        }
    }
    return name;
}

// Always on, whatever the build type: the check costs little and its report names the place.
#define TK_ASSERT(cond)                                                                            \
    do {                                                                                           \
        if (!(cond)) throw tk_mail_assertion(tk_source_name(__FILE__), __LINE__);                  \
    } while (false)
