#include "hostsim/tool/report/GridCheck.h"

#include <algorithm>
#include <cmath>
#include <map>

#include "hostsim/tool/documents/FloatText.h"
#include "hostsim/tool/documents/InputError.h"

namespace hostsim::tool {

const char* OrderName(GridOrder order) {
    return order == GridOrder::ByRow ? "row" : "column";
}

namespace {

// The coordinate that forms rows or columns, signed so that smaller comes first.
double LineKey(const Artboard& artboard, GridOrder order) {
    return order == GridOrder::ByRow ? -static_cast<double>(artboard.bounds.top)
                                     : static_cast<double>(artboard.bounds.left);
}

// The coordinate that orders artboards within a row or column, smaller first.
double CrossKey(const Artboard& artboard, GridOrder order) {
    return order == GridOrder::ByRow ? static_cast<double>(artboard.bounds.left)
                                     : -static_cast<double>(artboard.bounds.top);
}

}  // namespace

std::vector<NearMiss> FindNearMisses(const Document& document, GridOrder order) {
    // Each row (or column) by its exact key, represented by its first artboard.
    std::map<double, std::size_t> lines;
    for (std::size_t i = 0; i < document.artboards.size(); ++i) {
        const Artboard& artboard = document.artboards[i];
        const auto [place, added] = lines.emplace(LineKey(artboard, order), i);
        if (!added &&
            CrossKey(artboard, order) < CrossKey(document.artboards[place->second], order)) {
            place->second = i;
        }
    }
    std::vector<NearMiss> misses;
    for (auto it = lines.begin(); it != lines.end() && std::next(it) != lines.end(); ++it) {
        const auto next = std::next(it);
        if (next->first - it->first < 1.0) {
            misses.push_back({order, it->second, next->second});
        }
    }
    return misses;
}

std::string DescribeNearMiss(const Document& document, const NearMiss& miss) {
    const bool byRow = miss.order == GridOrder::ByRow;
    auto name = [&](std::size_t i) {
        const Artboard& artboard = document.artboards[i];
        const float value = byRow ? artboard.bounds.top : artboard.bounds.left;
        return std::to_string(i + 1) + " \"" + Printable(artboard.name) + "\" (" +
               (byRow ? "top " : "left ") + FormatFloat(value) + ")";
    };
    return std::string("artboards ") + name(miss.first) + " and " + name(miss.second) +
           " are in different " + (byRow ? "rows" : "columns") + " though their " +
           (byRow ? "tops" : "lefts") + " differ by less than one unit (" +
           (byRow ? "rows" : "columns") + " need exactly equal " + (byRow ? "tops" : "lefts") + ")";
}

}  // namespace hostsim::tool
