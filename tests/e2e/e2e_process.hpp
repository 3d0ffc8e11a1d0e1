#pragma once
// e2e_process.hpp - runs one of our programs or a FreeTDS client as a child process, without a
// shell (so no argument is ever re-parsed), and hands back its exit status and both streams.
// A child that outlives its time limit is killed and reported, never waited for forever.

#include <map>
#include <string>
#include <vector>

struct e2e_result {
    int status = -1;   // exit status 0..255; -1 when killed or not started
    std::string out;   // standard output
    std::string err;   // standard error
    bool b_timed_out = false;

    std::string both() const { return out + err; }
};

struct e2e_command {
    std::vector<std::string> args;            // args[0] is the program
    std::map<std::string, std::string> env;   // added to (or replacing in) our environment
    std::string input;                        // written to standard input
    int timeout_seconds = 300;
};

e2e_result e2e_run(const e2e_command& command);

// The first directory of PATH holding an executable of that name, or empty.
std::string e2e_find_program(const std::string& name);
