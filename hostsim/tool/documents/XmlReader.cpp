#include "hostsim/tool/documents/XmlReader.h"

#include "hostsim/tool/documents/StartTag.h"
#include "hostsim/tool/documents/XmlText.h"

#include <expat.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <exception>
#include <limits>
#include <memory>
#include <unordered_map>
#include <unordered_set>

namespace hostsim::tool {

namespace {

using namespace xmltext;

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
        return IsPredefined(name) ? entities_.end() : entities_.find(name);
    }
    void Expanded(std::string_view references, std::size_t at);
    void Event();
    // The offset in `tag` (raw text) of its first reference to an entity declared in the file,
    // or with `undeclared` to one nobody declared; npos for none.
    std::size_t Reference(std::string_view tag, bool undeclared) {
        tag = tag.substr(0, tag.find('>'));
        for (auto amp = tag.find('&'); amp != std::string_view::npos;
             amp = tag.find('&', amp + 1)) {
            const std::string name = NameAt(tag, amp + 1);
            if (name.substr(0, 1) != "#" && !IsPredefined(name) &&
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

XmlTree Reader::Read() {
    const auto starts = [&](std::string_view bytes) { return text_.substr(0, 2) == bytes; };
    if (starts("\xFF\xFE") || starts("\xFE\xFF") || starts(std::string_view("<\0", 2)) ||
        starts(std::string_view("\0<", 2))) {
        Throw(Kind::Refused, 0, "is UTF-16; only UTF-8 documents are read");
    }
    // UTF-8 whatever the declaration says: Declaration() refuses every other encoding.
    parser_.reset(XML_ParserCreate("UTF-8"));
    if (!parser_) {
        throw std::bad_alloc();
    }
    Install();
    // Parameter entities are parsed so that a reference to one nobody declared is reported
    // (and refused) rather than silently ending the reading of the DOCTYPE; with no handler
    // for external entities, none is ever loaded.
    XML_SetParamEntityParsing(parser_.get(), XML_PARAM_ENTITY_PARSING_UNLESS_STANDALONE);
    // Expat's own guard against entity bombs, in case ours (Expanded) misses a way in: past
    // our budget, entities may grow the document a hundredfold at most.
    XML_SetBillionLaughsAttackProtectionActivationThreshold(parser_.get(), kXmlMaxEntityExpansion);
    if (text_.size() > static_cast<std::size_t>(std::numeric_limits<int>::max())) {
        Throw(Kind::Refused, 0, "is larger than 2 GB");
    }
    const auto status =
        XML_Parse(parser_.get(), text_.data(), static_cast<int>(text_.size()), XML_TRUE);
    if (failure_) {
        std::rethrow_exception(failure_);
    }
    if (status != XML_STATUS_OK) {
        Translate(XML_GetErrorCode(parser_.get()));
    }
    return std::move(tree_);
}

void Reader::Install() {
    XML_Parser parser = parser_.get();
    XML_SetUserData(parser, this);
    XML_SetXmlDeclHandler(parser, [](void* data, const char* version, const char* encoding, int) {
        Guard(data, [&](Reader& reader) { reader.Declaration(version, encoding); });
    });
    XML_SetEntityDeclHandler(
        parser, [](void* data, const char* name, int parameter, const char* value, int length,
                   const char*, const char* system, const char*, const char* notation) {
            Guard(data, [&](Reader& reader) {
                reader.EntityDeclared(name, parameter != 0, value, length, system, notation);
            });
        });
    XML_SetEndDoctypeDeclHandler(
        parser, [](void* data) { Guard(data, [](Reader& reader) { reader.DoctypeEnd(); }); });
    XML_SetAttlistDeclHandler(parser, [](void* data, const char* element, const char* attribute,
                                         const char* type, const char* value, int) {
        Guard(data,
              [&](Reader& reader) { reader.AttributeDeclared(element, attribute, type, value); });
    });
    XML_SetSkippedEntityHandler(parser, [](void* data, const char*, int parameter) {
        Guard(data, [&](Reader& reader) {
            if (parameter != 0) {
                Throw(Kind::Refused, reader.Here(),
                      "the DOCTYPE refers to a parameter entity, which is not read here");
            }
        });
    });
    XML_SetElementHandler(
        parser,
        [](void* data, const char* name, const char** attributes) {
            Guard(data, [&](Reader& reader) { reader.Start(name, attributes); });
        },
        [](void* data, const char*) { Guard(data, [](Reader& reader) { reader.End(); }); });
    XML_SetCharacterDataHandler(parser, [](void* data, const char*, int) {
        Guard(data, [](Reader& reader) { reader.Event(); });
    });
    XML_SetCommentHandler(parser, [](void* data, const char*) {
        Guard(data, [](Reader& reader) { reader.Event(); });
    });
    XML_SetProcessingInstructionHandler(parser, [](void* data, const char*, const char*) {
        Guard(data, [](Reader& reader) { reader.Event(); });
    });
}

// Expat's error codes in this reader's words, where the text tells more than expat says.
void Reader::Translate(XML_Error code) {
    const std::size_t at = Here();
    const std::string_view rest = text_.substr(at);
    // Expat stops at a character it cannot take, or within the few bytes of a cut one.
    if (const auto bad = FindNonXmlCharacter(text_); bad && *bad <= at + 3) {
        Throw(Kind::NotWellFormed, *bad,
              "holds " + DescribeCharacter(text_, *bad) +
                  (Decode(text_, *bad).length == 0 ? ", which is not UTF-8"
                                                   : ", a character XML 1.0 does not allow"));
    }
    switch (code) {
        case XML_ERROR_DUPLICATE_ATTRIBUTE: {
            const auto tag = text_.rfind('<', at);
            Throw(Kind::NotWellFormed, at,
                  "the attribute " + NameAt(text_, at) + " appears twice in <" +
                      NameAt(text_, tag + 1) + ">");
        }
        case XML_ERROR_UNDEFINED_ENTITY:
        case XML_ERROR_RECURSIVE_ENTITY_REF: {
            // Expat points at the reference, or in an attribute value at the tag.
            const bool undefined = code == XML_ERROR_UNDEFINED_ENTITY;
            const auto reference = rest.substr(0, 1) == "&" ? 0 : Reference(rest, undefined);
            const auto where = reference == std::string_view::npos ? at : at + reference;
            const std::string name = NameAt(text_, where + 1);
            Throw(Kind::NotWellFormed, where,
                  undefined ? "refers to the entity \"" + name + "\", which is not declared"
                            : "the entity \"" + name + "\" refers to itself");
        }
        case XML_ERROR_BAD_CHAR_REF:
            Throw(Kind::NotWellFormed, at,
                  "\"" + std::string(rest.substr(0, rest.find(';') + 1)) +
                      "\" refers to a character XML 1.0 does not allow");
        case XML_ERROR_TAG_MISMATCH:  // expat points at the name, after "</"
            Throw(Kind::NotWellFormed, at < 2 ? at : at - 2,
                  "</" + NameAt(text_, at) + "> closes <" +
                      tree_.elements[open_.back().index].qualified + ">");
        case XML_ERROR_NO_ELEMENTS:
            if (!open_.empty()) {
                const XmlElement& open = tree_.elements[open_.back().index];
                Throw(Kind::NotWellFormed, open.offset, "<" + open.qualified + "> is never closed");
            }
            Throw(Kind::NotWellFormed, at, "expected the root element");
        case XML_ERROR_JUNK_AFTER_DOC_ELEMENT:
            Throw(
                Kind::NotWellFormed, at,
                rest.substr(0, 1) == "<" ? "a second root element" : "text after the root element");
        case XML_ERROR_AMPLIFICATION_LIMIT_BREACH:
            Throw(Kind::Refused, at,
                  "entities expand to more than " + std::to_string(kXmlMaxEntityExpansion) +
                      " bytes");
        default:
            Throw(Kind::NotWellFormed, at, XML_ErrorString(code));
    }
}

void Reader::Declaration(const char* version, const char* encoding) {
    // Expat takes any version number; XML 1.0 (and libxml2) only "1." and digits.
    const std::string_view number = version == nullptr ? "1.0" : version;
    if (number.size() < 3 || number.substr(0, 2) != "1." ||
        number.find_first_not_of("0123456789", 2) != std::string_view::npos) {
        Throw(Kind::NotWellFormed, Here(),
              "version \"" + std::string(number) + "\" is not XML 1.x");
    }
    if (encoding == nullptr) {
        return;
    }
    const std::string lower = Lower(encoding);
    if (lower == "utf-8" || lower == "utf8") {
        return;
    }
    const bool ascii = lower == "us-ascii" || lower == "ascii" || lower == "ansi_x3.4-1968" ||
                       lower == "iso646-us";
    if (!ascii) {
        Throw(Kind::Refused, Here(),
              "is encoded as " + std::string(encoding) + "; only UTF-8 files can be read");
    }
    const auto high = std::find_if(text_.begin(), text_.end(),
                                   [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
    if (high != text_.end()) {
        const auto at = static_cast<std::size_t>(high - text_.begin());
        Throw(Kind::NotWellFormed, at,
              "holds " + DescribeCharacter(text_, at) + ", which " + encoding +
                  " (the encoding it declares) does not hold");
    }
}

void Reader::EntityDeclared(const char* name, bool parameter, const char* value, int length,
                            const char* system, const char* notation) {
    if (parameter) {
        Throw(Kind::Refused, Here(),
              "the DOCTYPE declares a parameter entity, which is not read here");
    }
    if (system != nullptr || notation != nullptr || value == nullptr) {
        Throw(Kind::Refused, Here(),
              "the entity \"" + std::string(name) +
                  "\" is external; only entities declared in the file are read here");
    }
    Entity entity;
    entity.text.assign(value, static_cast<std::size_t>(length));
    entities_.try_emplace(name, std::move(entity));
}

// Every entity is measured once the DOCTYPE is read, before any is used: how deep its
// references go (expat follows them by recursion) and how many bytes it expands to.
void Reader::DoctypeEnd() {
    for (auto& [name, entity] : entities_) {
        if (Measure(entity, 1) > kXmlMaxEntityNesting) {
            Throw(Kind::Refused, Here(),
                  "entities refer to entities more than " + std::to_string(kXmlMaxEntityNesting) +
                      " deep");
        }
    }
}

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

// The depth of `entity`'s references (1 for none), or kXmlMaxEntityNesting + 1 for deeper;
// sets its size. Recurses no deeper than the limit.
std::size_t Reader::Measure(Entity& entity, std::size_t level) {
    if (entity.measured || entity.measuring) {  // measuring: a cycle, refused where used
        return entity.depth;
    }
    if (level > kXmlMaxEntityNesting) {
        return kXmlMaxEntityNesting + 1;
    }
    entity.measuring = true;
    std::size_t size = entity.text.size() + 1;
    std::size_t depth = 0;
    for (auto at = entity.text.find('&'); at != std::string::npos;
         at = entity.text.find('&', at + 1)) {
        const auto found = Declared(NameAt(entity.text, at + 1));
        if (found != entities_.end()) {
            depth = std::max(depth, Measure(found->second, level + 1));
            size = std::min(size + found->second.size, kXmlMaxEntityExpansion + 1);
        }
    }
    entity.depth = std::min(depth + 1, kXmlMaxEntityNesting + 1);
    entity.size = size;
    entity.measuring = false;
    entity.measured = true;
    return entity.depth;
}

// Counts the expansion of the entity references in `references` (raw text of the file).
void Reader::Expanded(std::string_view references, std::size_t at) {
    for (auto amp = references.find('&'); amp != std::string_view::npos;
         amp = references.find('&', amp + 1)) {
        const auto found = Declared(NameAt(references, amp + 1));
        if (found == entities_.end()) {
            continue;
        }
        expanded_ += found->second.size;
        if (expanded_ > kXmlMaxEntityExpansion) {
            Throw(Kind::Refused, at,
                  "entities expand to more than " + std::to_string(kXmlMaxEntityExpansion) +
                      " bytes");
        }
    }
}

// Every event an entity reference in content gives is reported at the reference: the first
// counts the reference's expansion.
void Reader::Event() {
    const std::size_t at = Here();
    if (at < text_.size() && text_[at] == '&' && at != lastReference_) {
        lastReference_ = at;
        const auto end = text_.find(';', at);
        Expanded(text_.substr(at, end == std::string_view::npos ? end : end - at + 1), at);
    }
}

void Reader::Start(const char* name, const char** attributes) {
    Event();
    XmlElement element;
    element.offset = Here();
    const auto length = static_cast<std::size_t>(XML_GetCurrentByteCount(parser_.get()));
    element.fromEntity = text_.substr(element.offset, 1) != "<";
    if (!element.fromEntity) {
        Expanded(text_.substr(element.offset, length), element.offset);
        // Possible only when the DOCTYPE names a DTD of its own; expat says nothing.
        const std::string_view tag = text_.substr(element.offset, length);
        if (const auto reference = Reference(tag, true); reference != std::string_view::npos) {
            element.undeclaredEntity = NameAt(tag, reference + 1);
        }
    }
    element.parent = open_.empty() ? XmlElement::kNoParent : open_.back().index;
    element.qualified = name;
    // Only what the tag itself gives: a DTD's defaults follow it in `attributes`.
    const auto specified = static_cast<std::size_t>(XML_GetSpecifiedAttributeCount(parser_.get()));
    for (std::size_t i = 0; i < specified; i += 2) {
        element.attributes.push_back({attributes[i], {}, {}, attributes[i + 1]});
    }
    Resolve(element, element.offset);
    Open open;
    open.index = tree_.elements.size();
    for (const auto& declaration : element.declarations) {
        open.declared.push_back(declaration.first);
    }
    tree_.elements.push_back(std::move(element));
    open_.push_back(std::move(open));
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

void Reader::End() {
    Event();
    for (const auto& prefix : open_.back().declared) {
        bindings_[prefix].pop_back();
    }
    open_.pop_back();
}

}  // namespace

XmlTree ReadXml(std::string_view text) {
    return Reader(text).Read();
}

}  // namespace hostsim::tool
