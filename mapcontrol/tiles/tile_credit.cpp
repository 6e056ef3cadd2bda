#include "mapcontrol/tiles/tile_credit.h"

#include <algorithm>

#include "mapcontrol/canvas.h"
#include "mapcontrol/palette.h"

namespace vamu::tiles {

namespace {

constexpr std::int32_t kEdge = 2;     // between the box and the picture's edge
constexpr std::int32_t kPadding = 3;  // between the box and its text

std::u32string_view trimmed(std::u32string_view s) {
    while (!s.empty() && s.front() == U' ') s.remove_prefix(1);
    while (!s.empty() && s.back() == U' ') s.remove_suffix(1);
    return s;
}

}  // namespace

std::vector<std::u32string> wrapCredit(std::u32string_view credit, const mapcontrol::TextPainter& text,
                                       std::int32_t maxWidth) {
    std::vector<std::u32string> lines;
    std::u32string_view rest = trimmed(credit);
    while (!rest.empty()) {
        std::size_t end = 0, lastSpace = 0;
        std::int32_t width = 0;
        while (end < rest.size()) {
            const std::int32_t w = text.width(rest.substr(end, 1));
            if (end > 0 && width + w > maxWidth) break;
            if (rest[end] == U' ') lastSpace = end;
            width += w;
            ++end;
        }
        if (end < rest.size() && lastSpace > 0) end = lastSpace;
        lines.emplace_back(trimmed(rest.substr(0, end)));
        rest = trimmed(rest.substr(end));
    }
    return lines;
}

mapcontrol::PixelBox drawCredit(Image& image, std::u32string_view credit, const mapcontrol::TextPainter& text,
                                const mapcontrol::PixelBox& avoid) {
    const std::int32_t maxWidth = std::max(1, image.width - 2 * (kEdge + kPadding));
    const std::vector<std::u32string> lines = wrapCredit(credit, text, maxWidth);
    if (lines.empty()) return {};
    std::int32_t widest = 0;
    for (const auto& line : lines) widest = std::max(widest, text.width(line));
    const std::int32_t lineHeight = text.height();
    const std::int32_t boxWidth = widest + 2 * kPadding;
    const std::int32_t boxHeight = static_cast<std::int32_t>(lines.size()) * lineHeight + 2 * kPadding;
    mapcontrol::PixelBox box{image.width - kEdge - boxWidth, image.height - kEdge - boxHeight,
                             image.width - kEdge, image.height - kEdge};
    if (box.overlaps(avoid)) {
        box.y1 = avoid.y0 - kEdge;
        box.y0 = box.y1 - boxHeight;
    }
    mapcontrol::Canvas canvas(image);
    canvas.fillRect(box.x0, box.y0, box.x1, box.y1, mapcontrol::palette::kLabelBack);
    std::int32_t y = box.y0 + kPadding;
    for (const auto& line : lines) {
        text.draw(canvas, box.x1 - kPadding - text.width(line), y, line, mapcontrol::palette::kText, false);
        y += lineHeight;
    }
    return box;
}

}  // namespace vamu::tiles
