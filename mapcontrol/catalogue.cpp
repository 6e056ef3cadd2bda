// The data sets the control ships with: both draw from the built-in map
// data, and neither is offered when that data cannot be read.

#include "mapcontrol/replacement_map_control.h"

#include "mapcontrol/map_data.h"

namespace vamu::mapcontrol {

namespace {

DataSet nationwide() {
    return {u"RDW2010",
            {
                {u"全国 1/500万", 5000000, 1, true},
                {u"広域 1/250万", 2500000, 2, true},
                {u"地方 1/100万", 1000000, 3, true},
                {u"地方 1/50万", 500000, 4, true},
                {u"県 1/25万", 250000, 5, true},
                {u"県 1/10万", 100000, 6, true},
                {u"市 1/5万", 50000, 7, true},
                {u"市 1/2.5万", 25000, 8, true},
                {u"市街 1/1万", 10000, 9, true},
                {u"市街 1/5000", 5000, 10, true},
                {u"街区 1/2500", 2500, 11, true},
                {u"街区 1/1000", 1000, 12, true},
                {u"詳細 1/500", 500, 13, true},
            }};
}

// A regional set for the Kanto area: no nationwide layers.
DataSet kanto() {
    return {u"RKT2010",
            {
                {u"関東 1/25万", 250000, 105, true},
                {u"関東 1/10万", 100000, 106, true},
                {u"関東 1/5万", 50000, 107, true},
                {u"関東 1/2.5万", 25000, 108, true},
                {u"関東 1/1万", 10000, 109, true},
                {u"関東 1/5000", 5000, 110, true},
            }};
}

}  // namespace

std::vector<DataSet> catalogueFor(const MapDataLoad& load) {
    if (!load.data) return {};
    return {nationwide(), kanto()};
}

std::vector<DataSet> defaultCatalogue() { return catalogueFor(builtInMapData()); }

}  // namespace vamu::mapcontrol
