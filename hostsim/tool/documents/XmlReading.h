// The reader behind ReadXml, shared by the two files that define it: XmlReader.cpp reads the
// text with expat (declarations, entities, errors, the tree) and XmlNamespaces.cpp binds and
// resolves namespaces as libxml2 does for the editor. Nothing else includes this.
#pragma once

#include <cstddef>
#include <exception>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include <expat.h>

#include "hostsim/tool/documents/XmlReader.h"
#include "hostsim/tool/documents/XmlText.h"

namespace hostsim::tool::xmlreading {

using Kind = XmlError::Kind;

struct ParserFree {
    void operator()(XML_Parser parser) const { XML_ParserFree(parser); }
};

class Reader {
  public:
    explicit Reader(std::string_view text) : text_(text) {}

    XmlTree Read();

  private:
    struct Entity {
        std::string text;  // the replacement text: references to other entities still in it
        std::size_t size = 0;
        std::size_t depth = 0;
        bool measuring = false;
        bool measured = false;
    };
    struct Open {
        std::size_t index = 0;
        std::vector<std::string> declared;
    };
    // What the DTD says of a namespace declaration (xmlns or xmlns:p) of an element: whether
    // its type is CDATA, and the namespace it gives by default, if any.
    struct DeclaredNamespace {
        std::string attribute;
        bool cdata = true;
        std::optional<std::string> space;
    };
    // A name's namespace as resolved: `bound` when a declaration gave it (perhaps an empty
    // one, which only a DTD's default can give a prefix).
    struct Resolved {
        std::string_view space;
        std::string local;
        bool bound = false;
    };

    // Runs a handler for expat, which is C: nothing may be thrown through it.
    template <typename Handler>
    static void Guard(void* data, Handler&& handler) {
        auto* reader = static_cast<Reader*>(data);
        if (reader->failure_) {
            return;
        }
        try {
            handler(*reader);
        } catch (...) {
            reader->failure_ = std::current_exception();
            XML_StopParser(reader->parser_.get(), XML_FALSE);
        }
    }
    void Install();
    [[noreturn]] static void Throw(Kind kind, std::size_t offset, const std::string& reason) {
        throw XmlError(kind, offset, reason);
    }
    std::size_t Here() const {
        const auto index = XML_GetCurrentByteIndex(parser_.get());
        return index < 0 ? 0 : std::min(static_cast<std::size_t>(index), text_.size());
    }
    [[noreturn]] void Translate(XML_Error code);

    void Declaration(const char* version, const char* encoding);
    void EntityDeclared(const char* name, bool parameter, const char* value, int length,
                        const char* system, const char* notation);
    void DoctypeEnd();
    void AttributeDeclared(const char* element, const char* attribute, const char* type,
                           const char* value);
    const DeclaredNamespace* DeclaredFor(const std::string& element,
                                         std::string_view attribute) const;
    // The namespace a declaration on a tag names, as libxml2 reads it for the editor.
    std::string NamespaceOf(const XmlElement& element, const XmlAttribute& declaration);
    std::size_t Measure(Entity& entity, std::size_t level);
    // The entity `name` refers to, unless it is one of the five every document has.
    auto Declared(const std::string& name) {
        return xmltext::IsPredefined(name) ? entities_.end() : entities_.find(name);
    }
    void Expanded(std::string_view references, std::size_t at);
    void Event();
    // The offset in `tag` (raw text) of its first reference to an entity declared in the file,
    // or with `undeclared` to one nobody declared; npos for none.
    std::size_t Reference(std::string_view tag, bool undeclared) {
        tag = tag.substr(0, tag.find('>'));
        for (auto amp = tag.find('&'); amp != std::string_view::npos;
             amp = tag.find('&', amp + 1)) {
            const std::string name = xmltext::NameAt(tag, amp + 1);
            if (name.substr(0, 1) != "#" && !xmltext::IsPredefined(name) &&
                (entities_.count(name) == 0) == undeclared) {
                return amp;
            }
        }
        return std::string_view::npos;
    }
    void Start(const char* name, const char** attributes);
    void Resolve(XmlElement& element, std::size_t at);
    // Binds the tag's namespace declarations; gives back its other attributes.
    std::vector<XmlAttribute> Bind(XmlElement& element, std::size_t at);
    // A name's namespace and local name under the bindings in force.
    Resolved ResolveName(XmlElement& element, std::size_t at, std::string_view qualified,
                         bool isAttribute);
    // Notes the element's first namespace fault.
    static void Fault(XmlElement& element, std::size_t at, const std::string& what);
    // The one copy of a namespace name the tree keeps.
    std::string_view Intern(std::string_view space);
    void End();

    std::string_view text_;
    std::unique_ptr<XML_ParserStruct, ParserFree> parser_;
    std::exception_ptr failure_;
    XmlTree tree_;
    std::vector<Open> open_;
    std::unordered_map<std::string, std::vector<std::string>> bindings_;
    std::unordered_map<std::string, Entity> entities_;
    // By element name as spelled: the namespace declarations the DTD declares for it, first
    // declaration of each first.
    std::unordered_map<std::string, std::vector<DeclaredNamespace>> declaredNamespaces_;
    std::size_t expanded_ = 0;
    std::size_t lastReference_ = std::string_view::npos;
};

}  // namespace hostsim::tool::xmlreading
