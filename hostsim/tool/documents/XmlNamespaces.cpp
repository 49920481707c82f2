// Namespaces as libxml2 binds them for the editor: the tag's own declarations, the DTD's
// default declarations for an element, values read without substituting entities, and the
// names resolved with them.
#include <algorithm>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "hostsim/tool/documents/StartTag.h"
#include "hostsim/tool/documents/XmlReading.h"

namespace hostsim::tool::xmlreading {

using namespace xmltext;

// libxml2 refuses a declared attribute whose name goes on after its first colon with what
// cannot begin a name; of the rest, only namespace declarations matter here: a DTD's default
// for one declares the namespace on every element it applies to, as libxml2 does even when it
// leaves other defaults out, and a type other than CDATA changes how its value is read. The
// first declaration of an attribute of an element counts; the default is taken as libxml2
// reads it, from the text of the declaration (see UnsubstitutedValue).
void Reader::AttributeDeclared(const char* element, const char* attribute, const char* type,
                               const char* value) {
    const std::string_view name = attribute;
    if (!EditorReadsDeclaredName(name)) {
        Throw(Kind::Refused, Here(),
              "the DOCTYPE declares the attribute \"" + std::string(name) +
                  "\", which goes on after its colon with a character no name begins with, "
                  "which the editor's XML reader cannot read");
    }
    if (name != "xmlns" && name.substr(0, 6) != "xmlns:") {
        return;
    }
    auto& declared = declaredNamespaces_[element];
    if (std::any_of(declared.begin(), declared.end(),
                    [&](const DeclaredNamespace& d) { return d.attribute == name; })) {
        return;
    }
    DeclaredNamespace declaration;
    declaration.attribute = name;
    declaration.cdata = std::string_view(type) == "CDATA";
    if (value != nullptr) {
        // Expat reports the declaration at its default value's literal, which cannot hold
        // the quote that opens it.
        const std::size_t at = Here();
        const char quote = at < text_.size() ? text_[at] : '\0';
        const auto end =
            quote == '"' || quote == '\'' ? text_.find(quote, at + 1) : std::string_view::npos;
        declaration.space =
            end != std::string_view::npos
                ? UnsubstitutedValue(text_.substr(at + 1, end - at - 1), !declaration.cdata,
                                     [&](std::string_view entity) {
                                         return entities_.count(std::string(entity)) != 0;
                                     })
                : std::string(value);  // not reached: expat points at the literal
    }
    declared.push_back(std::move(declaration));
}

const Reader::DeclaredNamespace* Reader::DeclaredFor(const std::string& element,
                                                     std::string_view attribute) const {
    const auto found = declaredNamespaces_.find(element);
    if (found == declaredNamespaces_.end()) {
        return nullptr;
    }
    for (const auto& declaration : found->second) {
        if (declaration.attribute == attribute) {
            return &declaration;
        }
    }
    return nullptr;
}

// The value of a namespace declaration as libxml2 gives it without substituting entities, from
// the text of the tag; for a tag an entity spells, which has no text in the file, as expat gives
// it (no such element is ever a page).
std::string Reader::NamespaceOf(const XmlElement& element, const XmlAttribute& declaration) {
    const DeclaredNamespace* declared = DeclaredFor(element.qualified, declaration.qualified);
    const bool tokenized = declared != nullptr && !declared->cdata;
    if (element.fromEntity) {
        return tokenized ? CollapseSpaces(declaration.value) : declaration.value;
    }
    const StartTag tag(text_, element.offset);
    const StartTag::Attribute* written = tag.Find(declaration.qualified);
    if (written == nullptr) {
        return declaration.value;  // not reached: expat read the attribute in this tag
    }
    return UnsubstitutedValue(
        text_.substr(written->valueBegin, written->valueEnd - written->valueBegin), tokenized,
        [&](std::string_view entity) { return entities_.count(std::string(entity)) != 0; });
}

// Binds the tag's namespace declarations and resolves its names with them. A fault is noted
// on the element and its names left in no namespace; two attributes that are one once
// resolved are not well-formed.
void Reader::Fault(XmlElement& element, std::size_t at, const std::string& what) {
    if (element.namespaceFault.empty()) {
        element.namespaceFault = what;
        element.namespaceFaultAt = at;
    }
}

std::string_view Reader::Intern(std::string_view space) {
    return std::string_view(*tree_.spaces.emplace(space).first);
}

// A namespace declaration's value is read as libxml2 reads it for the editor, which does not
// substitute entities: xmlns:p="&ink;" binds p to the name "&ink;". After the tag's own
// declarations, those the DTD gives the element by default bind too (libxml2 applies these
// even where it leaves other defaults out), unless the tag declared the prefix itself; as in
// libxml2, these are taken as they stand, an empty one for a prefix included.
std::vector<XmlAttribute> Reader::Bind(XmlElement& element, std::size_t at) {
    std::vector<XmlAttribute> named;
    for (auto& attribute : element.attributes) {
        const auto split = Split(attribute.qualified);
        const bool isDefault = attribute.qualified == "xmlns";
        if (!isDefault && (!split || split->first != "xmlns")) {
            named.push_back(std::move(attribute));
            continue;
        }
        const std::string prefix(isDefault ? "" : split->second);
        const std::string space = NamespaceOf(element, attribute);
        if (prefix == "xmlns" || (prefix == "xml") != (space == kXmlNamespace) ||
            space == kXmlnsNamespace) {
            std::string what = "the prefix " + prefix;
            what.append(" cannot be bound to \"").append(space).append("\"");
            Fault(element, at, what);
        } else if (!isDefault && space.empty()) {
            Fault(element, at, "the prefix \"" + prefix + "\" is declared with no namespace");
        } else {
            bindings_[prefix].push_back(space);
            element.declarations.emplace_back(prefix, space);
        }
    }
    const auto defaults = declaredNamespaces_.find(element.qualified);
    if (defaults == declaredNamespaces_.end()) {
        return named;
    }
    const std::size_t own = element.declarations.size();
    for (const auto& declared : defaults->second) {
        // A prefix that no name can have ("xmlns:", "xmlns:a:b") binds nothing.
        const auto split = Split(declared.attribute);
        const bool isDefault = declared.attribute == "xmlns";
        if (!declared.space || (!isDefault && (!split || split->second.empty()))) {
            continue;
        }
        const std::string prefix(isDefault ? "" : split->second);
        const auto ownEnd = element.declarations.begin() + static_cast<std::ptrdiff_t>(own);
        if (std::any_of(element.declarations.begin(), ownEnd,
                        [&](const auto& d) { return d.first == prefix; })) {
            continue;
        }
        const auto bound = bindings_.find(prefix);
        const bool same = bound != bindings_.end() && !bound->second.empty()
                              ? bound->second.back() == *declared.space
                              : prefix.empty() && declared.space->empty();
        if (!same) {
            bindings_[prefix].push_back(*declared.space);
            element.declarations.emplace_back(prefix, *declared.space);
        }
    }
    return named;
}

Reader::Resolved Reader::ResolveName(XmlElement& element, std::size_t at,
                                     std::string_view qualified, bool isAttribute) {
    const auto split = Split(qualified);
    if (!split && !EditorReadsName(qualified)) {
        Throw(Kind::Refused, at,
              "the name \"" + std::string(qualified) +
                  "\" goes on after a second colon with a character no name begins with, "
                  "which the editor's XML reader cannot read");
    }
    if (!split) {
        Fault(element, at, "\"" + std::string(qualified) + "\" is not a qualified name");
        return {{}, std::string(qualified)};
    }
    const auto [prefix, local] = *split;
    if (prefix == "xml") {
        return {Intern(kXmlNamespace), std::string(local), true};
    }
    if (prefix.empty() && isAttribute) {
        return {{}, std::string(local)};
    }
    const auto found = bindings_.find(std::string(prefix));
    if (found == bindings_.end() || found->second.empty()) {
        if (!prefix.empty()) {
            Fault(element, at, "the prefix \"" + std::string(prefix) + "\" is not declared");
        }
        return {{}, std::string(local)};
    }
    // An empty namespace: none for the default namespace (xmlns=""); for a prefix, which only
    // a DTD's default can bind so, the empty name libxml2 gives it, which is no namespace here.
    return {Intern(found->second.back()), std::string(local), !prefix.empty()};
}

// Two attributes that are one once resolved are a namespace fault, which libxml2 reads past.
void Reader::Resolve(XmlElement& element, std::size_t at) {
    std::vector<XmlAttribute> named = Bind(element, at);
    Resolved name = ResolveName(element, at, element.qualified, false);
    element.space = name.space;
    element.local = std::move(name.local);
    std::unordered_set<std::string> expanded;
    for (auto& attribute : named) {
        Resolved resolved = ResolveName(element, at, attribute.qualified, true);
        attribute.space = resolved.space;
        attribute.local = std::move(resolved.local);
        if (resolved.bound &&
            !expanded.insert(std::string(attribute.space) + ' ' + attribute.local).second) {
            Fault(element, at,
                  "the attribute " + attribute.qualified + " of <" + element.qualified +
                      "> is another already given: two prefixes for one namespace");
        }
    }
    element.attributes = std::move(named);
}

}  // namespace hostsim::tool::xmlreading
