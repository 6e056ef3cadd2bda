#pragma once
// The DLL's one entry point besides the COM ones: fetching the current tile
// source's tiles of an area ahead of use, for a program that has loaded the
// DLL into its own process and made clsMapServ on the calling thread (the
// map server's panel must be there). The host's interface has no request for
// it; vamu-host.exe finds it with GetProcAddress(dll, kPrefetchTilesEntry).
//
// HRESULT VamuPrefetchTiles(area, progress, context, report): S_OK with the
// report filled in, or the failure's HRESULT (0x800A0000 + the run-time
// error's number) with its text in the thread's error object (GetErrorInfo).
// progress(context, done, total) runs on the calling thread, about every
// twentieth of the way and at the end; it may be null.

#include <windows.h>

extern "C" {

struct VamuPrefetchArea {
    double x1, y1, x2, y2;  // WGS84 degrees, X longitude
    SHORT firstLayer, lastLayer;
};

struct VamuPrefetchReport {
    LONG firstZoom, lastZoom;
    ULONGLONG total, done;
};

typedef void(CALLBACK* VamuPrefetchProgress)(void* context, ULONGLONG done, ULONGLONG total);
typedef HRESULT(STDAPICALLTYPE* VamuPrefetchTilesEntry)(const VamuPrefetchArea* area,
                                                        VamuPrefetchProgress progress, void* context,
                                                        VamuPrefetchReport* report);

}  // extern "C"

namespace vamu::com {

inline constexpr char kPrefetchTilesEntry[] = "VamuPrefetchTiles";

// The body of the export.
HRESULT prefetchTiles(const VamuPrefetchArea* area, VamuPrefetchProgress progress, void* context,
                      VamuPrefetchReport* report) noexcept;

}  // namespace vamu::com
