#include <gtest/gtest.h>

#include <filesystem>

#include "native/ini_profile.h"
#include "native_test_support.h"

namespace vamu::native {
namespace {

namespace fs = std::filesystem;
using testing::readBytes;
using testing::TempFolder;
using testing::writeBytes;

class NativeIniTest : public ::testing::Test {
protected:
    NativeIniTest() { drives.mount(u'C', folder.path()); }

    bool write(const std::u16string& section, const std::u16string& key, const std::u16string& value,
               const std::u16string& file = u"C:\\uiview32.ini") {
        return profile.writeString(section, key, value, file);
    }
    std::string contents() const { return readBytes(folder / "uiview32.ini"); }

    TempFolder folder;
    DriveMap drives;
    IniProfileWriter profile{drives};
};

TEST_F(NativeIniTest, CreatesTheFileThroughADoubledBackslash) {
    EXPECT_TRUE(write(u"MAPS", u"LAST_MAP", u"C:\\UIV\\MAPS\\!!vamuMapserver.inf", u"C:\\\\uiview32.ini"));
    EXPECT_EQ(contents(), "[MAPS]\r\nLAST_MAP=C:\\UIV\\MAPS\\!!vamuMapserver.inf\r\n");
}

TEST_F(NativeIniTest, ReplacesTheValueInPlaceWhateverTheCase) {
    writeBytes(
        folder / "uiview32.ini",
        "; settings\nA=1\n[Other]\r\nlast_map=keep\r\n[ maps ]\r\nFirst=1\r\n Last_Map = old value\r\nZ=2");
    EXPECT_TRUE(write(u"MAPS", u"LAST_MAP", u"new"));
    EXPECT_EQ(contents(),
              "; settings\nA=1\n[Other]\r\nlast_map=keep\r\n[ maps ]\r\nFirst=1\r\nLast_Map=new\r\nZ=2");
}

TEST_F(NativeIniTest, AddsAMissingKeyAfterTheLastLineOfItsSection) {
    writeBytes(folder / "uiview32.ini", "[MAPS]\r\nX=1\r\n\r\n[NEXT]\r\nY=2\r\n");
    EXPECT_TRUE(write(u"maps", u"LAST_MAP", u"v"));
    EXPECT_EQ(contents(), "[MAPS]\r\nX=1\r\nLAST_MAP=v\r\n\r\n[NEXT]\r\nY=2\r\n");
}

TEST_F(NativeIniTest, AddsAMissingSectionAtTheEnd) {
    writeBytes(folder / "uiview32.ini", "[A]\nx=1");
    EXPECT_TRUE(write(u"MAPS", u"LAST_MAP", u"v"));
    EXPECT_EQ(contents(), "[A]\nx=1\r\n\r\n[MAPS]\r\nLAST_MAP=v\r\n");
    writeBytes(folder / "uiview32.ini", "[MAPS]\r\n");
    EXPECT_TRUE(write(u"MAPS", u"LAST_MAP", u"v"));
    EXPECT_EQ(contents(), "[MAPS]\r\nLAST_MAP=v\r\n");
}

TEST_F(NativeIniTest, StringsGoThroughCodePage932) {
    EXPECT_TRUE(write(u"MAPS", u"地図", u"€x😀"));
    EXPECT_EQ(contents(), "[MAPS]\r\n\x92\x6E\x90\x7D=?x??\r\n");
}

// Two-byte characters whose second byte is an ASCII letter or a bracket
// must neither fold nor end a name: ア (83 41) is not ヂ (83 61), and
// ゾ (83 5D) holds a ']'.
TEST_F(NativeIniTest, TwoByteCharactersCompareExactly) {
    writeBytes(folder / "uiview32.ini", "[\x83\x5D]\r\n\x83\x61=1\r\n");
    EXPECT_TRUE(write(u"ゾ", u"ア", u"2"));
    EXPECT_EQ(contents(), "[\x83\x5D]\r\n\x83\x61=1\r\n\x83\x41=2\r\n");
}

TEST_F(NativeIniTest, StringsEndAtTheirFirstNul) {
    EXPECT_TRUE(write(u"MAPS", u"KEY", std::u16string(u"ab\0cd", 5)));
    EXPECT_EQ(contents(), "[MAPS]\r\nKEY=ab\r\n");
}

TEST_F(NativeIniTest, UnwritableFilesGiveFalse) {
    EXPECT_FALSE(write(u"MAPS", u"K", u"v", u"C:\\UIV\\uiview32.ini"));  // no such folder
    EXPECT_FALSE(write(u"MAPS", u"K", u"v", u"Q:\\uiview32.ini"));       // no such drive
    EXPECT_FALSE(write(u"MAPS", u"K", u"v", u"C:\\€.ini"));              // '?' in the name
    EXPECT_TRUE(folder.names().empty());

    writeBytes(folder / "uiview32.ini", "[MAPS]\r\nK=old\r\n");
    fs::permissions(folder / "uiview32.ini", fs::perms::owner_read);
    EXPECT_FALSE(write(u"MAPS", u"K", u"new"));
    EXPECT_EQ(contents(), "[MAPS]\r\nK=old\r\n");
    EXPECT_EQ(folder.names(), std::vector<std::string>{"uiview32.ini"});
}

}  // namespace
}  // namespace vamu::native
