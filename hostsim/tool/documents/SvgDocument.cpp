#include "hostsim/tool/documents/SvgDocument.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <map>
#include <optional>
#include <set>
#include <stdexcept>
#include <string_view>

#include "hostsim/tool/documents/FloatText.h"
#include "hostsim/tool/documents/InputError.h"
#include "hostsim/tool/documents/StartTag.h"
#include "hostsim/tool/documents/SvgPages.h"
#include "hostsim/tool/documents/XmlReader.h"

namespace hostsim::tool {

namespace {

using namespace svgpages;

int LineAt(std::string_view text, std::size_t offset) {
    return 1 +
           static_cast<int>(std::count(
               text.begin(),
               text.begin() + static_cast<std::ptrdiff_t>(std::min(offset, text.size())), '\n'));
}

bool IsElement(const XmlElement& element, std::string_view space, std::string_view local) {
    return element.space == space && element.local == local;
}

// A namedview: the editor also takes for its namespace the two its early versions wrote.
bool IsNamedView(const XmlElement& element) {
    return element.local == "namedview" &&
           (element.space == kSodipodiNamespace ||
            element.space == "http://inkscape.sourceforge.net/DTD/sodipodi-0.dtd" ||
            element.space == "http://inkscape.sourceforge.net/DTD/s odipodi-0.dtd");
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

// The offset just after the element whose start tag begins at `text[begin]`: after its
// "/>", or after its end tag. The text is well-formed XML, read already, so following tags,
// quoted attribute values, comments, CDATA sections and processing instructions is enough.
// An entity's replacement text is balanced, so the references in the file need no care.
std::size_t ElementEnd(std::string_view text, std::size_t begin) {
    std::size_t depth = 0;
    std::size_t i = begin;
    auto skipPast = [&](std::string_view marker) {
        const std::size_t found = text.find(marker, i);
        if (found == std::string_view::npos) {
            throw std::invalid_argument("an element without an end at offset " +
                                        std::to_string(begin));
        }
        i = found + marker.size();
    };
    while (i < text.size()) {
        if (text[i] != '<') {
            const std::size_t next = text.find('<', i);
            i = next == std::string_view::npos ? text.size() : next;
            continue;
        }
        const std::string_view rest = text.substr(i);
        if (rest.starts_with("<!--")) {
            skipPast("-->");
        } else if (rest.starts_with("<![CDATA[")) {
            skipPast("]]>");
        } else if (rest.starts_with("<?")) {
            skipPast("?>");
        } else if (rest.starts_with("</")) {
            skipPast(">");
            if (--depth == 0) {
                return i;
            }
        } else {
            // A start tag: quoted values may hold '>' and '/'.
            char quote = 0;
            ++i;
            for (; i < text.size(); ++i) {
                const char c = text[i];
                if (quote != 0) {
                    if (c == quote) {
                        quote = 0;
                    }
                } else if (c == '"' || c == '\'') {
                    quote = c;
                } else if (c == '>') {
                    break;
                }
            }
            if (i >= text.size()) {
                break;
            }
            const bool empty = text[i - 1] == '/';
            ++i;
            if (!empty) {
                ++depth;
            } else if (depth == 0) {
                return i;
            }
        }
    }
    throw std::invalid_argument("an element without an end at offset " + std::to_string(begin));
}

// Numbers the namespace scopes that namedview elements give their pages: namedviews that see
// the same declarations (their own and their ancestors', the nearest of each prefix) share a
// number, so that a page may move between them and keep what its prefixes mean.
class PageScopes {
  public:
    explicit PageScopes(const XmlTree& xml) : xml_(xml) {}

    std::size_t Of(std::size_t namedView) {
        if (const auto known = byElement_.find(namedView); known != byElement_.end()) {
            return known->second;
        }
        std::map<std::string, std::string> declared;
        for (std::size_t e = namedView; e != XmlElement::kNoParent; e = xml_.elements[e].parent) {
            for (const auto& [prefix, space] : xml_.elements[e].declarations) {
                declared.emplace(prefix, space);
            }
        }
        const std::size_t scope =
            scopes_.emplace(std::move(declared), scopes_.size()).first->second;
        byElement_.emplace(namedView, scope);
        return scope;
    }

  private:
    const XmlTree& xml_;
    std::map<std::size_t, std::size_t> byElement_;
    std::map<std::map<std::string, std::string>, std::size_t> scopes_;
};

// Our own attributes, in the order of SvgLayout::Page::ownNames.

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
        artboard.bounds = ReadBounds(page);
        ReadOwn(artboard);
        return page;
    }

  private:
    // The page's edges from its x, y, width and height, whose text it keeps in `page`.
    Rect ReadBounds(SvgLayout::Page& page) {
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
        const Rect bounds = *edges;
        if (!(bounds.right > bounds.left) || !(bounds.top > bounds.bottom)) {
            Fail(": its size vanishes in 32-bit floats at its position (x " + page.geometry[0] +
                 ", y " + page.geometry[1] + ")");
        }

        return bounds;
    }

    // Our own attributes: pixel aspect ratio, display marks and ruler origin.
    void ReadOwn(Artboard& artboard) {
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
                                   IsDisplayMarkKind(kind);
                if (!known) {
                    FailAttribute(*marks, "holds \"" + Printable(word) + "\"; the kinds are " +
                                              DisplayMarkKindsText());
                }
                artboard.displayMarks.Insert(kind);
            }
        }
        if (const auto* origin = element_.Find(kQuorvaneNamespace, kRulerOrigin)) {
            const auto words = Words(origin->value);
            if (words.size() != 2) {
                FailAttribute(*origin, "must hold two numbers, h and v");
            }
            artboard.rulerOrigin = {Number(*origin, words[0]), Number(*origin, words[1])};
        }
    }

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
    PageScopes scopes(xml);

    // The editor's pages are the page elements directly inside any namedview element, in
    // the order the editor builds them. For namedview elements directly inside the root that
    // is the order of the file; a namedview elsewhere with pages of its own is built in
    // another order (an inner namedview's pages before the outer one's), which this program
    // does not follow: such a document is refused.
    for (std::size_t e = 0; e < xml.elements.size(); ++e) {
        const XmlElement& element = xml.elements[e];
        CheckPageElement(file, text, xml, element);
        if (!IsElement(element, kInkscapeNamespace, "page") ||
            element.parent == XmlElement::kNoParent || !IsNamedView(xml.elements[element.parent])) {
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
        page.end = ElementEnd(text, page.tagBegin);
        page.scope = scopes.Of(element.parent);
        Artboard artboard = page.original;
        artboard.id = index + 1;
        result.document.artboards.push_back(std::move(artboard));
        result.layout.pages.push_back(std::move(page));
    }
    return result;
}

namespace svgpages {

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

}  // namespace svgpages

}  // namespace hostsim::tool
