#include <gtest/gtest.h>

#include <sys/resource.h>

#include <csignal>
#include <filesystem>

#include "native/bmp_pictures.h"
#include "native_test_support.h"

namespace vamu::native {
namespace {

namespace fs = std::filesystem;
using testing::errorOf;
using testing::readBytes;
using testing::TempFolder;
using testing::writeBytes;

class NativePicturesTest : public ::testing::Test {
protected:
    NativePicturesTest() { drives.mount(u'C', folder.path()); }

    PictureRef picture(std::int32_t w, std::int32_t h, std::uint32_t fill = 0x336699) {
        return std::make_shared<BitmapPicture>(Image(w, h, fill));
    }

    TempFolder folder;
    DriveMap drives;
    NativePictures pictures{drives};
};

TEST_F(NativePicturesTest, SavedBitmapLoadsBackAsTheSamePicture) {
    fs::create_directory(folder / "MAPS");
    Image image(3, 2, 0x102030);
    image.at(2, 1) = 0xFFEEDD;
    pictures.saveAsBmp(std::make_shared<BitmapPicture>(image), u"C:\\MAPS\\\\!!vamuMapserver.bmp");
    const PictureRef loaded = pictures.load(u"C:\\MAPS\\!!vamuMapserver.bmp");
    ASSERT_FALSE(loaded->isEmpty());
    EXPECT_EQ(imageOf(loaded)->pixels, image.pixels);
    EXPECT_EQ(folder.names().size(), 1u);
}

TEST_F(NativePicturesTest, LoadErrors) {
    EXPECT_TRUE(pictures.load(u"")->isEmpty());
    EXPECT_EQ(errorOf([&] { pictures.load(u"C:\\missing.bmp"); }), 53);
    EXPECT_EQ(errorOf([&] { pictures.load(u"C:\\no folder\\x.bmp"); }), 76);
    EXPECT_EQ(errorOf([&] { pictures.load(u"Q:\\x.bmp"); }), 76);
    writeBytes(folder / "text.bmp", "not a bitmap at all, only some words of text");
    EXPECT_EQ(errorOf([&] { pictures.load(u"C:\\text.bmp"); }), 481);
}

TEST_F(NativePicturesTest, ReplacesTheOldFile) {
    writeBytes(folder / "map.bmp", "old");
    pictures.saveAsBmp(picture(2, 2), u"C:\\map.bmp");
    EXPECT_EQ(imageOf(pictures.load(u"C:\\map.bmp"))->pixels, Image(2, 2, 0x336699).pixels);
    EXPECT_EQ(folder.names(), std::vector<std::string>{"map.bmp"});
}

TEST_F(NativePicturesTest, MissingFolderIsPathNotFoundAndCreatesNothing) {
    EXPECT_EQ(errorOf([&] { pictures.saveAsBmp(picture(2, 2), u"C:\\MAPS\\map.bmp"); }), 76);
    EXPECT_TRUE(folder.names().empty());
}

TEST_F(NativePicturesTest, FolderInThePlaceOfTheFileStaysAndLeavesNoTemporary) {
    fs::create_directory(folder / "map.bmp");
    EXPECT_EQ(errorOf([&] { pictures.saveAsBmp(picture(2, 2), u"C:\\map.bmp"); }), 75);
    EXPECT_TRUE(fs::is_directory(folder / "map.bmp"));
    EXPECT_EQ(folder.names(), std::vector<std::string>{"map.bmp"});
}

TEST_F(NativePicturesTest, ReadOnlyFileStaysIntact) {
    writeBytes(folder / "map.bmp", "old bitmap");
    fs::permissions(folder / "map.bmp",
                    fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    EXPECT_EQ(errorOf([&] { pictures.saveAsBmp(picture(2, 2), u"C:\\map.bmp"); }), 75);
    EXPECT_EQ(readBytes(folder / "map.bmp"), "old bitmap");
    EXPECT_EQ(folder.names(), std::vector<std::string>{"map.bmp"});
}

// A write that fails half way (here: the file size limit of the process)
// must not reach the old file.
TEST_F(NativePicturesTest, FailedWriteLeavesTheOldFileAndNoTemporary) {
    writeBytes(folder / "map.bmp", "old bitmap");
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit previous{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &previous), 0);
    rlimit small = previous;
    small.rlim_cur = 1000;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const std::int32_t error = errorOf([&] { pictures.saveAsBmp(picture(100, 100), u"C:\\map.bmp"); });
    setrlimit(RLIMIT_FSIZE, &previous);
    std::signal(SIGXFSZ, previousHandler);
    EXPECT_EQ(error, 75);
    EXPECT_EQ(readBytes(folder / "map.bmp"), "old bitmap");
    EXPECT_EQ(folder.names(), std::vector<std::string>{"map.bmp"});
}

TEST_F(NativePicturesTest, NothingAndTheEmptyPictureAreNotSaved) {
    writeBytes(folder / "map.bmp", "old");
    EXPECT_EQ(errorOf([&] { pictures.saveAsBmp(nullptr, u"C:\\map.bmp"); }), 91);
    EXPECT_EQ(errorOf([&] { pictures.saveAsBmp(pictures.load(u""), u"C:\\map.bmp"); }), 481);
    EXPECT_EQ(readBytes(folder / "map.bmp"), "old");
}

TEST_F(NativePicturesTest, PngFileWhenSupported) {
    const fs::path file = folder / "map.png";
    if (!writePng(Image(3, 2, 0xFF0000), file)) {
        EXPECT_FALSE(fs::exists(file));
        GTEST_SKIP() << "built without PNG support";
    }
    EXPECT_EQ(readBytes(file).substr(0, 8), std::string("\x89PNG\r\n\x1a\n", 8));
    EXPECT_EQ(errorOf([&] { writePng(Image(), file); }), 481);
}

}  // namespace
}  // namespace vamu::native
