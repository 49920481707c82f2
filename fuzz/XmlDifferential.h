// The differential check of the SVG reader against the editor's own XML parser, libxml2, read
// as the editor reads files (no entity substituted, no DTD default applied but the namespace
// declarations libxml2 always applies). Over the same bytes both must agree on
//   - whether the document is well-formed;
//   - each element's and attribute's namespace and local name, where the reader notes no
//     namespace fault (and where it notes one, libxml2 must report a namespace error too);
//   - which elements are pages: those the SVG reader gives, against the editor's rule on
//     libxml2's tree (a page element directly inside a namedview, in the namespaces the editor
//     takes for each), unless the SVG reader refuses the document.
// The refusals the reader makes on purpose (XmlError::Kind::Refused, listed in XmlReader.h) are
// no disagreement; a namespace fault is none either where libxml2 reports one, since libxml2
// reads past it as the editor does.
#pragma once

#include <libxml/parser.h>
#include <libxml/xmlerror.h>

#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "hostsim/tool/documents/InputError.h"
#include "hostsim/tool/documents/SvgDocument.h"
#include "hostsim/tool/documents/XmlReader.h"

namespace quorvane::fuzz {

struct LibxmlDocFree {
    void operator()(xmlDocPtr doc) const { xmlFreeDoc(doc); }
};

// libxml2's tree of `text`, or none where it finds a fatal error: strict (no recovery), no
// network, no entities loaded or substituted, documents of any size and depth. Nothing is
// printed; `namespaceError` tells whether it reported a namespace error (a warning about a
// namespace name that is not a URI is none).
inline std::unique_ptr<xmlDoc, LibxmlDocFree> LibxmlTree(std::string_view text,
                                                         bool& namespaceError) {
    namespaceError = false;
    xmlSetStructuredErrorFunc(&namespaceError, [](void* data, xmlErrorPtr error) {
        if (error->domain == XML_FROM_NAMESPACE && error->code != XML_WAR_NS_URI &&
            error->code != XML_WAR_NS_URI_RELATIVE && error->code != XML_WAR_NS_COLUMN) {
            *static_cast<bool*>(data) = true;
        }
    });
    std::unique_ptr<xmlDoc, LibxmlDocFree> doc(
        xmlReadMemory(text.data(), static_cast<int>(text.size()), "input.svg", nullptr,
                      XML_PARSE_NONET | XML_PARSE_HUGE | XML_PARSE_NOERROR | XML_PARSE_NOWARNING));
    xmlSetStructuredErrorFunc(nullptr, nullptr);
    return doc;
}

// Whether libxml2 reads `text` without a fatal error.
inline bool LibxmlReads(std::string_view text) {
    bool namespaceError = false;
    return LibxmlTree(text, namespaceError) != nullptr;
}

// The elements of libxml2's tree written in the file, in document order: those an entity
// spells (below an entity reference) left out.
inline std::vector<xmlNodePtr> LibxmlElements(xmlDocPtr doc) {
    std::vector<xmlNodePtr> elements;
    std::vector<xmlNodePtr> stack{xmlDocGetRootElement(doc)};
    while (!stack.empty()) {
        xmlNodePtr node = stack.back();
        stack.pop_back();
        elements.push_back(node);
        std::vector<xmlNodePtr> children;
        for (xmlNodePtr child = node->children; child != nullptr; child = child->next) {
            if (child->type == XML_ELEMENT_NODE) {
                children.push_back(child);
            }
        }
        stack.insert(stack.end(), children.rbegin(), children.rend());
    }
    return elements;
}

inline std::string_view SpaceOf(xmlNsPtr ns) {
    return ns == nullptr || ns->href == nullptr ? std::string_view()
                                                : reinterpret_cast<const char*>(ns->href);
}

inline std::string_view NameOf(const xmlChar* name) {
    return reinterpret_cast<const char*>(name);
}

// The editor's pages in libxml2's tree, as indices into `elements`: the page elements directly
// inside a namedview element, wherever it is. The editor takes for its namedview's namespace
// also the two its early versions wrote.
inline std::set<std::size_t> EditorPages(const std::vector<xmlNodePtr>& elements) {
    const auto isNamedView = [](xmlNodePtr node) {
        const std::string_view space = SpaceOf(node->ns);
        return NameOf(node->name) == "namedview" &&
               (space == hostsim::tool::kSodipodiNamespace ||
                space == "http://inkscape.sourceforge.net/DTD/sodipodi-0.dtd" ||
                space == "http://inkscape.sourceforge.net/DTD/s odipodi-0.dtd");
    };
    std::set<std::size_t> pages;
    for (std::size_t i = 0; i < elements.size(); ++i) {
        const xmlNodePtr node = elements[i];
        if (NameOf(node->name) == "page" &&
            SpaceOf(node->ns) == hostsim::tool::kInkscapeNamespace && node->parent != nullptr &&
            node->parent->type == XML_ELEMENT_NODE && isNamedView(node->parent)) {
            pages.insert(i);
        }
    }
    return pages;
}

// Where the reader and libxml2 disagree over the names of `text`, which both read, and over
// which elements are its pages; empty when they agree.
inline std::optional<std::string> NameDisagreement(std::string_view text,
                                                   const hostsim::tool::XmlTree& tree) {
    bool namespaceError = false;
    const auto doc = LibxmlTree(text, namespaceError);
    if (!doc) {
        return std::nullopt;  // not reached: libxml2 read it a moment ago
    }
    const std::vector<xmlNodePtr> theirs = LibxmlElements(doc.get());
    std::vector<std::size_t> ours;  // indices into tree.elements, in the same order
    for (std::size_t e = 0; e < tree.elements.size(); ++e) {
        if (!tree.elements[e].fromEntity) {
            ours.push_back(e);
        }
    }
    if (ours.size() != theirs.size()) {
        return std::to_string(ours.size()) + " elements are written in the file here, " +
               std::to_string(theirs.size()) + " in libxml2";
    }
    std::string fault;
    for (std::size_t i = 0; i < ours.size(); ++i) {
        const hostsim::tool::XmlElement& element = tree.elements[ours[i]];
        const xmlNodePtr node = theirs[i];
        const std::string where =
            "element " + std::to_string(i + 1) + " <" + element.qualified + ">";
        if (!element.namespaceFault.empty()) {
            fault = element.namespaceFault;
            continue;
        }
        if (element.space != SpaceOf(node->ns) || element.local != NameOf(node->name)) {
            return where + " is {" + std::string(element.space) + "}" + element.local + " here, {" +
                   std::string(SpaceOf(node->ns)) + "}" + std::string(NameOf(node->name)) +
                   " in libxml2";
        }
        std::size_t k = 0;
        for (xmlAttrPtr attribute = node->properties; attribute != nullptr;
             attribute = attribute->next, ++k) {
            if (k >= element.attributes.size()) {
                return where + " has more attributes in libxml2";
            }
            const auto& mine = element.attributes[k];
            if (mine.space != SpaceOf(attribute->ns) || mine.local != NameOf(attribute->name)) {
                return where + ": attribute " + mine.qualified + " is {" + std::string(mine.space) +
                       "}" + mine.local + " here, {" + std::string(SpaceOf(attribute->ns)) + "}" +
                       std::string(NameOf(attribute->name)) + " in libxml2";
            }
        }
        if (k != element.attributes.size()) {
            return where + " has more attributes here than in libxml2";
        }
    }
    if (!fault.empty() && !namespaceError) {
        return "a namespace fault here (" + fault + "), but libxml2 reports none";
    }

    hostsim::tool::SvgDocument read;
    try {
        read = hostsim::tool::ReadSvgDocument("input.svg", std::string(text));
    } catch (const hostsim::tool::InputError&) {
        return std::nullopt;  // refused: no pages to compare
    }
    std::set<std::size_t> pages;
    for (const auto& page : read.layout.pages) {
        for (std::size_t i = 0; i < ours.size(); ++i) {
            if (tree.elements[ours[i]].offset == page.tagBegin) {
                pages.insert(i);
            }
        }
    }
    const std::set<std::size_t> editors = EditorPages(theirs);
    if (pages != editors) {
        const auto list = [](const std::set<std::size_t>& indices) {
            std::string text;
            for (const auto i : indices) {
                text += (text.empty() ? "" : ", ") + std::to_string(i + 1);
            }
            return "{" + text + "}";
        };
        return "the pages are the elements " + list(pages) + " here, " + list(editors) +
               " in libxml2 by the editor's rule";
    }
    return std::nullopt;
}

// How the two readers disagree over `text`; empty when they agree.
inline std::optional<std::string> Disagreement(std::string_view text) {
    std::string ours;
    std::size_t at = 0;
    std::optional<hostsim::tool::XmlTree> tree;
    try {
        tree = hostsim::tool::ReadXml(text);
    } catch (const hostsim::tool::XmlError& error) {
        if (error.GetKind() == hostsim::tool::XmlError::Kind::Refused) {
            return std::nullopt;
        }
        ours = error.what();
        at = error.Offset();
    }
    const bool libxml = LibxmlReads(text);
    // libxml2 ends a document at a NUL byte after the root element and reads no further (listed
    // in XmlReader.h): the NUL is refused here.
    if (!ours.empty() && libxml && at < text.size() && text[at] == '\0' &&
        LibxmlReads(text.substr(0, at))) {
        return std::nullopt;
    }
    // libxml2 reads a DOCTYPE without the white space XML requires after "<!DOCTYPE" (listed
    // in XmlReader.h).
    const auto doctype = text.rfind("<!DOCTYPE", at);
    if (!ours.empty() && libxml && doctype != std::string_view::npos && doctype + 9 < text.size() &&
        std::string_view(" \t\r\n").find(text[doctype + 9]) == std::string_view::npos &&
        text.substr(doctype, at - doctype).find('>') == std::string_view::npos) {
        return std::nullopt;
    }
    // libxml2 reads an internal subset right after a DOCTYPE already closed by ">" ("<!DOCTYPE
    // s>[...]>"), which XML does not allow (listed in XmlReader.h): refused here from the "[" on.
    const auto declaration = text.find("<!DOCTYPE");
    const auto closed =
        declaration == std::string_view::npos ? declaration : text.find('>', declaration);
    if (!ours.empty() && libxml && closed != std::string_view::npos && closed + 1 < text.size() &&
        text[closed + 1] == '[' && at >= closed + 1) {
        return std::nullopt;
    }
    // expat takes names by the rules of XML 1.0 before its fifth edition, libxml2 by those of
    // the fifth (listed in XmlReader.h): a name with a character only the fifth allows, where
    // expat stops at a character that XML allows in text.
    const auto bad = hostsim::tool::FindNonXmlCharacter(text.substr(at, 4));
    if (!ours.empty() && libxml && at < text.size() &&
        static_cast<unsigned char>(text[at]) >= 0x80 && bad != std::size_t{0}) {
        return std::nullopt;
    }
    if (ours.empty() && !libxml) {
        return "read here, but libxml2 finds it not well-formed";
    }
    if (!ours.empty() && libxml) {
        return "libxml2 reads it, but here it is not well-formed: " + ours;
    }
    if (tree && libxml) {
        return NameDisagreement(text, *tree);
    }
    return std::nullopt;
}

}  // namespace quorvane::fuzz
