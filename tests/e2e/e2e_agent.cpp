// e2e_agent.cpp - the agent as a child process.
#include "e2e/e2e_agent.hpp"

#include <exception>
#include <iostream>

#include "e2e/e2e_paths.hpp"

const char* e2e_path_name(e2e_load_path path) {
    return path == e2e_load_path::bulk ? "bulk" : "statements";
}

std::vector<std::string> e2e_agent_args(const e2e_server& server, const std::string& source,
                                        const std::string& database) {
    return {"--src=" + source, "--dest=" + database, "--mssqlh=" + server.agent_host(),
            "--mssqlu=" + server.user, "--mssqlp=" + server.password};
}

e2e_result e2e_run_agent(const std::vector<std::string>& options, e2e_load_path path) {
    e2e_command command;
    command.args.push_back(e2e_paths::agent());
    command.args.insert(command.args.end(), options.begin(), options.end());
    command.env["VANTREL_FAST_LOAD"] = path == e2e_load_path::bulk ? "1" : "0";
    command.timeout_seconds = 600;
    return e2e_run(command);
}

e2e_database_guard::~e2e_database_guard() {
    try {
        client.drop_database(name);
    } catch (const std::exception& error) {   // a leftover database must not hide the result
        std::cerr << "could not drop test database " << name << ": " << error.what() << '\n';
    }
}
