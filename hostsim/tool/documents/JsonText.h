// The JSON reader's and writer's work on the text itself, apart from what it means: the
// known keys, the nesting limit, where each part of a document lies and how each value is
// spelled, and the messages that point there. Used by JsonDocument.cpp only.
#pragma once

#include <array>
#include <cstdint>
#include <initializer_list>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

#include <nlohmann/json.hpp>

#include "hostsim/tool/documents/InputError.h"
#include "hostsim/tool/documents/JsonDocument.h"

namespace hostsim::tool::json {

using Json = nlohmann::ordered_json;

inline constexpr std::string_view kArtboards = "artboards";
inline constexpr std::string_view kName = "name";
inline constexpr std::string_view kBounds = "bounds";
inline constexpr std::string_view kPixelAspectRatio = "pixelAspectRatio";
inline constexpr std::string_view kDisplayMarks = "displayMarks";
inline constexpr std::string_view kRulerOrigin = "rulerOrigin";
inline constexpr std::array<std::string_view, 5> kKnownKeys = {kName, kBounds, kPixelAspectRatio,
                                                               kDisplayMarks, kRulerOrigin};

bool IsKnownKey(std::string_view key);

// Refuses nesting deeper than kJsonMaxDepth before the text is parsed, with the line where it
// goes too deep (InputError). Only strings and brackets are followed, so invalid JSON is left
// to the parser.
void CheckDepth(const std::string& file, std::string_view text);

// The text of a key as written ("na\u006de", quotes included), decoded.
std::string DecodedKey(std::string_view keyText);

// The parts of a JSON text that messages point at and that are kept as written: each
// element of the top-level "artboards" list and each member of the top-level object and of
// those elements. The text is known to be valid JSON when this runs, so the scan only follows
// strings and brackets.
struct JsonPlaces {
    int artboardsLine = 0;
    std::vector<int> artboardLines;
    std::vector<std::map<std::string, int>> keyLines;
    JsonMembers topLevel;
    std::vector<JsonMembers> artboardMembers;
    // The first key found twice in the top-level object or an artboard object: where (empty
    // for the top level, else "artboard N"), key, line.
    std::optional<std::tuple<std::string, std::string, int>> repeatedKey;

    int LineOf(std::size_t artboard) const {
        return artboard < artboardLines.size() ? artboardLines[artboard] : artboardsLine;
    }
    int LineOf(std::size_t artboard, std::string_view key) const {
        if (artboard < keyLines.size()) {
            const auto found = keyLines[artboard].find(std::string(key));
            if (found != keyLines[artboard].end()) {
                return found->second;
            }
        }
        return LineOf(artboard);
    }
};

// The numbers of a text too large for a 64-bit float (1e400, or an integer of 400 digits):
// valid JSON, which the parser refuses. `patched` is the text with each of them replaced by
// "0" and blanks, byte for byte as long, so that lines and offsets stay (empty when there are
// none); `byOrdinal` gives each one's spelling and line by its place among all the numbers of
// the text, counted from 0 in the order the parser reports them.
struct HugeNumbers {
    std::string patched;
    std::map<std::size_t, std::pair<std::string, int>> byOrdinal;
};
HugeNumbers FindHugeNumbers(std::string_view text);

// `text` without the blanks around it.
std::string_view Trimmed(std::string_view text);
// Where the parts of `text`, known to be valid JSON, lie.
JsonPlaces LocateParts(std::string_view text);

// "a string", "an array", ...: what a JSON value is, for messages.
std::string Describe(const Json& value);
// The message of a parse error without the library's prefix, and the line it names.
InputError ParseFailure(const std::string& file, std::string_view text,
                        const nlohmann::json::exception& error);

// A value's text on one line, spaced as the writer spaces everything: no blanks but one space
// after each colon and comma, outside strings. Strings and numbers keep their spelling.
std::string OneLine(std::string_view text);

// "[1, 2.5]" and "[0, 2]": lists of numbers as the writer spells them.
std::string FloatList(std::initializer_list<float> values);
std::string MarkList(const DisplayMarkSet& kinds);

}  // namespace hostsim::tool::json
