// The live progress line: its text worked by hand from rows and seconds, and its drawing on
// a clock the test moves (no waiting): drawn at once, then at most every quarter second, in
// place, and erased when the table ends.
#include "conv/conv_progress.hpp"

#include <gtest/gtest.h>

#include <sstream>

TEST(ProgressText, GivesRowsRateAndTimeLeft) {
    // 250000 rows in 5 s: 50000 rows/s; 750000 left take 15 s.
    EXPECT_EQ(conv_progress_line::text(250000, 1000000, 5.0),
              "250000 of 1000000 rows, 50000 rows/s, 0:15 left");
    // 1 row/s with 3999 rows left: 1 h 6 min 39 s.
    EXPECT_EQ(conv_progress_line::text(1, 4000, 1.0), "1 of 4000 rows, 1 rows/s, 1:06:39 left");
    // 40 rows left at 200 rows/s is 0.2 s: shown as a whole second, never as 0:00.
    EXPECT_EQ(conv_progress_line::text(60, 100, 0.3), "60 of 100 rows, 200 rows/s, 0:01 left");
}

TEST(ProgressText, LeavesOutWhatCannotBeKnown) {
    EXPECT_EQ(conv_progress_line::text(0, 10, 0.0), "0 of 10 rows");
    EXPECT_EQ(conv_progress_line::text(5, 10, 0.05), "5 of 10 rows");   // too soon for a rate
    EXPECT_EQ(conv_progress_line::text(10, 10, 2.0), "10 of 10 rows, 5 rows/s");
    // The source counted fewer records than it gave: no time left, rather than a negative one.
    EXPECT_EQ(conv_progress_line::text(12, 10, 2.0), "12 of 10 rows, 6 rows/s");
}

TEST(ProgressLine, RedrawsInPlaceAtMostEveryQuarterSecondAndErasesAtTheEnd) {
    double seconds = 100.0;
    std::ostringstream out;
    {
        conv_progress_line line(out, 100, [&seconds] { return seconds; });
        line.update(1);
        EXPECT_EQ(out.str(), "\r1 of 100 rows\x1b[K");
        seconds = 100.2;
        for (int row = 2; row <= 50; ++row) line.update(row);
        EXPECT_EQ(out.str(), "\r1 of 100 rows\x1b[K") << "redrawn too soon";
        seconds = 100.3;
        line.update(60);
        EXPECT_EQ(out.str(), "\r1 of 100 rows\x1b[K\r60 of 100 rows, 200 rows/s, 0:01 left\x1b[K");
        out.str("");
        line.erase();   // before a message
        line.erase();
        EXPECT_EQ(out.str(), "\r\x1b[K");
        out.str("");
        line.update(61);   // too soon after the last drawing: stays erased
        EXPECT_EQ(out.str(), "");
        seconds = 100.6;
        line.update(70);
        out.str("");
    }
    EXPECT_EQ(out.str(), "\r\x1b[K") << "the line outlived its table";
}

TEST(ProgressLine, NeverDrawnLeavesNothing) {
    std::ostringstream out;
    {
        conv_progress_line line(out, 100, [] { return 1.0; });
    }
    EXPECT_EQ(out.str(), "");
}
