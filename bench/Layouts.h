// Documents of n artboards laid out as the benchmarks need them, the same for the benchmark
// and for the documents written for the command line (grid_document).
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "hostsim/model/Document.h"

namespace quorvane::bench {

enum class Layout {
    ShuffledGrid,  // a square grid in random order: rows share their top, columns their left
    Random,        // random positions, no two alike
    InOrder,       // the grid already in the order being run
    Reversed,      // the grid in the reverse of that order
};

inline const char* LayoutName(Layout layout) {
    switch (layout) {
        case Layout::ShuffledGrid:
            return "shuffled-grid";
        case Layout::Random:
            return "random";
        case Layout::InOrder:
            return "in-order";
        case Layout::Reversed:
            return "reversed";
    }
    return "?";
}

// `byColumn` says which order InOrder and Reversed are laid out for.
inline hostsim::Document MakeLayout(int count, Layout layout, bool byColumn) {
    const int side = static_cast<int>(std::ceil(std::sqrt(count)));
    std::mt19937 random(7);
    std::uniform_real_distribution<float> position(0, 100000);
    hostsim::Document document;
    document.name = std::string(LayoutName(layout)) + " " + std::to_string(count);
    for (int i = 0; i < count; ++i) {
        // Cell i of the grid in row order (or column order), y growing upwards.
        const int major = i / side;
        const int minor = i % side;
        const int column = byColumn ? major : minor;
        const int row = byColumn ? minor : major;
        float left = static_cast<float>(column * 700);
        float top = static_cast<float>(-row * 900);
        if (layout == Layout::Random) {
            left = position(random);
            top = position(random);
        }
        hostsim::Artboard artboard;
        artboard.name = "Artboard " + std::to_string(i + 1);
        artboard.bounds = {left, top, left + 612, top - 792};
        artboard.id = static_cast<std::uint64_t>(i + 1);
        document.artboards.push_back(artboard);
    }
    if (layout == Layout::ShuffledGrid) {
        std::shuffle(document.artboards.begin(), document.artboards.end(), random);
    } else if (layout == Layout::Reversed) {
        std::reverse(document.artboards.begin(), document.artboards.end());
    }
    return document;
}

}  // namespace quorvane::bench
