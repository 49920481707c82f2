#include "hostsim/tool/documents/XmlReader.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <unordered_map>
#include <unordered_set>

namespace hostsim::tool {

namespace {

constexpr std::string_view kXmlNamespace = "http://www.w3.org/XML/1998/namespace";
constexpr std::string_view kXmlnsNamespace = "http://www.w3.org/2000/xmlns/";

bool IsChar(char32_t c) {
    return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) ||
           (c >= 0xE000 && c <= 0xFFFD) || (c >= 0x10000 && c <= 0x10FFFF);
}

bool IsNameStart(char32_t c) {
    return c == ':' || c == '_' || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
           (c >= 0xC0 && c <= 0xD6) || (c >= 0xD8 && c <= 0xF6) || (c >= 0xF8 && c <= 0x2FF) ||
           (c >= 0x370 && c <= 0x37D) || (c >= 0x37F && c <= 0x1FFF) ||
           (c >= 0x200C && c <= 0x200D) || (c >= 0x2070 && c <= 0x218F) ||
           (c >= 0x2C00 && c <= 0x2FEF) || (c >= 0x3001 && c <= 0xD7FF) ||
           (c >= 0xF900 && c <= 0xFDCF) || (c >= 0xFDF0 && c <= 0xFFFD) ||
           (c >= 0x10000 && c <= 0xEFFFF);
}

bool IsNameChar(char32_t c) {
    return IsNameStart(c) || c == '-' || c == '.' || (c >= '0' && c <= '9') || c == 0xB7 ||
           (c >= 0x300 && c <= 0x36F) || (c >= 0x203F && c <= 0x2040);
}

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

// The character at `text[i]` and its length in bytes; length 0 where the bytes there are not
// the shortest UTF-8 form of a Unicode scalar value.
struct Decoded {
    char32_t c = 0;
    std::size_t length = 0;
};

Decoded Decode(std::string_view text, std::size_t i) {
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[i + k]); };
    const unsigned char first = byte(0);
    if (first < 0x80) {
        return {first, 1};
    }
    std::size_t length = 0;
    char32_t c = 0;
    char32_t least = 0;
    if ((first & 0xE0) == 0xC0) {
        length = 2, c = first & 0x1F, least = 0x80;
    } else if ((first & 0xF0) == 0xE0) {
        length = 3, c = first & 0x0F, least = 0x800;
    } else if ((first & 0xF8) == 0xF0) {
        length = 4, c = first & 0x07, least = 0x10000;
    } else {
        return {};
    }
    if (i + length > text.size()) {
        return {};
    }
    for (std::size_t k = 1; k < length; ++k) {
        if ((byte(k) & 0xC0) != 0x80) {
            return {};
        }
        c = (c << 6) | (byte(k) & 0x3F);
    }
    if (c < least || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
        return {};
    }
    return {c, length};
}

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

std::string_view PrefixOf(std::string_view qualified) {
    const auto colon = qualified.find(':');
    return colon == std::string_view::npos ? std::string_view() : qualified.substr(0, colon);
}

std::string_view LocalOf(std::string_view qualified) {
    const auto colon = qualified.find(':');
    return colon == std::string_view::npos ? qualified : qualified.substr(colon + 1);
}

class Parser {
  public:
    explicit Parser(std::string_view text) : text_(text) {}

    XmlTree Parse() {
        if (text_.substr(0, 3) == "\xEF\xBB\xBF") {
            pos_ = 3;
        }
        if (At("<?xml") && pos_ + 5 < text_.size() && IsSpace(text_[pos_ + 5])) {
            Declaration();
        }
        if (const auto bad = FindNonXmlCharacter(text_)) {
            Fail(*bad,
                 "holds " + DescribeCharacter(text_, *bad) +
                     (Decode(text_, *bad).length == 0 ? ", which is not UTF-8"
                                                      : ", a character XML 1.0 does not allow"));
        }
        Misc();
        if (At("<!DOCTYPE")) {
            Doctype();
            Misc();
        }
        if (pos_ >= text_.size() || !At("<") || At("</") || At("<!") || At("<?")) {
            Fail(pos_, "expected the root element");
        }
        Elements();
        Misc();
        if (pos_ < text_.size()) {
            Fail(pos_, At("<") ? "a second root element" : "text after the root element");
        }
        return std::move(tree_);
    }

  private:
    [[noreturn]] void Fail(std::size_t offset, const std::string& reason) const {
        throw XmlError(XmlError::Kind::NotWellFormed, offset, reason);
    }
    [[noreturn]] void Refuse(std::size_t offset, const std::string& reason) const {
        throw XmlError(XmlError::Kind::Refused, offset, reason);
    }

    bool At(std::string_view what) const { return text_.substr(pos_, what.size()) == what; }

    void Expect(std::string_view what) {
        if (!At(what)) {
            Fail(pos_, pos_ >= text_.size()
                           ? "the file ends where \"" + std::string(what) + "\" was expected"
                           : "expected \"" + std::string(what) + "\"");
        }
        pos_ += what.size();
    }

    bool SkipSpace() {
        const std::size_t begin = pos_;
        while (pos_ < text_.size() && IsSpace(text_[pos_])) {
            ++pos_;
        }
        return pos_ > begin;
    }

    void RequireSpace() {
        if (!SkipSpace()) {
            Fail(pos_, "expected white space");
        }
    }

    std::string_view Name() {
        const std::size_t begin = pos_;
        if (pos_ >= text_.size()) {
            Fail(pos_, "the file ends where a name was expected");
        }
        Decoded d = Decode(text_, pos_);
        if (!IsNameStart(d.c)) {
            Fail(pos_, "expected a name");
        }
        pos_ += d.length;
        while (pos_ < text_.size()) {
            d = Decode(text_, pos_);
            if (!IsNameChar(d.c)) {
                break;
            }
            pos_ += d.length;
        }
        return text_.substr(begin, pos_ - begin);
    }

    // A name in a namespaced document: a prefix and a local name, each without a colon.
    std::string_view QualifiedName() {
        const std::size_t begin = pos_;
        const std::string_view name = Name();
        const auto colon = name.find(':');
        if (colon == 0 || colon + 1 == name.size() ||
            (colon != std::string_view::npos &&
             name.find(':', colon + 1) != std::string_view::npos)) {
            Fail(begin, "\"" + std::string(name) + "\" is not a qualified name");
        }
        return name;
    }

    std::string_view NameWithoutColon() {
        const std::size_t begin = pos_;
        const std::string_view name = Name();
        if (name.find(':') != std::string_view::npos) {
            Fail(begin, "\"" + std::string(name) + "\" holds a colon");
        }
        return name;
    }

    std::string_view Quoted() {
        if (pos_ >= text_.size() || (text_[pos_] != '"' && text_[pos_] != '\'')) {
            Fail(pos_, "expected a quoted value");
        }
        const char quote = text_[pos_];
        const auto end = text_.find(quote, pos_ + 1);
        if (end == std::string_view::npos) {
            Fail(pos_, "a quoted value is never closed");
        }
        const std::string_view value = text_.substr(pos_ + 1, end - pos_ - 1);
        pos_ = end + 1;
        return value;
    }

    void Equals() {
        SkipSpace();
        Expect("=");
        SkipSpace();
    }

    void Declaration() {
        pos_ += 5;
        RequireSpace();
        Expect("version");
        Equals();
        const std::size_t versionAt = pos_;
        const std::string_view version = Quoted();
        if (version.size() < 3 || version.substr(0, 2) != "1." ||
            version.find_first_not_of("0123456789", 2) != std::string_view::npos) {
            Fail(versionAt, "version \"" + std::string(version) + "\" is not XML 1.x");
        }
        bool spaced = SkipSpace();
        if (spaced && At("encoding")) {
            pos_ += 8;
            Equals();
            const std::size_t at = pos_;
            const std::string_view encoding = Quoted();
            if (encoding.empty() ||
                encoding.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"
                                           "0123456789._-") != std::string_view::npos ||
                !std::isalpha(static_cast<unsigned char>(encoding[0]))) {
                Fail(at, "\"" + std::string(encoding) + "\" is not an encoding name");
            }
            std::string lower(encoding);
            std::transform(lower.begin(), lower.end(), lower.begin(),
                           [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
            if (lower != "utf-8" && lower != "utf8") {
                Refuse(at,
                       "is encoded as " + std::string(encoding) + "; only UTF-8 files can be read");
            }
            spaced = SkipSpace();
        }
        if (spaced && At("standalone")) {
            pos_ += 10;
            Equals();
            const std::size_t at = pos_;
            const std::string_view standalone = Quoted();
            if (standalone != "yes" && standalone != "no") {
                Fail(at, "standalone must be \"yes\" or \"no\"");
            }
            SkipSpace();
        }
        Expect("?>");
    }

    void Misc() {
        for (;;) {
            SkipSpace();
            if (At("<!--")) {
                Comment();
            } else if (At("<?")) {
                ProcessingInstruction();
            } else {
                return;
            }
        }
    }

    void Comment() {
        const std::size_t begin = pos_;
        pos_ += 4;
        const auto dashes = text_.find("--", pos_);
        if (dashes == std::string_view::npos) {
            Fail(begin, "a comment is never closed");
        }
        if (dashes + 2 >= text_.size() || text_[dashes + 2] != '>') {
            Fail(dashes, "\"--\" inside a comment");
        }
        pos_ = dashes + 3;
    }

    void ProcessingInstruction() {
        const std::size_t begin = pos_;
        pos_ += 2;
        const std::string_view target = NameWithoutColon();
        std::string lower(target);
        std::transform(lower.begin(), lower.end(), lower.begin(),
                       [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
        if (lower == "xml") {
            Fail(begin, "an XML declaration that is not at the very beginning");
        }
        if (At("?>")) {
            pos_ += 2;
            return;
        }
        RequireSpace();
        const auto end = text_.find("?>", pos_);
        if (end == std::string_view::npos) {
            Fail(begin, "a processing instruction is never closed");
        }
        pos_ = end + 2;
    }

    void Doctype() {
        pos_ += 9;
        RequireSpace();
        QualifiedName();
        const bool spaced = SkipSpace();
        if (spaced && (At("SYSTEM") || At("PUBLIC"))) {
            const bool isPublic = At("PUBLIC");
            pos_ += 6;
            RequireSpace();
            if (isPublic) {
                const std::size_t at = pos_;
                const std::string_view id = Quoted();
                if (id.find_first_not_of(" \r\nabcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ"
                                         "0123456789-'()+,./:=?;!*#@$_%") !=
                    std::string_view::npos) {
                    Fail(at, "the public identifier holds a character it may not hold");
                }
                RequireSpace();
            }
            Quoted();
            SkipSpace();
        }
        if (At("[")) {
            ++pos_;
            InternalSubset();
            ++pos_;
            SkipSpace();
        }
        Expect(">");
    }

    void InternalSubset() {
        for (;;) {
            SkipSpace();
            if (pos_ >= text_.size()) {
                Fail(pos_, "the DOCTYPE is never closed");
            }
            if (At("]")) {
                return;
            }
            if (At("<!--")) {
                Comment();
            } else if (At("<?")) {
                ProcessingInstruction();
            } else if (At("<!ENTITY")) {
                EntityDeclaration();
            } else if (At("%")) {
                Refuse(pos_, "the DOCTYPE refers to a parameter entity, which is not read here");
            } else if (At("<!ELEMENT") || At("<!ATTLIST") || At("<!NOTATION")) {
                const std::size_t at = pos_;
                pos_ += 2;
                Refuse(at, "the DOCTYPE declares " + std::string(Name()) +
                               "; only entities declared in the file are read here");
            } else {
                Fail(pos_, "expected a declaration inside the DOCTYPE");
            }
        }
    }

    void EntityDeclaration() {
        const std::size_t begin = pos_;
        pos_ += 8;
        RequireSpace();
        if (At("%")) {
            Refuse(begin, "the DOCTYPE declares a parameter entity, which is not read here");
        }
        const std::string name(NameWithoutColon());
        RequireSpace();
        if (At("SYSTEM") || At("PUBLIC")) {
            Refuse(begin, "the entity \"" + name +
                              "\" is external; only entities declared "
                              "in the file are read here");
        }
        if (pos_ >= text_.size() || (text_[pos_] != '"' && text_[pos_] != '\'')) {
            Fail(pos_, "expected the quoted value of the entity \"" + name + "\"");
        }
        const char quote = text_[pos_++];
        // The replacement text: character references replaced now, entity references kept
        // for when the entity is used.
        std::string replacement;
        for (;;) {
            if (pos_ >= text_.size()) {
                Fail(begin, "the value of the entity \"" + name + "\" is never closed");
            }
            const char c = text_[pos_];
            if (c == quote) {
                ++pos_;
                break;
            }
            if (c == '%') {
                Refuse(pos_, "the entity \"" + name +
                                 "\" refers to a parameter entity, which is not read here");
            }
            if (c == '&') {
                const std::size_t at = pos_;
                if (At("&#")) {
                    AppendUtf8(replacement, CharacterReference());
                } else {
                    ++pos_;
                    NameWithoutColon();
                    Expect(";");
                    replacement.append(text_.substr(at, pos_ - at));
                }
                continue;
            }
            if (c == '\r') {
                replacement += '\n';
                ++pos_;
                if (At("\n")) {
                    ++pos_;
                }
                continue;
            }
            replacement += c;
            ++pos_;
        }
        SkipSpace();
        if (At("NDATA")) {
            Refuse(begin, "the entity \"" + name + "\" is unparsed, which is not read here");
        }
        Expect(">");
        // The first declaration binds; the five predefined entities keep their meaning.
        if (Predefined(name) == 0) {
            entities_.try_emplace(name, std::move(replacement));
        }
    }

    static char Predefined(std::string_view name) {
        if (name == "lt") {
            return '<';
        }
        if (name == "gt") {
            return '>';
        }
        if (name == "amp") {
            return '&';
        }
        if (name == "apos") {
            return '\'';
        }
        if (name == "quot") {
            return '"';
        }
        return 0;
    }

    // At "&#": the character a character reference stands for.
    char32_t CharacterReference() {
        const std::size_t begin = pos_;
        pos_ += 2;
        const bool hex = At("x");
        if (hex) {
            ++pos_;
        }
        const std::string_view digits = hex ? "0123456789abcdefABCDEF" : "0123456789";
        std::uint32_t value = 0;
        const std::size_t first = pos_;
        while (pos_ < text_.size() && digits.find(text_[pos_]) != std::string_view::npos) {
            const char c = text_[pos_++];
            const std::uint32_t digit = c <= '9'
                                            ? static_cast<std::uint32_t>(c - '0')
                                            : static_cast<std::uint32_t>((c | 0x20) - 'a' + 10);
            value = std::min<std::uint32_t>(value * (hex ? 16 : 10) + digit, 0x110000);
        }
        if (pos_ == first || !At(";")) {
            Fail(begin, "a malformed character reference");
        }
        ++pos_;
        if (!IsChar(value)) {
            Fail(begin, "\"" + std::string(text_.substr(begin, pos_ - begin)) +
                            "\" refers to a character XML 1.0 does not allow");
        }
        return value;
    }

    // Replaces the entity `name`, referred to at `at`, within an attribute value or within
    // content, and everything its replacement text refers to in turn.
    void Expand(const std::string& name, std::size_t at, std::string* attribute,
                std::size_t nesting) {
        const auto entity = entities_.find(name);
        if (entity == entities_.end()) {
            Fail(at, "refers to the entity \"" + name + "\", which is not declared");
        }
        if (nesting > kXmlMaxEntityNesting) {
            Refuse(at, "entities refer to entities more than " +
                           std::to_string(kXmlMaxEntityNesting) + " deep");
        }
        if (std::find(active_.begin(), active_.end(), name) != active_.end()) {
            Fail(at, "the entity \"" + name + "\" refers to itself");
        }
        const std::string& text = entity->second;
        expanded_ += text.size() + 1;
        if (expanded_ > kXmlMaxEntityExpansion) {
            Refuse(at, "entities expand to more than " + std::to_string(kXmlMaxEntityExpansion) +
                           " bytes");
        }
        if (text.find('<') != std::string::npos) {
            if (attribute != nullptr) {
                Fail(at, "the entity \"" + name + "\" holds '<', which an attribute cannot");
            }
            Refuse(at, "the entity \"" + name + "\" holds markup, which is not read here");
        }
        active_.push_back(name);
        for (std::size_t i = 0; i < text.size();) {
            const char c = text[i];
            if (c == '&') {
                const auto end = text.find(';', i);
                if (text.compare(i, 2, "&#") == 0) {
                    // Character references in a replacement text were written as "&#38;#..."
                    // in the value; they are characters now.
                    char32_t value = 0;
                    const bool hex = i + 2 < text.size() && text[i + 2] == 'x';
                    bool ok = end != std::string::npos && end > i + (hex ? 3 : 2);
                    for (std::size_t k = i + (hex ? 3 : 2); ok && k < end; ++k) {
                        const char d = text[k];
                        const bool digit = d >= '0' && d <= '9';
                        const bool letter = hex && ((d | 0x20) >= 'a' && (d | 0x20) <= 'f');
                        ok = digit || letter;
                        value = std::min<char32_t>(
                            value * (hex ? 16 : 10) +
                                static_cast<char32_t>(digit ? d - '0' : (d | 0x20) - 'a' + 10),
                            0x110000);
                    }
                    if (!ok || !IsChar(value)) {
                        Fail(at, "the entity \"" + name + "\" holds a malformed reference");
                    }
                    if (attribute != nullptr) {
                        AppendUtf8(*attribute, value);
                    }
                    i = end + 1;
                    continue;
                }
                const std::string inner =
                    end == std::string::npos ? "" : text.substr(i + 1, end - i - 1);
                if (inner.empty()) {
                    Fail(at, "the entity \"" + name + "\" holds a lone '&'");
                }
                if (const char predefined = Predefined(inner)) {
                    if (attribute != nullptr) {
                        *attribute += predefined;
                    }
                } else {
                    Expand(inner, at, attribute, nesting + 1);
                }
                i = end + 1;
                continue;
            }
            if (attribute != nullptr) {
                *attribute += (c == '\t' || c == '\n' || c == '\r') ? ' ' : c;
            }
            ++i;
        }
        active_.pop_back();
    }

    // At '&' in content or in an attribute value (then `attribute` receives the text).
    void Reference(std::string* attribute) {
        const std::size_t at = pos_;
        if (At("&#")) {
            const char32_t c = CharacterReference();
            if (attribute != nullptr) {
                AppendUtf8(*attribute, c);
            }
            return;
        }
        ++pos_;
        const std::string name(NameWithoutColon());
        Expect(";");
        if (const char predefined = Predefined(name)) {
            if (attribute != nullptr) {
                *attribute += predefined;
            }
            return;
        }
        Expand(name, at, attribute, 1);
    }

    std::string AttributeValue() {
        if (pos_ >= text_.size() || (text_[pos_] != '"' && text_[pos_] != '\'')) {
            Fail(pos_, "expected a quoted attribute value");
        }
        const std::size_t begin = pos_;
        const char quote = text_[pos_++];
        std::string value;
        for (;;) {
            if (pos_ >= text_.size()) {
                Fail(begin, "an attribute value is never closed");
            }
            const char c = text_[pos_];
            if (c == quote) {
                ++pos_;
                return value;
            }
            if (c == '<') {
                Fail(pos_, "'<' inside an attribute value");
            }
            if (c == '&') {
                Reference(&value);
                continue;
            }
            ++pos_;
            if (c == '\r' && At("\n")) {
                ++pos_;
            }
            value += (c == '\t' || c == '\n' || c == '\r') ? ' ' : c;
        }
    }

    std::string_view Resolve(std::string_view prefix, std::size_t at) {
        if (prefix == "xml") {
            return kXmlNamespace;
        }
        const auto found = bindings_.find(std::string(prefix));
        if (found == bindings_.end() || found->second.empty() || found->second.back().empty()) {
            if (prefix.empty()) {
                return {};
            }
            Fail(at, "the prefix \"" + std::string(prefix) + "\" is not declared");
        }
        return found->second.back();
    }

    std::string_view Intern(std::string_view space) {
        auto found = tree_.spaces.find(space);
        if (found == tree_.spaces.end()) {
            found = tree_.spaces.emplace(space).first;
        }
        return *found;
    }

    // At '<' of a start tag. Returns whether the element is empty (ends in "/>").
    bool StartTag(std::vector<std::string>& declared) {
        XmlElement element;
        element.offset = pos_;
        element.parent = open_.empty() ? XmlElement::kNoParent : open_.back().index;
        ++pos_;
        const std::string_view qualified = QualifiedName();
        element.qualified = std::string(qualified);
        struct Raw {
            std::string_view name;
            std::size_t at;
            std::string value;
        };
        std::vector<Raw> raw;
        bool empty = false;
        for (;;) {
            const bool spaced = SkipSpace();
            if (pos_ >= text_.size()) {
                Fail(element.offset, "a start tag is never closed");
            }
            if (At("/>")) {
                pos_ += 2;
                empty = true;
                break;
            }
            if (At(">")) {
                ++pos_;
                break;
            }
            if (!spaced) {
                Fail(pos_, "expected white space before an attribute");
            }
            const std::size_t at = pos_;
            const std::string_view name = QualifiedName();
            Equals();
            raw.push_back({name, at, AttributeValue()});
        }
        std::unordered_set<std::string_view> names;
        for (const auto& attribute : raw) {
            if (!names.insert(attribute.name).second) {
                Fail(attribute.at, "the attribute " + std::string(attribute.name) +
                                       " appears twice in <" + element.qualified + ">");
            }
        }
        // Declarations first: they hold for the tag they are in.
        for (auto& attribute : raw) {
            const std::string_view prefix = PrefixOf(attribute.name);
            const bool isDefault = attribute.name == "xmlns";
            if (!isDefault && prefix != "xmlns") {
                continue;
            }
            const std::string declaredPrefix(isDefault ? "" : LocalOf(attribute.name));
            const std::string& space = attribute.value;
            if (declaredPrefix == "xmlns") {
                Fail(attribute.at, "the prefix xmlns cannot be declared");
            }
            if ((declaredPrefix == "xml") != (space == kXmlNamespace) || space == kXmlnsNamespace) {
                Fail(attribute.at, "the prefix xml and its namespace belong to each other only");
            }
            if (!isDefault && space.empty()) {
                Fail(attribute.at, "the prefix \"" + declaredPrefix +
                                       "\" is declared with no namespace, which XML 1.0 does "
                                       "not allow");
            }
            bindings_[declaredPrefix].push_back(space);
            declared.push_back(declaredPrefix);
            element.declarations.emplace_back(declaredPrefix, space);
        }
        element.space = Intern(Resolve(PrefixOf(qualified), element.offset + 1));
        element.local = std::string(LocalOf(qualified));
        std::unordered_set<std::string> expanded;
        for (auto& attribute : raw) {
            const std::string_view prefix = PrefixOf(attribute.name);
            if (attribute.name == "xmlns" || prefix == "xmlns") {
                continue;
            }
            XmlAttribute read;
            read.qualified = std::string(attribute.name);
            read.space =
                prefix.empty() ? std::string_view() : Intern(Resolve(prefix, attribute.at));
            read.local = std::string(LocalOf(attribute.name));
            read.value = std::move(attribute.value);
            if (!expanded.insert(std::string(read.space) + ' ' + read.local).second) {
                Fail(attribute.at, "the attribute " + read.qualified + " of <" + element.qualified +
                                       "> is another already given: two prefixes for one "
                                       "namespace");
            }
            element.attributes.push_back(std::move(read));
        }
        tree_.elements.push_back(std::move(element));
        return empty;
    }

    void Unbind(const std::vector<std::string>& declared) {
        for (const auto& prefix : declared) {
            bindings_[prefix].pop_back();
        }
    }

    void Elements() {
        for (;;) {
            // At a start tag.
            if (open_.size() >= kXmlMaxDepth) {
                Refuse(pos_, "elements nest more than " + std::to_string(kXmlMaxDepth) + " deep");
            }
            Open open;
            open.begin = pos_;
            open.index = tree_.elements.size();
            if (StartTag(open.declared)) {
                Unbind(open.declared);
                if (open_.empty()) {
                    return;
                }
            } else {
                open_.push_back(std::move(open));
            }
            // Content, up to the next start tag or the end of the root element.
            for (;;) {
                if (pos_ >= text_.size()) {
                    Fail(open_.back().begin,
                         "<" + tree_.elements[open_.back().index].qualified + "> is never closed");
                }
                const char c = text_[pos_];
                if (c == '&') {
                    Reference(nullptr);
                } else if (c != '<') {
                    if (At("]]>")) {
                        Fail(pos_, "\"]]>\" in text");
                    }
                    ++pos_;
                } else if (At("<!--")) {
                    Comment();
                } else if (At("<?")) {
                    ProcessingInstruction();
                } else if (At("<![CDATA[")) {
                    const auto end = text_.find("]]>", pos_);
                    if (end == std::string_view::npos) {
                        Fail(pos_, "a CDATA section is never closed");
                    }
                    pos_ = end + 3;
                } else if (At("</")) {
                    const std::size_t at = pos_;
                    pos_ += 2;
                    const std::string_view name = Name();
                    SkipSpace();
                    Expect(">");
                    const std::string& expected = tree_.elements[open_.back().index].qualified;
                    if (name != expected) {
                        Fail(at, "</" + std::string(name) + "> closes <" + expected + ">");
                    }
                    Unbind(open_.back().declared);
                    open_.pop_back();
                    if (open_.empty()) {
                        return;
                    }
                } else if (At("<!")) {
                    Fail(pos_, "a declaration inside an element");
                } else {
                    break;
                }
            }
        }
    }

    struct Open {
        std::size_t begin = 0;
        std::size_t index = 0;
        std::vector<std::string> declared;
    };

    std::string_view text_;
    std::size_t pos_ = 0;
    XmlTree tree_;
    std::vector<Open> open_;
    std::unordered_map<std::string, std::vector<std::string>> bindings_;
    std::unordered_map<std::string, std::string> entities_;
    std::vector<std::string> active_;  // entities being expanded, outermost first
    std::size_t expanded_ = 0;
};

}  // namespace

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

XmlTree ReadXml(std::string_view text) {
    return Parser(text).Parse();
}

std::optional<std::size_t> FindNonXmlCharacter(std::string_view text) {
    for (std::size_t i = 0; i < text.size();) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c >= 0x20 && c < 0x80) {
            ++i;
            continue;
        }
        const Decoded d = Decode(text, i);
        if (d.length == 0 || !IsChar(d.c)) {
            return i;
        }
        i += d.length;
    }
    return std::nullopt;
}

std::string DescribeCharacter(std::string_view text, std::size_t offset) {
    char buffer[32];
    const Decoded d = Decode(text, offset);
    if (d.length == 0) {
        std::snprintf(buffer, sizeof buffer, "the byte 0x%02X",
                      static_cast<unsigned>(static_cast<unsigned char>(text[offset])));
    } else {
        std::snprintf(buffer, sizeof buffer, "U+%04X", static_cast<unsigned>(d.c));
    }
    return buffer;
}

}  // namespace hostsim::tool
