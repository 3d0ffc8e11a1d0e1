// tk_trace.hpp - the process's trace log. Each line is its own open-append-close cycle, so the
// file is complete up to the last line even when the process dies. A line reaches the file when
// its level is at least the threshold: 1 operation entries, 2 constructors and details, 3 what a
// user reads. With no log registered (the wizard) every write returns at once.
//
// Narrow lines take a printf format and arguments. Wide lines take a char16_t format whose %s
// conversions take wide text (std::u16string, std::u16string_view or const char16_t*); the format
// and every wide argument are converted to UTF-8 before formatting, so the file is UTF-8 either
// way; a narrow std::string may stand for %s too. Other arguments (numbers, const char*) pass
// through as printf has them.
#pragma once

#include <atomic>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>

#include "tk/tk_singl.hpp"

class tk_trace : public tk_singl<tk_trace> {
public:
    // No path: the program's own file with its extension replaced by ".log". When enabled the
    // file is emptied at once.
    tk_trace(std::optional<std::string> path, bool enabled, int threshold, bool timestamps);
    ~tk_trace();

    static void write(int level, const char* format, ...) __attribute__((format(printf, 2, 3)));

    template <class... Args>
    static void write(int level, const char16_t* format, const Args&... args) {
        if (!prepare_line(level)) return;
        append_formatted(narrow_format(format).c_str(), pass_arg(narrow_arg(args))...);
    }

    // Names the file at run time and enables the log; the truncated flag is kept, so a log
    // created disabled empties the new file at its first line and an enabled one appends.
    void set_path_and_enable(std::string path);

    const std::string& path() const { return path_; }
    int threshold() const { return threshold_; }
    bool is_enabled() const { return enabled_.load(); }
    bool is_truncated() const { return truncated_; }
    bool has_timestamps() const { return timestamps_; }

    // The default log path for a program path: its extension replaced by ".log".
    static std::string default_path_for(std::string_view program_path);

private:
    // Empties the file on the first line of the run, whatever its level (a level-2 line under
    // threshold 3 still empties it); true when a line of this level is to be written.
    static bool prepare_line(int level);
    // The format is converted at run time, so the compiler can't check it against arguments.
    static void append_formatted(const char* format, ...);
    void append_line(const std::string& text) const;

    static std::string narrow_format(const char16_t* format);
    static std::string narrow_arg(std::u16string_view text);
    static std::string narrow_arg(const char16_t* text) {
        return narrow_arg(std::u16string_view(text == nullptr ? u"(null)" : text));
    }
    static std::string narrow_arg(const std::u16string& text) {
        return narrow_arg(std::u16string_view(text));
    }
    static const std::string& narrow_arg(const std::string& text) { return text; }
    template <class T>
    static const T& narrow_arg(const T& value) {
        static_assert(std::is_arithmetic_v<T> || std::is_pointer_v<T> || std::is_enum_v<T>
                          || std::is_array_v<T>,
                      "wide trace arguments are numbers, pointers or wide text");
        return value;
    }
    static const char* pass_arg(const std::string& text) { return text.c_str(); }
    template <class T>
    static const T& pass_arg(const T& value) { return value; }

    std::string path_;
    int threshold_;
    bool line_end_ = true;
    // Read without the lock: a disabled log (the agent's default) costs no lock per line.
    std::atomic<bool> enabled_;
    bool truncated_ = false;
    bool timestamps_;
};
