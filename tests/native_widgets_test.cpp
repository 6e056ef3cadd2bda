#include <gtest/gtest.h>

#include <vector>

#include "native/memory_panel.h"
#include "native/bitmap_picture.h"
#include "native/memory_clipboard.h"
#include "native/memory_widgets.h"
#include "native_test_support.h"

namespace vamu::native {
namespace {

using testing::errorOf;

TEST(NativeWidgets, ClickSelectsOneButtonAndReportsItsIndex) {
    MemoryOptionButtons options;
    std::vector<std::int16_t> clicks;
    options.onClick([&](std::int16_t index) {
        EXPECT_TRUE(options.button(index).value());  // selected before the handler runs
        clicks.push_back(index);
    });
    options.button(2).setValue(true);
    EXPECT_TRUE(clicks.empty());  // selecting by program raises no click
    EXPECT_TRUE(options.click(12));
    EXPECT_TRUE(options.click(12));
    EXPECT_EQ(clicks, (std::vector<std::int16_t>{12, 12}));
    EXPECT_EQ(options.selected(), 12);
    EXPECT_FALSE(options.button(2).value());
}

TEST(NativeWidgets, HiddenOrDisabledButtonTakesNoClick) {
    MemoryOptionButtons options;
    int clicks = 0;
    options.onClick([&](std::int16_t) { ++clicks; });
    options.button(0).setValue(true);
    options.button(4).setEnabled(false);
    options.button(5).setVisible(false);
    EXPECT_FALSE(options.click(4));
    EXPECT_FALSE(options.click(5));
    EXPECT_EQ(clicks, 0);
    EXPECT_EQ(options.selected(), 0);
}

TEST(NativeWidgets, ButtonOutsideTheArrayIsASubscriptError) {
    MemoryOptionButtons options;
    EXPECT_EQ(options.size(), 13);
    EXPECT_EQ(options.button(0).caption(), u"Option1");
    EXPECT_EQ(errorOf([&] { options.button(13); }), 9);
    EXPECT_EQ(errorOf([&] { options.button(-1); }), 9);
    EXPECT_EQ(errorOf([&] { options.click(13); }), 9);
}

TEST(NativeWidgets, CloseRequestRefusedByTheHandlerKeepsTheWindow) {
    MemoryWindow window;
    window.show();
    window.onCloseRequest([&](bool& cancel) {
        cancel = true;
        window.setVisible(false);
    });
    EXPECT_FALSE(window.requestClose());
    EXPECT_FALSE(window.visible());
    EXPECT_FALSE(window.unloaded());
    window.show();
    EXPECT_TRUE(window.visible());
    EXPECT_EQ(window.showCount(), 2);

    window.onCloseRequest([](bool&) {});
    EXPECT_TRUE(window.requestClose());
    EXPECT_TRUE(window.unloaded());
    EXPECT_FALSE(window.visible());
}

TEST(NativeWidgets, FailingCloseHandlerFailsTheRequest) {
    MemoryWindow window;
    window.show();
    window.onCloseRequest([](bool&) { raise(ErrorNumber::ObjectNotSet); });
    EXPECT_EQ(errorOf([&] { window.requestClose(); }), 91);
    EXPECT_TRUE(window.visible());
}

TEST(NativeWidgets, PanelFactoryBuildsThePanelLayout) {
    MemoryClipboard clipboard;
    MemoryPanelFactory factory(clipboard);
    EXPECT_EQ(factory.lastCreated(), nullptr);
    {
        auto widgets = factory.create();
        MemoryPanelWidgets* panel = factory.lastCreated();
        ASSERT_EQ(panel, widgets.get());
        EXPECT_EQ(panel->miniAtlas().widthPixels(), 281);
        EXPECT_EQ(panel->miniAtlas().heightPixels(), 249);
        EXPECT_EQ(panel->atlas().widthPixels(), 409);
        EXPECT_EQ(panel->atlas().heightPixels(), 249);
        EXPECT_EQ(panel->atlas().areaCode(), u"RDW2010");
        EXPECT_EQ(panel->miniAtlas().layerScale(), 5000000);
        EXPECT_EQ(panel->frame().caption(), u"縮小率");
        EXPECT_EQ(panel->window().caption(), u"Form1");
        EXPECT_FALSE(panel->window().visible());
        EXPECT_EQ(panel->options().size(), 13);
    }
    EXPECT_EQ(factory.lastCreated(), nullptr);  // gone with its panel
    EXPECT_EQ(factory.createdCount(), 1);
    factory.failCreation(RuntimeError(ErrorNumber::OutOfMemory));
    EXPECT_EQ(errorOf([&] { factory.create(); }), 7);
    EXPECT_EQ(factory.createdCount(), 1);
}

TEST(NativeWidgets, ClipboardHandsOutItsBitmapAsAPicture) {
    MemoryClipboard clipboard;
    EXPECT_FALSE(clipboard.hasBitmap());
    EXPECT_TRUE(clipboard.picture()->isEmpty());
    clipboard.setImage(Image(2, 1, 0xABCDEF));
    const PictureRef picture = clipboard.picture();
    clipboard.setImage(Image(1, 1, 0));  // a later copy does not change the picture taken
    EXPECT_TRUE(clipboard.hasBitmap());
    EXPECT_EQ(imageOf(picture)->pixels, Image(2, 1, 0xABCDEF).pixels);
    clipboard.clear();
    EXPECT_FALSE(clipboard.hasBitmap());
}

}  // namespace
}  // namespace vamu::native
