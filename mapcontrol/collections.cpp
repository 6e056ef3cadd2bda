#include "mapcontrol/collections.h"

#include <cstddef>
#include <limits>

#include "contracts/runtime_error.h"

namespace vamu::mapcontrol {

namespace {

template <class T>
const T& checkedItem(const std::vector<T>& items, std::int32_t index) {
    if (index < 0 || static_cast<std::size_t>(index) >= items.size()) {
        raise(ErrorNumber::SubscriptOutOfRange);
    }
    return items[static_cast<std::size_t>(index)];
}

template <class T>
std::int32_t countOf(const std::vector<T>& items) {
    if (items.size() > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max())) {
        raise(ErrorNumber::Overflow);
    }
    return static_cast<std::int32_t>(items.size());
}

class Layer : public MapLayer {
public:
    explicit Layer(LayerSpec fields) : fields_(std::move(fields)) {}
    std::u16string title() override { return fields_.title; }
    std::int32_t layerScale() override { return fields_.scale; }
    std::int32_t layerID() override { return fields_.id; }
    bool enabled() override { return fields_.enabled; }

private:
    LayerSpec fields_;
};

class LayerList : public MapLayers {
public:
    explicit LayerList(std::vector<LayerSpec> layers) : layers_(std::move(layers)) {}
    std::int32_t count() override { return countOf(layers_); }
    std::unique_ptr<MapLayer> item(std::int32_t& index) override {
        return std::make_unique<Layer>(checkedItem(layers_, index));
    }

private:
    std::vector<LayerSpec> layers_;
};

class Area : public MapArea {
public:
    explicit Area(std::u16string code) : code_(std::move(code)) {}
    std::u16string areaCode() override { return code_; }

private:
    std::u16string code_;
};

class AreaList : public MapAreas {
public:
    explicit AreaList(std::vector<std::u16string> codes) : codes_(std::move(codes)) {}
    std::int32_t count() override { return countOf(codes_); }
    std::unique_ptr<MapArea> item(std::int32_t& index) override {
        return std::make_unique<Area>(checkedItem(codes_, index));
    }

private:
    std::vector<std::u16string> codes_;
};

}  // namespace

std::unique_ptr<MapLayers> makeLayerList(std::vector<LayerSpec> layers) {
    return std::make_unique<LayerList>(std::move(layers));
}

std::unique_ptr<MapAreas> makeAreaList(std::vector<std::u16string> areaCodes) {
    return std::make_unique<AreaList>(std::move(areaCodes));
}

}  // namespace vamu::mapcontrol
