#pragma once
// Decorators that print a line for every call on a map control and for the
// settings-file write, then pass the call on.

#include <memory>
#include <ostream>
#include <string>

#include "contracts/map_control.h"
#include "contracts/platform.h"
#include "contracts/services.h"

namespace vamu::sim {

class TracingMapControl : public MapControl {
public:
    TracingMapControl(MapControl& inner, std::string name, std::ostream& out)
        : inner_(inner), name_(std::move(name)), out_(out) {}

    void setAreaCode(const std::u16string& code) override;
    std::unique_ptr<MapLayers> layers() override;
    std::unique_ptr<MapAreas> areas() override;
    void setLayerScale(std::int32_t scale) override;
    void setOverviewMode(bool on) override;
    void setCenter(std::int32_t lat, std::int32_t lng, std::int32_t a, std::int32_t b) override;
    void pixelToLatLng(std::int32_t x, std::int32_t y, std::int32_t& lat, std::int32_t& lng) override;
    void copyToClipboard() override;
    void setDisplayOption(std::int32_t a, const std::u16string& b, std::int32_t c) override;
    void setWidth(float pixels) override;
    void setHeight(float pixels) override;
    void onPositionChanged(PositionChanged handler) override;

private:
    std::ostream& line();

    MapControl& inner_;
    std::string name_;
    std::ostream& out_;
};

class TracingProfileWriter : public ProfileWriter {
public:
    TracingProfileWriter(ProfileWriter& inner, std::ostream& out) : inner_(inner), out_(out) {}
    bool writeString(const std::u16string& section, const std::u16string& key, const std::u16string& value,
                     const std::u16string& file) override;

private:
    ProfileWriter& inner_;
    std::ostream& out_;
};

// The panel's widgets with both map controls traced.
class TracingPanelWidgets : public PanelWidgets {
public:
    TracingPanelWidgets(std::unique_ptr<PanelWidgets> inner, std::ostream& out);
    Window& window() override { return inner_->window(); }
    MapControl& atlas() override { return atlas_; }
    MapControl& miniAtlas() override { return miniAtlas_; }
    TextBox& log() override { return inner_->log(); }
    Frame& frame() override { return inner_->frame(); }
    OptionButtons& options() override { return inner_->options(); }
    ChoiceList& sources() override { return inner_->sources(); }

private:
    std::unique_ptr<PanelWidgets> inner_;
    TracingMapControl atlas_;
    TracingMapControl miniAtlas_;
};

class TracingPanelFactory : public PanelFactory {
public:
    TracingPanelFactory(PanelFactory& inner, std::ostream& out) : inner_(inner), out_(out) {}
    std::unique_ptr<PanelWidgets> create() override {
        return std::make_unique<TracingPanelWidgets>(inner_.create(), out_);
    }

private:
    PanelFactory& inner_;
    std::ostream& out_;
};

}  // namespace vamu::sim
