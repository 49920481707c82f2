#include "hostsim/tool/report/Picture.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "hostsim/tool/documents/FloatText.h"
#include "hostsim/tool/documents/InputError.h"
#include "hostsim/tool/documents/StartTag.h"

namespace hostsim::tool {

namespace {

// Coordinates in the picture: a few significant digits are plenty for a drawing.
std::string N(double value) {
    return FormatSignificant(value, 6);
}

std::string Shortened(const std::string& name, std::size_t limit) {
    // Counted in code points, so that a cut never splits a UTF-8 sequence.
    std::size_t points = 0;
    for (std::size_t i = 0; i < name.size(); ++i) {
        const auto byte = static_cast<unsigned char>(name[i]);
        if ((byte & 0xC0) != 0x80 && ++points > limit) {
            return name.substr(0, i) + "\xE2\x80\xA6";  // an ellipsis
        }
    }
    return name;
}

constexpr const char* kPlain = "#8a8f98";
constexpr const char* kMoved = "#e07b00";
constexpr const char* kNearMiss = "#d0021b";
constexpr const char* kPath = "#2f6fde";
constexpr const char* kBands[] = {"#dde8fb", "#fbeedd"};

// The lines as bands: each the box around its artboards, a little larger, alternating tints.
std::string DrawBands(const Document& document, const PictureContent& content, double pad) {
    std::string svg;
    for (std::size_t n = 0; n < content.lines.size(); ++n) {
        double left = std::numeric_limits<double>::infinity();
        double top = left;
        double right = -left;
        double bottom = -left;
        for (const std::size_t i : content.lines[n]) {
            const Rect& b = document.artboards.at(i).bounds;
            left = std::min(left, static_cast<double>(b.left));
            right = std::max(right, static_cast<double>(b.right));
            top = std::min(top, -static_cast<double>(b.top));
            bottom = std::max(bottom, -static_cast<double>(b.bottom));
        }
        if (content.lines[n].empty()) {
            continue;
        }
        svg += "  <rect x=\"" + N(left - pad) + "\" y=\"" + N(top - pad) + "\" width=\"" +
               N(right - left + 2 * pad) + "\" height=\"" + N(bottom - top + 2 * pad) +
               "\" fill=\"" + kBands[n % 2] + "\"><title>" + content.lineNoun + " " +
               std::to_string(n + 1) + "</title></rect>\n";
    }
    return svg;
}

}  // namespace

namespace {

// The drawing's extent in page units, y pointing down, and the sizes that follow from it.
struct Extent {
    double minX = 0, minY = 0, maxX = 100, maxY = 100;
    double Size() const { return std::max(maxX - minX, maxY - minY); }
};

Extent ExtentOf(const std::vector<Artboard>& boards) {
    Extent e;
    if (!boards.empty()) {
        e.minX = e.minY = std::numeric_limits<double>::infinity();
        e.maxX = e.maxY = -std::numeric_limits<double>::infinity();
        for (const auto& board : boards) {
            e.minX = std::min(e.minX, static_cast<double>(board.bounds.left));
            e.maxX = std::max(e.maxX, static_cast<double>(board.bounds.right));
            e.minY = std::min(e.minY, -static_cast<double>(board.bounds.top));
            e.maxY = std::max(e.maxY, -static_cast<double>(board.bounds.bottom));
        }
    }
    return e;
}

// The artboards' outlines, coloured by what happened to each.
std::string DrawOutlines(const std::vector<Artboard>& boards, const PictureContent& content,
                         double stroke) {
    std::string svg;
    for (std::size_t i = 0; i < boards.size(); ++i) {
        const Rect& b = boards[i].bounds;
        const bool moved = i < content.formerNumbers.size() && content.formerNumbers[i] &&
                           *content.formerNumbers[i] != i + 1;
        const bool nearMiss = content.nearMisses.count(i) != 0;
        const char* colour = nearMiss ? kNearMiss : moved ? kMoved : kPlain;
        svg += "  <rect x=\"" + N(b.left) + "\" y=\"" + N(-static_cast<double>(b.top)) +
               "\" width=\"" + N(static_cast<double>(b.right) - b.left) + "\" height=\"" +
               N(static_cast<double>(b.top) - b.bottom) + "\" fill=\"#f7f8fa\" stroke=\"" + colour +
               "\" stroke-width=\"" + N(stroke * (moved || nearMiss ? 2 : 1)) + "\"" +
               (nearMiss ? " stroke-dasharray=\"" + N(stroke * 6) + " " + N(stroke * 3) + "\""
                         : std::string()) +
               "/>\n";
    }
    return svg;
}

// A line through the artboards' centres in their numbered order.
std::string DrawOrderLine(const std::vector<Artboard>& boards, double stroke) {
    std::string svg;
    if (boards.size() > 1) {
        svg += "  <polyline fill=\"none\" stroke=\"" + std::string(kPath) +
               "\" stroke-opacity=\"0.45\" stroke-width=\"" + N(stroke * 1.5) +
               "\" stroke-linejoin=\"round\" points=\"";
        for (std::size_t i = 0; i < boards.size(); ++i) {
            const Rect& b = boards[i].bounds;
            svg += (i == 0 ? "" : " ") + N((static_cast<double>(b.left) + b.right) / 2) + "," +
                   N(-(static_cast<double>(b.top) + b.bottom) / 2);
        }
        svg += "\"/>\n";
    }
    return svg;
}

// The artboard at position i: its new number, name and former number.
std::string DrawLabel(const std::vector<Artboard>& boards, std::size_t i,
                      const PictureContent& content, double extent) {
    std::string svg;
    const Artboard& board = boards[i];
    const Rect& b = board.bounds;
    const double width = static_cast<double>(b.right) - b.left;
    const double height = static_cast<double>(b.top) - b.bottom;
    const double centreX = b.left + width / 2;
    const double centreY = -static_cast<double>(b.top) + height / 2;
    // Sizes follow the artboard, within bounds that keep small ones legible and large
    // ones from dwarfing the rest.
    const double numberSize =
        std::clamp(std::min(width, height) * 0.4, extent * 0.02, extent * 0.12);
    const double smallSize = std::clamp(numberSize * 0.28, extent * 0.008, extent * 0.03);
    const bool moved = i < content.formerNumbers.size() && content.formerNumbers[i] &&
                       *content.formerNumbers[i] != i + 1;
    svg += "  <g>\n    <title>" +
           EscapeAttribute(std::to_string(i + 1) + ": " + Printable(board.name)) + "</title>\n";
    svg += "    <text x=\"" + N(centreX) + "\" y=\"" + N(centreY + numberSize * 0.35) +
           "\" font-size=\"" + N(numberSize) + "\" font-weight=\"bold\" text-anchor=\"middle\"" +
           " fill=\"" + (moved ? kMoved : "#222222") + "\">" + std::to_string(i + 1) + "</text>\n";
    // The name within the artboard's width where that leaves it legible.
    const std::string name = Shortened(Printable(board.name), 28);
    const double nameSize = std::max(
        std::min(smallSize,
                 width * 0.9 / (0.6 * static_cast<double>(std::max<std::size_t>(name.size(), 1)))),
        extent * 0.006);
    svg += "    <text x=\"" + N(centreX) + "\" y=\"" +
           N(centreY + numberSize * 0.35 + smallSize * 1.6) + "\" font-size=\"" + N(nameSize) +
           "\" text-anchor=\"middle\" fill=\"#222222\">" + EscapeAttribute(name) + "</text>\n";
    if (i < content.formerNumbers.size()) {
        const auto& former = content.formerNumbers[i];
        const std::string was = former ? "was " + std::to_string(*former) : "was ?";
        svg += "    <text x=\"" + N(centreX) + "\" y=\"" +
               N(centreY - numberSize * 0.65 - smallSize * 0.4) + "\" font-size=\"" + N(smallSize) +
               "\" text-anchor=\"middle\" fill=\"#5a5f68\">" + was + "</text>\n";
    }
    svg += "  </g>\n";
    return svg;
}

}  // namespace

std::string DrawPicture(const Document& document, const PictureContent& content) {
    const auto& boards = document.artboards;
    const Extent e = ExtentOf(boards);
    const double minX = e.minX, minY = e.minY, maxX = e.maxX, maxY = e.maxY;
    const double extent = e.Size();
    const double margin = extent * 0.05;
    const double stroke = extent * 0.003;
    // A heading of two lines, the title and a key to the colours, each shrunk to fit the
    // width (a character is about 0.6 of the font size wide).
    std::string key = content.formerNumbers.empty()
                          ? "red dashed: near-miss (rows and columns need exactly equal "
                            "tops and lefts)"
                          : "orange: new number \u00b7 red dashed: near-miss (rows and "
                            "columns need exactly equal tops and lefts)";
    if (!content.lines.empty()) {
        key = "tinted bands: the " + content.lineNoun +
              "s of the order \u00b7 orange: new number \u00b7 red dashed: near-miss";
    }
    auto fitting = [&](const std::string& text, double largest) {
        return std::min(
            largest,
            (maxX - minX) / (0.6 * static_cast<double>(std::max<std::size_t>(text.size(), 1))));
    };
    const double titleSize = fitting(content.title, extent * 0.03);
    const double keySize = fitting(key, extent * 0.016);
    const double heading = titleSize * 1.3 + keySize * 1.6;
    const double viewX = minX - margin;
    const double viewY = minY - margin - heading;
    const double viewWidth = maxX - minX + 2 * margin;
    const double viewHeight = maxY - minY + 2 * margin + heading;
    // On screen: 1000 pixels along the longer side.
    const double screen = 1000 / std::max(viewWidth, viewHeight);

    std::string svg = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    svg += "<svg xmlns=\"http://www.w3.org/2000/svg\" version=\"1.1\" width=\"" +
           N(std::round(viewWidth * screen)) + "\" height=\"" + N(std::round(viewHeight * screen)) +
           "\" viewBox=\"" + N(viewX) + " " + N(viewY) + " " + N(viewWidth) + " " + N(viewHeight) +
           "\" font-family=\"DejaVu Sans, Helvetica, Arial, sans-serif\">\n";
    svg += "  <title>" + EscapeAttribute(Printable(content.title)) + "</title>\n";
    svg += "  <rect x=\"" + N(viewX) + "\" y=\"" + N(viewY) + "\" width=\"" + N(viewWidth) +
           "\" height=\"" + N(viewHeight) + "\" fill=\"#ffffff\"/>\n";
    svg += "  <text x=\"" + N(minX) + "\" y=\"" + N(viewY + margin * 0.5 + titleSize) +
           "\" font-size=\"" + N(titleSize) + "\" fill=\"#222222\">" +
           EscapeAttribute(Printable(content.title)) + "</text>\n";
    svg += "  <text x=\"" + N(minX) + "\" y=\"" + N(viewY + margin * 0.5 + heading) +
           "\" font-size=\"" + N(keySize) + "\" fill=\"#5a5f68\">" + EscapeAttribute(key) +
           "</text>\n";

    svg += DrawBands(document, content, stroke * 4);
    // The artboards' outlines first, so that the number-order line and the texts lie on top.
    svg += DrawOutlines(boards, content, stroke);
    svg += DrawOrderLine(boards, stroke);
    for (std::size_t i = 0; i < boards.size(); ++i) {
        svg += DrawLabel(boards, i, content, extent);
    }
    svg += "</svg>\n";
    return svg;
}

}  // namespace hostsim::tool
