#include "hostsim/tool/report/GridCheck.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "hostsim/tool/documents/FloatText.h"
#include "hostsim/tool/documents/InputError.h"

namespace hostsim::tool {

const char* OrderName(GridOrder order) {
    return order == GridOrder::ByRow ? "row" : "column";
}

namespace {

// An artboard's extent across its line: bottom to top by row, left to right by column.
struct Extent {
    double low = 0;
    double high = 0;
};

Extent Across(const Artboard& artboard, bool byColumn) {
    const Rect& b = artboard.bounds;
    return byColumn ? Extent{b.left, b.right} : Extent{b.bottom, b.top};
}

bool OverlapByHalf(const Artboard& a, const Artboard& b, bool byColumn) {
    const Extent x = Across(a, byColumn);
    const Extent y = Across(b, byColumn);
    const double overlap = std::min(x.high, y.high) - std::max(x.low, y.low);
    return overlap > 0.5 * std::min(x.high - x.low, y.high - y.low);
}

// A line's positions in walking order within it: by the view's left (rows) or by the view's
// top, highest first (columns).
std::vector<std::size_t> Walked(const GridLine& line, const std::vector<Rect>& view,
                                bool byColumn) {
    std::vector<std::size_t> walked = line;
    std::stable_sort(walked.begin(), walked.end(), [&](std::size_t a, std::size_t b) {
        return byColumn ? view[a].top > view[b].top : view[a].left < view[b].left;
    });
    return walked;
}

bool InOneLine(const Document& document, ViewOptions options, double tolerance, std::size_t a,
               std::size_t b) {
    options.tolerance = tolerance;
    for (const auto& line : ViewLines(document, options)) {
        const bool hasA = std::find(line.begin(), line.end(), a) != line.end();
        const bool hasB = std::find(line.begin(), line.end(), b) != line.end();
        if (hasA || hasB) {
            return hasA && hasB;
        }
    }
    return false;
}

// The joining tolerance rounded up to four significant digits, or to more where fewer would
// not join the two.
std::string ToleranceText(const Document& document, const ViewOptions& options, std::size_t a,
                          std::size_t b) {
    const double exact = JoiningTolerance(document, options, a, b);
    if (exact > 0 && std::isfinite(exact)) {
        const int magnitude = static_cast<int>(std::floor(std::log10(exact)));
        for (int digits = 4; digits < 17; ++digits) {
            const double scale = std::pow(10.0, digits - 1 - magnitude);
            std::string text = FormatTolerance(std::ceil(exact * scale) / scale);
            const auto value = ParseDecimal(text);
            if (value && *value >= exact && InOneLine(document, options, *value, a, b)) {
                return text;
            }
        }
    }
    return FormatTolerance(exact);
}

}  // namespace

std::string FormatTolerance(double value) {
    char buffer[32];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, value).ptr;
    return std::string(buffer, end);
}

std::vector<NearMiss> FindNearMisses(const Document& document, const ViewOptions& options) {
    const GridOrder order = options.byColumn ? GridOrder::ByColumn : GridOrder::ByRow;
    const auto lines = ViewLines(document, options);
    const auto view = ViewBounds(document, options);
    std::vector<NearMiss> misses;
    for (std::size_t n = 0; n + 1 < lines.size(); ++n) {
        const auto earlier = Walked(lines[n], view, options.byColumn);
        const auto later = Walked(lines[n + 1], view, options.byColumn);
        [&] {
            for (const std::size_t a : earlier) {
                for (const std::size_t b : later) {
                    if (OverlapByHalf(document.artboards[a], document.artboards[b],
                                      options.byColumn)) {
                        misses.push_back({order, a, b,
                                          misses.size() < kDescribedNearMisses
                                              ? ToleranceText(document, options, a, b)
                                              : std::string()});
                        return;
                    }
                }
            }
        }();
    }
    return misses;
}

std::vector<NearMiss> FindNearMisses(const Document& document, GridOrder order) {
    ViewOptions exact;
    exact.byColumn = order == GridOrder::ByColumn;
    return FindNearMisses(document, exact);
}

std::string DescribeNearMiss(const Document& document, const NearMiss& miss,
                             TableCoordinates coordinates) {
    const bool byRow = miss.order == GridOrder::ByRow;
    const bool pages = coordinates == TableCoordinates::EditorPages;
    auto name = [&](std::size_t i) {
        const Artboard& artboard = document.artboards[i];
        std::string place;
        if (pages) {
            place = byRow ? "y " + EditorY(artboard) : "x " + EditorX(artboard);
        } else {
            place = byRow ? "top " + FormatFloat(artboard.bounds.top)
                          : "left " + FormatFloat(artboard.bounds.left);
        }
        return std::to_string(i + 1) + " \"" + Printable(artboard.name) + "\" (" + place + ")";
    };
    return std::string(pages ? "pages " : "artboards ") + name(miss.first) + " and " +
           name(miss.second) + " are in different " + (byRow ? "rows" : "columns") +
           " though they overlap " +
           (byRow ? "vertically by more than half the shorter one's height"
                  : "horizontally by more than half the narrower one's width") +
           "; --tolerance " + miss.tolerance + " puts them in one " + (byRow ? "row" : "column");
}

}  // namespace hostsim::tool
