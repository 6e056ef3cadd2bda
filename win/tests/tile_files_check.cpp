// The tile cache's files, the tile clock and the host-thread wake-up.

#include <windows.h>

#include <ctime>
#include <thread>

#include "win/platform/bstr.h"
#include "win/platform/cache_files.h"
#include "win/platform/handles.h"
#include "win/platform/host_waker.h"
#include "win/platform/tile_clock.h"
#include "win/tests/support/check.h"
#include "win/tests/support/temp_folder.h"

namespace vamu::wine_test {
namespace {

std::vector<std::uint8_t> bytesOf(const std::string& text) { return {text.begin(), text.end()}; }

void setModified(const std::u16string& path, std::int64_t unixSeconds) {
    const std::uint64_t ticks = static_cast<std::uint64_t>(unixSeconds + 11644473600) * 10000000;
    const FILETIME time{static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
    win::UniqueFile file(CreateFileW(win::wide(path), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ, nullptr,
                                     OPEN_EXISTING, 0, nullptr));
    SetFileTime(file.get(), nullptr, nullptr, &time);
}

const CacheFiles::Entry* find(const std::vector<CacheFiles::Entry>& entries, const std::string& relative) {
    for (const auto& entry : entries) {
        if (entry.relative == relative) return &entry;
    }
    return nullptr;
}

CHECK_CASE(tile_cache_files_replace_read_list_touch_and_remove) {
    TempFolder folder;
    win::WinCacheFiles files(folder.path(u"tiles") + u"\\");
    win::WinTileClock clock;
    const std::string tile = "gsi-std/12/3638/1612.png";
    CHECK(!files.read(tile, 1000));
    CHECK(files.list().empty());
    CHECK(files.replace(tile, bytesOf("first")));  // the folders are made on the way
    CHECK(files.replace("osm/3/5/2.meta", bytesOf("{}")));
    CHECK(files.read(tile, 1000) == bytesOf("first"));
    CHECK(files.replace(tile, bytesOf("second, longer")));
    CHECK(files.read(tile, 14) == bytesOf("second, longer"));
    CHECK(!files.read(tile, 13));  // longer than allowed
    CHECK(files.replace("empty", {}) && files.read("empty", 0) == std::vector<std::uint8_t>{});

    auto entries = files.list();
    CHECK(entries.size() == 3);
    const auto* listed = find(entries, tile);
    CHECK(listed && listed->bytes == 14 && find(entries, "osm/3/5/2.meta") && find(entries, "empty"));
    const std::int64_t now = clock.unixSeconds();
    CHECK(listed && listed->modified >= now - 60 && listed->modified <= now + 60);

    setModified(folder.path(u"tiles\\gsi-std\\12\\3638\\1612.png"), now - 2 * 86400);
    CHECK(find(files.list(), tile)->modified <= now - 2 * 86400 + 2);
    files.touch(tile);
    CHECK(find(files.list(), tile)->modified >= now - 60);
    files.touch("missing/1.png");  // nothing to touch, nothing made
    CHECK(!fileExists(folder.path(u"tiles\\missing")));

    CHECK(files.remove(tile) && !files.read(tile, 1000) && files.remove(tile));
    CHECK(files.list().size() == 2);
    // Paths that would leave the root or name something else are refused.
    for (const char* bad : {"../escape", "a//b", "a/./b", "a\\b", "C:x", "", "a/", "x\ty"}) {
        CHECK(!files.replace(bad, bytesOf("x")) && !files.read(bad, 10) && !files.remove(bad));
    }
    CHECK(!fileExists(folder.path(u"escape")) && files.list().size() == 2);
}

CHECK_CASE(tile_cache_files_failed_replace_keeps_the_old_file_and_no_temporary) {
    TempFolder folder;
    win::WinCacheFiles files(folder.path(u"tiles"));
    CHECK(files.replace("a/1.png", bytesOf("old")));
    {
        // Another program holds the file without letting it be deleted.
        win::UniqueFile held(CreateFileW(win::wide(folder.path(u"tiles\\a\\1.png")), GENERIC_READ,
                                         FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
        CHECK(static_cast<bool>(held));
        CHECK(!files.replace("a/1.png", bytesOf("new")));
    }
    CHECK(files.read("a/1.png", 100) == bytesOf("old"));
    CHECK(files.replace("a/1.png", bytesOf("newer")) && files.read("a/1.png", 100) == bytesOf("newer"));
    // A folder in the file's place.
    CreateDirectoryW(win::wide(folder.path(u"tiles\\a\\2.png")), nullptr);
    CHECK(!files.replace("a/2.png", bytesOf("new")));
    const auto entries = files.list();
    CHECK(entries.size() == 1 && entries[0].relative == "a/1.png");
    WIN32_FIND_DATAW found{};
    win::UniqueSearch search(FindFirstFileW(win::wide(folder.path(u"tiles\\a\\*.part~")), &found));
    CHECK(!search);

    // The temporaries of a write that never finished go after an hour; a
    // fresh one (a write in progress) stays; neither is listed.
    writeText(folder.path(u"tiles\\a\\3.png.7-8.part~"), "stale");
    writeText(folder.path(u"tiles\\a\\4.png.7-9.part~"), "fresh");
    setModified(folder.path(u"tiles\\a\\3.png.7-8.part~"), win::WinTileClock().unixSeconds() - 7200);
    CHECK(files.list().size() == 1);
    CHECK(!fileExists(folder.path(u"tiles\\a\\3.png.7-8.part~")) &&
          fileExists(folder.path(u"tiles\\a\\4.png.7-9.part~")));
}

LRESULT CALLBACK quietWindow(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcW(window, message, wParam, lParam);
}

CHECK_CASE(tile_clock_and_waker) {
    win::WinTileClock clock;
    const auto wall = static_cast<std::int64_t>(std::time(nullptr));
    CHECK(clock.unixSeconds() >= wall - 2 && clock.unixSeconds() <= wall + 2);
    const std::int64_t before = clock.monotonicMillis();
    Sleep(40);
    CHECK(clock.monotonicMillis() - before >= 20);

    WNDCLASSW kind{};
    kind.lpfnWndProc = quietWindow;
    kind.hInstance = GetModuleHandleW(nullptr);
    kind.lpszClassName = L"vamuWakeCheck";
    RegisterClassW(&kind);
    win::UniqueWindow window(
        CreateWindowW(L"vamuWakeCheck", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, kind.hInstance, nullptr));
    const UINT message = win::WinHostThreadWaker::wakeMessage();
    CHECK(message >= 0xC000 && message == win::WinHostThreadWaker::wakeMessage());
    win::WinHostThreadWaker waker(window.get(), message);
    std::thread([&] { waker.wake(); }).join();
    MSG posted{};
    CHECK(PeekMessageW(&posted, window.get(), message, message, PM_REMOVE) && posted.wParam == 0 &&
          posted.lParam == 0);
    CHECK(!PeekMessageW(&posted, window.get(), message, message, PM_REMOVE));
    window.reset();
    waker.wake();  // the window is gone: dropped
    CHECK(!PeekMessageW(&posted, nullptr, message, message, PM_REMOVE));
    UnregisterClassW(L"vamuWakeCheck", kind.hInstance);
}

}  // namespace
}  // namespace vamu::wine_test
