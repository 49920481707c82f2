// Near-misses of the grid orders.
//
// The module forms rows (by row) from artboards whose tops are exactly equal and columns (by
// column) from artboards whose lefts are exactly equal; a view (hostsim/model/GridView.h) may
// join tops or lefts within a tolerance. Artboards meant to share a row but placed apart still
// fall into different rows, and the numbering surprises. These checks find such places, as the
// eye sees them, without changing how anything is numbered: two artboards of neighbouring
// rows are a near-miss when they overlap vertically by more than half the shorter one's height
// (columns: horizontally, by more than half the narrower one's width), whatever the gap
// between their tops. Well-separated grids never overlap so.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "hostsim/model/Document.h"
#include "hostsim/model/GridView.h"
#include "hostsim/tool/report/Report.h"

namespace hostsim::tool {

enum class GridOrder { ByRow, ByColumn };

// "row" / "column", as --by spells them.
const char* OrderName(GridOrder order);

// Two artboards of neighbouring rows (or columns) that overlap as above: of each pair of
// neighbouring lines, the first such pair, the earlier line's artboard first (each line walked
// left to right, or top to bottom, in the view).
struct NearMiss {
    GridOrder order = GridOrder::ByRow;
    std::size_t first = 0;   // position in the document; its line comes first in the view
    std::size_t second = 0;  // position of an artboard of the next line
    // The text of the smallest tolerance found that puts the two into one line: a few digits,
    // rounded up as far as that still joins them. Found for the first kDescribedNearMisses
    // only (each costs a few passes over the document); empty for the rest.
    std::string tolerance;
};

// How many near-misses a warning describes; the rest are counted ("and 12 more").
inline constexpr std::size_t kDescribedNearMisses = 10;

// Every near-miss of `document` under the view `options`, in walking order.
std::vector<NearMiss> FindNearMisses(const Document& document, const ViewOptions& options);
// The same under the module's exact order.
std::vector<NearMiss> FindNearMisses(const Document& document, GridOrder order);

// One line for a person: the two artboards by number (position + 1) and name, their tops or
// lefts, and the tolerance that joins them.
// An SVG document's pages are named pages, with y as the editor shows it (pointing down).
std::string DescribeNearMiss(const Document& document, const NearMiss& miss,
                             TableCoordinates coordinates = TableCoordinates::Artboards);

// A tolerance as an option takes it: the shortest decimal text that reads back to `value`.
std::string FormatTolerance(double value);

}  // namespace hostsim::tool
