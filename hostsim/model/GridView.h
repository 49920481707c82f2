// The orders people ask for, as views of a document on which the module's own exact orders
// give them. The module orders rows by decreasing top (left to right within a row) and columns
// by increasing left (top to bottom within a column), rows and columns formed by exactly equal
// tops or lefts. A view changes only artboards' top-left corners:
//
// - Right to left: every corner reflected, x -> -x. Bottom up: y -> -y. Sizes are kept, so an
//   artboard's right and bottom edges never decide its place.
// - Tolerance D (after reflecting): rows are gathered in walking order, highest top first. The
//   first artboard opens a row and anchors it; each next artboard joins the open row when its
//   top lies within D of the anchor's top, else it opens (and anchors) the next row. Every
//   member's top becomes its anchor's. A row thus spans at most D, and a slope of artboards
//   each a little lower than the one before is cut every D, never chained into one row.
//   Columns likewise over lefts, leftmost first.
//
// Nothing here changes a document; the view is a list of corners, one per position.
#pragma once

#include <cstddef>
#include <vector>

#include "hostsim/model/Document.h"

namespace hostsim {

struct ViewOptions {
    bool byColumn = false;     // the module's by-column order; else by row
    double tolerance = 0;      // D, in document units; finite and not negative
    bool rightToLeft = false;  // x -> -x
    bool bottomUp = false;     // y -> -y

    // True when the view is the document itself, so the module's order needs no view.
    bool IsExact() const { return tolerance == 0 && !rightToLeft && !bottomUp; }
};

// One row (or column) of a view: positions in the document, in walking order of the line key
// (ties in the order of their positions).
using GridLine = std::vector<std::size_t>;

// The rows (by row) or columns (by column) the view forms, first line first. Every position
// is in exactly one line.
std::vector<GridLine> ViewLines(const Document& document, const ViewOptions& options);

// The bounds each position takes in the view: reflected as asked, its top (by row) or left (by
// column) snapped to its line's anchor, width and height kept (in float, as near as a float
// can hold them where the reflected corner is far out).
std::vector<Rect> ViewBounds(const Document& document, const ViewOptions& options);

// The smallest tolerance at which the view (with `options`' tolerance replaced) puts positions
// `a` and `b` into one line: a difference of two line keys. Never below |key(a) - key(b)|.
// Tries a bounded number of candidates (the smallest first) before the one that surely joins.
double JoiningTolerance(const Document& document, const ViewOptions& options, std::size_t a,
                        std::size_t b);

}  // namespace hostsim
