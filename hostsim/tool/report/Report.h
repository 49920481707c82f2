// What a renumbering did, for a person: where each artboard came from, and the tables the
// command line prints.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "hostsim/model/Document.h"

namespace hostsim::tool {

// For each position of `after`, the position of `before` whose artboard now stands there.
//
// The module renumbers by exchanging properties between positions; the host-kept id stays
// where it is, so it cannot tell where an artboard went. What travels is the set of
// travelling properties (SameTravellingProperties: bounds, name, pixel aspect ratio, display
// marks and ruler origin), so an artboard is recognised by all of them together. Artboards equal in
// all of them cannot be told apart, and which of them is said to have come from where makes no
// difference to any document: the position itself is preferred, then the lowest unclaimed one. A
// position whose properties match no artboard of `before` (a module that mixed properties of two
// artboards, or left one behind) is empty.
std::vector<std::optional<std::size_t>> TraceFormerPositions(const Document& before,
                                                             const Document& after);

// How a table gives an artboard's place: as the host's coordinates (left, top, right, bottom,
// y pointing up), or as the vector editor shows an SVG document's pages (x, y, width, height,
// y pointing down, in the document's user units).
enum class TableCoordinates { Artboards, EditorPages };

// The renumbering table: new number, name, left and top (x and y) and the number it had, one
// artboard a line, with a heading. Numbers count from 1.
std::string RenumberTable(const Document& after,
                          const std::vector<std::optional<std::size_t>>& formerPositions,
                          TableCoordinates coordinates = TableCoordinates::Artboards);

// The artboards of `document` in their current numbering: number, name, left, top, right
// and bottom (x, y, width and height).
std::string ShowTable(const Document& document,
                      TableCoordinates coordinates = TableCoordinates::Artboards);

// A page's x and y as the vector editor shows them: its left, and its top with y pointing
// down.
std::string EditorX(const Artboard& artboard);
std::string EditorY(const Artboard& artboard);

}  // namespace hostsim::tool
