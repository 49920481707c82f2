// Documents in Quorvane's own JSON format:
//
//   { "artboards": [
//       { "name": "Cover", "bounds": [0, 792, 612, 0], "pixelAspectRatio": 1,
//         "displayMarks": [0, 2], "rulerOrigin": [0, 0] } ] }
//
// `bounds` is [left, top, right, bottom] with y pointing up. "pixelAspectRatio",
// "displayMarks" and "rulerOrigin" may be left out and then hold 1, [] and [0, 0].
//
// What the host does not know is kept where the host keeps its own data: keys of an artboard
// object other than the five above stay with the position (the k-th object of the list)
// when the artboards' properties move between positions, and top-level keys other than
// "artboards" stay as they were. An optional key is written when its value differs from the
// default, and where the input spelled it out for an artboard that is still the same, so
// that a document that did not change is written as it was read.
#pragma once

#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "hostsim/Document.h"

namespace hostsim::tool {

// How a JSON file was laid out beyond the artboards' properties. (The JSON values' moves
// check invariants that hold for every parsed value; they do not throw.)
struct JsonLayout {                                 // NOLINT(bugprone-exception-escape)
    nlohmann::ordered_json topLevel;                // the top-level object as read
    std::vector<nlohmann::ordered_json> positions;  // each artboard object as read
    std::vector<Artboard> originals;                // each artboard as read
};

struct JsonDocument {   // NOLINT(bugprone-exception-escape): as JsonLayout
    Document document;  // ids are the positions counted from 1
    JsonLayout layout;
};

// Reads `text`, the content of `file`. Throws InputError naming the file, and the line and
// artboard and field where the fault is.
JsonDocument ReadJsonDocument(const std::string& file, const std::string& text);

// The JSON text of `document`, laid out as `layout` says (positions beyond the layout's, and
// everything when `layout` is null, are written plainly). One artboard per line; numbers in
// their shortest form. Reading the text back gives `document` again, ids aside.
std::string WriteJsonDocument(const Document& document, const JsonLayout* layout);

}  // namespace hostsim::tool
