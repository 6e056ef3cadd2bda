#include "panel/source_labels.h"

#include "contracts/text.h"

namespace vamu {

std::u16string sourceLabel(const tiles::TileSource& source) {
    if (source.name == "builtin") return u"内蔵の地図 (RDW2010)";
    if (source.name == "gsi-std") return u"地理院タイル 標準地図";
    if (source.name == "gsi-pale") return u"地理院タイル 淡色地図";
    if (source.name == "gsi-photo") return u"地理院タイル 写真";
    if (source.name == "osm") return u"OpenStreetMap";
    return u"タイル: " + fromUtf8(source.name);
}

}  // namespace vamu
