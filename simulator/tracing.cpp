#include "simulator/tracing.h"

#include "simulator/output.h"

namespace vamu::sim {

std::ostream& TracingMapControl::line() { return out_ << name_ << '.'; }

void TracingMapControl::setAreaCode(const std::u16string& code) {
    line() << "AreaCode = " << quote(code) << '\n';
    inner_.setAreaCode(code);
}

std::unique_ptr<MapLayers> TracingMapControl::layers() {
    line() << "Layers\n";
    return inner_.layers();
}

namespace {

// The data-set collection with every item read traced.
class TracingAreas : public MapAreas {
public:
    TracingAreas(std::unique_ptr<MapAreas> inner, std::string name, std::ostream& out)
        : inner_(std::move(inner)), name_(std::move(name)), out_(out) {}
    std::int32_t count() override { return inner_->count(); }
    std::unique_ptr<MapArea> item(std::int32_t& index) override {
        auto area = inner_->item(index);
        const std::u16string code = area->areaCode();
        out_ << name_ << ".Areas.Item " << index << " -> " << quote(code) << '\n';
        return area;
    }

private:
    std::unique_ptr<MapAreas> inner_;
    std::string name_;
    std::ostream& out_;
};

}  // namespace

std::unique_ptr<MapAreas> TracingMapControl::areas() {
    line() << "Areas\n";
    return std::make_unique<TracingAreas>(inner_.areas(), name_, out_);
}

void TracingMapControl::setLayerScale(std::int32_t scale) {
    line() << "LayerScale = " << scale << '\n';
    inner_.setLayerScale(scale);
}

void TracingMapControl::setOverviewMode(bool on) {
    line() << "OverviewMode = " << (on ? "True" : "False") << '\n';
    inner_.setOverviewMode(on);
}

void TracingMapControl::setCenter(std::int32_t lat, std::int32_t lng, std::int32_t a, std::int32_t b) {
    line() << "SetCenter " << lat << ' ' << lng << ' ' << a << ' ' << b << '\n';
    inner_.setCenter(lat, lng, a, b);
}

void TracingMapControl::pixelToLatLng(std::int32_t x, std::int32_t y, std::int32_t& lat, std::int32_t& lng) {
    inner_.pixelToLatLng(x, y, lat, lng);
    line() << "PixelToLatLng " << x << ' ' << y << " -> " << lat << ' ' << lng << '\n';
}

void TracingMapControl::copyToClipboard() {
    line() << "CopyToClipboard\n";
    inner_.copyToClipboard();
}

void TracingMapControl::setDisplayOption(std::int32_t a, const std::u16string& b, std::int32_t c) {
    line() << "SetDisplayOption " << a << ' ' << quote(b) << ' ' << c << '\n';
    inner_.setDisplayOption(a, b, c);
}

void TracingMapControl::setWidth(float pixels) {
    line() << "Width = " << number(pixels) << '\n';
    inner_.setWidth(pixels);
}

void TracingMapControl::setHeight(float pixels) {
    line() << "Height = " << number(pixels) << '\n';
    inner_.setHeight(pixels);
}

void TracingMapControl::onPositionChanged(PositionChanged handler) {
    inner_.onPositionChanged(
        [this, handler = std::move(handler)](std::int32_t lat, std::int32_t lng, std::int32_t third) {
            line() << "PositionChanged " << lat << ' ' << lng << ' ' << third << '\n';
            if (handler) handler(lat, lng, third);
        });
}

bool TracingProfileWriter::writeString(const std::u16string& section, const std::u16string& key,
                                       const std::u16string& value, const std::u16string& file) {
    out_ << "WritePrivateProfileString " << quote(section) << ' ' << quote(key) << ' ' << quote(value) << ' '
         << quote(file) << '\n';
    return inner_.writeString(section, key, value, file);
}

TracingPanelWidgets::TracingPanelWidgets(std::unique_ptr<PanelWidgets> inner, std::ostream& out)
    : inner_(std::move(inner)),
      atlas_(inner_->atlas(), "Atlas", out),
      miniAtlas_(inner_->miniAtlas(), "miniAtlas", out) {}

}  // namespace vamu::sim
