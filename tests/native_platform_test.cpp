#include <gtest/gtest.h>

#include <filesystem>

#include "native/native_platform.h"
#include "native_test_support.h"

namespace vamu::native {
namespace {

TEST(NativeClock, JapaneseShortDateAndTime) {
    FixedClock clock({2024, 1, 5, 9, 5, 7});
    EXPECT_EQ(clock.shortDate(clock.now()), u"2024/01/05");
    EXPECT_EQ(clock.timeOfDay(clock.now()), u"9:05:07");
    clock.set({2024, 12, 31, 23, 59, 59});
    EXPECT_EQ(clock.timeOfDay(clock.now()), u"23:59:59");
}

TEST(NativeClock, AdvanceCrossesDaysMonthsAndLeapYears) {
    FixedClock clock({2023, 12, 31, 23, 59, 59});
    clock.advance(1);
    EXPECT_EQ(clock.shortDate(clock.now()), u"2024/01/01");
    EXPECT_EQ(clock.timeOfDay(clock.now()), u"0:00:00");
    clock.set({2024, 2, 28, 12, 0, 0});
    clock.advance(24 * 3600);
    EXPECT_EQ(clock.shortDate(clock.now()), u"2024/02/29");
    clock.advance(-2 * 24 * 3600 - 1);
    EXPECT_EQ(clock.shortDate(clock.now()), u"2024/02/27");
    EXPECT_EQ(clock.timeOfDay(clock.now()), u"11:59:59");
}

TEST(NativeClock, QueuedReadingsComeFirstOnePerCall) {
    FixedClock clock({2024, 1, 1, 0, 0, 0});
    clock.queue({2024, 1, 1, 23, 59, 59});
    clock.queue({2024, 1, 2, 0, 0, 0});
    EXPECT_EQ(clock.now().hour, 23);
    EXPECT_EQ(clock.now().day, 2);
    EXPECT_EQ(clock.now().day, 1);  // back to the set reading
}

TEST(NativePlatform, ServicesAreTheBundledSubstitutes) {
    testing::TempFolder folder;
    NativePlatform platform({folder.path(), true});
    Services& services = platform.services();
    EXPECT_EQ(&services.clock, platform.fixedClock());
    EXPECT_EQ(&services.clipboard, &platform.clipboard());
    EXPECT_EQ(services.version.productName(), u"vamuMapserver");
    EXPECT_TRUE(services.profile.writeString(u"MAPS", u"LAST_MAP", u"x", u"C:\\uiview32.ini"));
    EXPECT_TRUE(std::filesystem::exists(folder / "uiview32.ini"));
    // The panel's map controls copy to the platform's clipboard.
    auto widgets = services.panels.create();
    widgets->atlas().copyToClipboard();
    EXPECT_TRUE(platform.clipboard().hasBitmap());

    NativePlatform system({{}, false});
    EXPECT_EQ(system.fixedClock(), nullptr);
    EXPECT_GE(system.clock().now().year, 2024);
}

}  // namespace
}  // namespace vamu::native
