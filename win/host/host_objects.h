#pragma once
// The host's objects as a host program supplies them (vamu-host.exe and the
// Wine tests): a form, picture boxes, an events object and plain objects,
// all reached by the plug-in through IDispatch. Each counts its references;
// its owner holds one reference and never lets the count reach zero, so
// that a balanced count reads 1.

#include <windows.h>
#include <oaidl.h>

#include <functional>
#include <string>
#include <vector>

#include "win/platform/com_ptr.h"

namespace vamu::host {

// The standard picture box's interface and the host's map object's.
extern const IID kPictureBoxIid;
extern const IID kHostMapIid;

class TestDispatch : public IDispatch {
public:
    struct Member {
        const wchar_t* name;
        DISPID id;
    };
    TestDispatch(std::vector<Member> members, std::vector<IID> alsoAnswers);
    virtual ~TestDispatch() = default;
    TestDispatch(const TestDispatch&) = delete;
    TestDispatch& operator=(const TestDispatch&) = delete;

    ULONG refs() const noexcept { return refs_; }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
    ULONG STDMETHODCALLTYPE Release() override { return --refs_; }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID lcid,
                                            DISPID* ids) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID lcid, WORD flags, DISPPARAMS* params,
                                     VARIANT* result, EXCEPINFO* excepInfo, UINT* argErr) override;

protected:
    virtual HRESULT call(DISPID id, WORD flags, DISPPARAMS& params, VARIANT* result) = 0;

private:
    std::vector<Member> members_;
    std::vector<IID> alsoAnswers_;
    ULONG refs_ = 1;
};

// An object with no members: neither a picture box nor anything else.
class PlainObject : public TestDispatch {
public:
    explicit PlainObject(std::vector<IID> alsoAnswers = {}) : TestDispatch({}, std::move(alsoAnswers)) {}

protected:
    HRESULT call(DISPID, WORD, DISPPARAMS&, VARIANT*) override { return DISP_E_MEMBERNOTFOUND; }
};

class PictureBox : public TestDispatch {
public:
    PictureBox(float width, float height, bool standard = true);

    int picturePuts = 0;
    bool lastPictureEmpty = true;  // Nothing, or a picture without an image
    win::ComPtr<IDispatch> picture;
    int scaleModePuts = 0;
    short scaleMode = 1;
    float width, height;

protected:
    HRESULT call(DISPID id, WORD flags, DISPPARAMS& params, VARIANT* result) override;
};

class Form : public TestDispatch {
public:
    explicit Form(PictureBox& picMap);

    std::wstring caption = L"UI-View32";
    int picMapCalls = 0;

protected:
    HRESULT call(DISPID id, WORD flags, DISPPARAMS& params, VARIANT* result) override;

private:
    PictureBox& picMap_;
};

class Events : public TestDispatch {
public:
    Events();

    struct Report {
        double x1, x2, y1, y2;
        std::wstring info;
        bool byReference;  // all five came as VT_BYREF of their own type
    };
    std::vector<Report> information;
    std::vector<std::wstring> redraws;
    std::wstring replaceInfoWith;  // written into the text argument when set
    // Told of each report and redraw as it arrives.
    std::function<void(const Report&)> onInformation;
    std::function<void(const std::wstring&)> onRedraw;

protected:
    HRESULT call(DISPID id, WORD flags, DISPPARAMS& params, VARIANT* result) override;
};

}  // namespace vamu::host
