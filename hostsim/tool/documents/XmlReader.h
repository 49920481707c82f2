// A strict, non-validating reader of XML 1.0 with namespaces, for files that are edited in
// place afterwards: it keeps the offset of every element in the text, and refuses whatever
// is not well-formed (unbalanced or misnamed tags, an attribute given twice, bytes that are
// not UTF-8, characters XML 1.0 does not allow, references to undeclared entities, unbound
// prefixes), so that nothing it accepts can be passed on broken.
//
// Attribute values are what an XML reader hands an application: references replaced, line
// ends and literal white space turned into spaces. Internal general entities declared in the
// DOCTYPE are expanded, within limits, so that bombs of nested entities stay harmless. What
// this reader does not take on is refused rather than half-read: parameter entities,
// external entities, attribute-list, element and notation declarations, entities that hold
// markup, and encodings other than UTF-8.
#pragma once

#include <cstddef>
#include <optional>
#include <set>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace hostsim::tool {

// Elements open at once, the root counting as one.
inline constexpr std::size_t kXmlMaxDepth = 1000;
// Bytes that entity references may expand to in a whole document, counting each expansion
// of an entity as its replacement text and one more.
inline constexpr std::size_t kXmlMaxEntityExpansion = std::size_t{1} << 20;
// Entity references inside entities inside ...
inline constexpr std::size_t kXmlMaxEntityNesting = 16;

class XmlError : public std::runtime_error {
  public:
    // NotWellFormed: not XML at all. Refused: XML that this reader chooses not to read.
    enum class Kind { NotWellFormed, Refused };
    XmlError(Kind kind, std::size_t offset, const std::string& reason)
        : std::runtime_error(reason), kind_(kind), offset_(offset) {}
    Kind GetKind() const { return kind_; }
    // Where in the text the fault is (a byte offset).
    std::size_t Offset() const { return offset_; }

  private:
    Kind kind_;
    std::size_t offset_;
};

struct XmlAttribute {
    std::string qualified;   // as spelled
    std::string_view space;  // the namespace; empty for none
    std::string local;
    std::string value;  // as an XML reader gives it
};

struct XmlElement {
    static constexpr std::size_t kNoParent = static_cast<std::size_t>(-1);
    std::string qualified;   // as spelled
    std::string_view space;  // the namespace; empty for none
    std::string local;
    std::size_t offset = 0;                // of the '<' that begins the start tag
    std::size_t parent = kNoParent;        // index in XmlTree::elements
    std::vector<XmlAttribute> attributes;  // namespace declarations left out
    // The namespace declarations of this start tag: prefix (empty for the default namespace)
    // and namespace.
    std::vector<std::pair<std::string, std::string>> declarations;

    // The attribute with namespace `ns` (empty for none) and local name `name`.
    const XmlAttribute* Find(std::string_view ns, std::string_view name) const;
};

struct XmlTree {
    XmlTree() = default;
    XmlTree(XmlTree&&) = default;
    XmlTree& operator=(XmlTree&&) = default;
    // Namespaces are views into `spaces`, which a copy would not carry.
    XmlTree(const XmlTree&) = delete;
    XmlTree& operator=(const XmlTree&) = delete;

    std::vector<XmlElement> elements;  // in document order: the first is the root

    // The namespace `prefix` stands for in the start tag of `elements[element]` (the default
    // namespace for an empty prefix); empty when it stands for none.
    std::string_view NamespaceAt(std::size_t element, std::string_view prefix) const;
    // A prefix that stands for `space` there, the nearest declared first; empty when none.
    std::string PrefixAt(std::size_t element, std::string_view space) const;

    std::set<std::string, std::less<>> spaces;  // every namespace named in the file, once
};

// Reads `text` as an XML document encoded in UTF-8 (a byte order mark is allowed). Throws
// XmlError at the first fault.
XmlTree ReadXml(std::string_view text);

// The offset of the first byte of `text` that does not begin a character an XML 1.0 file can
// hold (a control character, U+FFFE, U+FFFF, or a byte that is not UTF-8); empty when all can.
std::optional<std::size_t> FindNonXmlCharacter(std::string_view text);

// How the character at `text[offset]` is named in messages: "U+0001", or "the byte 0xFF" for
// one that is not UTF-8.
std::string DescribeCharacter(std::string_view text, std::size_t offset);

}  // namespace hostsim::tool
