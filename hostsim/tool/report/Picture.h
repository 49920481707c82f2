// A picture of a document's layout: an SVG file, drawn to scale, that shows at a glance which
// number each artboard has.
//
// Each artboard is outlined where it lies (y pointing down, as on screen) with its number
// large in the middle, its name below, and, after a renumbering, the number it had before.
// A thin line runs through the artboards in number order. Artboards that took a new number
// are outlined in orange; artboards in a near-miss are outlined in red, dashed. Under a view,
// each row (or column) it forms is a pale band behind its artboards, so a person sees why an
// artboard landed where it did. The file
// uses only plain SVG 1.1 (rectangles, lines and text), so browsers and the vector editor
// draw it alike.
#pragma once

#include <cstddef>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "hostsim/model/Document.h"

namespace hostsim::tool {

struct PictureContent {
    std::string title;  // one line above the drawing
    // For each position of the document, its number before the renumbering (counted from 1);
    // empty when the picture shows a numbering without a before.
    std::vector<std::optional<std::size_t>> formerNumbers;
    std::set<std::size_t> nearMisses;  // positions outlined as part of a near-miss
    // The rows (or columns) of the order shown, each drawn as a band behind its artboards;
    // empty for none. `lineNoun` names them in the key ("row", "column").
    std::vector<std::vector<std::size_t>> lines;
    std::string lineNoun;
};

// The SVG text of the picture of `document` in its current numbering.
std::string DrawPicture(const Document& document, const PictureContent& content);

}  // namespace hostsim::tool
