#pragma once
// e2e_case.hpp - what every end-to-end test needs first: the server and a client for it, the
// test files, the programs. A test skips (with the reason) when one of them is absent, so the
// suite still runs on a checkout without the shared data.

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>

#include "e2e/e2e_agent.hpp"
#include "e2e/e2e_paths.hpp"
#include "e2e/e2e_server.hpp"
#include "e2e/e2e_source.hpp"

class E2eCase : public ::testing::Test {
protected:
    void SetUp() override {
        if (!e2e_paths::has_testdata()) GTEST_SKIP() << "no shared test data";
        if (!has_access_engine())
            GTEST_SKIP() << "vantrelagent was built without the Access engine";
        std::string why_not;
        target = e2e_target(why_not);
        if (!target) GTEST_SKIP() << why_not;
        client = std::make_unique<e2e_client>(*target);
    }

    // The source as vantreldump reads it; fails the test when the dump does.
    e2e_source read_source(const std::string& relative, const e2e_source_options& options = {}) {
        e2e_result dumped = e2e_run_dump(e2e_paths::testdata(relative), options);
        if (dumped.status != 0) {
            ADD_FAILURE() << "vantreldump " << relative << " failed: " << dumped.err;
            return {};
        }
        return e2e_parse_dump(dumped.out);
    }

    std::vector<std::string> agent_args(const std::string& relative, const std::string& db) {
        return e2e_agent_args(*target, e2e_paths::testdata(relative), db);
    }

    // A build without src/dao answers every source with the DAO failure text; the trial open
    // comes before the connection, so a server that is not there costs nothing.
    static bool has_access_engine() {
        static const bool b_has = [] {
            e2e_command probe;
            probe.args = {e2e_paths::agent(),
                          "--src=" + e2e_paths::testdata("jahlborn-jackcess/templates/empty.mdb"),
                          "--dest=probe", "--mssqlh=127.0.0.1,1", "--mssqlu=sa", "--mssqlp=x"};
            probe.timeout_seconds = 60;
            e2e_result result = e2e_run(probe);
            return result.both().find("Data Access Objects") == std::string::npos;
        }();
        return b_has;
    }

    std::optional<e2e_server> target;
    std::unique_ptr<e2e_client> client;
};
