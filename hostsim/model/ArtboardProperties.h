// What an artboard carries that travels with it when it is renumbered, written out once.
//
// `ArtboardProperties` is the one list of these properties: the document's artboard holds
// them (with the id the host keeps at the position), an attribute set the plug-in fetches is a
// copy of them, and their comparison, hash and copies are all made from `FieldsOf`. Adding a
// property is one edit here; `FieldsOf` names every member, so it does not compile until the
// new one is listed, and the places that must say how to read, write or show it then fail to
// compile in turn.
#pragma once

#include <algorithm>
#include <array>
#include <compare>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <tuple>
#include <type_traits>
#include <vector>

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

// The display-mark kinds that are on: a set of kinds, kept as a sorted list without repeats.
// Every attribute set the plug-in fetches or clones copies one, so it is a few ints in one
// block of storage (which a reused set keeps), not a tree of nodes.
class DisplayMarkSet {
  public:
    DisplayMarkSet() = default;
    DisplayMarkSet(std::initializer_list<std::int32_t> kinds) {
        for (const std::int32_t kind : kinds) {
            Insert(kind);
        }
    }
    DisplayMarkSet(const DisplayMarkSet&) = default;
    DisplayMarkSet(DisplayMarkSet&&) = default;
    DisplayMarkSet& operator=(DisplayMarkSet&&) = default;
    // Most sets have no mark on; copying one of those then makes no call.
    DisplayMarkSet& operator=(const DisplayMarkSet& other) {
        if (other.kinds_.empty()) {
            kinds_.clear();
        } else if (this != &other) {
            kinds_.assign(other.kinds_.begin(), other.kinds_.end());
        }
        return *this;
    }
    ~DisplayMarkSet() = default;

    // Whether `kind` was added (false when it was on already).
    bool Insert(std::int32_t kind) {
        const auto at = std::lower_bound(kinds_.begin(), kinds_.end(), kind);
        if (at != kinds_.end() && *at == kind) {
            return false;
        }
        kinds_.insert(at, kind);
        return true;
    }
    // How many kinds were taken off: 0 or 1.
    std::size_t Erase(std::int32_t kind) {
        const auto at = std::lower_bound(kinds_.begin(), kinds_.end(), kind);
        if (at == kinds_.end() || *at != kind) {
            return 0;
        }
        kinds_.erase(at);
        return 1;
    }
    bool Contains(std::int32_t kind) const {
        return std::binary_search(kinds_.begin(), kinds_.end(), kind);
    }
    bool empty() const { return kinds_.empty(); }
    std::size_t size() const { return kinds_.size(); }
    // The kinds in ascending order.
    auto begin() const { return kinds_.begin(); }
    auto end() const { return kinds_.end(); }

    friend bool operator==(const DisplayMarkSet&, const DisplayMarkSet&) = default;
    // As sets order: kind by kind, a shorter list first when it is the other's beginning.
    friend bool operator<(const DisplayMarkSet& a, const DisplayMarkSet& b) {
        return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end());
    }

  private:
    std::vector<std::int32_t> kinds_;
};

struct ArtboardProperties {
    std::string name;  // UTF-8
    Rect bounds;
    float pixelAspectRatio = 1;
    DisplayMarkSet displayMarks;  // the display-mark kinds that are on
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
