#pragma once
// Everything outside the core on this machine, bundled: the substitute host,
// in-memory widgets and clipboard, bitmap files, recorded message boxes, an
// INI writer and a clock.

#include <filesystem>
#include <memory>

#include "contracts/services.h"
#include "native/bmp_pictures.h"
#include "native/clocks.h"
#include "native/drive_map.h"
#include "native/ini_profile.h"
#include "native/memory_clipboard.h"
#include "native/memory_panel.h"
#include "native/recording_messages.h"
#include "native/substitute_binding.h"
#include "native/version_info.h"

namespace vamu::native {

struct NativeOptions {
    // The folder that drive C: stands for; empty leaves C: unmounted.
    std::filesystem::path driveC;
    // A FixedClock that tests can set, or the machine's clock.
    bool fixedClock = true;
};

class NativePlatform {
public:
    explicit NativePlatform(NativeOptions options = {});
    NativePlatform(const NativePlatform&) = delete;
    NativePlatform& operator=(const NativePlatform&) = delete;

    Services& services() noexcept { return services_; }

    DriveMap& drives() noexcept { return drives_; }
    MemoryClipboard& clipboard() noexcept { return clipboard_; }
    NativePictures& pictures() noexcept { return pictures_; }
    RecordingMessageBoxes& messages() noexcept { return messages_; }
    Clock& clock() noexcept { return *clock_; }
    // Null with the machine's clock.
    FixedClock* fixedClock() noexcept { return fixedClock_; }
    IniProfileWriter& profile() noexcept { return profile_; }
    MemoryPanelFactory& panels() noexcept { return panels_; }
    FixedVersionInfo& version() noexcept { return version_; }
    SubstituteHostBinding& host() noexcept { return host_; }

private:
    DriveMap drives_;
    MemoryClipboard clipboard_;
    NativePictures pictures_{drives_};
    RecordingMessageBoxes messages_;
    std::unique_ptr<Clock> clock_;
    FixedClock* fixedClock_ = nullptr;
    IniProfileWriter profile_{drives_};
    MemoryPanelFactory panels_{clipboard_};
    FixedVersionInfo version_;
    SubstituteHostBinding host_;
    Services services_;
};

}  // namespace vamu::native
