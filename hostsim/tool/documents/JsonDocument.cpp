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
#include "hostsim/tool/documents/JsonText.h"

namespace hostsim::tool {

namespace {

using namespace json;

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

    DisplayMarkSet DisplayMarks(const Json& value) const {
        if (!value.is_array()) {
            FailField(kDisplayMarks,
                      "must be a list of display-mark kinds, not " + Describe(value));
        }
        DisplayMarkSet kinds;
        for (const Json& item : value) {
            const std::int64_t kind = item.is_number_integer() ? item.get<std::int64_t>() : -1;
            if (!IsDisplayMarkKind(kind)) {
                FailField(kDisplayMarks,
                          "holds " + Describe(item) + "; the kinds are " + DisplayMarkKindsText());
            }
            kinds.Insert(static_cast<std::int32_t>(kind));
        }
        return kinds;
    }

    const std::string& file_;
    const JsonPlaces& places_;
    std::size_t index_;
    std::optional<std::string> name_;
};

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

    ArtboardsSax(const std::string& file, std::string_view text, const HugeNumbers& huge)
        : file_(file), text_(text), huge_(huge) {}

    // The JSON library's SAX interface names these members.
    // NOLINTBEGIN(readability-identifier-naming)
    bool null() { return Value(Json(nullptr)); }
    bool boolean(bool value) { return Value(Json(value)); }
    bool number_integer(number_integer_t value) { return Number(Json(value)); }
    bool number_unsigned(number_unsigned_t value) { return Number(Json(value)); }
    bool number_float(number_float_t value, const string_t& /*text*/) {
        return Number(Json(value));
    }
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

    // A number, which may be one too large for a double that the text was patched for: kept as
    // written where it is only kept, refused where the reader would interpret it.
    bool Number(Json value) {
        const auto huge = huge_.byOrdinal.find(numbers_++);
        if (huge == huge_.byOrdinal.end()) {
            return Value(std::move(value));
        }
        if (!Skipped() && (depth_ == 0 || AtArtboardsValue() || Building())) {
            const auto& [spelling, line] = huge->second;
            const std::string where = Building() && depth_ >= 3
                                          ? "artboard " + std::to_string(artboards.size()) +
                                                ": \"" + Printable(memberKey_) + "\" holds "
                                          : "the number ";
            throw InputError(Located(
                file_, line,
                where + Printable(spelling) + ", which is beyond the range of 64-bit floats"));
        }
        return true;
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
    const HugeNumbers& huge_;
    std::size_t numbers_ = 0;  // numbers reported so far
    std::size_t depth_ = 0;    // containers open
    std::string topKey_;       // the top-level key whose value is being read
    std::string pendingKey_;
    std::string memberKey_;     // the key of the element's member being built
    bool skipValue_ = false;    // that member's value is not built
    std::size_t skipping_ = 0;  // containers open inside a value not built
    bool inArtboards_ = false;
    std::vector<Json*> stack_;  // the containers open inside the element being built
};

JsonDocument ReadParsed(const std::string& file, std::string_view text, const HugeNumbers& huge,
                        ArtboardsSax& parsed) {
    Json::sax_parse(huge.patched.empty() ? text : std::string_view(huge.patched), &parsed);
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
        result.layout.nameLines.push_back(places.LineOf(i, kName));
        result.layout.boundsLines.push_back(places.LineOf(i, kBounds));
    }
    result.layout.topLevel = std::move(places.topLevel);
    return result;
}

}  // namespace

JsonDocument ReadJsonDocument(const std::string& file, const std::string& whole) {
    // A byte-order mark (as editors on Windows write) is no part of the JSON text: it is read
    // past, so that the text is read exactly as without it, and written back.
    const bool byteOrderMark = std::string_view(whole).starts_with(kByteOrderMark);
    const std::string_view text =
        std::string_view(whole).substr(byteOrderMark ? kByteOrderMark.size() : 0);
    CheckDepth(file, text);
    const HugeNumbers huge = FindHugeNumbers(text);
    // JSON values allocate while they are destroyed. When memory runs out as they are built,
    // this much is given back first, so that those built so far can be destroyed.
    auto reserve = std::make_unique_for_overwrite<char[]>(std::size_t{1} << 20);
    ArtboardsSax parsed(file, text, huge);
    try {
        JsonDocument read = ReadParsed(file, text, huge, parsed);
        read.layout.byteOrderMark = byteOrderMark;
        return read;
    } catch (const std::bad_alloc&) {
        reserve.reset();
        throw;
    }
}

}  // namespace hostsim::tool
