// conv_test_env.hpp - what every converter test sets up: the trace log (into a private
// folder, threshold 3, as the agent has it), the error handler with both message maps, and
// a converter over a fake world. The singletons are released in reverse order.
#pragma once

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <sstream>
#include <string>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "conv/conv_errh.hpp"
#include "conv/conv_maps.hpp"
#include "conv/vantrel_conv.hpp"
#include "conv_fakes.hpp"
#include "tk/tk_exce.hpp"
#include "tk/tk_trace.hpp"

class conv_test_env : public ::testing::Test {
protected:
    void SetUp() override {
        folder = std::filesystem::temp_directory_path()
                 / ("vantrel-conv-" + std::to_string(::getpid()) + "-"
                    + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(folder);
        log_path = (folder / "trace.log").string();
        trace = std::make_unique<tk_trace>(log_path, true, 3, false);
        handler = std::make_unique<error_handler>(conv_access_messages());
        handler->load_err_map(conv_mssql_messages());
        converter = std::make_unique<vantrel_convertor>(make_fake_engines(world));
        converter->set_logfile(log_path);   // the rejects file goes beside it
        converter->set_source(u"src.mdb");
        converter->set_destination(u"Sales");
    }

    void TearDown() override {
        converter.reset();
        handler.reset();
        trace.reset();
        std::filesystem::remove_all(folder);
    }

    std::string log_text() const {
        std::ifstream file(log_path, std::ios::binary);
        std::stringstream text;
        text << file.rdbuf();
        return text.str();
    }

    // The status of the tk_exit_request that ended the call; nothing when the call returned.
    template <class Call>
    static std::optional<int> exit_status_of(Call&& call) {
        try {
            call();
        } catch (const tk_exit_request& request) {
            return request.status();
        }
        return std::nullopt;
    }

    fake_world world;
    std::filesystem::path folder;
    std::string log_path;
    std::unique_ptr<tk_trace> trace;
    std::unique_ptr<error_handler> handler;
    std::unique_ptr<vantrel_convertor> converter;
};
