// tk_trace.cpp - the trace log: empty the file once per run, then one open-append-close per
// line, so nothing written is lost when the process ends abruptly. A line that can't be written
// (a full disk) is told once on standard error and counted, and the run goes on: tracing must
// never be the reason a conversion stops, but a run whose log is incomplete says so. The wizard
// writes from its GUI thread and its worker at once: one lock keeps the emptying of the file
// and every line whole.
#include "tk/tk_trace.hpp"

#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/winbase/win_codepage.hpp"
#include "platform/winbase/win_system.hpp"

namespace {

struct file_close {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using file_ptr = std::unique_ptr<std::FILE, file_close>;

std::mutex& file_lock() {
    static std::mutex lock;
    return lock;
}

std::string format_text(const char* format, va_list args) {
    va_list measure;
    va_copy(measure, args);
    const int length = std::vsnprintf(nullptr, 0, format, measure);
    va_end(measure);
    if (length <= 0) return std::string();
    std::vector<char> buffer(std::size_t(length) + 1);
    std::vsnprintf(buffer.data(), buffer.size(), format, args);
    return std::string(buffer.data(), std::size_t(length));
}

}   // namespace

tk_trace::tk_trace(std::optional<std::string> path, bool enabled, int threshold, bool timestamps)
    : path_(path ? std::move(*path) : default_path_for(win_module_file_name())),
      threshold_(threshold), enabled_(enabled), timestamps_(timestamps) {
    if (enabled_) {
        file_ptr emptied(std::fopen(path_.c_str(), "wb"));
        truncated_ = true;
    }
    publish_lowest_level();
}

tk_trace::~tk_trace() { lowest_level_ = NO_LINE; }

void tk_trace::publish_lowest_level() const {
    if (!enabled_.load()) {
        lowest_level_ = NO_LINE;
    } else {
        lowest_level_ = truncated_ ? threshold_ : INT_MIN;
    }
}

std::string tk_trace::default_path_for(std::string_view program_path) {
    const std::size_t name_at = program_path.find_last_of('/');
    const std::size_t dot_at = program_path.find_last_of('.');
    const bool has_extension = dot_at != std::string_view::npos
                               && (name_at == std::string_view::npos || dot_at > name_at);
    std::string log_path(has_extension ? program_path.substr(0, dot_at) : program_path);
    return log_path + ".log";
}

void tk_trace::set_path_and_enable(std::string path) {
    std::scoped_lock guard(file_lock());
    path_ = std::move(path);
    enabled_ = true;
    publish_lowest_level();
}

bool tk_trace::prepare_line(int level) {
    if (!is_registered()) return false;
    tk_trace& log = instance();
    if (!log.enabled_.load()) return false;
    std::scoped_lock guard(file_lock());
    if (!log.enabled_.load()) return false;
    if (!log.truncated_) {
        file_ptr emptied(std::fopen(log.path_.c_str(), "wb"));
        log.truncated_ = true;
        log.publish_lowest_level();
    }
    return level >= log.threshold_;
}

void tk_trace::write_line(int level, const char* format, ...) {
    if (!prepare_line(level)) return;
    va_list args;
    va_start(args, format);
    append_formatted_list(format, args);
    va_end(args);
}

#if defined(__clang__)
void tk_trace::write(int level, const char* format, ...) {
    if (!may_write(level) || !prepare_line(level)) return;
    va_list args;
    va_start(args, format);
    append_formatted_list(format, args);
    va_end(args);
}
#endif

void tk_trace::append_formatted(const char* format, ...) {
    va_list args;
    va_start(args, format);
    append_formatted_list(format, args);
    va_end(args);
}

void tk_trace::append_formatted_list(const char* format, va_list args) {
    instance().append_line(format_text(format, args));
}

// Every step is checked, the close too (it writes what the stream held): a full disk must
// not leave a log that silently stops.
void tk_trace::append_line(const std::string& text) const {
    std::scoped_lock guard(file_lock());
    errno = 0;
    std::FILE* file = std::fopen(path_.c_str(), "ab");
    bool b_written = file != nullptr;
    if (b_written && timestamps_) {
        const win_local_time now = win_get_local_time();
        b_written = std::fprintf(file, "%02d:%02d:%02d ", now.hour, now.minute, now.second) > 0;
    }
    b_written = b_written && std::fwrite(text.data(), 1, text.size(), file) == text.size();
    if (b_written && line_end_) b_written = std::fwrite("\r\n", 1, 2, file) == 2;
    if (file != nullptr && std::fclose(file) != 0) b_written = false;
    if (b_written) return;
    const int error_number = errno != 0 ? errno : EIO;
    ++lines_lost_;
    if (!failure_.empty()) return;
    failure_ = std::strerror(error_number);
    std::fprintf(stderr, "The log file %s cannot be written: %s\n", path_.c_str(),
                 failure_.c_str());
}

std::string tk_trace::write_failure() const {
    std::scoped_lock guard(file_lock());
    return failure_;
}

std::int64_t tk_trace::lines_lost() const {
    std::scoped_lock guard(file_lock());
    return lines_lost_;
}

std::string tk_trace::narrow_format(const char16_t* format) {
    return win_utf16_to_utf8(format == nullptr ? std::u16string_view() : format);
}

std::string tk_trace::narrow_arg(std::u16string_view text) { return win_utf16_to_utf8(text); }
