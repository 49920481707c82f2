// Reading XML 1.0 for files that are edited in place afterwards: a thin adapter over expat
// that keeps the offset of every element's start tag in the text, resolves namespaces
// itself (so that a prefix nobody declared harms only the elements that need it), and
// refuses whatever is not well-formed, so that nothing it accepts can be passed on broken.
//
// Attribute values are what an XML reader hands an application: references replaced, line
// ends and literal white space turned into spaces. Attributes that a DTD only gives a
// default are not read as written. Nesting is as deep as memory allows: expat keeps open
// elements in a list, and nothing here recurses over them.
//
// Namespaces are resolved as libxml2, the editor's parser, resolves them for the editor, which
// substitutes no entity: a namespace declaration's value keeps a reference to an entity as
// written (xmlns:p="&ink;" binds p to the name "&ink;", whatever the entity holds; no
// expansion, so no entity bomb either), and the namespace declarations that a DTD gives an
// element by default (<!ATTLIST svg xmlns:p CDATA #FIXED "...">) bind as if the tag held them,
// unless the tag declares the prefix itself. (libxml2 applies these defaults, and no others.)
//
// What is well-formed XML but refused on purpose (XmlError::Kind::Refused), each for a
// reason, is listed here and nowhere else; the differential check of the fuzz build accepts
// exactly these as disagreements with the editor's own parser:
//   - an encoding other than UTF-8 (and its ASCII subset): UTF-16 with its byte order mark
//     included. Documents are edited as bytes, and those bytes must mean the same when
//     written back.
//   - external entities (parsed or unparsed) and parameter entities: reading another file,
//     or the network, on a document's behalf is not something a document may ask for.
//   - entity references that expand to more than kXmlMaxEntityExpansion bytes in all, or
//     that refer to entities more than kXmlMaxEntityNesting deep: bombs stay harmless.
//   - a name whose second colon is followed by a character a name may hold but not begin with
//     ("a:b:2c"): well-formed XML 1.0, but libxml2, the editor's own parser, cannot read it.
//   - an attribute the DTD declares whose first colon is followed by such a character
//     ("<!ATTLIST a b:0c CDATA #IMPLIED>"): libxml2 cannot read that either.
//   - on a namedview, or a page inside one (SvgDocument.cpp): a namespace fault (a prefix
//     bound to nothing, a name that is not a qualified name, two attributes that are one
//     once resolved), an element that an entity
//     spells (it has no start tag of its own to edit), or a reference to an entity that only
//     a DTD outside the file could declare. Which page an element is, and what it holds,
//     would be guessed.
// Four differences from libxml2 are known and accepted. libxml2 ends a document at a NUL
// byte after the root element and ignores what follows; XML 1.0 allows no NUL anywhere, and it
// is refused here. libxml2 reads "<!DOCTYPEsvg", without the white space XML requires; expat
// refuses it, and so do we. libxml2 reads an internal subset that follows a DOCTYPE already
// closed by its ">" ("<!DOCTYPE svg>[<!ENTITY ...>]>"), which XML does not allow: refused here,
// as expat refuses it. expat takes names by the rules of XML 1.0 before its fifth edition
// (2008), libxml2 by the fifth's, which allow more characters (CJK Extension A, U+10000 and above
// and others): a name with one of those is refused here as not well-formed. No SVG file of a Debian
// system with the editor installed has such a name.
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

// Bytes that entity references may expand to in a whole document, counting each expansion
// of an entity as its replacement text and one more.
inline constexpr std::size_t kXmlMaxEntityExpansion = std::size_t{1} << 20;
// Entity references inside entities inside ...
inline constexpr std::size_t kXmlMaxEntityNesting = 16;

class XmlError : public std::runtime_error {
  public:
    // NotWellFormed: not XML at all. Refused: XML that this reader chooses not to read (see
    // the list above).
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
    // Of the '<' that begins the start tag; for an element an entity spells, of the '&' of
    // the reference in the file.
    std::size_t offset = 0;
    bool fromEntity = false;               // spelled by an entity: no start tag to edit
    std::size_t parent = kNoParent;        // index in XmlTree::elements
    std::vector<XmlAttribute> attributes;  // as written (not DTD defaults); no declarations
    // The namespace declarations of this start tag, then those the DTD gives it by default:
    // prefix (empty for the default namespace) and namespace.
    std::vector<std::pair<std::string, std::string>> declarations;
    // The first namespace fault of the tag ("the prefix \"q\" is not declared") and its
    // offset; empty when there is none. The names it concerns have no namespace (but for two
    // attributes that are one once resolved, which both keep theirs).
    std::string namespaceFault;
    std::size_t namespaceFaultAt = 0;
    // An entity the tag refers to that no declaration in the file gives (allowed when the
    // DOCTYPE names a DTD of its own, which is not read); empty when none.
    std::string undeclaredEntity;

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
// XmlError at the first fault: NotWellFormed for text that is not XML, Refused for the
// documents listed above; std::bad_alloc when memory runs out.
XmlTree ReadXml(std::string_view text);

// The offset of the first byte of `text` that does not begin a character an XML 1.0 file can
// hold (a control character, U+FFFE, U+FFFF, or a byte that is not UTF-8); empty when all can.
std::optional<std::size_t> FindNonXmlCharacter(std::string_view text);

// How the character at `text[offset]` is named in messages: "U+0001", or "the byte 0xFF" for
// one that is not UTF-8.
std::string DescribeCharacter(std::string_view text, std::size_t offset);

}  // namespace hostsim::tool
