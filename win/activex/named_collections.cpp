#include "win/activex/named_collections.h"

#include "win/platform/dispatch.h"

namespace vamu::win::activex {
namespace {

class NamedLayer : public MapLayer, private LateBound {
public:
    using LateBound::LateBound;
    std::u16string title() override { return toString(property(u"Title").ref()); }
    std::int32_t layerScale() override { return toLong(property(u"LayerScale").ref()); }
    std::int32_t layerID() override { return toLong(property(u"LayerID").ref()); }
    bool enabled() override { return toBool(property(u"Enabled").ref()); }
};

class NamedArea : public MapArea, private LateBound {
public:
    using LateBound::LateBound;
    std::u16string areaCode() override { return toString(property(u"AreaCode").ref()); }
};

// A collection whose items are Named views of an Item.
template <class Collection, class Item, class Named>
class NamedCollection : public Collection, private LateBound {
public:
    using LateBound::LateBound;
    std::int32_t count() override { return toLong(property(u"Count").ref()); }
    std::unique_ptr<Item> item(std::int32_t& index) override {
        Variant argument = Variant::refI4(&index);
        return std::make_unique<Named>(
            toDispatch(invoke(object(), u"Item", CallKind::MethodOrGet, {argument.get(), 1}).ref()));
    }
};

}  // namespace

std::unique_ptr<MapLayers> namedLayers(ComPtr<IDispatch> collection) {
    return std::make_unique<NamedCollection<MapLayers, MapLayer, NamedLayer>>(std::move(collection));
}

std::unique_ptr<MapAreas> namedAreas(ComPtr<IDispatch> collection) {
    return std::make_unique<NamedCollection<MapAreas, MapArea, NamedArea>>(std::move(collection));
}

}  // namespace vamu::win::activex
