// agent_opts_test.cpp - parse_cmd_line in-process over in-memory engines: options act in
// command-line order, a profile overwrites what stood before it (one that cannot be read ends
// the program), connection options yield to a loaded profile, and the authentication kind
// follows the login options.
#include <fstream>
#include <optional>
#include <utility>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "agent/agent_opts.hpp"
#include "conv_test_env.hpp"

namespace {

class AgentOptions : public conv_test_env {
protected:
    void SetUp() override {
        conv_test_env::SetUp();
        converter->set_source(u"");
        converter->set_destination(u"");
        profile_path = (folder / "p.ini").string();
        std::ofstream(profile_path) << "[Generic settings]\nsrc=profile.mdb\ndest=FromProfile\n"
                                       "[MS SQL Server settings]\nserver=profile-host\n"
                                       "windows authentication=1\n";
    }

    bool parse(std::vector<std::string> args) {
        args.insert(args.begin(), "vantrelagent");
        std::vector<char*> argv;
        for (std::string& arg : args) argv.push_back(arg.data());
        return parse_cmd_line(static_cast<int>(argv.size()), argv.data());
    }

    // The status the walk ended the program with, and what it printed on standard error.
    std::pair<std::optional<int>, std::string> parse_ending(std::vector<std::string> args) {
        ::testing::internal::CaptureStderr();
        std::optional<int> status = exit_status_of([&] { parse(std::move(args)); });
        return {status, ::testing::internal::GetCapturedStderr()};
    }

    std::string profile_path;
};

TEST_F(AgentOptions, ProfileAfterSourceWinsAndSourceAfterProfileWins) {
    ASSERT_TRUE(parse({"--src=cmd.mdb", "--profile=" + profile_path}));
    EXPECT_EQ(converter->get_source(), u"profile.mdb");
    EXPECT_EQ(converter->get_destination(), u"FromProfile");

    ASSERT_TRUE(parse({"--profile=" + profile_path, "--src=cmd.mdb"}));
    EXPECT_EQ(converter->get_source(), u"cmd.mdb");
}

TEST_F(AgentOptions, LoadedProfileMakesConnectionOptionsIneffective) {
    ASSERT_TRUE(parse({"--profile=" + profile_path, "--mssqlh=cmd-host", "--mssqlu=bob",
                       "--mssqlp=pw", "--accp=dbpw"}));
    EXPECT_EQ(converter->get_host(), u"profile-host");
    EXPECT_TRUE(converter->get_user().empty());
    EXPECT_TRUE(converter->is_windows_authentication());
    EXPECT_TRUE(converter->get_database_password().empty());
}

// Passing over a profile that cannot be read would run with settings the user did not give.
TEST_F(AgentOptions, UnreadableProfileEndsTheProgram) {
    auto [status, errors] = parse_ending({"--profile=" + (folder / "none.ini").string(),
                                          "--src=a.mdb", "--dest=D", "--mssqlh=cmd-host"});
    EXPECT_EQ(status, -1);
    EXPECT_THAT(errors, ::testing::StartsWith("Cannot read the profile"));
}

TEST_F(AgentOptions, PasswordsOnTheCommandLineReachTheLogAsStarsOnly) {
    trace.reset();   // one trace log at a time; this one keeps the parameter lines
    trace = std::make_unique<tk_trace>(log_path, true, 1, false);
    ASSERT_TRUE(
        parse({"--src=a.mdb", "--dest=D", "--mssqlp=Secret1", "--accp=Secret2", "--uglp=Secret3"}));
    EXPECT_THAT(log_text(), ::testing::HasSubstr("parameter #3: --mssqlp=***"));
    EXPECT_THAT(log_text(), ::testing::HasSubstr("parameter #5: --uglp=***"));
    EXPECT_EQ(log_text().find("Secret"), std::string::npos);
}

TEST_F(AgentOptions, UserWithoutPasswordMeansSqlServerLoginWithEmptyPassword) {
    ASSERT_TRUE(parse({"--src=a.mdb", "--dest=D", "--mssqlu=bob"}));
    EXPECT_FALSE(converter->is_windows_authentication());
    EXPECT_EQ(converter->get_user(), u"bob");
    EXPECT_TRUE(converter->get_password().empty());

    ASSERT_TRUE(parse({"--src=a.mdb", "--dest=D"}));
    EXPECT_TRUE(converter->is_windows_authentication());
}

TEST_F(AgentOptions, CapitalLetterOptionIsUnrecognisedAfterTheWholeLineIsApplied) {
    EXPECT_FALSE(parse({"--tab_def", "--Src=a.mdb", "--dest=D", "--mode=2", "--silentX"}));
    EXPECT_TRUE(converter->is_definitions_only());
    EXPECT_EQ(converter->get_destination(), u"D");
    EXPECT_EQ(converter->get_mode(), MODE_SKIP_TABLES);
    EXPECT_TRUE(converter->is_silent());   // a flag accepts letters behind its name
    EXPECT_TRUE(handler->is_silent());
}

TEST_F(AgentOptions, WorkgroupSettingsAreTrimmedAndChecked) {
    ASSERT_TRUE(parse({"--src=a.mdb", "--dest=D", "--sysdb= team.mdw", "--uglu=admin "}));
    EXPECT_EQ(converter->get_workgroup_file(), u"team.mdw");
    EXPECT_EQ(converter->get_workgroup_user(), u"admin");
}

TEST_F(AgentOptions, BadWorkgroupFileOrModeFormEndsTheProcess) {
    EXPECT_EQ(parse_ending({"--src=a.mdb", "--dest=D", "--sysdb=notes.txt"}),
              std::pair(std::optional(-1),
                        std::string("Not a valid MS Access workgroup information file\n")));
    for (const char* mode : {"--mode=+1", "--mode= 1", "--mode=1x"}) {
        EXPECT_EQ(parse_ending({mode}),
                  std::pair(std::optional(-1), std::string("Invalid merge/overwrite mode\n")))
            << mode;
    }
}

TEST_F(AgentOptions, SilentBeforeABadModeSuppressesTheMessage) {
    EXPECT_EQ(parse_ending({"--silent", "--mode=9"}), std::pair(std::optional(-1), std::string()));
}

TEST_F(AgentOptions, ModeZeroDropsAnExistingDestinationBeforeTheRun) {
    check_dest(u"Sales");
    EXPECT_EQ(world.calls, std::vector<std::u16string>{u"delete dest"});
    world.calls.clear();
    world.b_destination_exists = true;
    converter->set_mode(MODE_MERGE);
    check_dest(u"Sales");
    EXPECT_TRUE(world.calls.empty());
}

}   // namespace
