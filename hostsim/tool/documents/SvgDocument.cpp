#include "hostsim/tool/documents/SvgDocument.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <set>
#include <stdexcept>
#include <string_view>

#include "hostsim/tool/documents/FloatText.h"
#include "hostsim/tool/documents/InputError.h"
#include "hostsim/tool/documents/StartTag.h"
#include "hostsim/tool/documents/XmlReader.h"

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

bool IsElement(const XmlElement& element, std::string_view space, std::string_view local) {
    return element.space == space && element.local == local;
}

// How a page spells an attribute of `space` it does not have yet: a prefix bound to that
// namespace at the page, or else a free one, declared on the page's own tag.
SvgLayout::Spelling SpellingAt(const XmlTree& xml, std::size_t page, std::string_view space,
                               const std::string& preferred) {
    if (std::string prefix = xml.PrefixAt(page, space); !prefix.empty()) {
        return {prefix, false};
    }
    std::string prefix = preferred;
    for (int n = 1; !xml.NamespaceAt(page, prefix).empty(); ++n) {
        prefix = preferred + std::to_string(n);
    }
    return {prefix, true};
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

// Refuses a namedview, or a page inside one, that cannot be read for sure (the last of the
// refusals XmlReader.h lists): by local name, since a namespace fault may hide which it is.
void CheckPageElement(const std::string& file, std::string_view text, const XmlTree& xml,
                      const XmlElement& element) {
    const bool page = element.local == "page" && element.parent != XmlElement::kNoParent &&
                      xml.elements[element.parent].local == "namedview";
    if (element.local != "namedview" && !page) {
        return;
    }
    const std::string tag = "<" + Printable(element.qualified) + ">";
    if (!element.namespaceFault.empty()) {
        throw InputError(Located(file, LineAt(text, element.namespaceFaultAt),
                                 "not valid XML: " + Printable(element.namespaceFault)));
    }
    if (element.fromEntity) {
        throw InputError(Located(file, LineAt(text, element.offset),
                                 tag + " is spelled by an entity; only elements written in the "
                                       "file itself can be edited in place"));
    }
    if (!element.undeclaredEntity.empty()) {
        throw InputError(Located(file, LineAt(text, element.offset),
                                 tag + " refers to the entity \"" +
                                     Printable(element.undeclaredEntity) +
                                     "\", which is not declared in the file (a DTD outside it is "
                                     "not read)"));
    }
}

// Our own attributes, in the order of SvgLayout::Page::ownNames.
constexpr std::array<std::string_view, 3> kOwn = {kPixelAspectRatio, kDisplayMarks, kRulerOrigin};

class PageReader {
  public:
    PageReader(const std::string& file, std::string_view text, const XmlTree& xml,
               std::size_t element, std::size_t index)
        : file_(file),
          text_(text),
          xml_(xml),
          element_(xml.elements[element]),
          elementIndex_(element),
          index_(index) {}

    SvgLayout::Page Read() {
        SvgLayout::Page page;
        page.tagBegin = element_.offset;
        page.inkscape = SpellingAt(xml_, elementIndex_, kInkscapeNamespace, "inkscape");
        page.quorvane = SpellingAt(xml_, elementIndex_, kQuorvaneNamespace, "quorvane");
        Artboard& artboard = page.original;
        if (const auto* label = element_.Find(kInkscapeNamespace, "label")) {
            artboard.name = label->value;
            page.labelName = label->qualified;
            label_ = artboard.name;
        }
        for (std::size_t i = 0; i < kOwn.size(); ++i) {
            if (const auto* own = element_.Find(kQuorvaneNamespace, kOwn[i])) {
                page.ownNames[i] = own->qualified;
            }
        }
        std::array<double, 4> geometry{};
        for (std::size_t i = 0; i < kGeometry.size(); ++i) {
            const auto* attribute = element_.Find("", kGeometry[i]);
            const bool optional = i < 2;
            if (attribute == nullptr) {
                if (!optional) {
                    Fail("has no \"" + std::string(kGeometry[i]) + "\"");
                }
                page.geometry[i] = "0";
                continue;
            }
            page.geometry[i] = attribute->value;
            const auto value = ParseDecimal(Trimmed(attribute->value));
            if (!value) {
                Fail(": \"" + std::string(kGeometry[i]) +
                     "\" must be a number in user units, not \"" + Printable(attribute->value) +
                     "\"");
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

        if (const auto* ratio = element_.Find(kQuorvaneNamespace, kPixelAspectRatio)) {
            artboard.pixelAspectRatio = Number(*ratio, Trimmed(ratio->value));
            if (!(artboard.pixelAspectRatio > 0)) {
                FailAttribute(*ratio, "must be greater than 0");
            }
        }
        if (const auto* marks = element_.Find(kQuorvaneNamespace, kDisplayMarks)) {
            for (const auto& word : Words(marks->value)) {
                std::int32_t kind = -1;
                const auto result = std::from_chars(word.data(), word.data() + word.size(), kind);
                const bool known = result.ec == std::errc() &&
                                   result.ptr == word.data() + word.size() &&
                                   (kind == 0 || kind == 1 || kind == 2 || kind == 4);
                if (!known) {
                    FailAttribute(*marks,
                                  "holds \"" + Printable(word) + "\"; the kinds are 0, 1, 2 and 4");
                }
                artboard.displayMarks.insert(kind);
            }
        }
        if (const auto* origin = element_.Find(kQuorvaneNamespace, kRulerOrigin)) {
            const auto words = Words(origin->value);
            if (words.size() != 2) {
                FailAttribute(*origin, "must hold two numbers, h and v");
            }
            artboard.rulerOrigin = {Number(*origin, words[0]), Number(*origin, words[1])};
        }
        return page;
    }

  private:
    [[noreturn]] void Fail(const std::string& what) const {
        std::string subject = "page " + std::to_string(index_ + 1);
        if (label_) {
            subject += " (\"" + Printable(*label_) + "\")";
        } else if (const auto* id = element_.Find("", "id")) {
            subject += " (id \"" + Printable(id->value) + "\")";
        }
        const bool joined = !what.empty() && what.front() == ':';
        throw InputError(
            Located(file_, LineAt(text_, element_.offset), subject + (joined ? "" : " ") + what));
    }
    [[noreturn]] void FailAttribute(const XmlAttribute& attribute, const std::string& what) const {
        Fail(": \"" + attribute.local + "\" (" + kQuorvaneNamespace + ") " + what + ", not \"" +
             Printable(attribute.value) + "\"");
    }

    float Number(const XmlAttribute& attribute, const std::string& word) const {
        const auto value = ParseDecimal(word);
        const auto single = value ? ToFloat(*value) : std::nullopt;
        if (!single) {
            FailAttribute(attribute, "must hold numbers within the range of 32-bit floats");
        }
        return *single;
    }

    const std::string& file_;
    std::string_view text_;
    const XmlTree& xml_;
    const XmlElement& element_;
    std::size_t elementIndex_;
    std::size_t index_;
    std::optional<std::string> label_;
};

std::string MarksText(const std::set<std::int32_t>& kinds) {
    std::string text;
    for (const auto kind : kinds) {
        text += (text.empty() ? "" : " ") + std::to_string(kind);
    }
    return text;
}

// x, y, width and height of `bounds` in short text that reads back to the same edges: the
// shortest float text of each where that reads back exactly, otherwise (for width and
// height) the difference of the edges as a double. Empty when even that does not read back:
// edges so far apart in magnitude (1e25 and 2, say) that their difference needs more digits
// than a double holds.
std::optional<std::array<std::string, 4>> ExactGeometryText(const Rect& bounds) {
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
    if (const auto edges = readBack(); !edges || !(*edges == bounds)) {
        return std::nullopt;
    }
    return text;
}

// The text of bounds that WriteSvgDocument has checked can be written.
std::array<std::string, 4> GeometryText(const Rect& bounds) {
    return *ExactGeometryText(bounds);
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
    XmlTree xml;
    try {
        xml = ReadXml(text);
    } catch (const XmlError& error) {
        const bool refused = error.GetKind() == XmlError::Kind::Refused;
        throw InputError(Located(file, LineAt(text, error.Offset()),
                                 (refused ? "" : "not valid XML: ") + std::string(error.what())));
    }
    const XmlElement& root = xml.elements.front();
    if (root.local != "svg") {
        throw InputError(Located(
            file, LineAt(text, root.offset),
            "not an SVG document: its root element is <" + Printable(root.qualified) + ">"));
    }
    SvgDocument result;
    result.document.name = file;
    result.layout.text = text;

    // The editor's pages are the page elements directly inside any namedview element, in
    // the order the editor builds them. For namedview elements directly inside the root that
    // is the order of the file; a namedview elsewhere with pages of its own is built in
    // another order (an inner namedview's pages before the outer one's), which this program
    // does not follow: such a document is refused.
    for (std::size_t e = 0; e < xml.elements.size(); ++e) {
        const XmlElement& element = xml.elements[e];
        CheckPageElement(file, text, xml, element);
        if (!IsElement(element, kInkscapeNamespace, "page") ||
            element.parent == XmlElement::kNoParent ||
            !IsElement(xml.elements[element.parent], kSodipodiNamespace, "namedview")) {
            continue;
        }
        const XmlElement& namedView = xml.elements[element.parent];
        if (namedView.parent != 0) {
            const XmlElement& outer = xml.elements[namedView.parent];
            throw InputError(Located(
                file, LineAt(text, namedView.offset),
                "<" + Printable(namedView.qualified) + "> holds pages but lies inside <" +
                    Printable(outer.qualified) +
                    ">, not directly inside the root element; the editor orders such pages in "
                    "its own way, which is not followed here"));
        }
        const std::size_t index = result.layout.pages.size();
        SvgLayout::Page page = PageReader(file, text, xml, e, index).Read();
        Artboard artboard = page.original;
        artboard.id = index + 1;
        result.document.artboards.push_back(std::move(artboard));
        result.layout.pages.push_back(std::move(page));
    }
    return result;
}

std::string WriteSvgDocument(const Document& document, const SvgLayout* layout) {
    for (std::size_t i = 0; i < document.artboards.size(); ++i) {
        const std::string& name = document.artboards[i].name;
        if (const auto bad = FindNonXmlCharacter(name)) {
            throw InputError(Located(document.name, 0,
                                     "artboard " + std::to_string(i + 1) + " (\"" +
                                         Printable(name) + "\"): the name holds " +
                                         DescribeCharacter(name, *bad) +
                                         ", which an SVG file cannot hold (XML 1.0 has no way "
                                         "to write it)"));
        }
        if (!ExactGeometryText(document.artboards[i].bounds)) {
            const Rect& b = document.artboards[i].bounds;
            throw InputError(Located(
                document.name, 0,
                "artboard " + std::to_string(i + 1) + " (\"" + Printable(name) + "\"): bounds [" +
                    FormatFloat(b.left) + ", " + FormatFloat(b.top) + ", " + FormatFloat(b.right) +
                    ", " + FormatFloat(b.bottom) +
                    "] cannot be written as an SVG page exactly (its x, y, width and height "
                    "would read back as other bounds)"));
        }
    }
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

    for (std::size_t k = 0; k < layout->pages.size(); ++k) {
        const SvgLayout::Page& page = layout->pages[k];
        const Artboard& now = document.artboards[k];
        const Artboard& was = page.original;
        const StartTag tag(text, page.tagBegin);
        // Prefixes this page needs declared on its own tag, each once.
        std::vector<const SvgLayout::Spelling*> declare;
        auto spell = [&](const SvgLayout::Spelling& spelling, std::string_view local) {
            if (spelling.declare &&
                std::find(declare.begin(), declare.end(), &spelling) == declare.end()) {
                declare.push_back(&spelling);
            }
            return Qualified(spelling.prefix, local);
        };

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

        if (now.name != was.name) {
            if (now.name.empty()) {
                if (auto edit = tag.Remove(page.labelName)) {
                    edits.push_back(*edit);
                }
            } else if (!page.labelName.empty()) {
                edits.push_back(tag.Set(page.labelName, now.name));
            } else {
                edits.push_back(tag.Set(spell(page.inkscape, "label"), now.name));
            }
        }

        // Our own attributes: set when the value changed to a non-default, removed when it
        // went back to its default.
        auto own = [&](std::size_t i, bool changed, bool isDefault, const std::string& value) {
            if (!changed) {
                return;
            }
            const std::string& spelled = page.ownNames[i];
            if (isDefault) {
                if (auto edit = tag.Remove(spelled)) {
                    edits.push_back(*edit);
                }
            } else if (!spelled.empty()) {
                edits.push_back(tag.Set(spelled, value));
            } else {
                edits.push_back(tag.Set(spell(page.quorvane, kOwn[i]), value));
            }
        };
        own(0, now.pixelAspectRatio != was.pixelAspectRatio, now.pixelAspectRatio == 1,
            FormatFloat(now.pixelAspectRatio));
        own(1, now.displayMarks != was.displayMarks, now.displayMarks.empty(),
            MarksText(now.displayMarks));
        own(2, now.rulerOrigin != was.rulerOrigin, now.rulerOrigin == Point{},
            FormatFloat(now.rulerOrigin.h) + " " + FormatFloat(now.rulerOrigin.v));

        for (const auto* spelling : declare) {
            const std::string_view space =
                spelling == &page.inkscape ? kInkscapeNamespace : kQuorvaneNamespace;
            edits.push_back(tag.Set("xmlns:" + spelling->prefix, space));
        }
    }
    return ApplyEdits(text, std::move(edits));
}

}  // namespace hostsim::tool
