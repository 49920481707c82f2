// Documents in Quorvane's own JSON format:
//
//   { "artboards": [
//       { "name": "Cover", "bounds": [0, 792, 612, 0], "pixelAspectRatio": 1,
//         "displayMarks": [0, 2], "rulerOrigin": [0, 0] } ] }
//
// `bounds` is [left, top, right, bottom] with y pointing up. "pixelAspectRatio",
// "displayMarks" and "rulerOrigin" may be left out and then hold 1, [] and [0, 0].
//
// A file may begin with a UTF-8 byte-order mark, as editors on Windows write one: it is read
// past and written back.
//
// What the host does not know is kept where the host keeps its own data, as the text it was
// written in (an integer beyond 64 bits, a number beyond the range of doubles such as 1e400,
// escapes in strings all stay as they are): keys of an artboard object other
// than the five above stay with the position (the k-th object of the list) when the
// artboards' properties move between positions, and top-level keys other than "artboards"
// stay as they were. Each value is written on one line. The five properties travel with their
// artboard, and each arrives spelled as the input spelled it ("pixelAspectRatio": 1.0 stays 1.0,
// an explicit default stays explicit) wherever its value did not change; an optional key the
// input left out is written when its value differs from the default. So a document that did
// not change is written as it was read, and a renumbered one differs only where it must.
#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "hostsim/model/Document.h"

namespace hostsim::tool {

// The deepest nesting of lists and objects a JSON document may have. Ours need 4; the limit
// leaves room for what other programs keep beside them, and keeps hostile nesting harmless.
inline constexpr std::size_t kJsonMaxDepth = 1000;

// The UTF-8 byte-order mark.
inline constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// One key of an object and its value, both as the file spells them.
struct JsonMember {
    std::string key;      // decoded
    std::string keyText;  // as written, quotes included
    std::string text;     // the value as written, outside blanks trimmed
};
using JsonMembers = std::vector<JsonMember>;

// How a JSON file was laid out beyond the artboards' properties. Values the host does not
// interpret are kept as their text, so that they are written back exactly as they were read.
struct JsonLayout {
    JsonMembers topLevel;                // the top-level object's members as read
    std::vector<JsonMembers> positions;  // each artboard object's members as read
    std::vector<Artboard> originals;     // each artboard as read
    // The line of each artboard's "name" and "bounds" (of the object where one is missing).
    std::vector<int> nameLines;
    std::vector<int> boundsLines;
    bool byteOrderMark = false;  // the file began with one
};

struct JsonDocument {
    Document document;  // ids are the positions counted from 1
    JsonLayout layout;
};

// The keys a file in SVG form cannot hold: every top-level key other than "artboards", and
// every key of an artboard other than its five properties, as "\"version\"" and
// "artboard 2 \"id\"".
std::vector<std::string> KeysOnlyJsonHolds(const JsonLayout& layout);

// Reads `text`, the content of `file`. Throws InputError naming the file, and the line and
// artboard and field where the fault is; a key twice in one object, or nesting deeper than
// kJsonMaxDepth, is a fault.
JsonDocument ReadJsonDocument(const std::string& file, const std::string& text);

// The JSON text of `document`, laid out as `layout` says (positions beyond the layout's, and
// everything when `layout` is null, are written plainly). `sources[k]` is the position whose
// artboard now stands at k (empty: each stands where it was read), whose spelling of its
// properties it keeps where they did not change. One artboard per line; numbers the input did
// not spell in their shortest form. Reading the text back gives `document` again, ids aside.
std::string WriteJsonDocument(const Document& document, const JsonLayout* layout,
                              std::span<const std::size_t> sources = {});

}  // namespace hostsim::tool
