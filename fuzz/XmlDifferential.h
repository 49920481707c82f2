// The differential check of the SVG reader against the editor's own XML parser, libxml2: over
// the same bytes, both must agree on whether the document is well-formed. The refusals the
// reader makes on purpose (XmlError::Kind::Refused, listed in XmlReader.h) are no
// disagreement; namespace faults are none either, since libxml2 reads past them as the
// editor does.
#pragma once

#include <libxml/parser.h>

#include <optional>
#include <string>
#include <string_view>

#include "hostsim/tool/documents/XmlReader.h"

namespace quorvane::fuzz {

// Whether libxml2 reads `text` without a fatal error: strict (no recovery), no network, no
// entities loaded or substituted, documents of any size and depth.
inline bool LibxmlReads(std::string_view text) {
    xmlDocPtr doc =
        xmlReadMemory(text.data(), static_cast<int>(text.size()), "input.svg", nullptr,
                      XML_PARSE_NONET | XML_PARSE_HUGE | XML_PARSE_NOERROR | XML_PARSE_NOWARNING);
    const bool read = doc != nullptr;
    xmlFreeDoc(doc);
    return read;
}

// How the two readers disagree over `text`; empty when they agree.
inline std::optional<std::string> Disagreement(std::string_view text) {
    std::string ours;
    std::size_t at = 0;
    try {
        hostsim::tool::ReadXml(text);
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
    return std::nullopt;
}

}  // namespace quorvane::fuzz
