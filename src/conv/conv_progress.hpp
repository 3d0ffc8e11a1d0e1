// conv_progress.hpp - the live line under "Converting table X(n records)" on a terminal: rows
// done, rows per second and time left, redrawn in place (carriage return, then erase to the
// end of the line) at most every REDRAW_SECONDS and erased when the table ends. The run makes
// it only when standard output is a terminal and the run is not silent, so a log, a pipe or
// a redirected file never holds it.
#pragma once

#include <cstdint>
#include <functional>
#include <iosfwd>
#include <string>

class conv_progress_line {
public:
    // Seconds on a steady clock; tests hand in their own.
    using clock = std::function<double()>;

    static constexpr double REDRAW_SECONDS = 0.25;

    conv_progress_line(std::ostream& out, std::int64_t total_rows, clock now = steady_seconds);
    conv_progress_line(const conv_progress_line&) = delete;
    conv_progress_line& operator=(const conv_progress_line&) = delete;
    ~conv_progress_line();

    // Whether standard output is a terminal (the only place the line is drawn).
    static bool is_terminal_output();
    static double steady_seconds();
    // "250000 of 1000000 rows, 50000 rows/s, 0:15 left"; the rate and time left only once
    // some time has passed, the time left only while rows remain.
    static std::string text(std::int64_t rows_done, std::int64_t total_rows,
                            double elapsed_seconds);

    // Draws at the first call, then when REDRAW_SECONDS have passed since the last drawing.
    void update(std::int64_t rows_done);
    // Clears the line if it is drawn (before a message, and when the table ends); the next
    // update draws it again.
    void erase();

private:
    std::ostream& out;
    std::int64_t total_rows;
    clock now;
    double started;
    double drawn_at = 0;
    bool b_ever_drawn = false;
    bool b_shown = false;
};
