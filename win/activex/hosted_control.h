#pragma once
// One ActiveX control hosted in a site window of the panel: created by its
// class id, given its site, initialised with its stored properties, and
// activated in place. It goes in the reverse order: deactivated, closed,
// parted from its site, released, and its site window destroyed.

#include <windows.h>
#include <oaidl.h>
#include <oleidl.h>

#include <exception>
#include <vector>

#include "win/activex/control_site.h"
#include "win/platform/com_ptr.h"
#include "win/platform/handles.h"
#include "win/platform/variant.h"

namespace vamu::win::activex {

// The step at which a control could not be hosted, and why.
struct HostingFailure : std::exception {
    enum class Step { Create, Activate };
    HostingFailure(Step failedStep, HRESULT result) noexcept : step(failedStep), hr(result) {}
    const char* what() const noexcept override { return "the control could not be hosted"; }
    Step step;
    HRESULT hr;
};

// Where the site window goes on the panel.
struct SitePlace {
    HINSTANCE instance = nullptr;
    HWND parent = nullptr;
    int id = 0;     // the site window's control identifier
    RECT bounds{};  // in the parent's client pixels
    bool visible = true;
    HFONT font = nullptr;  // the ambient font
};

// A property stored with the control, applied by dispatch identifier after
// the control is initialised.
struct StoredProperty {
    DISPID id;
    Variant value;
};

class HostedControl {
public:
    // Raises HostingFailure; whatever was made by then is undone.
    HostedControl(const CLSID& clsid, const SitePlace& place, std::vector<StoredProperty> properties);
    HostedControl(const HostedControl&) = delete;
    HostedControl& operator=(const HostedControl&) = delete;
    ~HostedControl();

    IDispatch* dispatch() const noexcept { return dispatch_.get(); }
    IUnknown* object() const noexcept { return object_.get(); }
    HWND window() const noexcept { return window_.get(); }
    int width() const noexcept { return site_->place().right; }
    int height() const noexcept { return site_->place().bottom; }
    // Sizes the site window and tells the control its new place.
    void resize(int width, int height);

private:
    void create(const CLSID& clsid);
    void initialise(std::vector<StoredProperty>& properties);
    void activate();
    void teardown() noexcept;

    UniqueWindow window_;
    ComPtr<ControlSite> site_;
    ComPtr<IOleObject> object_;
    ComPtr<IDispatch> dispatch_;
    ComPtr<IOleInPlaceObject> inPlace_;
    bool siteSet_ = false;
};

}  // namespace vamu::win::activex
