#include "com/apartment.h"

#include "panel/form1.h"
#include "com/host_calls.h"
#include "com/server_lifetime.h"
#include "engine/tile_pump.h"
#include "win/win_platform.h"
#include "win/win_tiles.h"

namespace vamu::com {
namespace {

// How soon the tiles' work is tried again when it was due inside a call
// from the host.
constexpr std::int64_t kAfterTheCallMillis = 50;

struct ApartmentState {
    explicit ApartmentState(HMODULE dll) : platform(dll), module(platform.services(), makeForm1) {
        try {
            platform.startTiles(module).setPump([this]() -> std::int64_t {
                return hostCallDepth() > 0 ? kAfterTheCallMillis : ServiceTiles(module);
            });
        } catch (...) {
            // Tiles that cannot be set up leave the built-in map alone in use.
            module.tiles = nullptr;
        }
    }
    win::WinPlatform platform;
    Module module;
};

// Keeps the DLL loaded for the rest of the process: FreeLibrary after
// DllCanUnloadNow cannot unload code that live windows still call.
void pinDll() {
    HMODULE self = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_PIN,
                       reinterpret_cast<LPCWSTR>(&pinDll), &self);
}

// Deliberately leaked: tearing a module down at process exit would run
// window and COM code after the system has started unloading.
thread_local ApartmentState* t_state = nullptr;

}  // namespace

Module& apartmentModule() {
    if (!t_state) {
        pinDll();
        t_state = new ApartmentState(dllModule());
    }
    return t_state->module;
}

Module* apartmentModuleIfMade() noexcept { return t_state ? &t_state->module : nullptr; }

}  // namespace vamu::com
