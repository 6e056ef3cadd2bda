#include "engine/paths.h"

#include <gtest/gtest.h>

namespace vamu {
namespace {

TEST(JoinPath, OneBackslashWithOrWithoutATrailingOne) {
    EXPECT_EQ(joinPath(u"C:\\UIV\\", u"MAPS\\!!vamuMapserver.inf"), u"C:\\UIV\\MAPS\\!!vamuMapserver.inf");
    EXPECT_EQ(joinPath(u"C:\\UIV", u"MAPS\\!!vamuMapserver.inf"), u"C:\\UIV\\MAPS\\!!vamuMapserver.inf");
    EXPECT_EQ(joinPath(u"C:\\UIV\\\\", u"uiview32.ini"), u"C:\\UIV\\uiview32.ini");
    EXPECT_EQ(joinPath(u"C:\\UIV", u"\\uiview32.ini"), u"C:\\UIV\\uiview32.ini");
    EXPECT_EQ(joinPath(u"C:/UIV/", u"uiview32.ini"), u"C:/UIV\\uiview32.ini");
}

TEST(JoinPath, DriveRootAndShares) {
    EXPECT_EQ(joinPath(u"C:\\", u"uiview32.ini"), u"C:\\uiview32.ini");
    EXPECT_EQ(joinPath(u"\\\\server\\share\\", u"MAPS"), u"\\\\server\\share\\MAPS");
}

TEST(JoinPath, KeepsJapaneseAndSpacesAsTheyAre) {
    EXPECT_EQ(joinPath(u"D:\\Program Files\\無線 UI-View", u"MAPS\\地図.bmp"),
              u"D:\\Program Files\\無線 UI-View\\MAPS\\地図.bmp");
}

}  // namespace
}  // namespace vamu
