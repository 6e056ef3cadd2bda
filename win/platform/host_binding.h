#pragma once
// The host program's objects over IDispatch: its form, its picture box, its
// events object and its automation class.

#include <windows.h>

#include "contracts/host.h"
#include "contracts/runtime_error.h"

namespace vamu::win {

// The run-time error for a failure to create an object, as CreateObject
// gives it: 7 when memory ran out, otherwise 429 ("ActiveX component can't
// create object"), whatever the reason (not registered, no server, the
// server's process failed to start or answer).
ErrorNumber creationError(HRESULT hr) noexcept;

// The picture-box interface a host's picture box must offer.
inline constexpr GUID kPictureBoxIid = {
    0x33AD4ED1, 0x6699, 0x11CF, {0xB7, 0x0C, 0x00, 0xAA, 0x00, 0x60, 0xD3, 0x93}};
// The host's automation class, the interface it is created for, and the
// interface of the map object it hands out.
inline constexpr GUID kHostAutomationClsid = {
    0x33CFA0BD, 0x2826, 0x11D4, {0x82, 0xE8, 0x00, 0xC0, 0xDF, 0x46, 0x4F, 0xC9}};
inline constexpr GUID kHostAutomationIid = {
    0x84C49058, 0x9EE9, 0x48B0, {0xBE, 0x81, 0x51, 0x6B, 0xC8, 0x6F, 0x63, 0x89}};
inline constexpr GUID kHostMapIid = {
    0x33CFA044, 0x2826, 0x11D4, {0x82, 0xE8, 0x00, 0xC0, 0xDF, 0x46, 0x4F, 0xC9}};

// Positions in the automation interface's function table, the IUnknown and
// IDispatch entries counted.
inline constexpr int kMapObjectEntry = 19;
inline constexpr int kInstallationDirectoryEntry = 38;

class WinHostBinding : public HostBinding {
public:
    std::shared_ptr<HostForm> form(const ObjectRef& object) override;
    std::shared_ptr<HostEvents> events(const ObjectRef& object) override;
    std::shared_ptr<HostPictureBox> lateBoundPictureBox(const ObjectRef& object) override;
    std::shared_ptr<HostPictureBox> pictureBox(const ObjectRef& object) override;
    std::shared_ptr<HostAutomation> createAutomation() override;
};

}  // namespace vamu::win
