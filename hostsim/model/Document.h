// The stand-in host's document model: what a document of the real host holds that the
// plug-in can see or change through the artboard suite.
//
// Positions in `artboards` are the host's artboard indices. The plug-in never adds, removes
// or moves an element; it changes the properties of the artboard at a position. `id` is data
// the host keeps at a position that the plug-in never touches: after any run of the plug-in
// each position keeps its id.
#pragma once

#include <cstddef>
#include <cstdint>
#include <set>
#include <string>
#include <vector>

namespace hostsim {

// Page coordinates, y growing upwards: top is above bottom.
struct Rect {
    float left = 0;
    float top = 0;
    float right = 0;
    float bottom = 0;
    friend bool operator==(const Rect&, const Rect&) = default;
};

struct Point {
    float h = 0;
    float v = 0;
    friend bool operator==(const Point&, const Point&) = default;
};

struct Artboard {
    std::string name;  // UTF-8
    Rect bounds;
    float pixelAspectRatio = 1;
    std::set<std::int32_t> displayMarks;  // the display-mark kinds that are on
    Point rulerOrigin;
    std::uint64_t id = 0;  // kept by the host at this position
    friend bool operator==(const Artboard&, const Artboard&) = default;
};

// The properties that travel with an artboard when it is renumbered: everything an artboard
// holds but the id, which the host keeps at its position. Every check that a document is a
// renumbering of another (the command line's verify step, the validator, the fuzz targets, the
// reports) compares artboards by these and nothing else. Numbers compare as numbers: 0 and -0
// are the same coordinate.
bool SameTravellingProperties(const Artboard& a, const Artboard& b);
// Equal for artboards SameTravellingProperties calls the same.
std::size_t TravellingPropertiesHash(const Artboard& a);
// Gives `to` the travelling properties of `from`; `to` keeps its id.
void TakeTravellingProperties(Artboard& to, const Artboard& from);

struct Document {
    std::string name;  // for messages: usually the file it was read from
    std::vector<Artboard> artboards;
    friend bool operator==(const Document&, const Document&) = default;
};

}  // namespace hostsim
