#pragma once
// Null objects for every outside contract, for tests that need a Module but
// only care about a few of its services. Queries answer empty or zero,
// commands do nothing, and anything that would have to hand out a real
// object raises error 91. Replace single members with fakes of your own.

#include <cstdint>
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "contracts/runtime_error.h"
#include "contracts/services.h"
#include "contracts/text.h"
#include "engine/module.h"

namespace vamu::fakes {

class TextBox final : public vamu::TextBox {
public:
    std::u16string value;
    int reads = 0;
    std::u16string text() override {
        ++reads;
        return value;
    }
    void setText(const std::u16string& t) override { value = t; }
    void insertAtTop(const std::u16string& t, std::int32_t keepLines) override {
        value.insert(0, t);
        value.resize(lengthOfFirstLines(value, keepLines));
    }
};

class EmptyLayers final : public MapLayers {
public:
    std::int32_t count() override { return 0; }
    std::unique_ptr<MapLayer> item(std::int32_t&) override { raise(ErrorNumber::SubscriptOutOfRange); }
};

class EmptyAreas final : public MapAreas {
public:
    std::int32_t count() override { return 0; }
    std::unique_ptr<MapArea> item(std::int32_t&) override { raise(ErrorNumber::SubscriptOutOfRange); }
};

class MapControl final : public vamu::MapControl {
public:
    void setAreaCode(const std::u16string&) override {}
    std::unique_ptr<MapLayers> layers() override { return std::make_unique<EmptyLayers>(); }
    std::unique_ptr<MapAreas> areas() override { return std::make_unique<EmptyAreas>(); }
    void setLayerScale(std::int32_t) override {}
    void setOverviewMode(bool) override {}
    void setCenter(std::int32_t, std::int32_t, std::int32_t, std::int32_t) override {}
    void pixelToLatLng(std::int32_t, std::int32_t, std::int32_t&, std::int32_t&) override {}
    void copyToClipboard() override {}
    void setDisplayOption(std::int32_t, const std::u16string&, std::int32_t) override {}
    void setWidth(float) override {}
    void setHeight(float) override {}
    void onPositionChanged(PositionChanged) override {}
};

// The engine's view of the panel: two null map controls and a working log.
class Panel final : public PanelAccess {
public:
    MapControl atlasControl, miniControl;
    TextBox logBox;
    vamu::MapControl& atlas() override { return atlasControl; }
    vamu::MapControl& miniAtlas() override { return miniControl; }
    vamu::TextBox& log() override { return logBox; }
    void show() override {}
    void setVisible(bool) override {}
    void sTest() override {}
    void option_change() override {}
};

// Hands out the readings queued in `readings` one per now() (the last one
// repeats) and formats them as a Japanese system would: "2024/03/15" and
// "9:05:07". Records every reading it was asked to format.
class Clock final : public vamu::Clock {
public:
    std::deque<ClockReading> readings{ClockReading{2024, 1, 1, 0, 0, 0}};
    int nowCalls = 0;
    std::vector<ClockReading> formatted;

    ClockReading now() override {
        ++nowCalls;
        const ClockReading r = readings.front();
        if (readings.size() > 1) readings.pop_front();
        return r;
    }
    std::u16string shortDate(const ClockReading& at) override {
        formatted.push_back(at);
        return ascii(std::to_string(at.year) + "/" + two(at.month) + "/" + two(at.day));
    }
    std::u16string timeOfDay(const ClockReading& at) override {
        formatted.push_back(at);
        return ascii(std::to_string(at.hour) + ":" + two(at.minute) + ":" + two(at.second));
    }

private:
    static std::string two(std::int32_t v) { return (v < 10 ? "0" : "") + std::to_string(v); }
    static std::u16string ascii(const std::string& s) { return {s.begin(), s.end()}; }
};

class HostBinding final : public vamu::HostBinding {
public:
    std::shared_ptr<HostForm> form(const ObjectRef&) override { raise(ErrorNumber::ObjectNotSet); }
    std::shared_ptr<HostEvents> events(const ObjectRef&) override { raise(ErrorNumber::ObjectNotSet); }
    std::shared_ptr<HostPictureBox> lateBoundPictureBox(const ObjectRef&) override {
        raise(ErrorNumber::ObjectNotSet);
    }
    std::shared_ptr<HostPictureBox> pictureBox(const ObjectRef&) override {
        raise(ErrorNumber::ObjectNotSet);
    }
    std::shared_ptr<HostAutomation> createAutomation() override { raise(ErrorNumber::ObjectNotSet); }
};

class Clipboard final : public vamu::Clipboard {
public:
    void setImage(const Image&) override {}
    bool hasBitmap() override { return false; }
    PictureRef picture() override { return nullptr; }
};

class EmptyPicture final : public Picture {
public:
    bool isEmpty() const override { return true; }
};

class Pictures final : public vamu::Pictures {
public:
    PictureRef load(const std::u16string& path) override {
        if (!path.empty()) raise(ErrorNumber::FileNotFound);
        return std::make_shared<EmptyPicture>();
    }
    void saveAsBmp(const PictureRef&, const std::u16string&) override {}
};

class MessageBoxes final : public vamu::MessageBoxes {
public:
    std::vector<std::u16string> shown;
    void show(const std::u16string& text, MessageButtons, const std::optional<std::u16string>&) override {
        shown.push_back(text);
    }
};

class ProfileWriter final : public vamu::ProfileWriter {
public:
    bool writeString(const std::u16string&, const std::u16string&, const std::u16string&,
                     const std::u16string&) override {
        return true;
    }
};

class PanelFactory final : public vamu::PanelFactory {
public:
    std::unique_ptr<PanelWidgets> create() override { raise(ErrorNumber::ObjectNotSet); }
};

class VersionInfo final : public vamu::VersionInfo {
public:
    std::u16string productName() override { return u"vamuMapserver"; }
};

// One of each, bundled as the core takes them.
struct Services {
    HostBinding host;
    Clipboard clipboard;
    Pictures pictures;
    MessageBoxes messages;
    Clock clock;
    ProfileWriter profile;
    PanelFactory panels;
    VersionInfo version;
    vamu::Services services{host, clipboard, pictures, messages, clock, profile, panels, version};
};

// A Module over the null services whose panel is a fakes::Panel; `made`
// counts how often the module asked for one.
struct ModuleFixture {
    Services fakes;
    int made = 0;
    Panel* panel = nullptr;
    Module module{fakes.services, [this](Module&) {
                      ++made;
                      auto p = std::make_unique<Panel>();
                      panel = p.get();
                      return std::unique_ptr<PanelAccess>(std::move(p));
                  }};
};

}  // namespace vamu::fakes
