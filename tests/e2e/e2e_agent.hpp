#pragma once
// e2e_agent.hpp - runs build/vantrelagent against the test server. The statement load path is
// chosen by the documented diagnostic VANTREL_FAST_LOAD=0; the agent's options stay as they
// are specified.

#include <string>
#include <vector>

#include "e2e/e2e_process.hpp"
#include "e2e/e2e_server.hpp"

enum class e2e_load_path { bulk, statements };

const char* e2e_path_name(e2e_load_path path);

// --src= --dest= and the connection options of the server.
std::vector<std::string> e2e_agent_args(const e2e_server& server, const std::string& source,
                                        const std::string& database);

e2e_result e2e_run_agent(const std::vector<std::string>& options,
                         e2e_load_path path = e2e_load_path::bulk);

// Drops a test database when the test ends, whatever it asserted.
class e2e_database_guard {
public:
    e2e_database_guard(const e2e_client& new_client, std::string new_name)
        : client(new_client), name(std::move(new_name)) {}
    ~e2e_database_guard();
    e2e_database_guard(const e2e_database_guard&) = delete;
    e2e_database_guard& operator=(const e2e_database_guard&) = delete;

private:
    const e2e_client& client;
    std::string name;
};
