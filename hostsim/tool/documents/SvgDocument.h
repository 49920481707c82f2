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
// Writing a document back moves whole page elements and edits their start tags, and nothing
// else. The module decides the new order; its permutation says, for each position, which
// page element stood there before (the stand-in host recovers it from the properties the
// module exchanged, as the orders' views do). Each page element travels whole to its new
// place in the list: every attribute (its id, export filename and resolution, margin, bleed,
// attributes of other namespaces), every child and its text, exactly as written. The places
// are the page elements' own spans of text, so what lies between them (line breaks,
// indentation, comments, other elements of the namedview) stays where it is and every page
// arrives indented as the page it replaces was. A page is one element in the editor's
// documents, and renumbering pages means putting those elements in the new order: settings of
// a page that stayed at its old place would belong to another page afterwards. A page moves
// between namedview elements only where both see the same namespace declarations, so that its
// prefixes mean there what they meant before; otherwise the document is refused before
// anything is written.
//
// Then, on each page element, only the start tag is edited, in place, and only where the
// properties it receives differ from those it was read with (a name given or taken away, say);
// a plain renumbering edits nothing. Without a permutation every page element stays where it
// is and receives the properties of whatever artboard is at its position now; geometry that
// came from another page then keeps that page's spelling of the numbers. A page that receives
// an attribute whose namespace has no prefix there gets the declaration on its own tag. Every
// byte outside the page elements stays as it was, a byte-order mark included.
//
// The file must be well-formed XML (see XmlReader.h for what is read and what is refused).
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <span>
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
        std::size_t end = 0;       // just after the element's end tag (or its "/>")
        // Pages with the same number here see the same namespace declarations around them
        // (they lie in the same namedview, or in namedviews that declare alike).
        std::size_t scope = 0;
        Artboard original;  // the properties as read
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
// artboards), the layout's file with its page elements moved and edited: `sources[k]` is the
// page whose element goes to position k, a permutation of the positions (empty: each stays
// where it is); std::invalid_argument otherwise. Without a layout, a new file that holds only
// the pages. Throws InputError, before writing anything, for an artboard an SVG file cannot
// hold (see UnwritableInSvg), and for a page that cannot move to another namedview.
std::string WriteSvgDocument(const Document& document, const SvgLayout* layout,
                             std::span<const std::size_t> sources = {});

// An artboard that an SVG file cannot hold, and why: a name holding a character XML 1.0
// cannot hold (most control characters; no escape would give it back), or bounds that a
// page's x, y, width and height would read back as other bounds.
struct SvgUnwritable {
    std::size_t artboard = 0;  // the position in the document
    std::string field;         // "name" or "bounds"
    std::string why;           // "the name holds U+0007, which ..."
};
// The artboards of `document` an SVG file cannot hold, in the document's order; empty when
// every one can be written.
std::vector<SvgUnwritable> UnwritableInSvg(const Document& document);

}  // namespace hostsim::tool
