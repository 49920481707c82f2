// What an artboard carries that travels with it when it is renumbered, written out once.
//
// `ArtboardProperties` is the one list of these properties: the document's artboard holds
// them (with the id the host keeps at the position), an attribute set the plug-in fetches is a
// copy of them, and their comparison, hash and copies are all made from `FieldsOf`. Adding a
// property is one edit here; `FieldsOf` names every member, so it does not compile until the
// new one is listed, and the places that must say how to read, write or show it then fail to
// compile in turn.
#pragma once

#include <array>
#include <compare>
#include <cstddef>
#include <cstdint>
#include <set>
#include <string>
#include <tuple>
#include <type_traits>

namespace hostsim {

// Page coordinates, y growing upwards: top is above bottom.
struct Rect {
    float left = 0;
    float top = 0;
    float right = 0;
    float bottom = 0;
    friend bool operator==(const Rect&, const Rect&) = default;
    friend std::partial_ordering operator<=>(const Rect& a, const Rect& b) {
        return std::tie(a.left, a.top, a.right, a.bottom) <=>
               std::tie(b.left, b.top, b.right, b.bottom);
    }
};

struct Point {
    float h = 0;
    float v = 0;
    friend bool operator==(const Point&, const Point&) = default;
    friend std::partial_ordering operator<=>(const Point& a, const Point& b) {
        return std::tie(a.h, a.v) <=> std::tie(b.h, b.v);
    }
};

// The display-mark kinds that documents hold and the module moves with an artboard. A set may
// hold other kinds while the plug-in has it; documents never do.
inline constexpr std::array<std::int32_t, 4> kDisplayMarkKinds = {0, 1, 2, 4};

constexpr bool IsDisplayMarkKind(std::int64_t kind) {
    for (const std::int32_t known : kDisplayMarkKinds) {
        if (kind == known) {
            return true;
        }
    }
    return false;
}

// The kinds as messages list them: "0, 1, 2 and 4".
std::string DisplayMarkKindsText();

struct ArtboardProperties {
    std::string name;  // UTF-8
    Rect bounds;
    float pixelAspectRatio = 1;
    std::set<std::int32_t> displayMarks;  // the display-mark kinds that are on
    Point rulerOrigin;

    // Every property, in this order, as a tuple of references (const when `self` is).
    // `self` may be an artboard: its properties are taken.
    template <typename Self>
    static auto FieldsOf(Self& self) {
        using Properties =
            std::conditional_t<std::is_const_v<Self>, const ArtboardProperties, ArtboardProperties>;
        // Names every member: a property added above and not here stops the build right here.
        auto& [n, b, par, dm, ro] = static_cast<Properties&>(self);
        return std::tie(n, b, par, dm, ro);
    }

    // Numbers compare as numbers: 0 and -0 are the same coordinate.
    friend bool operator==(const ArtboardProperties& a, const ArtboardProperties& b) {
        return FieldsOf(a) == FieldsOf(b);
    }
    friend std::partial_ordering operator<=>(const ArtboardProperties& a,
                                             const ArtboardProperties& b) {
        return FieldsOf(a) <=> FieldsOf(b);
    }
};

// Equal for properties that compare equal (the two zeros hash alike).
std::size_t PropertiesHash(const ArtboardProperties& properties);

}  // namespace hostsim
