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
#include <string>
#include <vector>

#include "hostsim/model/ArtboardProperties.h"

namespace hostsim {

// An artboard: its properties, which travel with it when it is renumbered, and the id, which
// the host keeps at its position.
struct Artboard : ArtboardProperties {
    std::uint64_t id = 0;  // kept by the host at this position
    friend bool operator==(const Artboard&, const Artboard&) = default;

    const ArtboardProperties& Properties() const { return *this; }
    ArtboardProperties& Properties() { return *this; }
};

// The properties that travel with an artboard when it is renumbered: everything an artboard
// holds but the id, which the host keeps at its position. Every check that a document is a
// renumbering of another (the command line's verify step, the validator, the fuzz targets, the
// reports) compares artboards by these and nothing else. Numbers compare as numbers: 0 and -0
// are the same coordinate.
inline bool SameTravellingProperties(const Artboard& a, const Artboard& b) {
    return a.Properties() == b.Properties();
}
// Equal for artboards SameTravellingProperties calls the same.
inline std::size_t TravellingPropertiesHash(const Artboard& a) {
    return PropertiesHash(a.Properties());
}
// Gives `to` the travelling properties of `from`; `to` keeps its id.
inline void TakeTravellingProperties(Artboard& to, const Artboard& from) {
    to.Properties() = from.Properties();
}

struct Document {
    std::string name;  // for messages: usually the file it was read from
    std::vector<Artboard> artboards;
    friend bool operator==(const Document&, const Document&) = default;
};

}  // namespace hostsim
