// Trace log: when the file is emptied, which lines reach it, their form, and the singleton
// rules that the trace log shares with the converter and the error handler.
#include "tk/tk_trace.hpp"

#include <gtest/gtest.h>

#include <cctype>
#include <csignal>
#include <sys/resource.h>

#include "tk/tk_test_folder.hpp"

namespace {

TEST(TraceTruncation, EnabledLogEmptiesAnExistingFileAtOnceThenAppends) {
    tk_test_folder folder;
    const std::string log_path = folder.file("agent.log");
    tk_test_folder::write(log_path, "previous run\r\n");
    tk_trace log(log_path, true, 3, false);
    EXPECT_EQ(tk_test_folder::read(log_path), "");
    tk_trace::write(3, "first %d", 1);
    tk_trace::write(3, "second %s", "line");
    EXPECT_EQ(tk_test_folder::read(log_path), "first 1\r\nsecond line\r\n");
}

TEST(TraceTruncation, DisabledLogNamedLaterEmptiesAtFirstLineEvenBelowThreshold) {
    tk_test_folder folder;
    const std::string log_path = folder.file("late.log");
    tk_test_folder::write(log_path, "stale content");
    tk_trace log(folder.file("never.log"), false, 3, false);
    tk_trace::write(3, "while disabled");
    EXPECT_EQ(tk_test_folder::read(log_path), "stale content");
    log.set_path_and_enable(log_path);
    tk_trace::write(2, "detail below the threshold");
    EXPECT_EQ(tk_test_folder::read(log_path), "");
    tk_trace::write(3, "kept");
    EXPECT_EQ(tk_test_folder::read(log_path), "kept\r\n");
    EXPECT_FALSE(std::filesystem::exists(folder.file("never.log")));
}

TEST(TraceTruncation, EnabledLogRenamedAppendsToTheNewFile) {
    tk_test_folder folder;
    tk_trace log(folder.file("first.log"), true, 1, false);
    tk_test_folder::write(folder.file("second.log"), "kept\r\n");
    log.set_path_and_enable(folder.file("second.log"));
    tk_trace::write(1, "more");
    EXPECT_EQ(tk_test_folder::read(folder.file("second.log")), "kept\r\nmore\r\n");
}

// Lines below the level a log takes are dropped at the call; that level belongs to the log
// registered now, so a log that comes after another must not inherit its level.
TEST(TraceLevels, LineBelowTheThresholdIsDroppedAndOneAtItIsKept) {
    tk_test_folder folder;
    tk_trace log(folder.file("levels.log"), true, 2, false);
    tk_trace::write(1, "detail");
    tk_trace::write(1, u"wide %s", std::u16string(u"detail"));
    tk_trace::write(2, "kept %d", 2);
    tk_trace::write(3, u"kept %s", std::u16string(u"3"));
    EXPECT_EQ(tk_test_folder::read(folder.file("levels.log")), "kept 2\r\nkept 3\r\n");
}

TEST(TraceLevels, NextLogTakesItsOwnLevelNotThePreviousOne) {
    tk_test_folder folder;
    { tk_trace quiet(folder.file("quiet.log"), true, 3, false); }
    {
        tk_trace verbose(folder.file("verbose.log"), true, 1, false);
        tk_trace::write(1, "detail");
        EXPECT_EQ(tk_test_folder::read(folder.file("verbose.log")), "detail\r\n");
    }
    tk_trace::write(1, "after every log");   // none registered: nowhere, and no failure
    tk_trace disabled(folder.file("disabled.log"), false, 1, false);
    tk_trace::write(3, "while disabled");
    EXPECT_FALSE(std::filesystem::exists(folder.file("disabled.log")));
    EXPECT_EQ(tk_test_folder::read(folder.file("verbose.log")), "detail\r\n");
}

TEST(TraceLines, TimestampIsTwoDigitClockAndOneSpace) {
    tk_test_folder folder;
    tk_trace log(folder.file("t.log"), true, 1, true);
    tk_trace::write(1, "x");
    const std::string text = tk_test_folder::read(folder.file("t.log"));
    ASSERT_EQ(text.size(), 12u) << text;   // "hh:mm:ss x\r\n"
    for (const std::size_t digit_at : {0, 1, 3, 4, 6, 7}) EXPECT_TRUE(std::isdigit(text[digit_at]));
    EXPECT_EQ(text.substr(8), " x\r\n");
    EXPECT_EQ(text[2], ':');
    EXPECT_EQ(text[5], ':');
}

TEST(TraceLines, WideLineIsUtf8AndLongLinesAreWrittenWhole) {
    tk_test_folder folder;
    tk_trace log(folder.file("w.log"), true, 1, false);
    const std::u16string long_name(12000, u'\u00e9');
    tk_trace::write(1, u"Ä %s %d %s", std::u16string(u"\U0001F600"), 7, std::string("n"));
    tk_trace::write(1, u"%s", long_name);
    std::string expected = "\xC3\x84 \xF0\x9F\x98\x80 7 n\r\n";
    for (int char_idx = 0; char_idx < 12000; ++char_idx) expected += "\xC3\xA9";
    EXPECT_EQ(tk_test_folder::read(folder.file("w.log")), expected + "\r\n");
}

TEST(TraceLines, NoRegisteredLogWritesNothingAndDoesNotFail) {
    EXPECT_FALSE(tk_trace::is_registered());
    EXPECT_NO_THROW(tk_trace::write(3, "nobody listens"));
    EXPECT_NO_THROW(tk_trace::write(3, u"nobody %s", std::u16string(u"listens")));
}

TEST(TraceLines, UnwritableFileLosesTheLineButCountsIt) {
    tk_test_folder folder;
    tk_trace log(folder.file("missing-folder/x.log"), true, 1, false);
    EXPECT_NO_THROW(tk_trace::write(3, "lost"));
    EXPECT_EQ(log.lines_lost(), 1);
    EXPECT_EQ(log.write_failure(), "No such file or directory");
}

// A full disk, played by a file-size limit (EFBIG, the signal ignored): the run goes on, and
// the log knows how many lines it lost and why.
TEST(TraceLines, AFullDiskIsCountedNotIgnored) {
    tk_test_folder folder;
    const std::string log_path = folder.file("full.log");
    tk_trace log(log_path, true, 1, false);
    rlimit before{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &before), 0);
    const auto old_handler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = before;
    small.rlim_cur = 100;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    for (int line_idx = 0; line_idx < 20; ++line_idx)
        tk_trace::write(3, "line %02d of the log", line_idx);
    ::setrlimit(RLIMIT_FSIZE, &before);
    std::signal(SIGXFSZ, old_handler);
    EXPECT_GT(log.lines_lost(), 10);
    EXPECT_LT(log.lines_lost(), 20);
    EXPECT_EQ(log.write_failure(), "File too large");
}

TEST(TraceDefaultPath, ProgramExtensionBecomesLog) {
    EXPECT_EQ(tk_trace::default_path_for("/opt/vantrel/vantrelagent"),
              "/opt/vantrel/vantrelagent.log");
    EXPECT_EQ(tk_trace::default_path_for("/opt/v.1/agent.exe"), "/opt/v.1/agent.log");
    EXPECT_EQ(tk_trace::default_path_for("/opt/v.1/agent"), "/opt/v.1/agent.log");
}

TEST(Singleton, SecondInstanceIsTheAssertionAtLine35AndKeepsTheFirst) {
    tk_test_folder folder;
    tk_trace first(folder.file("a.log"), false, 3, false);
    try {
        tk_trace second(folder.file("b.log"), false, 3, false);
        FAIL() << "second trace log accepted";
    } catch (const tk_mail_assertion& failure) {
        // "tk/tk_singl.hpp\35" in hex
        EXPECT_STREQ(failure.what(), "Internal error: \ncode=746b2f746b5f73696e676c2e6870705c3335");
        EXPECT_EQ(failure.level(), ERROR_LEVEL_INTERNAL);
    }
    EXPECT_EQ(&tk_trace::instance(), &first);
}

TEST(Singleton, AccessWithoutInstanceNamesLines59And66) {
    try {
        tk_trace::instance();
        FAIL();
    } catch (const tk_mail_assertion& failure) {
        EXPECT_EQ(std::string(failure.what()).substr(22), "746b2f746b5f73696e676c2e6870705c3539");
    }
    try {
        tk_trace::instance_ptr();
        FAIL();
    } catch (const tk_mail_assertion& failure) {
        EXPECT_EQ(std::string(failure.what()).substr(22), "746b2f746b5f73696e676c2e6870705c3636");
    }
}

TEST(Singleton, DestroyedInstanceCanBeReplaced) {
    tk_test_folder folder;
    { tk_trace first(folder.file("a.log"), false, 3, false); }
    EXPECT_FALSE(tk_trace::is_registered());
    tk_trace second(folder.file("b.log"), false, 3, false);
    EXPECT_EQ(tk_trace::instance_ptr(), &second);
}

}   // namespace
