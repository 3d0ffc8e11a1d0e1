// tk_conv.hpp - tk_converter, the base of every converter: the done and silent flags, the
// source and destination names and the log path. One converter exists per process (a
// singleton). The done flag is read by the wizard's timer on another thread, so it is atomic.
#pragma once

#include <atomic>
#include <string>

#include "tk/tk_singl.hpp"

class tk_converter : public tk_singl<tk_converter> {
public:
    tk_converter();
    tk_converter(const tk_converter&) = delete;
    tk_converter& operator=(const tk_converter&) = delete;
    virtual ~tk_converter();

    // Waits in steps until is_finished, then on_finished; converters replace it with a run.
    virtual void run();
    virtual bool is_finished();
    virtual void wait_step();
    virtual void on_finished();
    virtual void set_silent(bool flag);

    void operator()() { run(); }

    // Names the log file and enables the log. A read-only file or a missing directory is a
    // level-1 tk_exception; an empty path leaves the log as it was.
    void set_logfile(const std::string& path);

    bool is_silent() const { return silent; }
    bool is_done() const { return done.load(); }
    void set_done(bool flag) { done.store(flag); }
    std::atomic<bool>& done_flag() { return done; }

    const std::u16string& get_source() const { return source; }
    const std::u16string& get_destination() const { return destination; }
    const std::string& get_log_path() const { return log_path; }
    void set_source(const std::u16string& path) { source = path; }
    void set_destination(const std::u16string& name) { destination = name; }

protected:
    std::atomic<bool> done{false};
    bool silent = false;
    std::u16string source;        // the Access database path
    std::u16string destination;   // the SQL Server database name
    std::string log_path;
};
