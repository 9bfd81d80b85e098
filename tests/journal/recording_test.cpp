#include <gtest/gtest.h>

#include <vector>

#include "journal/recording.h"

namespace {

// The minutes (ticks counted from 1) at which the timer makes an attempt.
std::vector<int> attempts(double interval, int minutes, int change_at = 0, double changed = 0) {
    double compteur = interval; // start-up sets the count to the interval
    std::vector<int> at;
    for (int minute = 1; minute <= minutes; ++minute) {
        if (minute == change_at) interval = changed;
        if (marivent::journal::timer_tick(compteur, interval)) at.push_back(minute);
    }
    return at;
}

TEST(JournalTimer, AttemptsAtTheFirstTickThenEveryInterval) {
    EXPECT_EQ(attempts(30, 100), (std::vector<int>{1, 31, 61, 91}));
    EXPECT_EQ(attempts(5, 12), (std::vector<int>{1, 6, 11}));
}

TEST(JournalTimer, ALoweredIntervalBelowTheCountIsNeverMetAgain) {
    // Last attempt at minute 1; at minute 21 the interval goes from 30 to 10.
    EXPECT_EQ(attempts(30, 200, 21, 10), (std::vector<int>{1}));
}

TEST(JournalTimer, ARaisedIntervalCountsFromTheLastAttempt) {
    // Last attempt at minute 31; at minute 51 the interval goes from 30 to 60: next at 91.
    EXPECT_EQ(attempts(30, 160, 51, 60), (std::vector<int>{1, 31, 91, 151}));
}

TEST(JournalTimer, ZeroOrANonWholeIntervalGivesOneAttempt) {
    EXPECT_EQ(attempts(0, 100), (std::vector<int>{1}));
    EXPECT_EQ(attempts(7.5, 100), (std::vector<int>{1}));
}

} // namespace
