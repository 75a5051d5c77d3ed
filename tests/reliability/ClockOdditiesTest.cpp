// A local clock that behaves oddly: the day of the month jumps back, moves on
// by one, comes round to the same day a month later, is one that no month
// has, or the year is one the stamp's arithmetic must still cope with.

#include <gtest/gtest.h>

#include <climits>

#include "core/MinuteAccount.h"
#include "core/QuotaminConfig.h"
#include "log/TraceLog.h"
#include "tests/support/SettingsBytes.h"
#include "tests/support/TestSystem.h"

namespace quotamin {
namespace {

using testing::ReadBytes;
using testing::TestSystem;

std::string Record(std::int32_t remaining, std::int32_t day) {
    return testing::SettingsRecord(1, 90, remaining, 1, day);
}

// Minutes are charged on one day, then the clock shows `to` at the next tick.
TEST(ClockOdditiesTest, OnlyAChangedDayNumberResetsTheBalanceAtTheNextTick) {
    struct Case {
        const char* name;
        int from, to;
        bool reset;
    } cases[] = {
        {"DayGoesBack", 15, 14, true},         {"BackAcrossTheEndOfAMonth", 1, 31, true},
        {"ForwardByOne", 15, 16, true},        {"ForwardAcrossTheEndOfAMonth", 31, 1, true},
        {"SameDayAMonthLater", 15, 15, false},
    };
    for (const Case& c : cases) {
        TestSystem system;
        system.today = c.from;
        QuotaminConfig config(system);
        config.SetUser("bob");
        config.m_enabled = 1;
        config.m_minutesAllowed = 90;
        config.m_minutesRemaining = 33;
        MinuteAccount account;
        account.ChargeMinute(config);
        system.today = c.to;
        account.ChargeMinute(config);
        // A new day's first charged tick leaves the whole allowance, not one less.
        const std::int32_t remaining = c.reset ? 90 : 31;
        EXPECT_EQ(config.m_minutesRemaining, remaining) << c.name;
        EXPECT_EQ(ReadBytes(config.m_filePath), Record(remaining, c.to)) << c.name;

        QuotaminConfig restarted(system);
        restarted.SetUser("bob");
        EXPECT_EQ(restarted.m_minutesRemaining, remaining) << c.name;
    }
}

TEST(ClockOdditiesTest, ADayNoMonthHasInTheFileStartsANewDay) {
    for (const std::int32_t day : {0, 32, -1, INT_MIN, INT_MAX}) {
        TestSystem system;
        testing::WriteBytes(system.File("qm-bob.dat"), Record(7, day));
        system.today = 5;
        QuotaminConfig config(system);
        config.SetUser("bob");
        EXPECT_EQ(config.m_minutesRemaining, 90) << day;
        EXPECT_EQ(ReadBytes(config.m_filePath), Record(90, 5)) << day;
    }
}

// Without a local date there is no day to compare: the balance runs on and
// the stored day stays, until a day can be read again.
TEST(ClockOdditiesTest, NoLocalDateStartsNoNewDay) {
    TestSystem system;
    testing::WriteBytes(system.File("qm-bob.dat"), Record(33, 5));
    system.today = 9;
    system.noLocalDate = true;
    QuotaminConfig config(system);
    config.SetUser("bob");
    EXPECT_EQ(config.m_minutesRemaining, 33);
    EXPECT_EQ(ReadBytes(config.m_filePath), Record(33, 5));
    MinuteAccount account;
    account.ChargeMinute(config);
    EXPECT_EQ(ReadBytes(config.m_filePath), Record(32, 5));

    // A new user without a date keeps the record's day of 0 until there is one.
    QuotaminConfig newUser(system);
    newUser.SetUser("alice");
    EXPECT_EQ(ReadBytes(newUser.m_filePath), testing::SettingsRecord(0, 120, 120, 1, 0));

    system.noLocalDate = false;
    account.ChargeMinute(config);
    EXPECT_EQ(ReadBytes(config.m_filePath), Record(90, 9));
}

std::tm Time(int year, int month, int day, int second) {
    std::tm time{};
    time.tm_year = year;
    time.tm_mon = month - 1;
    time.tm_mday = day;
    time.tm_hour = 23;
    time.tm_min = 59;
    time.tm_sec = second;
    return time;
}

// localtime gives any year that fits tm_year, and a 61st second for a leap second.
TEST(ClockOdditiesTest, StampsOfOddYearsAndALeapSecondKeepTheirForm) {
    struct Case {
        std::tm time;
        const char* line;
    } cases[] = {
        {Time(INT_MAX, 12, 31, 59), "12/31/47 23:59:59: tick\r\n"},  // the year 2147485547
        {Time(INT_MIN, 1, 1, 0), "01/01/52 23:59:00: tick\r\n"},     // before the year 0
        {Time(-1905, 6, 30, 0), "06/30/95 23:59:00: tick\r\n"},      // the year -5
        {Time(116, 12, 31, 60), "12/31/16 23:59:60: tick\r\n"},      // a leap second
    };
    for (const Case& c : cases) {
        testing::TempDirectory directory;
        const std::string path = directory.File("quotamin.log");
        TraceLog log(path, [&c] { return std::optional<std::tm>(c.time); });
        log.BeginLine() << "tick";
        log.EndLine();
        EXPECT_EQ(ReadBytes(path), c.line);
    }
}

}  // namespace
}  // namespace quotamin
