#include "hostsim/tool/documents/SvgDocument.h"

#include <algorithm>
#include <cstdint>
#include <map>
#include <optional>
#include <span>
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

std::string MarksText(const DisplayMarkSet& kinds) {
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
    auto exact = [](double value) { return FormatDouble(value); };
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

// The geometry text of each page's bounds as read, found by the bounds, the first page's where
// pages share bounds; built once, when bounds are first given to a page that did not have them.
class GeometrySpellings {
  public:
    explicit GeometrySpellings(const SvgLayout& layout) : layout_(layout) {}

    std::array<std::string, 4> Of(const Rect& bounds) {
        if (byBounds_.empty()) {
            for (std::size_t p = 0; p < layout_.pages.size(); ++p) {
                byBounds_.emplace(Key(layout_.pages[p].original.bounds), p);
            }
        }
        const auto found = byBounds_.find(Key(bounds));
        return found == byBounds_.end() ? GeometryText(bounds)
                                        : layout_.pages[found->second].geometry;
    }

  private:
    // Ordered as floats compare, so that 0 and -0 are one key, as they are one edge.
    static std::array<float, 4> Key(const Rect& r) { return {r.left, r.top, r.right, r.bottom}; }

    const SvgLayout& layout_;
    std::map<std::array<float, 4>, std::size_t> byBounds_;
};

// The edits of page `page`'s start tag that give it the properties of `now`.
void EditPage(std::string_view text, GeometrySpellings& spellings, const SvgLayout::Page& page,
              const Artboard& now, std::vector<StartTag::Edit>& edits) {
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
        const auto geometry = spellings.Of(now.bounds);
        for (std::size_t g = 0; g < kGeometry.size(); ++g) {
            const auto* attribute = tag.Find(kGeometry[g]);
            const bool missingZero = attribute == nullptr && ParseDecimal(geometry[g]) == 0.0;
            const bool same =
                attribute != nullptr &&
                text.substr(attribute->valueBegin, attribute->valueEnd - attribute->valueBegin) ==
                    geometry[g];
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

// Appends the element text[begin, end) with `edits` (inside it, none overlapping) applied.
void AppendEdited(std::string& out, std::string_view text, std::size_t begin, std::size_t end,
                  std::vector<StartTag::Edit>& edits) {
    std::stable_sort(edits.begin(), edits.end(),
                     [](const auto& a, const auto& b) { return a.offset < b.offset; });
    std::size_t copied = begin;
    for (const auto& edit : edits) {
        if (edit.offset < copied || edit.offset + edit.length > end) {
            throw std::invalid_argument("overlapping edits");
        }
        out.append(text.substr(copied, edit.offset - copied));
        out += edit.replacement;
        copied = edit.offset + edit.length;
    }
    out.append(text.substr(copied, end - copied));
}

int LineAt(std::string_view text, std::size_t offset) {
    return 1 + static_cast<int>(std::count(
                   text.begin(), text.begin() + static_cast<std::ptrdiff_t>(offset), '\n'));
}

// "page 3 (\"Cover\")" or "page 3": a page of the file as read.
std::string PageSubject(const SvgLayout::Page& page, std::size_t index) {
    std::string subject = "page " + std::to_string(index + 1);
    if (!page.original.name.empty()) {
        subject += " (\"" + Printable(page.original.name) + "\")";
    }
    return subject;
}

// Checks that `sources` is empty or a permutation of the layout's pages.
void CheckSources(const SvgLayout& layout, std::span<const std::size_t> sources) {
    if (sources.empty()) {
        return;
    }
    std::vector<bool> seen(layout.pages.size(), false);
    bool permutation = sources.size() == layout.pages.size();
    for (std::size_t k = 0; permutation && k < sources.size(); ++k) {
        permutation = sources[k] < seen.size() && !seen[sources[k]];
        if (permutation) {
            seen[sources[k]] = true;
        }
    }
    if (!permutation) {
        throw std::invalid_argument("the pages' new order is not a permutation of the " +
                                    std::to_string(layout.pages.size()) + " pages");
    }
}

}  // namespace

std::vector<SvgUnwritable> UnwritableInSvg(const Document& document) {
    std::vector<SvgUnwritable> found;
    for (std::size_t i = 0; i < document.artboards.size(); ++i) {
        const std::string& name = document.artboards[i].name;
        if (const auto bad = FindNonXmlCharacter(name)) {
            found.push_back(
                SvgUnwritable{i, "name",
                              "the name holds " + DescribeCharacter(name, *bad) +
                                  ", which an SVG file cannot hold (XML 1.0 has no way to "
                                  "write it)"});
        } else if (!ExactGeometryText(document.artboards[i].bounds)) {
            const Rect& b = document.artboards[i].bounds;
            found.push_back(SvgUnwritable{
                i, "bounds",
                "bounds [" + FormatFloat(b.left) + ", " + FormatFloat(b.top) + ", " +
                    FormatFloat(b.right) + ", " + FormatFloat(b.bottom) +
                    "] cannot be written as an SVG page exactly (its x, y, width and height "
                    "would read back as other bounds)"});
        }
    }
    return found;
}

std::string WriteSvgDocument(const Document& document, const SvgLayout* layout,
                             std::span<const std::size_t> sources) {
    if (layout != nullptr) {
        CheckSources(*layout, sources);
    }
    if (const auto unwritable = UnwritableInSvg(document); !unwritable.empty()) {
        // Named by its place in the file read: the page it came from, the first there.
        auto from = [&](const SvgUnwritable& bad) {
            return layout == nullptr || sources.empty() ? bad.artboard : sources[bad.artboard];
        };
        const SvgUnwritable& bad =
            *std::min_element(unwritable.begin(), unwritable.end(),
                              [&](const auto& a, const auto& b) { return from(a) < from(b); });
        const std::string subject = "artboard " + std::to_string(from(bad) + 1) + " (\"" +
                                    Printable(document.artboards[bad.artboard].name) + "\")";
        throw InputError(Located(document.name, 0, subject + ": " + bad.why));
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
    const auto& pages = layout->pages;
    auto sourceOf = [&](std::size_t k) { return sources.empty() ? k : sources[k]; };
    for (std::size_t k = 0; k < pages.size(); ++k) {
        const SvgLayout::Page& page = pages[sourceOf(k)];
        if (page.scope != pages[k].scope) {
            throw InputError(Located(
                document.name, LineAt(text, page.tagBegin),
                PageSubject(page, sourceOf(k)) + " cannot move to the place of page " +
                    std::to_string(k + 1) + " (line " +
                    std::to_string(LineAt(text, pages[k].tagBegin)) +
                    "): the two lie in namedview elements that declare namespaces differently, "
                    "so its prefixes would name other namespaces there"));
        }
    }
    // One pass: the text between the pages as it is, and at each page's place the element of
    // the page that goes there, its start tag edited.
    GeometrySpellings spellings(*layout);
    std::vector<StartTag::Edit> edits;
    std::string out;
    out.reserve(text.size() + text.size() / 8);
    std::size_t copied = 0;
    for (std::size_t k = 0; k < pages.size(); ++k) {
        const SvgLayout::Page& page = pages[sourceOf(k)];
        out.append(text.substr(copied, pages[k].tagBegin - copied));
        edits.clear();
        EditPage(text, spellings, page, document.artboards[k], edits);
        AppendEdited(out, text, page.tagBegin, page.end, edits);
        copied = pages[k].end;
    }
    out.append(text.substr(copied));
    return out;
}

}  // namespace hostsim::tool
