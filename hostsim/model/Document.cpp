#include "hostsim/model/Document.h"

#include <functional>
#include <tuple>

namespace hostsim {
namespace {

auto Travelling(const Artboard& a) {
    return std::tie(a.name, a.bounds, a.pixelAspectRatio, a.displayMarks, a.rulerOrigin);
}

}  // namespace

bool SameTravellingProperties(const Artboard& a, const Artboard& b) {
    return Travelling(a) == Travelling(b);
}

std::size_t TravellingPropertiesHash(const Artboard& a) {
    std::size_t hash = std::hash<std::string>{}(a.name);
    auto mix = [&hash](std::size_t value) {
        hash ^= value + 0x9e3779b97f4a7c15U + (hash << 6) + (hash >> 2);
    };
    for (const float x : {a.bounds.left, a.bounds.top, a.bounds.right, a.bounds.bottom,
                          a.pixelAspectRatio, a.rulerOrigin.h, a.rulerOrigin.v}) {
        // The two zeros compare equal, so they hash alike.
        mix(std::hash<float>{}(x == 0 ? 0.0F : x));
    }
    for (const std::int32_t kind : a.displayMarks) {
        mix(std::hash<std::int32_t>{}(kind));
    }
    return hash;
}

void TakeTravellingProperties(Artboard& to, const Artboard& from) {
    const std::uint64_t id = to.id;
    to = from;
    to.id = id;
}

}  // namespace hostsim
