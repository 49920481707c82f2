#include "hostsim/tool/SvgDocument.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <optional>
#include <set>
#include <stdexcept>
#include <string_view>

#include <pugixml.hpp>

#include "hostsim/tool/FloatText.h"
#include "hostsim/tool/InputError.h"
#include "hostsim/tool/StartTag.h"

namespace hostsim::tool {

namespace {

constexpr std::string_view kPixelAspectRatio = "pixelAspectRatio";
constexpr std::string_view kDisplayMarks = "displayMarks";
constexpr std::string_view kRulerOrigin = "rulerOrigin";
constexpr std::array<const char*, 4> kGeometry = {"x", "y", "width", "height"};

int LineAt(std::string_view text, std::size_t offset) {
    return 1 +
           static_cast<int>(std::count(
               text.begin(),
               text.begin() + static_cast<std::ptrdiff_t>(std::min(offset, text.size())), '\n'));
}

std::string_view PrefixOf(std::string_view qualified) {
    const auto colon = qualified.find(':');
    return colon == std::string_view::npos ? std::string_view() : qualified.substr(0, colon);
}

std::string_view LocalOf(std::string_view qualified) {
    const auto colon = qualified.find(':');
    return colon == std::string_view::npos ? qualified : qualified.substr(colon + 1);
}

// The namespace `prefix` stands for at `element` (the default namespace for an empty one).
std::string NamespaceOf(pugi::xml_node element, std::string_view prefix) {
    const std::string declaration = prefix.empty() ? "xmlns" : "xmlns:" + std::string(prefix);
    for (pugi::xml_node node = element; node.type() == pugi::node_element; node = node.parent()) {
        if (const auto attribute = node.attribute(declaration.c_str())) {
            return attribute.value();
        }
    }
    return "";
}

bool IsElement(pugi::xml_node node, std::string_view space, std::string_view local) {
    if (node.type() != pugi::node_element) {
        return false;
    }
    const std::string_view name = node.name();
    return LocalOf(name) == local && NamespaceOf(node, PrefixOf(name)) == space;
}

// The attribute of `element` with namespace `space` ("" for none) and local name `local`.
pugi::xml_attribute FindAttribute(pugi::xml_node element, std::string_view space,
                                  std::string_view local) {
    for (const auto attribute : element.attributes()) {
        const std::string_view name = attribute.name();
        const std::string_view prefix = PrefixOf(name);
        if (prefix == "xmlns" || name == "xmlns" || LocalOf(name) != local) {
            continue;
        }
        const std::string found = prefix.empty() ? std::string() : NamespaceOf(element, prefix);
        if (found == space) {
            return attribute;
        }
    }
    return {};
}

// The prefix bound to `space` at `element`, or empty.
std::string PrefixFor(pugi::xml_node element, std::string_view space) {
    for (pugi::xml_node node = element; node.type() == pugi::node_element; node = node.parent()) {
        for (const auto attribute : node.attributes()) {
            const std::string_view name = attribute.name();
            if (PrefixOf(name) == "xmlns" && attribute.value() == space &&
                NamespaceOf(element, LocalOf(name)) == space) {
                return std::string(LocalOf(name));
            }
        }
    }
    return "";
}

std::string Trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(" \t\r\n");
    if (first == std::string_view::npos) {
        return "";
    }
    const auto last = text.find_last_not_of(" \t\r\n");
    return std::string(text.substr(first, last - first + 1));
}

std::vector<std::string> Words(std::string_view text) {
    std::vector<std::string> words;
    std::string word;
    for (const char c : text) {
        if (c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == ',') {
            if (!word.empty()) {
                words.push_back(word);
            }
            word.clear();
        } else {
            word += c;
        }
    }
    if (!word.empty()) {
        words.push_back(word);
    }
    return words;
}

// A page's edges in the host's coordinates. The page's corner is rounded to floats first and
// its far edges are measured from that corner, so that a corner and size written from
// float edges read back to exactly those edges. Empty when an edge is beyond the float range.
std::optional<Rect> EdgesOf(double x, double y, double width, double height) {
    const auto left = ToFloat(x);
    const auto down = ToFloat(y);
    if (!left || !down) {
        return std::nullopt;
    }
    const auto right = ToFloat(static_cast<double>(*left) + width);
    const auto bottom = ToFloat(-(static_cast<double>(*down) + height));
    if (!right || !bottom) {
        return std::nullopt;
    }
    return Rect{*left, 0.0f - *down, *right, *bottom};
}

class PageReader {
  public:
    PageReader(const std::string& file, std::string_view text, pugi::xml_node element,
               std::size_t index)
        : file_(file), text_(text), element_(element), index_(index) {
        tagBegin_ = static_cast<std::size_t>(element.offset_debug()) - 1;
    }

    SvgLayout::Page Read() {
        SvgLayout::Page page;
        page.tagBegin = tagBegin_;
        const std::string inkscape = PrefixFor(element_, kInkscapeNamespace);
        page.labelName = (inkscape.empty() ? "inkscape" : inkscape) + ":label";
        page.quorvanePrefix = PrefixFor(element_, kQuorvaneNamespace);
        Artboard& artboard = page.original;
        if (const auto label = FindAttribute(element_, kInkscapeNamespace, "label")) {
            artboard.name = label.value();
            label_ = artboard.name;
        }
        std::array<double, 4> geometry{};
        for (std::size_t i = 0; i < kGeometry.size(); ++i) {
            const auto attribute = element_.attribute(kGeometry[i]);
            const bool optional = i < 2;
            if (!attribute) {
                if (!optional) {
                    Fail("has no \"" + std::string(kGeometry[i]) + "\"");
                }
                page.geometry[i] = "0";
                continue;
            }
            page.geometry[i] = attribute.value();
            const auto value = ParseDecimal(Trimmed(attribute.value()));
            if (!value) {
                Fail(": \"" + std::string(kGeometry[i]) +
                     "\" must be a number in user units, not \"" + attribute.value() + "\"");
            }
            geometry[i] = *value;
        }
        const auto [x, y, width, height] = geometry;
        if (!(width > 0) || !(height > 0)) {
            Fail(": \"width\" and \"height\" must be greater than 0, not " + page.geometry[2] +
                 " and " + page.geometry[3]);
        }
        const auto edges = EdgesOf(x, y, width, height);
        if (!edges) {
            Fail(": its edges lie beyond the range of 32-bit floats");
        }
        artboard.bounds = *edges;
        if (!(artboard.bounds.right > artboard.bounds.left) ||
            !(artboard.bounds.top > artboard.bounds.bottom)) {
            Fail(": its size vanishes in 32-bit floats at its position (x " + page.geometry[0] +
                 ", y " + page.geometry[1] + ")");
        }

        if (const auto ratio = FindAttribute(element_, kQuorvaneNamespace, kPixelAspectRatio)) {
            artboard.pixelAspectRatio = Number(ratio, kPixelAspectRatio, Trimmed(ratio.value()));
            if (!(artboard.pixelAspectRatio > 0)) {
                FailAttribute(kPixelAspectRatio, "must be greater than 0");
            }
        }
        if (const auto marks = FindAttribute(element_, kQuorvaneNamespace, kDisplayMarks)) {
            for (const auto& word : Words(marks.value())) {
                std::int32_t kind = -1;
                const auto result = std::from_chars(word.data(), word.data() + word.size(), kind);
                const bool known = result.ec == std::errc() &&
                                   result.ptr == word.data() + word.size() &&
                                   (kind == 0 || kind == 1 || kind == 2 || kind == 4);
                if (!known) {
                    FailAttribute(kDisplayMarks,
                                  "holds \"" + word + "\"; the kinds are 0, 1, 2 and 4");
                }
                artboard.displayMarks.insert(kind);
            }
        }
        if (const auto origin = FindAttribute(element_, kQuorvaneNamespace, kRulerOrigin)) {
            const auto words = Words(origin.value());
            if (words.size() != 2) {
                FailAttribute(kRulerOrigin, "must hold two numbers, h and v");
            }
            artboard.rulerOrigin = {Number(origin, kRulerOrigin, words[0]),
                                    Number(origin, kRulerOrigin, words[1])};
        }
        return page;
    }

  private:
    [[noreturn]] void Fail(const std::string& what) const {
        std::string subject = "page " + std::to_string(index_ + 1);
        if (label_) {
            subject += " (\"" + *label_ + "\")";
        } else if (const auto id = element_.attribute("id")) {
            subject += " (id \"" + std::string(id.value()) + "\")";
        }
        const bool joined = !what.empty() && what.front() == ':';
        throw InputError(
            Located(file_, LineAt(text_, tagBegin_), subject + (joined ? "" : " ") + what));
    }
    [[noreturn]] void FailAttribute(std::string_view local, const std::string& what) const {
        Fail(": \"" +
             std::string(LocalOf(FindAttribute(element_, kQuorvaneNamespace, local).name())) +
             "\" (" + kQuorvaneNamespace + ") " + what + ", not \"" +
             FindAttribute(element_, kQuorvaneNamespace, local).value() + "\"");
    }

    float Number(pugi::xml_attribute, std::string_view local, const std::string& word) const {
        const auto value = ParseDecimal(word);
        const auto single = value ? ToFloat(*value) : std::nullopt;
        if (!single) {
            FailAttribute(local, "must hold numbers within the range of 32-bit floats");
        }
        return *single;
    }

    const std::string& file_;
    std::string_view text_;
    pugi::xml_node element_;
    std::size_t index_;
    std::size_t tagBegin_ = 0;
    std::optional<std::string> label_;
};

void RejectOtherEncodings(const std::string& file, const pugi::xml_document& xml) {
    for (const auto node : xml.children()) {
        if (node.type() == pugi::node_declaration) {
            std::string encoding = node.attribute("encoding").value();
            std::transform(encoding.begin(), encoding.end(), encoding.begin(),
                           [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
            if (!encoding.empty() && encoding != "utf-8" && encoding != "utf8") {
                throw InputError(Located(file, 1,
                                         "is encoded as " +
                                             std::string(node.attribute("encoding").value()) +
                                             "; only UTF-8 SVG files can be read"));
            }
        }
    }
}

std::string MarksText(const std::set<std::int32_t>& kinds) {
    std::string text;
    for (const auto kind : kinds) {
        text += (text.empty() ? "" : " ") + std::to_string(kind);
    }
    return text;
}

// x, y, width and height of `bounds` in short text that reads back to the same edges: the
// shortest float text of each where that reads back exactly, otherwise (for width and
// height) the difference of the edges, which a double holds exactly.
std::array<std::string, 4> GeometryText(const Rect& bounds) {
    auto exact = [](double value) {
        char buffer[40];
        const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
        return std::string(buffer, result.ptr);
    };
    const double width = static_cast<double>(bounds.right) - bounds.left;
    const double height = static_cast<double>(bounds.top) - bounds.bottom;
    std::array<std::string, 4> text = {FormatFloat(bounds.left), FormatFloat(0.0f - bounds.top),
                                       FormatFloat(static_cast<float>(width)),
                                       FormatFloat(static_cast<float>(height))};
    auto readBack = [&] {
        return EdgesOf(*ParseDecimal(text[0]), *ParseDecimal(text[1]), *ParseDecimal(text[2]),
                       *ParseDecimal(text[3]));
    };
    if (const auto edges = readBack(); !edges || edges->right != bounds.right) {
        text[2] = exact(width);
    }
    if (const auto edges = readBack(); !edges || edges->bottom != bounds.bottom) {
        text[3] = exact(height);
    }
    return text;
}

std::string FreshSvg(const Document& document) {
    bool ownAttributes = false;
    for (const auto& artboard : document.artboards) {
        ownAttributes = ownAttributes || artboard.pixelAspectRatio != 1 ||
                        !artboard.displayMarks.empty() || artboard.rulerOrigin != Point{};
    }
    // The editor gives a page whose corner lies at the origin the document's own size, so
    // the document takes that page's size; without such a page, the first page's. The
    // viewBox starts at the origin, where the editor puts it: pages and drawing share it.
    std::array<std::string, 4> size = {"0", "0", "100", "100"};
    if (!document.artboards.empty()) {
        size = GeometryText(document.artboards.front().bounds);
    }
    for (const auto& artboard : document.artboards) {
        if (artboard.bounds.left == 0 && artboard.bounds.top == 0) {
            size = GeometryText(artboard.bounds);
            break;
        }
    }
    std::string text = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    text += "<svg xmlns=\"" + std::string(kSvgNamespace) + "\"\n";
    text += "     xmlns:inkscape=\"" + std::string(kInkscapeNamespace) + "\"\n";
    text += "     xmlns:sodipodi=\"" + std::string(kSodipodiNamespace) + "\"\n";
    if (ownAttributes) {
        text += "     xmlns:quorvane=\"" + std::string(kQuorvaneNamespace) + "\"\n";
    }
    text += "     width=\"" + size[2] + "\" height=\"" + size[3] + "\" viewBox=\"0 0 " + size[2] +
            " " + size[3] + "\">\n";
    text += "  <sodipodi:namedview id=\"namedview1\">\n";
    for (std::size_t i = 0; i < document.artboards.size(); ++i) {
        const Artboard& artboard = document.artboards[i];
        const auto geometry = GeometryText(artboard.bounds);
        text += "    <inkscape:page id=\"page" + std::to_string(i + 1) + "\"";
        for (std::size_t g = 0; g < kGeometry.size(); ++g) {
            text += " " + std::string(kGeometry[g]) + "=\"" + geometry[g] + "\"";
        }
        if (!artboard.name.empty()) {
            text += " inkscape:label=\"" + EscapeAttribute(artboard.name) + "\"";
        }
        if (artboard.pixelAspectRatio != 1) {
            text += " quorvane:pixelAspectRatio=\"" + FormatFloat(artboard.pixelAspectRatio) + "\"";
        }
        if (!artboard.displayMarks.empty()) {
            text += " quorvane:displayMarks=\"" + MarksText(artboard.displayMarks) + "\"";
        }
        if (artboard.rulerOrigin != Point{}) {
            text += " quorvane:rulerOrigin=\"" + FormatFloat(artboard.rulerOrigin.h) + " " +
                    FormatFloat(artboard.rulerOrigin.v) + "\"";
        }
        text += "/>\n";
    }
    text += "  </sodipodi:namedview>\n</svg>\n";
    return text;
}

std::string Qualified(const std::string& prefix, std::string_view local) {
    return prefix.empty() ? std::string(local) : prefix + ":" + std::string(local);
}

}  // namespace

SvgDocument ReadSvgDocument(const std::string& file, const std::string& text) {
    pugi::xml_document xml;
    const auto parsed =
        xml.load_buffer(text.data(), text.size(), pugi::parse_default | pugi::parse_declaration,
                        pugi::encoding_utf8);
    if (!parsed) {
        throw InputError(Located(file, LineAt(text, static_cast<std::size_t>(parsed.offset)),
                                 std::string("not valid XML: ") + parsed.description()));
    }
    RejectOtherEncodings(file, xml);
    const pugi::xml_node root = xml.document_element();
    if (LocalOf(root.name()) != "svg") {
        throw InputError(
            Located(file, LineAt(text, static_cast<std::size_t>(root.offset_debug())),
                    "not an SVG document: its root element is <" + std::string(root.name()) + ">"));
    }
    SvgDocument result;
    result.document.name = file;
    result.layout.text = text;
    result.layout.rootTagBegin = static_cast<std::size_t>(root.offset_debug()) - 1;

    pugi::xml_node namedView;
    for (const auto child : root.children()) {
        if (IsElement(child, kSodipodiNamespace, "namedview")) {
            namedView = child;
            break;
        }
    }
    std::size_t index = 0;
    for (const auto child : namedView.children()) {
        if (!IsElement(child, kInkscapeNamespace, "page")) {
            continue;
        }
        SvgLayout::Page page = PageReader(file, text, child, index).Read();
        Artboard artboard = page.original;
        artboard.id = ++index;
        result.document.artboards.push_back(std::move(artboard));
        result.layout.pages.push_back(std::move(page));
    }
    return result;
}

std::string WriteSvgDocument(const Document& document, const SvgLayout* layout) {
    if (layout == nullptr) {
        return FreshSvg(document);
    }
    if (layout->pages.size() != document.artboards.size()) {
        throw std::invalid_argument(
            "the document has " + std::to_string(document.artboards.size()) +
            " artboards, the SVG file " + std::to_string(layout->pages.size()) + " pages");
    }
    const std::string_view text = layout->text;
    std::vector<StartTag::Edit> edits;
    // Pages in whose scope our namespace has no prefix get one declared on the root element.
    const StartTag root(text, layout->rootTagBegin);
    std::string rootPrefix = "quorvane";
    while (root.Find("xmlns:" + rootPrefix) != nullptr) {
        rootPrefix += "_";
    }
    bool declareOurs = false;

    for (std::size_t k = 0; k < layout->pages.size(); ++k) {
        const SvgLayout::Page& page = layout->pages[k];
        const Artboard& now = document.artboards[k];
        const Artboard& was = page.original;
        const StartTag tag(text, page.tagBegin);

        if (now.bounds != was.bounds) {
            // Bounds that came from another page keep that page's spelling.
            auto geometry = GeometryText(now.bounds);
            for (const auto& other : layout->pages) {
                if (other.original.bounds == now.bounds) {
                    geometry = other.geometry;
                    break;
                }
            }
            for (std::size_t g = 0; g < kGeometry.size(); ++g) {
                const auto* attribute = tag.Find(kGeometry[g]);
                const bool missingZero = attribute == nullptr && ParseDecimal(geometry[g]) == 0.0;
                const bool same =
                    attribute != nullptr &&
                    text.substr(attribute->valueBegin,
                                attribute->valueEnd - attribute->valueBegin) == geometry[g];
                if (!missingZero && !same) {
                    edits.push_back(tag.Set(kGeometry[g], geometry[g]));
                }
            }
        }

        const std::string& label = page.labelName;
        if (now.name != was.name) {
            if (now.name.empty()) {
                if (auto edit = tag.Remove(label)) {
                    edits.push_back(*edit);
                }
            } else {
                edits.push_back(tag.Set(label, now.name));
            }
        }

        // Our own attributes: set when the value changed to a non-default, removed when it
        // went back to its default.
        auto own = [&](std::string_view local, bool changed, bool isDefault,
                       const std::string& value) {
            if (!changed) {
                return;
            }
            std::string prefix = page.quorvanePrefix;
            if (prefix.empty()) {
                prefix = rootPrefix;
                declareOurs = declareOurs || !isDefault;
            }
            const std::string name = Qualified(prefix, local);
            if (isDefault) {
                if (auto edit = tag.Remove(name)) {
                    edits.push_back(*edit);
                }
            } else {
                edits.push_back(tag.Set(name, value));
            }
        };
        own(kPixelAspectRatio, now.pixelAspectRatio != was.pixelAspectRatio,
            now.pixelAspectRatio == 1, FormatFloat(now.pixelAspectRatio));
        own(kDisplayMarks, now.displayMarks != was.displayMarks, now.displayMarks.empty(),
            MarksText(now.displayMarks));
        own(kRulerOrigin, now.rulerOrigin != was.rulerOrigin, now.rulerOrigin == Point{},
            FormatFloat(now.rulerOrigin.h) + " " + FormatFloat(now.rulerOrigin.v));
    }

    if (declareOurs) {
        edits.push_back(root.Set("xmlns:" + rootPrefix, kQuorvaneNamespace));
    }
    return ApplyEdits(text, std::move(edits));
}

}  // namespace hostsim::tool
