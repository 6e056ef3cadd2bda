#include "win/host/prefetch_call.h"

#include <windows.h>

#include "com/prefetch_entry.h"
#include "win/platform/bstr.h"
#include "win/platform/com_ptr.h"

namespace vamu::host {
namespace {

// The module holding the object's code: where its first method lives.
HMODULE moduleOf(IDispatch* object) {
    void* const* methods = *reinterpret_cast<void* const* const*>(object);
    HMODULE module = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       static_cast<LPCWSTR>(methods[0]), &module);
    return module;
}

// Progress crosses the DLL's boundary: nothing may be thrown back into it.
void CALLBACK onProgress(void* context, ULONGLONG done, ULONGLONG total) {
    try {
        (*static_cast<const PrefetchProgress*>(context))(done, total);
    } catch (...) {
    }
}

// The failure with the text the entry point left in the thread's error
// object.
RuntimeError failureOf(HRESULT hr) {
    win::ComPtr<IErrorInfo> info;
    win::Bstr description, source;
    if (GetErrorInfo(0, info.put()) == S_OK && info) {
        info->GetDescription(description.put());
        info->GetSource(source.put());
    }
    return RuntimeError::foreign(static_cast<std::uint32_t>(hr), description.str(), source.str());
}

}  // namespace

Status callPrefetch(IDispatch* server, const PrefetchLayers& area, const PrefetchProgress& progress,
                    PrefetchReport& report) {
    const HMODULE dll = server ? moduleOf(server) : nullptr;
    const auto entry = dll ? reinterpret_cast<VamuPrefetchTilesEntry>(
                                 reinterpret_cast<void*>(GetProcAddress(dll, com::kPrefetchTilesEntry)))
                           : nullptr;
    if (!entry) {
        return {RuntimeError(ErrorNumber::InvalidProcedureCall,
                             u"The map server in this process offers no prefetch")};
    }
    const VamuPrefetchArea in{area.x1, area.y1, area.x2, area.y2, area.firstLayer, area.lastLayer};
    VamuPrefetchReport out{};
    SetErrorInfo(0, nullptr);
    const HRESULT hr =
        entry(&in, progress ? onProgress : nullptr, const_cast<PrefetchProgress*>(&progress), &out);
    if (FAILED(hr)) return {failureOf(hr)};
    report = {out.firstZoom, out.lastZoom, out.total, out.done};
    return {};
}

}  // namespace vamu::host
