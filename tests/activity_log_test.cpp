#include "engine/activity_log.h"

#include <gtest/gtest.h>

#include <string>

#include "contracts/runtime_error.h"
#include "contracts/text.h"
#include "tests/support/fake_services.h"

namespace vamu {
namespace {

class ActivityLog : public ::testing::Test {
protected:
    fakes::ModuleFixture f;
    fakes::Clock& clock = f.fakes.clock;

    void at(ClockReading r) { clock.readings = {r}; }
    std::u16string log() { return f.panel->logBox.value; }
};

TEST_F(ActivityLog, FirstLineIntoAnEmptyLogIsTheLineAlone) {
    at({2024, 3, 15, 9, 5, 7});
    AddLog(f.module, u"地図を表示しました");
    EXPECT_EQ(log(), u"2024/03/15 9:05:07: 地図を表示しました\r\n");
}

TEST_F(ActivityLog, NewestLineOnTop) {
    at({2024, 3, 15, 9, 5, 7});
    AddLog(f.module, u"first");
    at({2024, 3, 15, 9, 5, 8});
    AddLog(f.module, u"second");
    EXPECT_EQ(log(), u"2024/03/15 9:05:08: second\r\n2024/03/15 9:05:07: first\r\n");
}

TEST_F(ActivityLog, EmptyMessageEndsInColonSpace) {
    at({2024, 3, 15, 12, 0, 0});
    AddLog(f.module, u"");
    EXPECT_EQ(log(), u"2024/03/15 12:00:00: \r\n");
}

TEST_F(ActivityLog, ExistingTextIsKeptVerbatimBelow) {
    f.module.panel().log().setText(u"typed by hand, no line end");
    at({2024, 3, 15, 12, 0, 0});
    AddLog(f.module, u"x");
    EXPECT_EQ(log(), u"2024/03/15 12:00:00: x\r\ntyped by hand, no line end");
}

// Date and time come from one reading of the clock, so a clock that moves
// past midnight between two readings cannot pair yesterday's date with
// today's time.
TEST_F(ActivityLog, DateAndTimeFromOneReadingAcrossMidnight) {
    clock.readings = {{2024, 12, 31, 23, 59, 59}, {2025, 1, 1, 0, 0, 0}};
    AddLog(f.module, u"m");
    EXPECT_EQ(clock.nowCalls, 1);
    ASSERT_EQ(clock.formatted.size(), 2u);
    EXPECT_EQ(clock.formatted[0].year, clock.formatted[1].year);
    EXPECT_EQ(clock.formatted[0].second, clock.formatted[1].second);
    EXPECT_EQ(log(), u"2024/12/31 23:59:59: m\r\n");

    AddLog(f.module, u"n");
    EXPECT_EQ(clock.nowCalls, 2);
    EXPECT_EQ(log(), u"2025/01/01 0:00:00: n\r\n2024/12/31 23:59:59: m\r\n");
}

// The log is bounded: the newest kLogLines lines stay, the oldest drop off
// the bottom, and adding a line never reads the text back.
TEST_F(ActivityLog, KeepsTheNewestLinesAndNeverReadsTheTextBack) {
    at({2024, 3, 15, 9, 5, 7});
    for (int i = 0; i < kLogLines + 5; ++i) AddLog(f.module, u"m" + fromUtf8(std::to_string(i)));
    const std::u16string text = log();
    EXPECT_EQ(f.panel->logBox.reads, 0);
    EXPECT_EQ(lengthOfFirstLines(text, kLogLines), text.size());
    EXPECT_LT(lengthOfFirstLines(text, kLogLines - 1), text.size());
    EXPECT_TRUE(text.starts_with(u"2024/03/15 9:05:07: m1004\r\n"));
    EXPECT_TRUE(text.ends_with(u"2024/03/15 9:05:07: m5\r\n"));
}

TEST(LengthOfFirstLines, CountsWholeLinesOnly) {
    EXPECT_EQ(lengthOfFirstLines(u"", 3), 0u);
    EXPECT_EQ(lengthOfFirstLines(u"a\r\nb\r\nc", 0), 0u);
    EXPECT_EQ(lengthOfFirstLines(u"a\r\nb\r\nc", 1), 3u);
    EXPECT_EQ(lengthOfFirstLines(u"a\r\nb\r\nc", 2), 6u);
    EXPECT_EQ(lengthOfFirstLines(u"a\r\nb\r\nc", 3), 7u);  // the unterminated rest stays
    EXPECT_EQ(lengthOfFirstLines(u"a\nb\r\n", 1), 5u);     // a bare LF is no line end
}

TEST_F(ActivityLog, PanelIsCreatedOnFirstUseAndOnlyOnce) {
    EXPECT_FALSE(f.module.hasPanel());
    AddLog(f.module, u"a");
    EXPECT_TRUE(f.module.hasPanel());
    AddLog(f.module, u"b");
    EXPECT_EQ(f.made, 1);
}

// A panel that cannot be created fails the call and leaves no panel and no
// half-made state behind; the next call tries again.
TEST(ActivityLogFailure, PanelCreationErrorReachesTheCaller) {
    fakes::Services services;
    int attempts = 0;
    Module module(services.services, [&](Module&) -> std::unique_ptr<PanelAccess> {
        if (++attempts == 1) raise(ErrorNumber::OutOfMemory);
        return std::make_unique<fakes::Panel>();
    });
    try {
        AddLog(module, u"a");
        FAIL() << "no error";
    } catch (const RuntimeError& e) {
        EXPECT_EQ(e.number(), 7);
    }
    EXPECT_FALSE(module.hasPanel());
    AddLog(module, u"b");
    EXPECT_EQ(attempts, 2);
    EXPECT_EQ(module.panel().log().text(), u"2024/01/01 0:00:00: b\r\n");
}

}  // namespace
}  // namespace vamu
