#include "win/panel/map_choice.h"

#include <olectl.h>

#include <cstdio>

#include "contracts/runtime_error.h"
#include "panel/stored_settings.h"
#include "win/activex/hosted_map.h"
#include "win/panel/map_window.h"
#include "win/panel/panel_layout.h"

namespace vamu::win {
namespace {

using activex::HostingFailure;
using activex::StoredProperty;

constexpr char16_t kInstalled[] = u"ProAtlas2002CtrlLib.ProAtlasCtrl";

std::vector<StoredProperty> storedProperties(bool overview) {
    namespace id = activex::dispid;
    const mapcontrol::PersistedSettings s = storedMapSettings(overview);
    std::vector<StoredProperty> properties;
    properties.push_back({id::kAreaCode, Variant::string(s.areaCode)});
    properties.push_back({id::kLayerScale, Variant::i4(s.layerScale)});
    properties.push_back({id::kScrollBar, Variant::boolean(s.scrollBar)});
    properties.push_back({id::kMouseScroll, Variant::boolean(s.mouseScroll)});
    properties.push_back({id::kKeydownScroll, Variant::boolean(s.keydownScroll)});
    properties.push_back({DISPID_APPEARANCE, Variant::i2(0)});
    properties.push_back({DISPID_BORDERSTYLE, Variant::i2(0)});
    properties.push_back({DISPID_ENABLED, Variant::boolean(true)});
    return properties;
}

std::u16string hex(HRESULT hr) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08lX", static_cast<unsigned long>(hr));
    return std::u16string(text, text + std::char_traits<char>::length(text));
}

std::u16string fallbackLine(HostingFailure::Step step, HRESULT hr) {
    if (hr == CLASS_E_NOTLICENSED)
        return u"地図: " + std::u16string(kInstalled) + u" はこのコンピューターで使用が許諾されていません (" +
               hex(hr) + u")、内蔵の地図を使用";
    const std::u16string what = step == HostingFailure::Step::Create ? u"作成" : u"起動";
    return u"地図: " + std::u16string(kInstalled) + u" の" + what + u"に失敗 (" + hex(hr) +
           u")、内蔵の地図を使用";
}

PanelMaps builtIn(HINSTANCE instance, HWND form, Clipboard& clipboard, std::u16string logLine) {
    PanelMaps maps;
    maps.miniAtlas = std::make_unique<MapWindow>(instance, form, layout::kMiniAtlasId, layout::kMiniAtlas,
                                                 true, clipboard, storedMapSettings(true));
    maps.atlas = std::make_unique<MapWindow>(instance, form, layout::kAtlasId, layout::kAtlas, false,
                                             clipboard, storedMapSettings(false));
    maps.logLine = std::move(logLine);
    return maps;
}

PanelMaps hosted(const CLSID& clsid, HINSTANCE instance, HWND form, HFONT font) {
    PanelMaps maps;
    activex::SitePlace place{instance, form, layout::kMiniAtlasId, layout::kMiniAtlas, true, font};
    maps.miniAtlas = std::make_unique<activex::HostedMap>(clsid, place, storedProperties(true));
    place.id = layout::kAtlasId;
    place.bounds = layout::kAtlas;
    place.visible = false;
    maps.atlas = std::make_unique<activex::HostedMap>(clsid, place, storedProperties(false));
    maps.logLine = u"地図: " + std::u16string(kInstalled) + u" を使用";
    return maps;
}

}  // namespace

PanelMaps makePanelMaps(HINSTANCE instance, HWND form, HFONT font, Clipboard& clipboard) {
    CLSID clsid{};
    if (FAILED(CLSIDFromProgID(kMapControlProgId, &clsid)))
        return builtIn(instance, form, clipboard, u"地図: 内蔵の地図を使用");
    try {
        return hosted(clsid, instance, form, font);
    } catch (const HostingFailure& failure) {
        // A half-made pair is gone by now: the first map went with the
        // stack when the second failed.
        return builtIn(instance, form, clipboard, fallbackLine(failure.step, failure.hr));
    } catch (const RuntimeError& error) {
        return builtIn(instance, form, clipboard,
                       fallbackLine(HostingFailure::Step::Activate, static_cast<HRESULT>(error.hresult())));
    }
}

}  // namespace vamu::win
