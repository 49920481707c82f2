// What the SVG reader and writer share: the attributes of a page element they read and
// write, and how a page's x, y, width and height become an artboard's edges.
#pragma once

#include <array>
#include <optional>
#include <string_view>

#include "hostsim/model/Document.h"

namespace hostsim::tool::svgpages {

inline constexpr std::string_view kPixelAspectRatio = "pixelAspectRatio";
inline constexpr std::string_view kDisplayMarks = "displayMarks";
inline constexpr std::string_view kRulerOrigin = "rulerOrigin";
inline constexpr std::array<const char*, 4> kGeometry = {"x", "y", "width", "height"};
// Our own attributes, in the quorvane namespace, in the order SvgLayout::Page::ownNames has.
inline constexpr std::array<std::string_view, 3> kOwn = {kPixelAspectRatio, kDisplayMarks,
                                                         kRulerOrigin};

// A page's edges in the host's coordinates. The page's corner is rounded to floats first and
// its far edges are measured from that corner, so that a corner and size written from
// float edges read back to exactly those edges. Empty when an edge is beyond the float range.
std::optional<Rect> EdgesOf(double x, double y, double width, double height);

}  // namespace hostsim::tool::svgpages
