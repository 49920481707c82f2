#include "hostsim/tool/documents/XmlReader.h"

#include "hostsim/tool/documents/InputError.h"
#include "hostsim/tool/documents/SvgDocument.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace hostsim::tool {
namespace {

using ::testing::HasSubstr;
using Kind = XmlError::Kind;

struct Failure {
    Kind kind;
    std::size_t offset;
    std::string reason;
};

std::optional<Failure> FailureOf(std::string_view text) {
    try {
        ReadXml(text);
    } catch (const XmlError& error) {
        return Failure{error.GetKind(), error.Offset(), error.what()};
    }
    return std::nullopt;
}

std::string Nested(std::size_t depth) {
    std::string text;
    for (std::size_t i = 0; i < depth; ++i) {
        text += "<g>";
    }
    for (std::size_t i = 0; i < depth; ++i) {
        text += "</g>";
    }
    return text;
}

std::string Repeated(const std::string& text, std::size_t times) {
    std::string repeated;
    for (std::size_t i = 0; i < times; ++i) {
        repeated += text;
    }
    return repeated;
}

std::string EntityChain(std::size_t length) {
    std::string text = "<!DOCTYPE a [<!ENTITY e0 \"x\">";
    for (std::size_t i = 1; i < length; ++i) {
        text += "<!ENTITY e" + std::to_string(i) + " \"&e" + std::to_string(i - 1) + ";\">";
    }
    return text + "]><a x=\"&e" + std::to_string(length - 1) + ";\"/>";
}

TEST(XmlReader, RefusesWhatIsNotWellFormedOrNotReadHere) {
    const std::string laughs =
        "<!DOCTYPE a [<!ENTITY l0 \"lol\">"
        "<!ENTITY l1 \"&l0;&l0;&l0;&l0;&l0;&l0;&l0;&l0;&l0;&l0;\">"
        "<!ENTITY l2 \"&l1;&l1;&l1;&l1;&l1;&l1;&l1;&l1;&l1;&l1;\">"
        "<!ENTITY l3 \"&l2;&l2;&l2;&l2;&l2;&l2;&l2;&l2;&l2;&l2;\">"
        "<!ENTITY l4 \"&l3;&l3;&l3;&l3;&l3;&l3;&l3;&l3;&l3;&l3;\">"
        "<!ENTITY l5 \"&l4;&l4;&l4;&l4;&l4;&l4;&l4;&l4;&l4;&l4;\">"
        "<!ENTITY l6 \"&l5;&l5;&l5;&l5;&l5;&l5;&l5;&l5;&l5;&l5;\">"
        "<!ENTITY l7 \"&l6;&l6;&l6;&l6;&l6;&l6;&l6;&l6;&l6;&l6;\">]>";
    const struct {
        std::string text;
        Kind kind;
        std::size_t offset;
        const char* reason;
    } cases[] = {
        {"", Kind::NotWellFormed, 0, "expected the root element"},
        {"<a x='1' x='2'/>", Kind::NotWellFormed, 9, "the attribute x appears twice in <a>"},
        {"<a x='\xFF'/>", Kind::NotWellFormed, 6, "holds the byte 0xFF, which is not UTF-8"},
        {"<a x='\xC0\xAF'/>", Kind::NotWellFormed, 6, "the byte 0xC0"},      // overlong '/'
        {"<a x='\xED\xA0\x80'/>", Kind::NotWellFormed, 6, "the byte 0xED"},  // a surrogate
        {"<a x='\xE2\x82'/>", Kind::NotWellFormed, 6, "the byte 0xE2"},      // cut short
        {"<a x='A\x01'/>", Kind::NotWellFormed, 7,
         "holds U+0001, a character XML 1.0 does not allow"},
        {"<a>\x1B[2J</a>", Kind::NotWellFormed, 3, "U+001B"},
        {"<a>\xEF\xBF\xBE</a>", Kind::NotWellFormed, 3, "U+FFFE"},
        {"<a x='&#1;'/>", Kind::NotWellFormed, 6, "\"&#1;\" refers to a character XML 1.0"},
        {"<a>&#0;</a>", Kind::NotWellFormed, 3, "does not allow"},
        {"<a>&#xD800;</a>", Kind::NotWellFormed, 3, "does not allow"},
        {"<a>&#x110000;</a>", Kind::NotWellFormed, 3, "does not allow"},
        {"<a>&#99999999999999999999;</a>", Kind::NotWellFormed, 3, "does not allow"},
        {"<a>&#x;</a>", Kind::NotWellFormed, 6, "not well-formed (invalid token)"},
        {"<a>\n<b>\n</a>", Kind::NotWellFormed, 8, "</a> closes <b>"},
        {"<a><b/>", Kind::NotWellFormed, 0, "<a> is never closed"},
        {"<a/><b/>", Kind::NotWellFormed, 4, "a second root element"},
        {"<a/>x", Kind::NotWellFormed, 4, "text after the root element"},
        {"<a>]]></a>", Kind::NotWellFormed, 5, "not well-formed (invalid token)"},
        {"<a>&nm;</a>", Kind::NotWellFormed, 3, "the entity \"nm\", which is not declared"},
        {"<a x='&nm;'/>", Kind::NotWellFormed, 6, "which is not declared"},
        {"<a x='a & b'/>", Kind::NotWellFormed, 9, "not well-formed (invalid token)"},
        {"<a x='<'/>", Kind::NotWellFormed, 6, "not well-formed (invalid token)"},
        {"<a x=1/>", Kind::NotWellFormed, 5, "not well-formed (invalid token)"},
        {"<a x='1'y='2'/>", Kind::NotWellFormed, 8, "not well-formed (invalid token)"},
        {"<a x='1>", Kind::NotWellFormed, 0, "unclosed token"},
        {"<a><!-- a -- b --></a>", Kind::NotWellFormed, 12, "not well-formed (invalid token)"},
        {"<a><!-- a ---></a>", Kind::NotWellFormed, 12, "not well-formed (invalid token)"},
        {"<?xml version='0.0'?><a/>", Kind::NotWellFormed, 0, "version \"0.0\" is not XML 1.x"},
        {"<?xml version='1.x'?><a/>", Kind::NotWellFormed, 0, "version \"1.x\" is not XML 1.x"},
        {" <?xml version='1.0'?><a/>", Kind::NotWellFormed, 1, "declaration not at start"},
        {"<a><![CDATA[x</a>", Kind::NotWellFormed, 17, "unclosed CDATA section"},
        {"<a><!ENTITY e 'x'></a>", Kind::NotWellFormed, 5, "not well-formed (invalid token)"},
        {"<!DOCTYPE a [<!ENTITY e \"&e;\">]><a x='&e;'/>", Kind::NotWellFormed, 38,
         "the entity \"e\" refers to itself"},
        {"<!DOCTYPE a [<!ENTITY e \"<b/>\">]><a x='&e;'/>", Kind::NotWellFormed, 33,
         "not well-formed (invalid token)"},
        {"<!DOCTYPE a [<!ENTITY e 'x'>]><a/><!DOCTYPE a>", Kind::NotWellFormed, 34,
         "a second root element"},
        // What is XML, but not read here.
        {"<?xml version='1.0' encoding='ISO-8859-1'?><a/>", Kind::Refused, 0,
         "is encoded as ISO-8859-1; only UTF-8 files can be read"},
        {laughs + "<a x='&l7;'/>", Kind::Refused, std::string::npos,
         "entities expand to more than 1048576 bytes"},
        {laughs + "<a>&l7;</a>", Kind::Refused, std::string::npos,
         "entities expand to more than 1048576 bytes"},
        // A namespace keeps its references as written, but the limits hold all the same.
        {laughs + "<a xmlns:p='&l7;'/>", Kind::Refused, std::string::npos,
         "entities expand to more than 1048576 bytes"},
        {laughs.substr(0, laughs.size() - 2) + "<!ATTLIST a xmlns:p CDATA '&l7;'>]><a/>",
         Kind::Refused, std::string::npos, "entities expand to more than 1048576 bytes"},
        // Many references to one modest entity add up, in content and in attributes alike.
        {"<!DOCTYPE a [<!ENTITY k \"" + std::string(1000, 'k') + "\">]><a>" +
             Repeated("&k;", 1100) + "</a>",
         Kind::Refused, std::string::npos, "entities expand to more than 1048576 bytes"},
        {"<!DOCTYPE a [<!ENTITY k \"" + std::string(1000, 'k') + "\">]><a>" +
             Repeated("<b x='&k;&k;'/>", 550) + "</a>",
         Kind::Refused, std::string::npos, "entities expand to more than 1048576 bytes"},
        {"<!DOCTYPE a [<!ENTITY k \"<?p " + std::string(1000, 'k') + "?>\">]><a>" +
             Repeated("&k;", 1100) + "</a>",
         Kind::Refused, std::string::npos, "entities expand to more than 1048576 bytes"},
        {EntityChain(kXmlMaxEntityNesting + 1), Kind::Refused, std::string::npos,
         "entities refer to entities more than 16 deep"},
        {"<a:b:2c/>", Kind::Refused, 0, "the editor's XML reader cannot read"},
        {"<a x:y:-z='1'/>", Kind::Refused, 0, "the name \"x:y:-z\" goes on after a second colon"},
        {"<a x:y:\xCC\x80='1'/>", Kind::Refused, 0, "goes on after a second colon"},
        {"<!DOCTYPE a [<!ENTITY % p 'x'>]><a/>", Kind::Refused, 26, "a parameter entity"},
        {"<!DOCTYPE a [%p;]><a/>", Kind::Refused, 13, "refers to a parameter entity"},
        {"<!DOCTYPE a [<!ENTITY e SYSTEM 'x.svg' NDATA png>]><a/>", Kind::Refused, 45,
         "the entity \"e\" is external"},
        {std::string("\xFF\xFE<\0a\0/\0>\0", 10), Kind::Refused, 0,
         "is UTF-16; only UTF-8 documents are read"},
        {std::string("\xFE\xFF\0<\0a\0/\0>", 10), Kind::Refused, 0, "is UTF-16"},
        {std::string("<\0a\0/\0>\0", 8), Kind::Refused, 0, "is UTF-16"},
        {"<?xml version='1.0' encoding='windows-1252'?><a/>", Kind::Refused, 0,
         "is encoded as windows-1252; only UTF-8"},
        {"<?xml version='1.0' encoding='US-ASCII'?><a x='\xC3\xA9'/>", Kind::NotWellFormed, 47,
         "holds U+00E9, which US-ASCII (the encoding it declares) does not hold"},
        {"<!DOCTYPE a [<!ENTITY e SYSTEM 'file:///etc/passwd'>]><a/>", Kind::Refused, 51,
         "the entity \"e\" is external"},
        // libxml2 stops at a declared attribute whose first colon is followed by what no name
        // begins with, even where the DTD gives it no default.
        {"<!DOCTYPE a [<!ATTLIST a xmlns:0p CDATA #IMPLIED>]><a/>", Kind::Refused,
         std::string::npos,
         "the DOCTYPE declares the attribute \"xmlns:0p\", which goes on after its colon"},
        {"<!DOCTYPE a [<!ATTLIST a b:-c CDATA 'x'>]><a/>", Kind::Refused, std::string::npos,
         "the editor's XML reader cannot read"},
    };
    for (const auto& c : cases) {
        const auto failure = FailureOf(c.text);
        ASSERT_TRUE(failure.has_value()) << c.text;
        EXPECT_EQ(failure->kind, c.kind) << c.text;
        EXPECT_THAT(failure->reason, HasSubstr(c.reason)) << c.text;
        if (c.offset != std::string::npos) {
            EXPECT_EQ(failure->offset, c.offset) << c.text;
        }
    }
}

TEST(XmlReader, NestingIsReadAsDeepAsMemoryAllows) {
    const auto tree = ReadXml(Nested(100000));
    ASSERT_EQ(tree.elements.size(), 100000u);
    EXPECT_EQ(tree.elements.back().parent, 99998u);
    EXPECT_EQ(tree.elements.back().offset, 3 * 99999u);
    EXPECT_EQ(ReadXml(EntityChain(kXmlMaxEntityNesting)).elements[0].attributes[0].value, "x");
}

// What the editor reads, read here too: a namespace fault is noted on its element (whose names
// then have no namespace) and the caller decides; DTD declarations of every kind, with the
// defaults they give left out; entities that spell elements.
TEST(XmlReader, WhatTheEditorReadsIsRead) {
    const struct {
        std::string text;
        std::size_t element;
        const char* fault;
    } faults[] = {
        {"<a p:x='1'/>", 0, "the prefix \"p\" is not declared"},
        {"<p:a/>", 0, "the prefix \"p\" is not declared"},
        {"<r><a xmlns:p='u'/><b p:x='1'/></r>", 2, "the prefix \"p\" is not declared"},
        {"<r xmlns:p='u'><a xmlns:p=''/></r>", 1, "the prefix \"p\" is declared with no namespace"},
        {"<a xmlns:xml='urn:x'/>", 0, "the prefix xml cannot be bound to \"urn:x\""},
        {"<a xmlns:x='http://www.w3.org/XML/1998/namespace'/>", 0,
         "the prefix x cannot be bound to \"http://www.w3.org/XML/1998/namespace\""},
        {"<a xmlns:xmlns='urn:x'/>", 0, "the prefix xmlns cannot be bound to \"urn:x\""},
        {"<a:b:c/>", 0, "\"a:b:c\" is not a qualified name"},
        {"<a:b:c:2/>", 0, "\"a:b:c:2\" is not a qualified name"},
        {"<a::2/>", 0, "\"a::2\" is not a qualified name"},
        // Declares no prefix: a prefix cannot begin with a digit.
        {"<a xmlns:0p='u'/>", 0, "\"xmlns:0p\" is not a qualified name"},
        {"<a x:-y='1'/>", 0, "\"x:-y\" is not a qualified name"},
        {"<a :x='1'/>", 0, "\":x\" is not a qualified name"},
        {"<a xmlns:p='u'><p:b/></a>", 1, ""},
        // Two prefixes for one namespace: libxml2 reads on, and so do we.
        {"<a xmlns:p='u' xmlns:q='u' p:x='1' q:x='2'/>", 0,
         "the attribute q:x of <a> is another already given: two prefixes for one namespace"},
    };
    for (const auto& c : faults) {
        const auto tree = ReadXml(c.text);
        EXPECT_EQ(tree.elements.at(c.element).namespaceFault, c.fault) << c.text;
    }
    const auto p = ReadXml("<a xmlns:q='u'><b p:x='1' q:y='2'/></a>").elements[1];
    EXPECT_EQ(p.Find("", "x")->qualified, "p:x");
    EXPECT_EQ(p.Find("u", "y")->value, "2");

    const std::string dtd =
        "<!DOCTYPE a [<!-- c --><!ELEMENT a ANY><!ATTLIST a x CDATA 'dx' y CDATA #IMPLIED>"
        "<!NOTATION n SYSTEM 'n'><!ENTITY e \"<b id='1'>&#38;amp;</b>\">]>"
        "<a y='1'>&e;</a>";
    const auto tree = ReadXml(dtd);
    ASSERT_EQ(tree.elements.size(), 2u);
    ASSERT_EQ(tree.elements[0].attributes.size(), 1u);  // x only a DTD's default
    EXPECT_EQ(tree.elements[0].attributes[0].local, "y");
    EXPECT_FALSE(tree.elements[0].fromEntity);
    EXPECT_TRUE(tree.elements[1].fromEntity);
    EXPECT_EQ(tree.elements[1].offset, dtd.find("&e;"));
    EXPECT_EQ(tree.elements[1].Find("", "id")->value, "1");
    // A DTD outside the file (never read) may declare an entity: the tag that refers to one
    // says which.
    const auto outside =
        ReadXml("<!DOCTYPE a SYSTEM 'a.dtd'><a><b x='&nbsp;'/>&nbsp;<c x='&amp;'/></a>");
    EXPECT_EQ(outside.elements[1].undeclaredEntity, "nbsp");
    EXPECT_EQ(outside.elements[2].undeclaredEntity, "");
}

TEST(XmlReader, AttributeValuesAreWhatAnXmlReaderGives) {
    const struct {
        std::string text;
        const char* value;
    } cases[] = {
        {"<a x='a\tb\r\nc\rd&#10;e&#x9;f'/>", "a b c d\ne\tf"},
        {"<a x='&lt;&amp;&gt;&apos;&quot;&#233;&#x1F600;'/>", "<&>'\"\xC3\xA9\xF0\x9F\x98\x80"},
        {"<!DOCTYPE a [<!ENTITY nm \"Cover\">]><a x='&nm; page'/>", "Cover page"},
        // Character references in an entity's value are replaced when it is declared, and
        // what they make is read again where the entity is used.
        {"<!DOCTYPE a [<!ENTITY e \"x&#38;#60;y&#38;amp;\">]><a x='&e;'/>", "x<y&"},
        {"<!DOCTYPE a [<!ENTITY e \"1&#10;2\">]><a x='&e;'/>", "1 2"},
        {"<?xml version='1.0' encoding='US-ASCII'?><a x='&#233;'/>", "\xC3\xA9"},

        {"<!DOCTYPE a [<!ENTITY b \"B\"><!ENTITY a \"[&b;]\"><!ENTITY b \"no\">]><a x='&a;'/>",
         "[B]"},
        {"<!DOCTYPE a [<!ENTITY lt \"&#38;#60;\">]><a x='&lt;'/>", "<"},
        {"\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"utf-8\" standalone=\"no\"?>\n"
         "<!DOCTYPE svg PUBLIC \"-//W3C//DTD SVG 1.1//EN\" "
         "\"http://www.w3.org/Graphics/SVG/1.1/DTD/svg11.dtd\">\n"
         "<?xml-stylesheet href='a.css'?><!-- c --><a x='1'><![CDATA[<&]]></a>\n<!-- end -->\n",
         "1"},
    };
    for (const auto& c : cases) {
        const auto tree = ReadXml(c.text);
        ASSERT_EQ(tree.elements.size(), 1u) << c.text;
        ASSERT_EQ(tree.elements[0].attributes.size(), 1u) << c.text;
        EXPECT_EQ(tree.elements[0].attributes[0].value, c.value) << c.text;
    }
    // Just within the entity budget.
    const auto within = ReadXml("<!DOCTYPE a [<!ENTITY k \"" + std::string(1000, 'k') +
                                "\">]><a x='" + Repeated("&k;", 1000) + "'/>");
    EXPECT_EQ(within.elements[0].attributes[0].value.size(), 1000000u);
}

TEST(XmlReader, NamesAreKnownByNamespaceWithinTheScopeOfEachDeclaration) {
    const std::string text =
        "<r xmlns='urn:d' xmlns:p='urn:one' xmlns:q='urn:one'>"
        "<p:a p:x='1' y='2'/>"
        "<b xmlns:p='urn:two' xmlns=''><p:c p:x='3' q:x='4'/></b>"
        "<d/>"
        "</r>";
    const auto tree = ReadXml(text);
    ASSERT_EQ(tree.elements.size(), 5u);
    const auto& a = tree.elements[1];
    EXPECT_EQ(a.space, "urn:one");
    EXPECT_EQ(a.local, "a");
    EXPECT_EQ(a.offset, text.find("<p:a"));
    EXPECT_EQ(a.Find("urn:one", "x")->value, "1");
    EXPECT_EQ(a.Find("", "y")->value, "2");  // unprefixed attributes are in no namespace
    EXPECT_EQ(a.Find("urn:d", "y"), nullptr);
    const auto& c = tree.elements[3];
    EXPECT_EQ(c.space, "urn:two");
    EXPECT_EQ(c.parent, 2u);
    EXPECT_EQ(c.Find("urn:two", "x")->value, "3");
    EXPECT_EQ(c.Find("urn:one", "x")->value, "4");
    EXPECT_EQ(tree.elements[2].space, "");
    EXPECT_EQ(tree.elements[4].space, "urn:d");
    // p is rebound at b: the prefix for urn:one there is q, and p stands for urn:two.
    EXPECT_EQ(tree.PrefixAt(3, "urn:one"), "q");
    EXPECT_EQ(tree.PrefixAt(1, "urn:one"), "p");
    EXPECT_EQ(tree.NamespaceAt(3, "p"), "urn:two");
    EXPECT_EQ(tree.NamespaceAt(3, ""), "");
    EXPECT_EQ(tree.NamespaceAt(4, "p"), "urn:one");
    EXPECT_EQ(tree.PrefixAt(4, "urn:two"), "");
}

// The namespaces are those libxml2 gives the editor, which reads files without substituting
// entities and applies a DTD's default namespace declarations (and no other defaults). Each
// expectation is what libxml2 2.9.14 gives the element (xmllint --debug, and its tree).
TEST(XmlReader, NamespacesAreThoseTheEditorsParserGives) {
    const struct {
        std::string text;
        std::size_t element;
        const char* space;
        const char* fault;
    } cases[] = {
        // A DTD's default declares a namespace, #FIXED or not, on every element it applies to.
        {"<!DOCTYPE r [<!ATTLIST r xmlns:p CDATA #FIXED 'urn:f'>]><r><p:a/></r>", 1, "urn:f", ""},
        {"<!DOCTYPE r [<!ATTLIST r xmlns CDATA 'urn:d'>]><r><a/></r>", 1, "urn:d", ""},
        {"<!DOCTYPE r [<!ATTLIST p:a xmlns:p CDATA 'urn:x'>]><r xmlns:p='urn:y'><p:a/></r>", 1,
         "urn:x", ""},
        {"<!DOCTYPE r [<!ATTLIST a xmlns CDATA ''>]><r xmlns='urn:d'><a><b/></a></r>", 2, "", ""},
        // The tag's own declaration wins, unless it declares nothing.
        {"<!DOCTYPE r [<!ATTLIST r xmlns:p CDATA 'urn:d'>]><r xmlns:p='urn:t'><p:a/></r>", 1,
         "urn:t", ""},
        {"<!DOCTYPE r [<!ATTLIST r xmlns:p CDATA 'urn:d'>]><r xmlns:p=''><p:a/></r>", 1, "urn:d",
         ""},
        // The first declaration of an attribute counts, one without a default too.
        {"<!DOCTYPE r [<!ATTLIST r xmlns:p CDATA 'urn:1'><!ATTLIST r xmlns:p CDATA 'urn:2'>]>"
         "<r><p:a/></r>",
         1, "urn:1", ""},
        {"<!DOCTYPE r [<!ATTLIST r xmlns:p CDATA #IMPLIED><!ATTLIST r xmlns:p CDATA 'urn:2'>]>"
         "<r><p:a/></r>",
         1, "", "the prefix \"p\" is not declared"},
        // Entities are not substituted: the namespace is the reference as written.
        {"<!DOCTYPE r [<!ENTITY e 'urn:e'>]><r xmlns:p='x&e;'><p:a/></r>", 1, "x&e;", ""},
        {"<!DOCTYPE r [<!ENTITY e 'urn:e'><!ATTLIST r xmlns:p CDATA '&e;x'>]><r><p:a/></r>", 1,
         "&e;x", ""},
        {"<!DOCTYPE r SYSTEM 'r.dtd'><r xmlns:p='a&nbsp;b'><p:a/></r>", 1, "ab", ""},
        {"<r xmlns:p='a&amp;b&#38;c&lt;&#60;&#xE9;'><p:a/></r>", 1, "a&#38;b&#38;c<<\xC3\xA9", ""},
        {"<!DOCTYPE r [<!ATTLIST r xmlns:p CDATA 'a&amp;b&#38;c&lt;d'>]><r><p:a/></r>", 1,
         "a&#38;b&#38;c<d", ""},
        // White space as in any attribute; collapsed where the DTD gives another type.
        {"<r xmlns:p='a\r\nb\tc&#10;d\re'><p:a/></r>", 1, "a b c\nd e", ""},
        {"<!DOCTYPE r [<!ATTLIST r xmlns:p CDATA 'a\r\nb&#9;'>]><r><p:a/></r>", 1, "a b\t", ""},
        {"<!DOCTYPE r [<!ATTLIST r xmlns:p NMTOKEN #IMPLIED>]>"
         "<r xmlns:p='&#32;&#32;urn:x&#32;&#32; '><p:a/></r>",
         1, "urn:x", ""},
        {"<!DOCTYPE r [<!ATTLIST r xmlns:p NMTOKEN '&#32; urn:y&#32;&#32; '>]><r><p:a/></r>", 1,
         "urn:y", ""},
        // A default binds as it stands, an empty one and the reserved prefixes too.
        {"<!DOCTYPE r [<!ATTLIST r xmlns:p CDATA ''>]><r><p:a p:x='1'/></r>", 1, "", ""},
        {"<!DOCTYPE r [<!ATTLIST r xmlns:xmlns CDATA 'urn:x'>]><r><xmlns:a/></r>", 1, "urn:x", ""},
        {"<!DOCTYPE r [<!ATTLIST r xmlns:xml CDATA 'urn:x'>]><r><xml:a/></r>", 1,
         "http://www.w3.org/XML/1998/namespace", ""},
        // Two defaults that make two attributes one: a fault libxml2 reads past.
        {"<!DOCTYPE r [<!ATTLIST r xmlns:p CDATA 'urn:x' xmlns:q CDATA 'urn:x'>]>"
         "<r p:a='1' q:a='2'/>",
         0, "", "the attribute q:a of <r> is another already given"},
    };
    for (const auto& c : cases) {
        const auto tree = ReadXml(c.text);
        const XmlElement& element = tree.elements.at(c.element);
        EXPECT_EQ(element.space, c.space) << c.text;
        EXPECT_EQ(element.namespaceFault.substr(0, std::string_view(c.fault).size()), c.fault)
            << c.text;
        if (*c.fault == '\0') {
            EXPECT_EQ(element.namespaceFault, "") << c.text;
        }
    }
    // A default declaration is the element's own, for a prefix chosen there, and not where the
    // binding it would make is in force already.
    const auto tree = ReadXml(
        "<!DOCTYPE r [<!ATTLIST a xmlns:p CDATA 'urn:x'>]><r xmlns:p='urn:x'><a/><b><a/></b>"
        "<c xmlns:p='urn:y'><a/></c></r>");
    ASSERT_EQ(tree.elements.size(), 6u);
    EXPECT_TRUE(tree.elements[1].declarations.empty());
    EXPECT_TRUE(tree.elements[3].declarations.empty());
    EXPECT_EQ(tree.NamespaceAt(4, "p"), "urn:y");
    EXPECT_EQ(tree.elements[5].declarations.size(), 1u);
    EXPECT_EQ(tree.NamespaceAt(5, "p"), "urn:x");
    EXPECT_EQ(tree.PrefixAt(5, "urn:x"), "p");
    // Other defaults are still left out.
    const auto dtd = ReadXml("<!DOCTYPE r [<!ATTLIST r xmlns:p CDATA 'urn:x' p:y CDATA 'd'>]><r/>");
    EXPECT_TRUE(dtd.elements[0].attributes.empty());
}

// Which elements are pages, as the editor sees them: each file was exported to PDF by the
// editor (1.2.2) and its pages counted (a file without pages gives the editor's one default
// page, 0 here).
TEST(SvgPages, AreTheElementsTheEditorTakesForPages) {
    const auto svg = [](const std::string& dtd, const std::string& declarations) {
        return "<?xml version='1.0'?>\n<!DOCTYPE svg [\n" + dtd +
               "]>\n<svg xmlns='http://www.w3.org/2000/svg' " + declarations +
               ">\n<sodipodi:namedview>\n"
               "<inkscape:page x='0' y='0' width='100' height='100' inkscape:label='One'/>\n"
               "<inkscape:page x='200' y='0' width='50' height='50' inkscape:label='Two'/>\n"
               "</sodipodi:namedview>\n</svg>\n";
    };
    const std::string ink = "xmlns:inkscape='http://www.inkscape.org/namespaces/inkscape'";
    const std::string sodipodi =
        "xmlns:sodipodi='http://sodipodi.sourceforge.net/DTD/sodipodi-0.dtd'";
    const struct {
        std::string text;
        std::size_t pages;
        const char* refusal;
    } cases[] = {
        {svg("", sodipodi + " " + ink), 2, ""},
        // The namespace a DTD declares by default.
        {svg("<!ATTLIST svg xmlns:sodipodi CDATA #FIXED "
             "'http://sodipodi.sourceforge.net/DTD/sodipodi-0.dtd'>",
             ink),
         2, ""},
        {svg("<!ATTLIST inkscape:page xmlns:inkscape CDATA 'http://www.inkscape.org/namespaces/"
             "inkscape'>",
             sodipodi + " xmlns:inkscape='urn:not-the-editor'"),
         2, ""},
        // ... which rebinds the prefix on the page elements: no page.
        {svg("<!ATTLIST inkscape:page xmlns:inkscape CDATA 'urn:other'>", sodipodi + " " + ink), 0,
         ""},
        // A namespace an entity spells is the reference as written, not the editor's.
        {svg("<!ENTITY ink 'http://www.inkscape.org/namespaces/inkscape'>",
             sodipodi + " xmlns:inkscape='&ink;'"),
         0, ""},
        // The two namespaces early versions of the editor wrote for its namedview.
        {svg("", "xmlns:sodipodi='http://inkscape.sourceforge.net/DTD/sodipodi-0.dtd' " + ink), 2,
         ""},
        {svg("", "xmlns:sodipodi='http://inkscape.sourceforge.net/DTD/s odipodi-0.dtd' " + ink), 2,
         ""},
        // Refused on purpose: the editor takes an undeclared prefix as part of the name.
        {svg("", ink), 0, "not valid XML: the prefix \"sodipodi\" is not declared"},
    };
    for (const auto& c : cases) {
        try {
            const SvgDocument read = ReadSvgDocument("doc.svg", c.text);
            EXPECT_EQ(*c.refusal, '\0') << c.text;
            ASSERT_EQ(read.document.artboards.size(), c.pages) << c.text;
            if (c.pages == 2) {
                EXPECT_EQ(read.document.artboards[1].name, "Two") << c.text;
            }
        } catch (const InputError& error) {
            EXPECT_THAT(error.what(), HasSubstr(c.refusal)) << c.text;
            EXPECT_NE(*c.refusal, '\0') << c.text << "\n" << error.what();
        }
    }
}

TEST(XmlReader, EveryCutOfADocumentIsRefusedWithoutHarm) {
    const std::string text =
        "<?xml version='1.0'?><!DOCTYPE a [<!ENTITY e 'E'>]><a xmlns:p='u' p:x='&e;&#233;'>"
        "<!-- c --><?pi x?><![CDATA[d]]>t&amp;<b/></a>";
    ASSERT_FALSE(FailureOf(text).has_value());
    for (std::size_t length = 0; length < text.size(); ++length) {
        const auto failure = FailureOf(text.substr(0, length));
        ASSERT_TRUE(failure.has_value()) << length;
        EXPECT_LE(failure->offset, length);
    }
}

TEST(XmlReader, FindsCharactersAnXmlFileCannotHold) {
    EXPECT_EQ(FindNonXmlCharacter("A\tB\n\xC3\xA9"), std::nullopt);
    EXPECT_EQ(FindNonXmlCharacter("AB\x01"), 2u);
    EXPECT_EQ(FindNonXmlCharacter(std::string("A\0", 2)), 1u);
    EXPECT_EQ(FindNonXmlCharacter("A\xEF\xBF\xBF"), 1u);
    EXPECT_EQ(DescribeCharacter("\x7F\x01", 1), "U+0001");
    EXPECT_EQ(DescribeCharacter("\xFE", 0), "the byte 0xFE");
}

}  // namespace
}  // namespace hostsim::tool
