// The host's form, picture box and events object over IDispatch.

#include "win/platform/bstr.h"
#include "win/platform/dispatch.h"
#include "win/platform/host_binding.h"
#include "win/tests/support/check.h"
#include "win/tests/support/fake_dispatch.h"
#include "win/platform/win_picture.h"
#include "win/win_platform.h"

namespace vamu::wine_test {
namespace {

using win::ComPtr;

ComPtr<FakeDispatch> pictureBoxObject(bool standard) {
    std::vector<IID> answers;
    if (standard) answers.push_back(win::kPictureBoxIid);
    return ComPtr<FakeDispatch>::attach(new FakeDispatch(
        {u"Picture", u"ScaleMode", u"ScaleWidth", u"ScaleHeight"},
        [](const RecordedCall& call, DISPPARAMS*, VARIANT* result, EXCEPINFO*) {
            if (call.flags & DISPATCH_PROPERTYGET) {
                result->vt = VT_R4;  // as a picture box answers
                result->fltVal = call.member == 3 ? 320.5f : 240.0f;
            }
            return S_OK;
        },
        answers));
}

CHECK_CASE(the_form_hands_out_its_picture_box_by_default_member) {
    auto box = pictureBoxObject(false);
    IDispatch* answer = box.get();
    auto form = ComPtr<FakeDispatch>::attach(new FakeDispatch(
        {u"Caption"}, [&answer](const RecordedCall& call, DISPPARAMS*, VARIANT* result, EXCEPINFO*) {
            if (call.member == DISPID_VALUE) {
                result->vt = VT_DISPATCH;
                result->pdispVal = answer;
                if (answer) answer->AddRef();
            }
            return S_OK;
        }));
    win::WinHostBinding binding;
    auto hostForm = binding.form(win::wrapDispatch(form.get()));
    hostForm->picMap()->setScaleMode(3);
    const RecordedCall& call = form->calls().at(0);
    CHECK(call.member == DISPID_VALUE && call.flags == (DISPATCH_METHOD | DISPATCH_PROPERTYGET));
    CHECK(call.args.size() == 1 && call.args[0].type == VT_BSTR && call.args[0].text == u"picMap");
    CHECK(box->calls().at(0).args.at(0).type == VT_I2 && box->calls().at(0).args[0].number == 3);
    answer = nullptr;
    CHECK_RAISES(91, hostForm->picMap());
    CHECK(binding.form(nullptr) == nullptr);
}

CHECK_CASE(the_picture_box_takes_pictures_and_reports_its_size) {
    auto box = pictureBoxObject(true);
    win::WinHostBinding binding;
    auto picture = binding.pictureBox(win::wrapDispatch(box.get()));
    CHECK(picture->scaleWidth() == 320.5 && picture->scaleHeight() == 240.0);
    picture->setPicture(nullptr);
    picture->setPicture(win::makeEmptyPicture());
    const auto& calls = box->calls();
    CHECK(calls.at(2).flags == DISPATCH_PROPERTYPUT && calls[2].args.at(0).type == VT_DISPATCH);
    CHECK(calls[2].args[0].pointer == nullptr && calls.at(3).args.at(0).pointer != nullptr);
    CHECK_RAISES(13, binding.pictureBox(win::wrapDispatch(pictureBoxObject(false).get())));
    CHECK(binding.pictureBox(nullptr) == nullptr);
}

CHECK_CASE(events_write_back_into_the_callers_variables) {
    auto events = ComPtr<FakeDispatch>::attach(
        new FakeDispatch({u"SignalInformation", u"SignalSpecialRedraw"},
                         [](const RecordedCall& call, DISPPARAMS*, VARIANT*, EXCEPINFO* info) {
                             // As a host does: the caller's string replaced by its own.
                             BSTR* text = static_cast<BSTR*>(call.args.back().pointer);
                             win::Bstr::attach(*text).reset();
                             *text = win::Bstr(u"changed by host").detach();
                             if (call.member == 2)
                                 return raiseException(info, static_cast<HRESULT>(0x800A0009), L"", L"");
                             *static_cast<double*>(call.args[1].pointer) = 99.0;
                             return S_OK;
                         }));
    win::WinHostBinding binding;
    auto host = binding.events(win::wrapDispatch(events.get()));
    double x1 = 1, x2 = 2, y1 = 3, y2 = 4;
    std::u16string info = u"Mapserver by Vamu  全国";
    host->signalInformation(x1, x2, y1, y2, info);
    const RecordedCall& call = events->calls().at(0);
    CHECK(call.args.size() == 5 && call.args[0].type == (VT_BYREF | VT_R8) &&
          call.args[4].type == (VT_BYREF | VT_BSTR));
    CHECK(call.args[0].pointer == &x1 && call.args[3].pointer == &y2);
    CHECK(x2 == 99.0 && info == u"changed by host");
    info = u"again";
    CHECK_RAISES(9, host->signalSpecialRedraw(info));
    CHECK(info == u"changed by host");  // copied back although the call failed
}

// The host's automation class: a function table with the two entries read.
struct FakeAutomation {
    void** table;
    ULONG refs = 1;
};

IDispatch* gMapObject = nullptr;

HRESULT STDMETHODCALLTYPE automationQuery(void* self, REFIID iid, void** out) {
    if (!IsEqualIID(iid, IID_IUnknown) && !IsEqualIID(iid, win::kHostAutomationIid)) {
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ++static_cast<FakeAutomation*>(self)->refs;
    *out = self;
    return S_OK;
}
ULONG STDMETHODCALLTYPE automationAddRef(void* self) { return ++static_cast<FakeAutomation*>(self)->refs; }
ULONG STDMETHODCALLTYPE automationRelease(void* self) {
    auto* object = static_cast<FakeAutomation*>(self);
    const ULONG left = --object->refs;
    if (left == 0) delete object;
    return left;
}
HRESULT STDMETHODCALLTYPE automationMap(void*, IDispatch** map) {
    *map = gMapObject;
    if (gMapObject) gMapObject->AddRef();
    return S_OK;
}
HRESULT STDMETHODCALLTYPE automationDirectory(void*, BSTR* directory) {
    *directory = SysAllocString(L"C:\\UIVIEW\\");
    return S_OK;
}

void* gTable[39] = {};

class FakeFactory : public IClassFactory {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (!IsEqualIID(iid, IID_IUnknown) && !IsEqualIID(iid, IID_IClassFactory)) {
            *out = nullptr;
            return E_NOINTERFACE;
        }
        *out = this;
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown*, REFIID iid, void** out) override {
        auto* object = new FakeAutomation{gTable};
        const HRESULT hr = automationQuery(object, iid, out);
        automationRelease(object);
        return hr;
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }
};

// Whatever keeps the host's class from being created is 429, as
// CreateObject reports it; only running out of memory is 7.
CHECK_CASE(creation_failures_are_cannot_create_object) {
    for (HRESULT hr : {REGDB_E_CLASSNOTREG, HRESULT_FROM_WIN32(RPC_S_SERVER_UNAVAILABLE),
                       CO_E_SERVER_EXEC_FAILURE, E_NOINTERFACE, E_FAIL, CLASS_E_NOAGGREGATION}) {
        CHECK(win::creationError(hr) == ErrorNumber::CannotCreateObject);
    }
    CHECK(win::creationError(E_OUTOFMEMORY) == ErrorNumber::OutOfMemory);
}

CHECK_CASE(the_automation_class_is_read_through_its_function_table) {
    win::WinHostBinding binding;
    CHECK_RAISES(static_cast<int>(ErrorNumber::CannotCreateObject), binding.createAutomation());

    gTable[0] = reinterpret_cast<void*>(automationQuery);
    gTable[1] = reinterpret_cast<void*>(automationAddRef);
    gTable[2] = reinterpret_cast<void*>(automationRelease);
    gTable[win::kMapObjectEntry] = reinterpret_cast<void*>(automationMap);
    gTable[win::kInstallationDirectoryEntry] = reinterpret_cast<void*>(automationDirectory);
    FakeFactory factory;
    DWORD cookie = 0;
    CHECK(SUCCEEDED(CoRegisterClassObject(win::kHostAutomationClsid, &factory, CLSCTX_INPROC_SERVER,
                                          REGCLS_MULTIPLEUSE, &cookie)));
    auto automation = binding.createAutomation();
    CHECK(automation->installationDirectory() == u"C:\\UIVIEW\\");
    CHECK_RAISES(91, automation->mapObject());
    auto plain = ComPtr<FakeDispatch>::attach(new FakeDispatch({}, succeed));
    gMapObject = plain.get();
    CHECK_RAISES(13, automation->mapObject());
    auto map = ComPtr<FakeDispatch>::attach(new FakeDispatch({}, succeed, {win::kHostMapIid}));
    gMapObject = map.get();
    ObjectRef held = automation->mapObject();
    CHECK(held != nullptr && map->refs() == 2);
    gMapObject = nullptr;
    held.reset();
    automation.reset();
    CHECK(map->refs() == 1 && plain->refs() == 1);
    CoRevokeClassObject(cookie);
}

}  // namespace
}  // namespace vamu::wine_test
