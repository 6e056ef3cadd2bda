#include "win/win_tiles.h"

#include <knownfolders.h>
#include <shlobj.h>

#include <algorithm>
#include <charconv>
#include <mutex>

#include "contracts/runtime_error.h"
#include "contracts/text.h"
#include "mapcontrol/tiles/tile_fetcher.h"
#include "mapcontrol/tiles/tile_settings.h"
#include "win/platform/bstr.h"
#include "win/platform/cache_files.h"
#include "win/platform/file_io.h"
#include "win/platform/host_waker.h"
#include "win/platform/tile_clock.h"
#include "win/platform/wic_decoder.h"
#include "win/platform/winhttp_transport.h"

namespace vamu::win {
namespace {

constexpr std::int32_t kMaxWaitSeconds = 600;
constexpr UINT_PTR kPumpTimer = 0x7469;
constexpr std::int64_t kAgainAfterMillis = 50;
constexpr DWORD kMaxVariableChars = 32767;

std::optional<std::u16string> environmentValue(const wchar_t* name) {
    std::wstring value(256, L'\0');
    DWORD length = GetEnvironmentVariableW(name, value.data(), static_cast<DWORD>(value.size()));
    if (length >= value.size() && length <= kMaxVariableChars) {
        value.resize(length);
        length = GetEnvironmentVariableW(name, value.data(), length);
    }
    if (length == 0 || length >= value.size()) return std::nullopt;
    return std::u16string(value.begin(), value.begin() + length);
}

std::u16string knownFolder(const KNOWNFOLDERID& id) {
    PWSTR path = nullptr;
    std::u16string folder = u".";
    if (SUCCEEDED(SHGetKnownFolderPath(id, KF_FLAG_DEFAULT, nullptr, &path)) && path) {
        folder = std::u16string(reinterpret_cast<const char16_t*>(path));
    }
    CoTaskMemFree(path);
    return folder;
}

// The choice goes into the file the settings came from, every other line
// kept as it was.
void saveSourceChoice(const std::u16string& file, const std::string& source) {
    const std::string text = readTileSettingsText(file).value_or(std::string{});
    const std::string updated = tiles::withSourceChoice(text, source);
    makeFoldersTo(file);
    replaceFile(file, std::span(reinterpret_cast<const std::uint8_t*>(updated.data()), updated.size()));
}

// WinHTTP made on the first request: a session that only ever shows the
// built-in map loads nothing of it.
class LazyWinHttp : public HttpTransport {
public:
    void get(HttpRequest request, Completion done) override {
        HttpTransport* transport = nullptr;
        {
            const std::lock_guard lock(mutex_);
            if (!transport_) transport_ = std::make_unique<WinHttpTransport>();
            transport = transport_.get();
        }
        transport->get(std::move(request), std::move(done));
    }

private:
    std::mutex mutex_;
    std::unique_ptr<WinHttpTransport> transport_;
};

std::u16string settingsLine(const std::u16string& file, const std::vector<std::string>& problems) {
    return u"設定: " + file + u": " + fromUtf8(problems.front()) + (problems.size() > 1 ? u" ほか" : u"");
}

}  // namespace

std::u16string tileSettingsFile() {
    if (auto given = environmentValue(L"VAMU_CONFIG")) return *given;
    return knownFolder(FOLDERID_RoamingAppData) + u"\\vamuMapserver\\" + fromUtf8(tiles::kSettingsFileName);
}

std::u16string defaultTileCacheFolder() {
    return knownFolder(FOLDERID_LocalAppData) + u"\\vamuMapserver\\tiles";
}

tiles::TileSessionOptions tileSessionFromEnvironment() {
    tiles::TileSessionOptions session;
    if (auto source = environmentValue(L"VAMU_TILE_SOURCE")) session.source = toUtf8(*source);
    if (auto url = environmentValue(L"VAMU_TILE_URL")) session.tileUrl = toUtf8(*url);
    if (auto wait = environmentValue(L"VAMU_TILE_WAIT")) {
        const std::string text = toUtf8(*wait);
        std::int32_t seconds = 0;
        const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), seconds);
        if (ec == std::errc{} && end == text.data() + text.size() && seconds >= 0 &&
            seconds <= kMaxWaitSeconds)
            session.waitMillis = seconds * 1000;
    }
    session.offline = environmentValue(L"VAMU_OFFLINE") == u"1";
    return session;
}

std::optional<std::string> readTileSettingsText(const std::u16string& file) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(wide(file), GetFileExInfoStandard, &data)) {
        const DWORD error = GetLastError();
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return std::string{};
        return std::nullopt;
    }
    if (data.nFileSizeHigh != 0 || data.nFileSizeLow > tiles::kMaxSettingsBytes ||
        (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
        return std::nullopt;
    }
    try {
        const std::vector<std::uint8_t> bytes = readWholeFile(file);
        if (bytes.size() > tiles::kMaxSettingsBytes) return std::nullopt;
        return std::string(bytes.begin(), bytes.end());
    } catch (const RuntimeError&) {
        return std::nullopt;
    }
}

void PanelWaker::wake() { WinHostThreadWaker(window_.load(), WinHostThreadWaker::wakeMessage()).wake(); }

struct WinTiles::Parts {
    WinTileClock clock;
    WicImageDecoder decoder;
    std::unique_ptr<WinCacheFiles> files;
    std::unique_ptr<LazyWinHttp> http;
};

WinTiles::WinTiles() : parts_(std::make_unique<Parts>()) {
    const std::u16string settingsFile = tileSettingsFile();
    const tiles::TileSessionOptions session = tileSessionFromEnvironment();
    std::vector<std::string> problems;
    tiles::TileSettings settings;
    if (const auto text = readTileSettingsText(settingsFile)) {
        settings = tiles::parseTileSettings(*text, problems);
    } else {
        problems.push_back("cannot be read");
    }
    std::u16string cacheFolder = environmentValue(L"VAMU_TILE_CACHE").value_or(std::u16string{});
    if (cacheFolder.empty())
        cacheFolder =
            settings.cacheFolder.empty() ? defaultTileCacheFolder() : fromUtf8(settings.cacheFolder);
    parts_->files = std::make_unique<WinCacheFiles>(cacheFolder);
    if (!session.offline) parts_->http = std::make_unique<LazyWinHttp>();
    service_ = std::make_unique<tiles::TileService>(
        tiles::TilePlatform{parts_->http.get(), parts_->decoder, parts_->files.get(), parts_->clock, waker_},
        std::move(settings), session, tiles::tileUserAgent(VAMU_VERSION),
        [settingsFile](const std::string& source) { saveSourceChoice(settingsFile, source); });
    if (!problems.empty()) service_->note(settingsLine(settingsFile, problems));
}

WinTiles::~WinTiles() {
    // The service (and its fetcher) goes before the transport it uses.
    service_.reset();
    parts_.reset();
}

std::int64_t WinTiles::runPump(HWND panel) {
    // A timer is periodic: it goes before the work, which may run a modal
    // loop (a message box) that would deliver it again. Work that comes due
    // inside such a loop waits for the outer run's end.
    KillTimer(panel, kPumpTimer);
    std::int64_t again = kAgainAfterMillis;
    if (!pumping_) {
        pumping_ = true;
        try {
            again = pump_ ? pump_() : 0;
        } catch (...) {
            again = 0;  // the window procedure is no place for a failure to go on
        }
        pumping_ = false;
    }
    if (again > 0) {
        SetTimer(panel, kPumpTimer, static_cast<UINT>(std::min<std::int64_t>(again, USER_TIMER_MAXIMUM)),
                 nullptr);
    }
    return again;
}

std::optional<LRESULT> WinTiles::onPanelMessage(HWND panel, UINT message, WPARAM wParam) {
    if (message == WinHostThreadWaker::wakeMessage() || (message == WM_TIMER && wParam == kPumpTimer)) {
        runPump(panel);
        return 0;
    }
    if (message == WinHostThreadWaker::settledQueryMessage()) {
        if (!service_->waitUntilSettled(0)) return WinHostThreadWaker::kAwaited;
        return runPump(panel) == 0 ? WinHostThreadWaker::kSettled : WinHostThreadWaker::kRepublishDue;
    }
    return std::nullopt;
}

}  // namespace vamu::win
