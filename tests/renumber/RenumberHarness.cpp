#include "RenumberHarness.h"

#include <algorithm>

namespace hostsim {

void PrintTo(const Artboard& a, std::ostream* out) {
    *out << "{\"" << a.name << "\" [" << a.bounds.left << ", " << a.bounds.top << ", "
         << a.bounds.right << ", " << a.bounds.bottom << "] ratio " << a.pixelAspectRatio
         << " marks {";
    for (const std::int32_t kind : a.displayMarks) {
        *out << ' ' << kind;
    }
    *out << " } origin (" << a.rulerOrigin.h << ", " << a.rulerOrigin.v << ") id " << a.id << '}';
}

}  // namespace hostsim

namespace quorvane::test {

hostsim::Document MakeDocument(const std::vector<Placed>& layout) {
    hostsim::Document document;
    document.name = "test document";
    for (std::size_t i = 0; i < layout.size(); ++i) {
        const Placed& p = layout[i];
        hostsim::Artboard artboard;
        artboard.name = p.name;
        artboard.bounds = {p.left, p.top, p.left + p.width, p.top - p.height};
        artboard.id = i + 1;
        document.artboards.push_back(artboard);
    }
    return document;
}

std::vector<std::uint64_t> Ids(const hostsim::Document& document) {
    std::vector<std::uint64_t> ids;
    for (const hostsim::Artboard& artboard : document.artboards) {
        ids.push_back(artboard.id);
    }
    return ids;
}

bool SameArtboardsInAnyOrder(const hostsim::Document& a, const hostsim::Document& b) {
    // Everything that moves, as one comparable value.
    std::vector<hostsim::ArtboardProperties> left;
    std::vector<hostsim::ArtboardProperties> right;
    for (const auto& artboard : a.artboards) {
        left.push_back(artboard.Properties());
    }
    for (const auto& artboard : b.artboards) {
        right.push_back(artboard.Properties());
    }
    std::sort(left.begin(), left.end());
    std::sort(right.begin(), right.end());
    return left == right;
}

}  // namespace quorvane::test
