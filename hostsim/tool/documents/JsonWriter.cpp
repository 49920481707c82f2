// Writing a JSON document back: each artboard object as one line, keys and values the input
// spelled kept as written where they still hold, every other key of the input in its place.
#include "hostsim/tool/documents/JsonDocument.h"

#include <algorithm>
#include <cstddef>
#include <string>
#include <string_view>
#include <tuple>
#include <utility>

#include <nlohmann/json.hpp>

#include "hostsim/tool/documents/FloatText.h"
#include "hostsim/tool/documents/JsonText.h"

namespace hostsim::tool {

namespace {

using namespace json;

// The JSON text of each type a property has: a property of a new type does not compile until
// it says how it is written.
std::string ValueText(const std::string& text) {
    return Json(text).dump();
}
std::string ValueText(const Rect& b) {
    return FloatList({b.left, b.top, b.right, b.bottom});
}
std::string ValueText(float x) {
    return FormatFloat(x);
}
std::string ValueText(const DisplayMarkSet& kinds) {
    return MarkList(kinds);
}
std::string ValueText(const Point& p) {
    return FloatList({p.h, p.v});
}

// The known keys name the properties in the order FieldsOf lists them: a property added to
// the artboard stops the build here until it has its key.
static_assert(kKnownKeys.size() == std::tuple_size_v<decltype(ArtboardProperties::FieldsOf(
                                       std::declval<const ArtboardProperties&>()))>,
              "one JSON key for each artboard property, in the order of FieldsOf");

// f(the property `key` names of a, the same of b).
template <typename Result, typename F>
Result OnProperty(std::string_view key, const ArtboardProperties& a, const ArtboardProperties& b,
                  F&& f) {
    const auto fieldsOfA = ArtboardProperties::FieldsOf(a);
    const auto fieldsOfB = ArtboardProperties::FieldsOf(b);
    const auto index = static_cast<std::size_t>(
        std::find(kKnownKeys.begin(), kKnownKeys.end(), key) - kKnownKeys.begin());
    Result result{};
    [&]<std::size_t... I>(std::index_sequence<I...>) {
        ((I == index ? (void)(result = f(std::get<I>(fieldsOfA), std::get<I>(fieldsOfB)))
                     : (void)0),
         ...);
    }
    (std::make_index_sequence<kKnownKeys.size()>{});
    return result;
}

// The JSON text of a known key's value.
std::string KnownValue(const Artboard& artboard, std::string_view key) {
    return OnProperty<std::string>(key, artboard, artboard,
                                   [](const auto& value, const auto&) { return ValueText(value); });
}

bool SameField(const Artboard& a, const Artboard& b, std::string_view key) {
    return OnProperty<bool>(key, a, b, [](const auto& x, const auto& y) { return x == y; });
}

// Whether a property holds what a new artboard holds, so that it may be left out. The name
// and the bounds are always written.
bool HoldsDefault(const Artboard& artboard, std::string_view key) {
    static const ArtboardProperties kDefaults{};
    return key != kName && key != kBounds &&
           OnProperty<bool>(key, artboard, kDefaults,
                            [](const auto& x, const auto& y) { return x == y; });
}

// One artboard object. `place` is the object the position held when read, whose unknown keys
// and order of keys stay there; `spelled` is the object the artboard itself was read from
// and `was` what it said then. All null for a position the file did not have.
std::string ArtboardLine(const Artboard& artboard, const JsonMembers* place,
                         const JsonMembers* spelled, const Artboard* was) {
    std::string text = "{";
    bool first = true;
    auto add = [&](const std::string& keyText, const std::string& value) {
        text += first ? "" : ", ";
        text += keyText + ": " + value;
        first = false;
    };
    // The member that spells `key` as the input did, where the value is still the same.
    auto asRead = [&](std::string_view key) -> const JsonMember* {
        if (spelled == nullptr || was == nullptr || !SameField(artboard, *was, key)) {
            return nullptr;
        }
        const auto found =
            std::find_if(spelled->begin(), spelled->end(),
                         [&](const JsonMember& member) { return member.key == key; });
        return found == spelled->end() ? nullptr : &*found;
    };
    auto addKnown = [&](std::string_view key) {
        if (const JsonMember* member = asRead(key)) {
            add(member->keyText, OneLine(member->text));
        } else if (!HoldsDefault(artboard, key)) {
            add(Json(std::string(key)).dump(), KnownValue(artboard, key));
        }
    };
    if (place != nullptr) {
        for (const auto& member : *place) {
            if (IsKnownKey(member.key)) {
                addKnown(member.key);
            } else {
                add(member.keyText, OneLine(member.text));
            }
        }
    }
    for (const auto key : kKnownKeys) {
        const bool placed = place != nullptr && std::any_of(place->begin(), place->end(),
                                                            [&](const JsonMember& member) {
                                                                return member.key == key;
                                                            });
        if (!placed) {
            addKnown(key);
        }
    }
    return text + "}";
}

}  // namespace

std::string WriteJsonDocument(const Document& document, const JsonLayout* layout,
                              std::span<const std::size_t> sources) {
    auto known = [&](std::size_t position) {
        return layout != nullptr && position < layout->positions.size() &&
               position < layout->originals.size();
    };
    std::string list;
    if (document.artboards.empty()) {
        list = "[]";
    } else {
        list = "[\n";
        for (std::size_t i = 0; i < document.artboards.size(); ++i) {
            const std::size_t from = i < sources.size() ? sources[i] : i;
            list += "    " + ArtboardLine(document.artboards[i],
                                          known(i) ? &layout->positions[i] : nullptr,
                                          known(from) ? &layout->positions[from] : nullptr,
                                          known(from) ? &layout->originals[from] : nullptr);
            list += i + 1 < document.artboards.size() ? ",\n" : "\n";
        }
        list += "  ]";
    }

    std::string text =
        layout != nullptr && layout->byteOrderMark ? std::string(kByteOrderMark) : "";
    text += "{\n";
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
