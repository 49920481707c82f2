// Documents in the SVG form of a multi-page vector editor: each `inkscape:page` element
// directly inside a `sodipodi:namedview` element is an artboard, and the order of those
// elements is the page order (the order in which the editor exports the pages). Elements and
// attributes are known by their namespace, whatever prefix a file gives it. A namedview with
// pages that is not directly inside the root is refused: the editor counts its pages too,
// but in an order of its own.
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
// of the numbers. A page that receives an attribute whose namespace has no prefix there gets
// the declaration on its own tag.
//
// The file must be well-formed XML (see XmlReader.h for what is read and what is refused).
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <vector>

#include "hostsim/model/Document.h"

namespace hostsim::tool {

inline constexpr const char* kSvgNamespace = "http://www.w3.org/2000/svg";
inline constexpr const char* kInkscapeNamespace = "http://www.inkscape.org/namespaces/inkscape";
inline constexpr const char* kSodipodiNamespace =
    "http://sodipodi.sourceforge.net/DTD/sodipodi-0.dtd";
// Our own attributes on page elements.
inline constexpr const char* kQuorvaneNamespace = "urn:quorvane:artboard";

// Where the pages of an SVG file are, and what they said when read.
struct SvgLayout {
    // How a page spells a new attribute of a namespace: with a prefix bound to it at the
    // page, or with a free prefix that must then be declared on the page's own tag.
    struct Spelling {
        std::string prefix;
        bool declare = false;
    };
    struct Page {
        std::size_t tagBegin = 0;  // offset of the element's '<' in `text`
        Artboard original;         // the properties as read
        // x, y, width and height as read; "0" for a missing x or y.
        std::array<std::string, 4> geometry;
        // The label and our own attributes (pixelAspectRatio, displayMarks, rulerOrigin) as
        // this page spells them; empty where the page has none.
        std::string labelName;
        std::array<std::string, 3> ownNames;
        Spelling inkscape;  // for a label the page does not have
        Spelling quorvane;  // for our attributes the page does not have
    };
    std::string text;  // the file's bytes
    std::vector<Page> pages;
};

struct SvgDocument {
    Document document;  // ids are the page positions counted from 1
    SvgLayout layout;
};

// Reads `text`, the content of `file` (UTF-8). Throws InputError naming the file, and the line
// and the page and attribute where the fault is: for text that is not well-formed XML, XML
// this program does not read (see XmlReader.h), and pages it cannot take.
SvgDocument ReadSvgDocument(const std::string& file, const std::string& text);

// The SVG text of `document`. With a layout (which must have as many pages as `document` has
// artboards), the layout's file with its page elements edited; without one, a new file that
// holds only the pages. Throws InputError, before writing anything, for a name holding a
// character XML 1.0 cannot hold (most control characters): no escape would give it back.
std::string WriteSvgDocument(const Document& document, const SvgLayout* layout);

}  // namespace hostsim::tool
