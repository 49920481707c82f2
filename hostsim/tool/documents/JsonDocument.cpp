#include "hostsim/tool/documents/JsonDocument.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <new>
#include <optional>
#include <string_view>

#include <nlohmann/json.hpp>

#include "hostsim/tool/documents/FloatText.h"
#include "hostsim/tool/documents/InputError.h"

namespace hostsim::tool {

using Json = nlohmann::ordered_json;

namespace {

constexpr std::string_view kArtboards = "artboards";
constexpr std::string_view kName = "name";
constexpr std::string_view kBounds = "bounds";
constexpr std::string_view kPixelAspectRatio = "pixelAspectRatio";
constexpr std::string_view kDisplayMarks = "displayMarks";
constexpr std::string_view kRulerOrigin = "rulerOrigin";
constexpr std::array<std::string_view, 5> kKnownKeys = {kName, kBounds, kPixelAspectRatio,
                                                        kDisplayMarks, kRulerOrigin};

bool IsKnownKey(std::string_view key) {
    for (const auto known : kKnownKeys) {
        if (key == known) {
            return true;
        }
    }
    return false;
}

// Refuses nesting deeper than kJsonMaxDepth before the text is parsed, with the line where
// it goes too deep. Only strings and brackets are followed, so invalid JSON is left to the
// parser.
void CheckDepth(const std::string& file, std::string_view text) {
    std::size_t depth = 0;
    int line = 1;
    bool inString = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\n') {
            ++line;
        } else if (c == '\0') {
            // The parser would take it for the end of the text and ignore what follows.
            throw InputError(
                Located(file, line, "not valid JSON: a NUL byte, which JSON text cannot hold"));
        } else if (inString) {
            if (c == '\\') {
                ++i;
            } else if (c == '"') {
                inString = false;
            }
        } else if (c == '"') {
            inString = true;
        } else if (c == '[' || c == '{') {
            if (++depth > kJsonMaxDepth) {
                throw InputError(Located(
                    file, line,
                    "lists and objects nest more than " + std::to_string(kJsonMaxDepth) + " deep"));
            }
        } else if ((c == ']' || c == '}') && depth > 0) {
            --depth;
        }
    }
}

// The text of a key as written ("na\u006de", quotes included), decoded.
std::string DecodedKey(std::string_view keyText) {
    try {
        return Json::parse(keyText).get<std::string>();
    } catch (const Json::exception&) {
        return std::string(keyText);  // not reached for text the parser accepted
    }
}

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

std::string_view Trimmed(std::string_view text) {
    const auto begin = text.find_first_not_of(" \t\r\n");
    if (begin == std::string_view::npos) {
        return {};
    }
    return text.substr(begin, text.find_last_not_of(" \t\r\n") - begin + 1);
}

JsonPlaces LocateParts(std::string_view text) {
    struct Frame {
        bool isObject = false;
        bool expectKey = false;      // objects: the next string is a key
        std::string key;             // objects: the key of the value being read, decoded
        std::string keyText;         // ... and as written
        std::size_t valueBegin = 0;  // objects: just after the colon of that key
        bool inMember = false;       // objects: a member is being read
        std::size_t index = 0;       // arrays: the element being read
        bool inArtboards = false;    // this array is the top-level "artboards" value
        bool isArtboard = false;     // this object is an element of it
        bool isTopLevel = false;     // the document's object
        std::size_t artboard = 0;
        std::map<std::string, int> keys;  // top level and artboards: each key's line
    };
    JsonPlaces places;
    std::vector<Frame> stack;
    int line = 1;
    // Called as a value begins at the current line.
    auto valueBegins = [&](bool opensObject, bool opensArray) {
        Frame frame;
        frame.isObject = opensObject;
        frame.expectKey = opensObject;
        frame.isTopLevel = stack.empty() && opensObject;
        if (!stack.empty()) {
            const Frame& parent = stack.back();
            if (parent.inArtboards) {
                places.artboardLines.push_back(line);
                places.keyLines.emplace_back();
                places.artboardMembers.emplace_back();
                frame.isArtboard = opensObject;
                frame.artboard = parent.index;
            }
            if (parent.isTopLevel && parent.key == kArtboards) {
                places.artboardsLine = line;
                frame.inArtboards = opensArray;
            }
        }
        if (opensObject || opensArray) {
            stack.push_back(frame);
        }
    };
    // Called at the comma or brace that ends a member of the innermost object.
    auto memberEnds = [&](std::size_t end) {
        Frame& frame = stack.back();
        if (!frame.isObject || !frame.inMember) {
            return;
        }
        frame.inMember = false;
        JsonMember member{
            frame.key, frame.keyText,
            std::string(Trimmed(text.substr(frame.valueBegin, end - frame.valueBegin)))};
        if (frame.isTopLevel) {
            places.topLevel.push_back(std::move(member));
        } else if (frame.isArtboard) {
            places.artboardMembers[frame.artboard].push_back(std::move(member));
        }
    };
    std::size_t i = 0;
    while (i < text.size()) {
        const char c = text[i];
        if (c == '\n') {
            ++line;
            ++i;
        } else if (c == '{' || c == '[') {
            valueBegins(c == '{', c == '[');
            ++i;
        } else if (c == '}' || c == ']') {
            if (!stack.empty()) {
                memberEnds(i);
                stack.pop_back();
            }
            ++i;
        } else if (c == ',') {
            if (!stack.empty()) {
                memberEnds(i);
                stack.back().expectKey = stack.back().isObject;
                ++stack.back().index;
            }
            ++i;
        } else if (c == '"') {
            const std::size_t begin = i;
            ++i;
            while (i < text.size() && text[i] != '"') {
                i += text[i] == '\\' ? 2 : 1;
            }
            ++i;
            if (!stack.empty() && stack.back().isObject && stack.back().expectKey) {
                Frame& frame = stack.back();
                frame.keyText = std::string(text.substr(begin, i - begin));
                frame.key = DecodedKey(frame.keyText);
                frame.expectKey = false;
                if (frame.isTopLevel || frame.isArtboard) {
                    if (!frame.keys.emplace(frame.key, line).second && !places.repeatedKey) {
                        places.repeatedKey = std::make_tuple(
                            frame.isTopLevel ? std::string()
                                             : "artboard " + std::to_string(frame.artboard + 1),
                            frame.key, line);
                    }
                    if (frame.isArtboard) {
                        places.keyLines[frame.artboard].emplace(frame.key, line);
                    }
                }
            } else {
                valueBegins(false, false);
            }
        } else if (c == ':') {
            if (!stack.empty() && stack.back().isObject) {
                stack.back().valueBegin = i + 1;
                stack.back().inMember = true;
            }
            ++i;
        } else if (c == ' ' || c == '\t' || c == '\r') {
            ++i;
        } else {
            // A number or a literal: one value, however long.
            valueBegins(false, false);
            while (i < text.size() &&
                   std::string_view(",]}\n \t\r").find(text[i]) == std::string_view::npos) {
                ++i;
            }
        }
    }
    return places;
}

// "a string", "an array", ...: what a JSON value is, for messages.
std::string Describe(const Json& value) {
    switch (value.type()) {
        case Json::value_t::object:
            return "an object";
        case Json::value_t::array:
            return "a list";
        case Json::value_t::string:
            return "a string";
        case Json::value_t::boolean:
            return value.get<bool>() ? "true" : "false";
        case Json::value_t::null:
            return "null";
        default:
            return "the number " + value.dump();
    }
}

// Turns the parts of one artboard object into an Artboard, with messages that say where.
class ArtboardReader {
  public:
    ArtboardReader(const std::string& file, const JsonPlaces& places, std::size_t index)
        : file_(file), places_(places), index_(index) {}

    Artboard Read(const Json& object) {
        if (!object.is_object()) {
            Fail(places_.LineOf(index_),
                 "must be an object with \"name\" and \"bounds\", not " + Describe(object));
        }
        Artboard artboard;
        const auto name = object.find(std::string(kName));
        if (name == object.end()) {
            Fail(places_.LineOf(index_), "has no \"name\"");
        }
        if (!name->is_string()) {
            FailField(kName, "must be a string, not " + Describe(*name));
        }
        artboard.name = name->get<std::string>();
        name_ = artboard.name;

        const auto bounds = object.find(std::string(kBounds));
        if (bounds == object.end()) {
            Fail(places_.LineOf(index_), "has no \"bounds\" [left, top, right, bottom]");
        }
        const auto values = Numbers(*bounds, kBounds, 4, "[left, top, right, bottom]");
        artboard.bounds = {values[0], values[1], values[2], values[3]};
        if (!(artboard.bounds.right > artboard.bounds.left)) {
            FailField(kBounds, "right (" + FormatFloat(artboard.bounds.right) +
                                   ") must be greater than left (" +
                                   FormatFloat(artboard.bounds.left) + ")");
        }
        if (!(artboard.bounds.top > artboard.bounds.bottom)) {
            FailField(kBounds, "top (" + FormatFloat(artboard.bounds.top) +
                                   ") must be greater than bottom (" +
                                   FormatFloat(artboard.bounds.bottom) +
                                   "): y points up, so the top edge has the larger value");
        }

        if (const auto ratio = object.find(std::string(kPixelAspectRatio)); ratio != object.end()) {
            artboard.pixelAspectRatio = Number(*ratio, kPixelAspectRatio);
            if (!(artboard.pixelAspectRatio > 0)) {
                FailField(kPixelAspectRatio,
                          "must be greater than 0, not " + FormatFloat(artboard.pixelAspectRatio));
            }
        }
        if (const auto marks = object.find(std::string(kDisplayMarks)); marks != object.end()) {
            artboard.displayMarks = DisplayMarks(*marks);
        }
        if (const auto origin = object.find(std::string(kRulerOrigin)); origin != object.end()) {
            const auto point = Numbers(*origin, kRulerOrigin, 2, "[h, v]");
            artboard.rulerOrigin = {point[0], point[1]};
        }
        return artboard;
    }

  private:
    [[noreturn]] void Fail(int line, const std::string& what) const {
        std::string subject = "artboard " + std::to_string(index_ + 1);
        if (name_) {
            subject += " (\"" + Printable(*name_) + "\")";
        }
        const bool joined = !what.empty() && what.front() == ':';
        throw InputError(Located(file_, line, subject + (joined ? "" : " ") + what));
    }
    [[noreturn]] void FailField(std::string_view key, const std::string& what) const {
        Fail(places_.LineOf(index_, key), ": \"" + std::string(key) + "\" " + what);
    }

    float Number(const Json& value, std::string_view key) const {
        if (!value.is_number()) {
            FailField(key, "must be a number, not " + Describe(value));
        }
        const auto single = ToFloat(value.get<double>());
        if (!single) {
            FailField(key, value.dump() + " is out of the range of 32-bit floats");
        }
        return *single;
    }

    std::vector<float> Numbers(const Json& value, std::string_view key, std::size_t count,
                               const char* shape) const {
        if (!value.is_array() || value.size() != count) {
            const std::string found =
                value.is_array() ? "a list of " + std::to_string(value.size()) : Describe(value);
            FailField(key, std::string("must be ") + shape + ", " + std::to_string(count) +
                               " numbers, not " + found);
        }
        std::vector<float> result;
        for (std::size_t i = 0; i < count; ++i) {
            const Json& item = value[i];
            if (!item.is_number()) {
                FailField(key, "value " + std::to_string(i + 1) + " must be a number, not " +
                                   Describe(item));
            }
            const auto single = ToFloat(item.get<double>());
            if (!single) {
                FailField(key, "value " + std::to_string(i + 1) + " (" + item.dump() +
                                   ") is out of the range of 32-bit floats");
            }
            result.push_back(*single);
        }
        return result;
    }

    std::set<std::int32_t> DisplayMarks(const Json& value) const {
        if (!value.is_array()) {
            FailField(kDisplayMarks,
                      "must be a list of display-mark kinds, not " + Describe(value));
        }
        std::set<std::int32_t> kinds;
        for (const Json& item : value) {
            const std::int64_t kind = item.is_number_integer() ? item.get<std::int64_t>() : -1;
            const bool known = kind == 0 || kind == 1 || kind == 2 || kind == 4;
            if (!known) {
                FailField(kDisplayMarks,
                          "holds " + Describe(item) + "; the kinds are 0, 1, 2 and 4");
            }
            kinds.insert(static_cast<std::int32_t>(kind));
        }
        return kinds;
    }

    const std::string& file_;
    const JsonPlaces& places_;
    std::size_t index_;
    std::optional<std::string> name_;
};

// The message of a parse error without the library's prefix, and the line it names.
InputError ParseFailure(const std::string& file, std::string_view text,
                        const nlohmann::json::exception& error) {
    std::string what = error.what();
    // "[json.exception.parse_error.101] parse error at line 3, column 4: syntax error ..."
    if (const auto bracket = what.find("] "); bracket != std::string::npos) {
        what.erase(0, bracket + 2);
    }
    int line = 0;
    if (const auto* parse = dynamic_cast<const nlohmann::json::parse_error*>(&error)) {
        line = 1;
        for (std::size_t i = 0; i + 1 < parse->byte && i < text.size(); ++i) {
            line += text[i] == '\n' ? 1 : 0;
        }
        if (const auto colon = what.find(": "); colon != std::string::npos) {
            what.erase(0, colon + 2);
        }
    } else if (const auto quote = what.find('\''); quote != std::string::npos) {
        // "number overflow parsing '1e400'": the line of the first such number.
        const auto end = what.find('\'', quote + 1);
        const std::string token = what.substr(quote + 1, end - quote - 1);
        if (const auto at = text.find(token); !token.empty() && at != std::string_view::npos) {
            line = 1 + static_cast<int>(std::count(
                           text.begin(), text.begin() + static_cast<std::ptrdiff_t>(at), '\n'));
        }
    }
    return InputError(Located(file, line, "not valid JSON: " + what));
}

// Builds, while the text is parsed, only what the reader interprets: the artboard objects of
// the top-level "artboards" list, one at a time, and what the top level and that list are
// when they are not what they should be. Every other value is only checked as JSON (it is
// kept as its text), so that no large value of another program's becomes a tree in memory.
class ArtboardsSax {
  public:
    // More than any property holds: "bounds" holds 4 numbers, "displayMarks" at most 4 kinds.
    static constexpr std::size_t kMaxValuesInProperty = 64;

    using number_integer_t = Json::number_integer_t;
    using number_unsigned_t = Json::number_unsigned_t;
    using number_float_t = Json::number_float_t;
    using string_t = Json::string_t;
    using binary_t = Json::binary_t;

    ArtboardsSax(const std::string& file, std::string_view text) : file_(file), text_(text) {}

    // The JSON library's SAX interface names these members.
    // NOLINTBEGIN(readability-identifier-naming)
    bool null() { return Value(Json(nullptr)); }
    bool boolean(bool value) { return Value(Json(value)); }
    bool number_integer(number_integer_t value) { return Value(Json(value)); }
    bool number_unsigned(number_unsigned_t value) { return Value(Json(value)); }
    bool number_float(number_float_t value, const string_t& /*text*/) { return Value(Json(value)); }
    bool string(string_t& value) { return Value(Json(std::move(value))); }
    bool binary(binary_t& /*value*/) { return true; }
    bool start_object(std::size_t /*size*/) { return Open(Json::object()); }
    bool start_array(std::size_t /*size*/) { return Open(Json::array()); }
    bool end_object() { return Close(); }
    bool end_array() { return Close(); }
    bool key(string_t& key) {
        if (depth_ == 1) {
            topKey_ = key;
        } else if (Building() && depth_ == 3 && skipping_ == 0) {
            skipValue_ = !IsKnownKey(key);
            memberKey_ = key;
            pendingKey_ = key;
        } else {
            pendingKey_ = key;
        }
        return true;
    }
    bool parse_error(std::size_t /*position*/, const std::string& /*token*/,
                     const Json::exception& error) {
        throw ParseFailure(file_, text_, error);
    }
    // NOLINTEND(readability-identifier-naming)

    std::optional<Json> root;  // the whole value when it is not an object
    bool artboardsFound = false;
    std::optional<Json> artboardsOther;  // the "artboards" value when it is not a list
    std::vector<Json> artboards;         // the list's elements

  private:
    bool Building() const { return inArtboards_ && depth_ >= 2; }
    bool AtArtboardsValue() const {
        return depth_ == 1 && topKey_ == kArtboards && !artboardsFound;
    }

    // Inside an element, the values of keys the reader does not interpret are not built
    // (they are kept as their text), nor the members of an element that is not an object.
    bool Skipped() const { return skipping_ > 0 || (Building() && depth_ == 3 && skipValue_); }

    // A value inside an element being built goes into its container, which may hold no more
    // than a property could need.
    Json& Insert(Json value) {
        Json& container = *stack_.back();
        if (container.size() >= kMaxValuesInProperty) {
            throw InputError(Located(file_, 0,
                                     "artboard " + std::to_string(artboards.size()) + ": \"" +
                                         Printable(memberKey_) + "\" holds more than " +
                                         std::to_string(kMaxValuesInProperty) + " values"));
        }
        if (container.is_array()) {
            container.push_back(std::move(value));
            return container.back();
        }
        Json& slot = container[pendingKey_];
        slot = std::move(value);
        return slot;
    }

    bool Value(Json value) {
        if (Skipped()) {
            return true;
        }
        if (depth_ == 0) {
            root = std::move(value);
        } else if (AtArtboardsValue()) {
            artboardsFound = true;
            artboardsOther = std::move(value);
        } else if (Building()) {
            if (depth_ == 2) {
                artboards.push_back(std::move(value));
            } else {
                Insert(std::move(value));
            }
        }
        return true;
    }

    bool Open(Json container) {
        if (Skipped()) {
            ++skipping_;
            ++depth_;
            return true;
        }
        if (depth_ == 0 && !container.is_object()) {
            root = container;
        } else if (AtArtboardsValue()) {
            artboardsFound = true;
            inArtboards_ = container.is_array();
            if (!inArtboards_) {
                artboardsOther = container;
            }
        } else if (Building()) {
            if (depth_ == 2) {
                skipValue_ = container.is_array();
                artboards.push_back(std::move(container));
                stack_.push_back(&artboards.back());
            } else {
                stack_.push_back(&Insert(std::move(container)));
            }
        }
        ++depth_;
        return true;
    }

    bool Close() {
        --depth_;
        if (skipping_ > 0) {
            --skipping_;
        } else if (Building()) {
            stack_.pop_back();
        } else if (inArtboards_ && depth_ == 1) {
            inArtboards_ = false;
        }
        return true;
    }

    const std::string& file_;
    std::string_view text_;
    std::size_t depth_ = 0;  // containers open
    std::string topKey_;     // the top-level key whose value is being read
    std::string pendingKey_;
    std::string memberKey_;     // the key of the element's member being built
    bool skipValue_ = false;    // that member's value is not built
    std::size_t skipping_ = 0;  // containers open inside a value not built
    bool inArtboards_ = false;
    std::vector<Json*> stack_;  // the containers open inside the element being built
};

// A value's text on one line, spaced as the writer spaces everything: no blanks but one
// space after each colon and comma, outside strings. Strings and numbers keep their spelling.
std::string OneLine(std::string_view text) {
    std::string line;
    line.reserve(text.size());
    bool inString = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (inString) {
            line += c;
            if (c == '\\' && i + 1 < text.size()) {
                line += text[++i];
            } else if (c == '"') {
                inString = false;
            }
        } else if (c == '"') {
            inString = true;
            line += c;
        } else if (c == ',' || c == ':') {
            line += c;
            line += ' ';
        } else if (c != ' ' && c != '\t' && c != '\r' && c != '\n') {
            line += c;
        }
    }
    return line;
}

std::string FloatList(std::initializer_list<float> values) {
    std::string text = "[";
    bool first = true;
    for (const float value : values) {
        text += first ? "" : ", ";
        text += FormatFloat(value);
        first = false;
    }
    return text + "]";
}

std::string MarkList(const std::set<std::int32_t>& kinds) {
    std::string text = "[";
    bool first = true;
    for (const auto kind : kinds) {
        text += first ? "" : ", ";
        text += std::to_string(kind);
        first = false;
    }
    return text + "]";
}

// The JSON text of a known key's value.
std::string KnownValue(const Artboard& artboard, std::string_view key) {
    if (key == kName) {
        return Json(artboard.name).dump();
    }
    if (key == kBounds) {
        const auto& b = artboard.bounds;
        return FloatList({b.left, b.top, b.right, b.bottom});
    }
    if (key == kPixelAspectRatio) {
        return FormatFloat(artboard.pixelAspectRatio);
    }
    if (key == kDisplayMarks) {
        return MarkList(artboard.displayMarks);
    }
    return FloatList({artboard.rulerOrigin.h, artboard.rulerOrigin.v});
}

bool HoldsDefault(const Artboard& artboard, std::string_view key) {
    if (key == kPixelAspectRatio) {
        return artboard.pixelAspectRatio == 1;
    }
    if (key == kDisplayMarks) {
        return artboard.displayMarks.empty();
    }
    if (key == kRulerOrigin) {
        return artboard.rulerOrigin == Point{};
    }
    return false;  // name and bounds are always written
}

bool SameProperties(const Artboard& a, const Artboard& b) {
    return a.name == b.name && a.bounds == b.bounds && a.pixelAspectRatio == b.pixelAspectRatio &&
           a.displayMarks == b.displayMarks && a.rulerOrigin == b.rulerOrigin;
}

// One artboard object. `original` is the object the position held when read and
// `originalArtboard` what it said; both null for a position the file did not have.
std::string ArtboardLine(const Artboard& artboard, const JsonMembers* original,
                         const Artboard* originalArtboard) {
    std::string text = "{";
    bool first = true;
    auto add = [&](const std::string& keyText, const std::string& value) {
        text += first ? "" : ", ";
        text += keyText + ": " + value;
        first = false;
    };
    const bool unchanged =
        originalArtboard != nullptr && SameProperties(artboard, *originalArtboard);
    if (original != nullptr) {
        for (const auto& member : *original) {
            if (!IsKnownKey(member.key)) {
                add(member.keyText, OneLine(member.text));
            } else if (unchanged || !HoldsDefault(artboard, member.key)) {
                add(Json(member.key).dump(), KnownValue(artboard, member.key));
            }
        }
    }
    for (const auto key : kKnownKeys) {
        const bool written = original != nullptr && std::any_of(original->begin(), original->end(),
                                                                [&](const JsonMember& member) {
                                                                    return member.key == key;
                                                                });
        if (!written && !HoldsDefault(artboard, key)) {
            add(Json(std::string(key)).dump(), KnownValue(artboard, key));
        }
    }
    return text + "}";
}

JsonDocument ReadParsed(const std::string& file, const std::string& text, ArtboardsSax& parsed) {
    Json::sax_parse(text, &parsed);
    if (parsed.root) {
        throw InputError(Located(
            file, 1,
            "must be a JSON object with an \"artboards\" list, not " + Describe(*parsed.root)));
    }
    JsonPlaces places = LocateParts(text);
    if (places.repeatedKey) {
        const auto& [where, key, line] = *places.repeatedKey;
        throw InputError(Located(file, line,
                                 (where.empty() ? std::string("the document") : where) +
                                     " has the key \"" + Printable(key) + "\" twice"));
    }
    if (!parsed.artboardsFound) {
        throw InputError(Located(file, 0, "has no \"artboards\" list"));
    }
    if (parsed.artboardsOther) {
        throw InputError(
            Located(file, places.artboardsLine,
                    "\"artboards\" must be a list, not " + Describe(*parsed.artboardsOther)));
    }
    JsonDocument result;
    result.document.name = file;
    for (std::size_t i = 0; i < parsed.artboards.size(); ++i) {
        Artboard artboard = ArtboardReader(file, places, i).Read(parsed.artboards[i]);
        artboard.id = i + 1;
        result.layout.originals.push_back(artboard);
        result.document.artboards.push_back(std::move(artboard));
        result.layout.positions.push_back(i < places.artboardMembers.size()
                                              ? std::move(places.artboardMembers[i])
                                              : JsonMembers{});
    }
    result.layout.topLevel = std::move(places.topLevel);
    return result;
}

}  // namespace

JsonDocument ReadJsonDocument(const std::string& file, const std::string& text) {
    CheckDepth(file, text);
    // JSON values allocate while they are destroyed. When memory runs out as they are built,
    // this much is given back first, so that those built so far can be destroyed.
    auto reserve = std::make_unique_for_overwrite<char[]>(std::size_t{1} << 20);
    ArtboardsSax parsed(file, text);
    try {
        return ReadParsed(file, text, parsed);
    } catch (const std::bad_alloc&) {
        reserve.reset();
        throw;
    }
}

std::string WriteJsonDocument(const Document& document, const JsonLayout* layout) {
    std::string list;
    if (document.artboards.empty()) {
        list = "[]";
    } else {
        list = "[\n";
        for (std::size_t i = 0; i < document.artboards.size(); ++i) {
            const bool known =
                layout != nullptr && i < layout->positions.size() && i < layout->originals.size();
            list += "    " + ArtboardLine(document.artboards[i],
                                          known ? &layout->positions[i] : nullptr,
                                          known ? &layout->originals[i] : nullptr);
            list += i + 1 < document.artboards.size() ? ",\n" : "\n";
        }
        list += "  ]";
    }

    std::string text = "{\n";
    bool first = true;
    auto add = [&](const std::string& keyText, const std::string& value) {
        text += first ? "" : ",\n";
        text += "  " + keyText + ": " + value;
        first = false;
    };
    bool listWritten = false;
    if (layout != nullptr) {
        for (const auto& member : layout->topLevel) {
            if (member.key == kArtboards) {
                add(member.keyText, list);
                listWritten = true;
            } else {
                add(member.keyText, OneLine(member.text));
            }
        }
    }
    if (!listWritten) {
        add(Json(std::string(kArtboards)).dump(), list);
    }
    return text + "\n}\n";
}

std::vector<std::string> KeysOnlyJsonHolds(const JsonLayout& layout) {
    std::vector<std::string> keys;
    for (const auto& member : layout.topLevel) {
        if (member.key != kArtboards) {
            keys.push_back("\"" + Printable(member.key) + "\"");
        }
    }
    for (std::size_t i = 0; i < layout.positions.size(); ++i) {
        for (const auto& member : layout.positions[i]) {
            if (!IsKnownKey(member.key)) {
                keys.push_back("artboard " + std::to_string(i + 1) + " \"" + Printable(member.key) +
                               "\"");
            }
        }
    }
    return keys;
}

}  // namespace hostsim::tool
