#include "hostsim/tool/documents/XmlReader.h"

#include "hostsim/tool/documents/StartTag.h"
#include "hostsim/tool/documents/XmlReading.h"
#include "hostsim/tool/documents/XmlText.h"

#include <expat.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <exception>
#include <limits>
#include <memory>
#include <unordered_map>

namespace hostsim::tool {

namespace xmlreading {

using namespace xmltext;

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

void Reader::End() {
    Event();
    for (const auto& prefix : open_.back().declared) {
        bindings_[prefix].pop_back();
    }
    open_.pop_back();
}

}  // namespace xmlreading

XmlTree ReadXml(std::string_view text) {
    return xmlreading::Reader(text).Read();
}

}  // namespace hostsim::tool
