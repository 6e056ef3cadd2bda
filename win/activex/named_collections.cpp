#include "win/activex/named_collections.h"

#include "win/platform/dispatch.h"

namespace vamu::win::activex {
namespace {

ComPtr<IDispatch> itemOf(IDispatch* collection, std::int32_t& index) {
    Variant argument = Variant::refI4(&index);
    return toDispatch(invoke(collection, u"Item", CallKind::MethodOrGet, {argument.get(), 1}).ref());
}

std::int32_t countOf(IDispatch* collection) { return toLong(getProperty(collection, u"Count").ref()); }

class NamedLayer : public MapLayer {
public:
    explicit NamedLayer(ComPtr<IDispatch> item) : item_(std::move(item)) {}
    std::u16string title() override { return toString(getProperty(item_.get(), u"Title").ref()); }
    std::int32_t layerScale() override { return toLong(getProperty(item_.get(), u"LayerScale").ref()); }
    std::int32_t layerID() override { return toLong(getProperty(item_.get(), u"LayerID").ref()); }
    bool enabled() override { return toBool(getProperty(item_.get(), u"Enabled").ref()); }

private:
    ComPtr<IDispatch> item_;
};

class NamedLayers : public MapLayers {
public:
    explicit NamedLayers(ComPtr<IDispatch> collection) : collection_(std::move(collection)) {}
    std::int32_t count() override { return countOf(collection_.get()); }
    std::unique_ptr<MapLayer> item(std::int32_t& index) override {
        return std::make_unique<NamedLayer>(itemOf(collection_.get(), index));
    }

private:
    ComPtr<IDispatch> collection_;
};

class NamedArea : public MapArea {
public:
    explicit NamedArea(ComPtr<IDispatch> item) : item_(std::move(item)) {}
    std::u16string areaCode() override { return toString(getProperty(item_.get(), u"AreaCode").ref()); }

private:
    ComPtr<IDispatch> item_;
};

class NamedAreas : public MapAreas {
public:
    explicit NamedAreas(ComPtr<IDispatch> collection) : collection_(std::move(collection)) {}
    std::int32_t count() override { return countOf(collection_.get()); }
    std::unique_ptr<MapArea> item(std::int32_t& index) override {
        return std::make_unique<NamedArea>(itemOf(collection_.get(), index));
    }

private:
    ComPtr<IDispatch> collection_;
};

}  // namespace

std::unique_ptr<MapLayers> namedLayers(ComPtr<IDispatch> collection) {
    return std::make_unique<NamedLayers>(std::move(collection));
}

std::unique_ptr<MapAreas> namedAreas(ComPtr<IDispatch> collection) {
    return std::make_unique<NamedAreas>(std::move(collection));
}

}  // namespace vamu::win::activex
