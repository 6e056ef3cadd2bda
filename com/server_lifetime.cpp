#include "com/server_lifetime.h"

#include <atomic>

namespace vamu::com {
namespace {

std::atomic<HMODULE> g_module{nullptr};
std::atomic<long> g_objects{0};
std::atomic<long> g_locks{0};

}  // namespace

HMODULE dllModule() noexcept { return g_module.load(); }
void setDllModule(HMODULE module) noexcept { g_module.store(module); }

void objectCreated() noexcept { ++g_objects; }
void objectDestroyed() noexcept { --g_objects; }

// An unlock without a lock is ignored: the count never goes below zero, so
// a client's stray LockServer(FALSE) cannot cancel another client's lock.
void lockServer(bool lock) noexcept {
    if (lock) {
        ++g_locks;
        return;
    }
    long locks = g_locks.load();
    while (locks > 0 && !g_locks.compare_exchange_weak(locks, locks - 1)) {
    }
}

bool canUnload() noexcept { return g_objects.load() == 0 && g_locks.load() == 0; }

}  // namespace vamu::com
