#include "win/activex/hosted_map.h"

#include "mapcontrol/view.h"
#include "win/activex/named_collections.h"
#include "win/platform/com_error.h"
#include "win/platform/dispatch.h"

namespace vamu::win::activex {
namespace {

void putById(IDispatch* control, DISPID id, Variant value) {
    invoke(control, id, CallKind::Put, {value.get(), 1});
}

}  // namespace

HostedMap::HostedMap(const CLSID& clsid, const SitePlace& place, std::vector<StoredProperty> properties)
    : control_(std::make_unique<HostedControl>(clsid, place, std::move(properties))) {
    try {
        const EventSource source = findEvent(control_->object(), u"PositionChanged");
        sink_ = EventSink::make(source);
        connection_ = std::make_unique<Connection>(control_->object(), source.iid, sink_.get());
    } catch (const RuntimeError& error) {
        throw HostingFailure(HostingFailure::Step::Activate, static_cast<HRESULT>(error.hresult()));
    }
}

HostedMap::~HostedMap() = default;

void HostedMap::setAreaCode(const std::u16string& code) {
    putById(dispatch(), dispid::kAreaCode, Variant::string(code));
}

std::unique_ptr<MapLayers> HostedMap::layers() {
    return namedLayers(toDispatch(invoke(dispatch(), dispid::kLayers, CallKind::Get).ref()));
}

std::unique_ptr<MapAreas> HostedMap::areas() {
    return namedAreas(toDispatch(invoke(dispatch(), dispid::kAreas, CallKind::Get).ref()));
}

void HostedMap::setLayerScale(std::int32_t scale) {
    putById(dispatch(), dispid::kLayerScale, Variant::i4(scale));
}

void HostedMap::setOverviewMode(bool on) { putById(dispatch(), dispid::kOverviewMode, Variant::boolean(on)); }

// Latitude and longitude go by reference, as the panel hands them over.
void HostedMap::setCenter(std::int32_t lat, std::int32_t lng, std::int32_t a, std::int32_t b) {
    Variant args[] = {Variant::refI4(&lat), Variant::refI4(&lng), Variant::i4(a), Variant::i4(b)};
    VARIANT raw[] = {*args[0].get(), *args[1].get(), *args[2].get(), *args[3].get()};
    invoke(dispatch(), dispid::kSetCenter, CallKind::Method, raw);
}

void HostedMap::pixelToLatLng(std::int32_t x, std::int32_t y, std::int32_t& lat, std::int32_t& lng) {
    Variant args[] = {Variant::i4(x), Variant::i4(y), Variant::refI4(&lat), Variant::refI4(&lng)};
    VARIANT raw[] = {*args[0].get(), *args[1].get(), *args[2].get(), *args[3].get()};
    invoke(dispatch(), dispid::kPixelToLatLng, CallKind::Method, raw);
}

void HostedMap::copyToClipboard() { invoke(dispatch(), dispid::kCopyToClipboard, CallKind::Method); }

void HostedMap::setDisplayOption(std::int32_t a, const std::u16string& b, std::int32_t c) {
    Variant args[] = {Variant::i4(a), Variant::string(b), Variant::i4(c)};
    VARIANT raw[] = {*args[0].get(), *args[1].get(), *args[2].get()};
    invoke(dispatch(), dispid::kSetDisplayOption, CallKind::Method, raw);
}

// Width and Height in pixels, as the container property takes them: a
// value the built-in map refuses is refused here too.
void HostedMap::setWidth(float pixels) {
    control_->resize(mapcontrol::pixelsFromProperty(pixels), control_->height());
}

void HostedMap::setHeight(float pixels) {
    control_->resize(control_->width(), mapcontrol::pixelsFromProperty(pixels));
}

void HostedMap::onPositionChanged(PositionChanged handler) { sink_->setHandler(std::move(handler)); }

}  // namespace vamu::win::activex
