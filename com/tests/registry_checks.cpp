// The registry entries of a registered server, and their absence after
// unregistration.

#include <string>

#include "win/tests/support/check.h"
#include "client_checks.h"
#include "vamuMapserver.h"
#include "win/host/late_call.h"

namespace vamu::wine_test {
namespace {

std::wstring guidText(const GUID& guid) {
    wchar_t text[40] = {};
    StringFromGUID2(guid, text, 40);
    return text;
}

bool keyExists(const std::wstring& path) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CLASSES_ROOT, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}

std::wstring value(const std::wstring& path, const wchar_t* name = nullptr) {
    wchar_t data[1024] = {};
    DWORD size = sizeof data - sizeof(wchar_t);
    if (RegGetValueW(HKEY_CLASSES_ROOT, path.c_str(), name, RRF_RT_REG_SZ, nullptr, data, &size) !=
        ERROR_SUCCESS) {
        return L"<missing>";
    }
    return data;
}

bool endsWithDll(std::wstring path) {
    const std::wstring tail = L"\\vamumapserver.dll";
    for (wchar_t& c : path) c = static_cast<wchar_t>(towlower(c));
    return path.size() > tail.size() && path.compare(path.size() - tail.size(), tail.size(), tail) == 0;
}

struct Class {
    const CLSID& clsid;
    const wchar_t* progId;
    const IID& iid;
};

const Class kClasses[] = {
    {CLSID_clsMapServ, L"vamuMapserver.clsMapServ", IID__clsMapServ},
    {CLSID_clsMapServerEvents, L"vamuMapserver.clsMapServerEvents", IID__clsMapServerEvents},
};

const wchar_t* kPlatform = sizeof(void*) == 8 ? L"win64" : L"win32";

}  // namespace

void checkRegistered() {
    const std::wstring library = guidText(LIBID_vamuMapserver);
    for (const Class& c : kClasses) {
        const std::wstring key = L"CLSID\\" + guidText(c.clsid);
        CHECK(endsWithDll(value(key + L"\\InprocServer32")));
        CHECK_WSTR(L"Apartment", value(key + L"\\InprocServer32", L"ThreadingModel"));
        CHECK_WSTR(c.progId, value(key + L"\\ProgID"));
        CHECK_WSTR(library, value(key + L"\\TypeLib"));
        CHECK_WSTR(guidText(c.clsid), value(std::wstring(c.progId) + L"\\CLSID"));
        CHECK_WSTR(library, value(L"Interface\\" + guidText(c.iid) + L"\\TypeLib"));
        CLSID fromProgId{};
        CHECK_HR(S_OK, CLSIDFromProgID(c.progId, &fromProgId));
        CHECK(IsEqualCLSID(fromProgId, c.clsid));
    }
    CHECK(endsWithDll(value(L"TypeLib\\" + library + L"\\1.0\\409\\" + kPlatform)));
}

void checkUnregistered() {
    for (const Class& c : kClasses) {
        CHECK(!keyExists(L"CLSID\\" + guidText(c.clsid)));
        CHECK(!keyExists(c.progId));
        CHECK(!keyExists(L"Interface\\" + guidText(c.iid)));
    }
    CHECK(!keyExists(L"TypeLib\\" + guidText(LIBID_vamuMapserver) + L"\\1.0"));
}

}  // namespace vamu::wine_test
