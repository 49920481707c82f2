// Near-misses of the grid orders.
//
// The module forms rows (by row) from artboards whose tops are exactly equal and columns
// (by column) from artboards whose lefts are exactly equal, with no tolerance. Artboards
// meant to share a row but placed a fraction of a unit apart therefore fall into different
// rows, and the numbering surprises. These checks find such places without changing how
// anything is numbered.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "hostsim/model/Document.h"

namespace hostsim::tool {

enum class GridOrder { ByRow, ByColumn };

// "row" / "column", as --by spells them.
const char* OrderName(GridOrder order);

// Two neighbouring rows (or columns) whose tops (or lefts) differ by less than one unit,
// each named by one of its artboards: the first of that row or column in grid order.
struct NearMiss {
    GridOrder order = GridOrder::ByRow;
    std::size_t first = 0;   // position in the document; its row comes first in grid order
    std::size_t second = 0;  // position of an artboard of the next row (or column)
};

// Every near-miss of `document` under `order`, in grid order.
std::vector<NearMiss> FindNearMisses(const Document& document, GridOrder order);

// One line for a person: the two artboards by number (position + 1) and name, and their
// tops or lefts.
std::string DescribeNearMiss(const Document& document, const NearMiss& miss);

}  // namespace hostsim::tool
