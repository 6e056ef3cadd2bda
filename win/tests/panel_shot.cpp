// Shows the control panel as the plug-in sets it up and saves a screenshot
// of it as a BMP file, and a PNG copy beside it where the name given ends in
// .png: vamu_panel_shot [output.bmp|output.png]. Run it under a display
// (xvfb-run with a 24-bit screen under Wine).

#include <windows.h>
#include <objbase.h>

#include <cstdio>
#include <string>

#include "contracts/text.h"
#include "mapcontrol/tiles/tile_sources.h"
#include "panel/source_labels.h"
#include "win/platform/bitmaps.h"
#include "win/platform/file_io.h"
#include "win/platform/wic_png_writer.h"
#include "win/panel/panel_window.h"
#include "win/win_platform.h"

namespace {

using namespace vamu;

void pumpFor(DWORD milliseconds) {
    const DWORD end = GetTickCount() + milliseconds;
    while (static_cast<LONG>(end - GetTickCount()) > 0) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        Sleep(20);
    }
}

// The layer buttons as the panel shows them after a render cycle.
void showLayers(win::PanelWindow& panel) {
    auto layers = panel.atlas().layers();
    const std::int32_t count = layers->count();
    OptionButtons& options = panel.options();
    for (std::int16_t i = 0; i < options.size(); ++i) {
        OptionButton& button = options.button(i);
        std::int32_t index = i;
        if (i < count) {
            auto layer = layers->item(index);
            button.setCaption(layer->title());
            button.setEnabled(layer->enabled());
        }
        button.setVisible(i < count);
    }
    options.button(7).setValue(true);
}

std::vector<std::uint8_t> screenshot(HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    const int width = r.right - r.left, height = r.bottom - r.top;
    win::ScreenDc screen;
    win::UniqueMemoryDc memory(CreateCompatibleDC(screen.get()));
    win::UniqueBitmap bitmap(CreateCompatibleBitmap(screen.get(), width, height));
    {
        win::Selection selected(memory.get(), bitmap.get());
        BitBlt(memory.get(), 0, 0, width, height, screen.get(), r.left, r.top, SRCCOPY);
    }
    return win::bmpFileFromBitmap(bitmap.get());
}

}  // namespace

int main(int argc, char** argv) {
    const std::u16string output = fromUtf8(argc > 1 ? argv[1] : "panel.bmp");
    if (FAILED(OleInitialize(nullptr))) return 2;
    try {
        win::WinPlatform platform(GetModuleHandleW(nullptr));
        auto widgets = platform.services().panels.create();
        auto& panel = dynamic_cast<win::PanelWindow&>(*widgets);
        panel.window().setCaption(u"Mapserver by Vamu");
        panel.window().setBorderStyle(1);
        panel.miniAtlas().setOverviewMode(true);
        panel.miniAtlas().setDisplayOption(1, u".", 1);
        panel.atlas().setDisplayOption(1, u".", 0);
        showLayers(panel);
        std::vector<std::u16string> sources;
        for (const tiles::TileSource& source : tiles::builtInSources())
            sources.push_back(sourceLabel(source));
        panel.sources().setItems(sources);
        panel.sources().setSelected(0);
        panel.log().setText(u"2024/02/29 12:00:01: マップを更新->全国(5000000) に変更\r\n");
        panel.window().show();
        SetWindowPos(panel.window().handle(), HWND_TOP, 20, 20, 0, 0, SWP_NOSIZE);
        pumpFor(1500);
        const std::vector<std::uint8_t> file = screenshot(panel.window().handle());
        if (output.ends_with(u".png")) {
            const std::u16string bitmap = output.substr(0, output.size() - 4) + u".bmp";
            win::replaceFile(bitmap, file);
            win::writePngCopy(bitmap, output);
        } else {
            win::replaceFile(output, file);
        }
        std::printf("saved %s\n", toUtf8(output).c_str());
    } catch (const std::exception& e) {
        std::printf("failed: %s\n", e.what());
        OleUninitialize();
        return 1;
    }
    OleUninitialize();
    return 0;
}
