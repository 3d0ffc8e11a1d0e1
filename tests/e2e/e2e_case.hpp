#pragma once
// e2e_case.hpp - what every end-to-end test needs first: the server and a client for it, the
// test files, the programs. Without the shared data a test skips, or fails where
// VANTREL_REQUIRE_TESTDATA=1 (test_data.hpp); without a server it skips with the reason.

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>

#include "e2e/e2e_agent.hpp"
#include "e2e/e2e_paths.hpp"
#include "e2e/e2e_server.hpp"
#include "e2e/e2e_source.hpp"
#include "test_data.hpp"

class E2eCase : public ::testing::Test {
protected:
    void SetUp() override {
        TEST_DATA_REQUIRE(e2e_paths::has_testdata(), e2e_paths::testdata_dir());
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

    std::optional<e2e_server> target;
    std::unique_ptr<e2e_client> client;
};
