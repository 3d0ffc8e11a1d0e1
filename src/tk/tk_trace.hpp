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
//
// A line no log will take costs one relaxed load at the call: the agent's log is off by
// default, and a bulk load passes a score of trace calls per row.
#pragma once

#include <atomic>
#include <climits>
#include <cstdarg>
#include <cstdint>
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

#if defined(__clang__)
    // clang has no __builtin_va_arg_pack, so there the call stays out of line.
    static void write(int level, const char* format, ...) __attribute__((format(printf, 2, 3)));
#else
    // Always inlined, so the arguments go on to the formatting call only for a line that may
    // be kept; __builtin_va_arg_pack forwards them with printf's checks left in place.
    [[gnu::always_inline, gnu::format(printf, 2, 3)]] static inline void write(int level,
                                                                               const char* format,
                                                                               ...) {
        if (!may_write(level)) return;
        write_line(level, format, __builtin_va_arg_pack());
    }
#endif

    template <class... Args>
    static void write(int level, const char16_t* format, const Args&... args) {
        if (!may_write(level) || !prepare_line(level)) return;
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
    // Why the log could not be written (a full disk), told on standard error when it first
    // happened; empty while every line went in. A run whose log lost lines is incomplete.
    std::string write_failure() const;
    std::int64_t lines_lost() const;

    // The default log path for a program path: its extension replaced by ".log".
    static std::string default_path_for(std::string_view program_path);

private:
    // Lines below this level are dropped at the call. NO_LINE while no enabled log is
    // registered; the threshold once the file is emptied; INT_MIN for a log enabled late whose
    // file is still to be emptied, since its first line of any level empties it.
    static constexpr int NO_LINE = INT_MAX;
    inline static std::atomic<int> lowest_level_{NO_LINE};
    static bool may_write(int level) {
        return level >= lowest_level_.load(std::memory_order_relaxed);
    }
    // Called with the file lock held, or from the constructor and destructor.
    void publish_lowest_level() const;

    static void write_line(int level, const char* format, ...)
        __attribute__((format(printf, 2, 3)));
    // Empties the file on the first line of the run, whatever its level (a level-2 line under
    // threshold 3 still empties it); true when a line of this level is to be written.
    static bool prepare_line(int level);
    // The format is converted at run time, so the compiler can't check it against arguments.
    static void append_formatted(const char* format, ...);
    static void append_formatted_list(const char* format, va_list args);
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
        static_assert(std::is_arithmetic_v<
                          T> || std::is_pointer_v<T> || std::is_enum_v<T> || std::is_array_v<T>,
                      "wide trace arguments are numbers, pointers or wide text");
        return value;
    }
    static const char* pass_arg(const std::string& text) { return text.c_str(); }
    template <class T>
    static const T& pass_arg(const T& value) {
        return value;
    }

    std::string path_;
    int threshold_;
    bool line_end_ = true;
    // Read without the lock: a disabled log (the agent's default) costs no lock per line.
    std::atomic<bool> enabled_;
    bool truncated_ = false;
    bool timestamps_;
    // The first failed write's reason and the lines lost since, under the file lock.
    mutable std::string failure_;
    mutable std::int64_t lines_lost_ = 0;
};
