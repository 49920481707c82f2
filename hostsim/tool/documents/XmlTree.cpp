// The lookups of the tree ReadXml builds (XmlReader.h).
#include "hostsim/tool/documents/XmlReader.h"
#include "hostsim/tool/documents/XmlText.h"

namespace hostsim::tool {

using xmltext::kXmlNamespace;

const XmlAttribute* XmlElement::Find(std::string_view ns, std::string_view name) const {
    for (const auto& attribute : attributes) {
        if (attribute.space == ns && attribute.local == name) {
            return &attribute;
        }
    }
    return nullptr;
}

std::string_view XmlTree::NamespaceAt(std::size_t element, std::string_view prefix) const {
    if (prefix == "xml") {
        return kXmlNamespace;
    }
    for (std::size_t e = element; e != XmlElement::kNoParent; e = elements[e].parent) {
        for (const auto& [declared, space] : elements[e].declarations) {
            if (declared == prefix) {
                return space;
            }
        }
    }
    return {};
}

std::string XmlTree::PrefixAt(std::size_t element, std::string_view space) const {
    for (std::size_t e = element; e != XmlElement::kNoParent; e = elements[e].parent) {
        for (const auto& [declared, bound] : elements[e].declarations) {
            if (!declared.empty() && bound == space && NamespaceAt(element, declared) == space) {
                return declared;
            }
        }
    }
    return {};
}

}  // namespace hostsim::tool
