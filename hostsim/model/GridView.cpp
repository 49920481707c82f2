#include "hostsim/model/GridView.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numeric>

namespace hostsim {
namespace {

double ViewLeft(const Rect& bounds, const ViewOptions& options) {
    return options.rightToLeft ? -static_cast<double>(bounds.left) : bounds.left;
}

double ViewTop(const Rect& bounds, const ViewOptions& options) {
    return options.bottomUp ? -static_cast<double>(bounds.top) : bounds.top;
}

// The key whose increasing order walks the lines: minus the view's top by row, its left by
// column. Exact: a float negated and widened.
double LineKey(const Artboard& artboard, const ViewOptions& options) {
    return options.byColumn ? ViewLeft(artboard.bounds, options)
                            : -ViewTop(artboard.bounds, options);
}

std::vector<double> LineKeys(const Document& document, const ViewOptions& options) {
    std::vector<double> keys;
    keys.reserve(document.artboards.size());
    for (const auto& artboard : document.artboards) {
        keys.push_back(LineKey(artboard, options));
    }
    return keys;
}

// Positions by increasing key, ties by position.
std::vector<std::size_t> WalkingOrder(const std::vector<double>& keys) {
    std::vector<std::size_t> order(keys.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::stable_sort(order.begin(), order.end(),
                     [&](std::size_t a, std::size_t b) { return keys[a] < keys[b]; });
    return order;
}

// For each entry of `order`, the position that anchors its line under `tolerance`; only the
// first `count` entries are looked at.
std::vector<std::size_t> Anchors(const std::vector<double>& keys,
                                 const std::vector<std::size_t>& order, double tolerance,
                                 std::size_t count) {
    std::vector<std::size_t> anchors(count);
    for (std::size_t n = 0; n < count; ++n) {
        const bool opens = n == 0 || keys[order[n]] - keys[anchors[n - 1]] > tolerance;
        anchors[n] = opens ? order[n] : anchors[n - 1];
    }
    return anchors;
}

float ToFloat(double value) {
    constexpr double kLargest = std::numeric_limits<float>::max();
    return static_cast<float>(std::clamp(value, -kLargest, kLargest));
}

}  // namespace

std::vector<GridLine> ViewLines(const Document& document, const ViewOptions& options) {
    const auto keys = LineKeys(document, options);
    const auto order = WalkingOrder(keys);
    const auto anchors = Anchors(keys, order, options.tolerance, order.size());
    std::vector<GridLine> lines;
    for (std::size_t n = 0; n < order.size(); ++n) {
        if (n == 0 || anchors[n] != anchors[n - 1]) {
            lines.emplace_back();
        }
        lines.back().push_back(order[n]);
    }
    return lines;
}

std::vector<Rect> ViewBounds(const Document& document, const ViewOptions& options) {
    const auto keys = LineKeys(document, options);
    const auto order = WalkingOrder(keys);
    const auto anchors = Anchors(keys, order, options.tolerance, order.size());
    std::vector<Rect> view(document.artboards.size());
    for (std::size_t n = 0; n < order.size(); ++n) {
        const Rect& bounds = document.artboards[order[n]].bounds;
        const Rect& anchor = document.artboards[anchors[n]].bounds;
        // The snapped coordinate is the anchor's own float, so equal lines compare equal.
        const double left = ViewLeft(options.byColumn ? anchor : bounds, options);
        const double top = ViewTop(options.byColumn ? bounds : anchor, options);
        const double width = static_cast<double>(bounds.right) - bounds.left;
        const double height = static_cast<double>(bounds.top) - bounds.bottom;
        view[order[n]] = Rect{static_cast<float>(left), static_cast<float>(top),
                              ToFloat(left + width), ToFloat(top - height)};
    }
    return view;
}

double JoiningTolerance(const Document& document, const ViewOptions& options, std::size_t a,
                        std::size_t b) {
    const auto keys = LineKeys(document, options);
    if (keys[b] < keys[a]) {
        std::swap(a, b);
    }
    const auto order = WalkingOrder(keys);
    const auto at = [&](std::size_t position) {
        return static_cast<std::size_t>(std::find(order.begin(), order.end(), position) -
                                        order.begin());
    };
    const std::size_t placeA = at(a);
    const std::size_t placeB = at(b);
    // The tolerances at which a's line could reach b are b's key less the key of an artboard
    // at or before a; tried from the smallest, a bounded number of them. The last resort, the
    // distance from the very first key, joins everything up to b.
    constexpr std::size_t kTries = 64;
    for (std::size_t n = placeA + 1, tries = 0; n-- > 0 && tries < kTries; ++tries) {
        const double tolerance = keys[b] - keys[order[n]];
        const auto anchors = Anchors(keys, order, tolerance, std::max(placeA, placeB) + 1);
        if (anchors[placeA] == anchors[placeB]) {
            return tolerance;
        }
    }
    return keys[b] - keys[order[0]];
}

}  // namespace hostsim
