// conv_progress.cpp - drawing and erasing the live progress line of one table.
#include "conv/conv_progress.hpp"

#include <unistd.h>

#include <chrono>
#include <cmath>
#include <ostream>

namespace {

// A rate over less time than this is noise (the first rows pay for opening the table).
constexpr double MIN_RATE_SECONDS = 0.2;
// Carriage return, then ANSI "erase to the end of the line" (CSI K).
constexpr const char* LINE_START = "\r";
constexpr const char* ERASE_TO_END = "\x1b[K";

std::string two_digits(std::int64_t number) {
    return (number < 10 ? "0" : "") + std::to_string(number);
}

// 0:05, 12:34, 1:02:03
std::string duration_text(std::int64_t seconds) {
    const std::int64_t hours = seconds / 3600;
    const std::int64_t minutes = seconds / 60 % 60;
    const std::string tail = two_digits(seconds % 60);
    if (hours == 0) return std::to_string(minutes) + ":" + tail;
    return std::to_string(hours) + ":" + two_digits(minutes) + ":" + tail;
}

}   // namespace

conv_progress_line::conv_progress_line(std::ostream& new_out, std::int64_t total, clock clock_now)
    : out(new_out), total_rows(total), now(std::move(clock_now)), started(now()) {}

conv_progress_line::~conv_progress_line() { erase(); }

bool conv_progress_line::is_terminal_output() { return isatty(STDOUT_FILENO) == 1; }

double conv_progress_line::steady_seconds() {
    const auto since = std::chrono::steady_clock::now().time_since_epoch();
    return std::chrono::duration<double>(since).count();
}

std::string conv_progress_line::text(std::int64_t rows_done, std::int64_t total,
                                     double elapsed_seconds) {
    std::string line = std::to_string(rows_done) + " of " + std::to_string(total) + " rows";
    if (elapsed_seconds < MIN_RATE_SECONDS || rows_done <= 0) return line;
    const double rate = static_cast<double>(rows_done) / elapsed_seconds;
    line += ", " + std::to_string(std::llround(rate)) + " rows/s";
    if (rows_done >= total) return line;
    const double left = static_cast<double>(total - rows_done) / rate;
    return line + ", " + duration_text(std::llround(std::ceil(left))) + " left";
}

void conv_progress_line::update(std::int64_t rows_done) {
    const double at = now();
    if (b_ever_drawn && at - drawn_at < REDRAW_SECONDS) return;
    out << LINE_START << text(rows_done, total_rows, at - started) << ERASE_TO_END << std::flush;
    drawn_at = at;
    b_ever_drawn = true;
    b_shown = true;
}

void conv_progress_line::erase() {
    if (!b_shown) return;
    out << LINE_START << ERASE_TO_END << std::flush;
    b_shown = false;
}
