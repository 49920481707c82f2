// Documents in the SVG form of a multi-page vector editor: each `inkscape:page` element
// inside `sodipodi:namedview` is an artboard, and the order of those elements is the page
// order (the order in which the editor exports the pages).
//
// A page's `x`, `y`, `width` and `height` are user units with y pointing down; the host's
// y points up. The two meet at y = 0: an artboard's left is x, its top is -y, its right is
// x + width and its bottom is -(y + height). The name is `inkscape:label` (no label, empty
// name). Properties SVG has no attribute for are attributes of our own namespace on the
// page element, left out while they hold their defaults:
//   quorvane:pixelAspectRatio="2"  quorvane:displayMarks="0 2"  quorvane:rulerOrigin="10 -5"
//
// Writing a document back edits only the start tags of the page elements, in place, and
// only where a value changed; every other byte of the file stays as it was. The elements
// themselves never move: like the host's positions, the k-th page element receives the
// properties of whatever artboard is k-th now, and keeps its id and any attribute this
// program does not know. Geometry that moved from another page keeps that page's spelling
// of the numbers.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <vector>

#include "hostsim/Document.h"

namespace hostsim::tool {

inline constexpr const char* kSvgNamespace = "http://www.w3.org/2000/svg";
inline constexpr const char* kInkscapeNamespace = "http://www.inkscape.org/namespaces/inkscape";
inline constexpr const char* kSodipodiNamespace =
    "http://sodipodi.sourceforge.net/DTD/sodipodi-0.dtd";
// Our own attributes on page elements.
inline constexpr const char* kQuorvaneNamespace = "urn:quorvane:artboard";

// Where the pages of an SVG file are, and what they said when read.
struct SvgLayout {
    struct Page {
        std::size_t tagBegin = 0;  // offset of the element's '<' in `text`
        Artboard original;         // the properties as read
        // The spelling of x, y, width and height as read; "0" for a missing x or y.
        std::array<std::string, 4> geometry;
        std::string labelName;       // the label attribute's name as this page spells it
        std::string quorvanePrefix;  // bound to kQuorvaneNamespace at this page, or empty
    };
    std::string text;  // the file's bytes
    std::size_t rootTagBegin = 0;
    std::vector<Page> pages;
};

struct SvgDocument {
    Document document;  // ids are the page positions counted from 1
    SvgLayout layout;
};

// Reads `text`, the content of `file` (UTF-8). Throws InputError naming the file, and the line
// and the page and attribute where the fault is.
SvgDocument ReadSvgDocument(const std::string& file, const std::string& text);

// The SVG text of `document`. With a layout (which must have as many pages as `document` has
// artboards), the layout's file with its page elements edited; without one, a new file that
// holds only the pages.
std::string WriteSvgDocument(const Document& document, const SvgLayout* layout);

}  // namespace hostsim::tool
