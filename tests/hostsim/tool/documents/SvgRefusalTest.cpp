// What the SVG reader reads as the editor does, and what it refuses on purpose: hostile
// documents, deep nesting, the editor's own files, and names an SVG file cannot hold.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

#include "SvgTestText.h"
#include "hostsim/tool/documents/InputError.h"
#include "hostsim/tool/documents/SvgDocument.h"
#include "hostsim/tool/documents/XmlReader.h"

namespace hostsim::tool {
namespace {

using ::testing::HasSubstr;

TEST(SvgDocument, HostileDocumentsAreRefusedWithTheReason) {
    const std::string nv = std::string(kRoot) + "<sodipodi:namedview>\n";
    const std::string end = "</sodipodi:namedview></svg>";
    const struct {
        std::string text;
        const char* message;
    } cases[] = {
        {nv + "<inkscape:page x='0' x='1' width='1' height='1'/>" + end,
         "doc.svg:2: not valid XML: the attribute x appears twice in <inkscape:page>"},
        {nv + "<inkscape:page width='1' height='1' inkscape:label='\xFF'/>" + end,
         "doc.svg:2: not valid XML: holds the byte 0xFF, which is not UTF-8"},
        {nv + "<inkscape:page width='1' height='1' inkscape:label='A\x01'/>" + end,
         "doc.svg:2: not valid XML: holds U+0001, a character XML 1.0 does not allow"},
        {nv + "<inkscape:page width='1' height='1' q:label='A'/>" + end,
         "doc.svg:2: not valid XML: the prefix \"q\" is not declared"},
        {nv + "<inkscape:page width='1' height='1' inkscape:label='&nm;'/>" + end,
         "doc.svg:2: not valid XML: refers to the entity \"nm\", which is not declared"},
        {"<!DOCTYPE svg [<!ENTITY a \"aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa\">"
         "<!ENTITY b \"&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;\">"
         "<!ENTITY c \"&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;\">"
         "<!ENTITY d \"&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;\">"
         "<!ENTITY e \"&d;&d;&d;&d;&d;&d;&d;&d;&d;&d;&d;&d;&d;&d;&d;&d;&d;&d;&d;&d;\">]>" +
             nv + "<inkscape:page width='1' height='1' inkscape:label='&e;'/>" + end,
         "doc.svg:2: entities expand to more than 1048576 bytes"},
        {"<!DOCTYPE svg [<!ENTITY p \"<inkscape:page width='1' height='1'/>\">]>" + nv + "&p;" +
             end,
         "doc.svg:2: <inkscape:page> is spelled by an entity; only elements written in the file"},
        {"<!DOCTYPE svg SYSTEM 'svg.dtd'>" + nv +
             "<inkscape:page width='1' height='1' "
             "inkscape:label='&nbsp;'/>" +
             end,
         "doc.svg:2: <inkscape:page> refers to the entity \"nbsp\", which is not declared in "
         "the file"},
        {kRoot + std::string("<other:namedview>\n<inkscape:page width='1' height='1'/>") +
             "</other:namedview></svg>",
         "doc.svg:1: not valid XML: the prefix \"other\" is not declared"},
        // Not a declaration: a label written with that prefix would not be XML.
        {nv +
             "<inkscape:page xmlns:0nk='http://www.inkscape.org/namespaces/inkscape' "
             "width='1' height='1'/>" +
             end,
         "doc.svg:2: not valid XML: \"xmlns:0nk\" is not a qualified name"},
        {"<!DOCTYPE svg [<!ENTITY % p 'x'>]>" + nv + end,
         "doc.svg:1: the DOCTYPE declares a parameter entity, which is not read here"},
    };
    for (const auto& c : cases) {
        EXPECT_THAT(ReadError(c.text), HasSubstr(c.message)) << c.text;
    }
}

TEST(SvgDocument, NestingIsReadAsDeepAsMemoryAllows) {
    std::string text = kRoot;
    for (std::size_t i = 1; i < 100000; ++i) {
        text += "<g>";
    }
    for (std::size_t i = 1; i < 100000; ++i) {
        text += "</g>";
    }
    EXPECT_EQ(ReadError(text + "</svg>"), "(read without error)");
}

// Files the editor opens: an undeclared prefix away from the pages, any DTD (whose default
// attributes are not written ones), pages after an element an entity spells.
TEST(SvgDocument, WhatTheEditorOpensIsRead) {
    const std::string nv = "<sodipodi:namedview>" + Page(1) + Page(2) + "</sodipodi:namedview>";
    const std::string texts[] = {
        kRoot + std::string("<path sodipodi:nodetypes='cc' d='M 0,0 1,1'/>") + nv + "</svg>",
        "<!DOCTYPE svg [<!ELEMENT svg ANY><!-- c --><!ATTLIST inkscape:page inkscape:label "
        "CDATA 'Cover'>]>" +
            std::string(kRoot) + nv + "</svg>",
        "<!DOCTYPE svg [<!ENTITY logo \"<g><path d='M0,0'/></g>\">]>" + std::string(kRoot) +
            "&logo;" + nv + "</svg>",
    };
    for (const auto& text : texts) {
        const auto read = ReadSvgDocument("doc.svg", text);
        ASSERT_EQ(read.document.artboards.size(), 2u) << text;
        EXPECT_EQ(read.document.artboards[0].name, "") << text;
        EXPECT_EQ(WriteSvgDocument(read.document, &read.layout), text);
    }
}

TEST(SvgDocument, NamesXmlCannotHoldAreRefusedBeforeWriting) {
    const auto read =
        ReadSvgDocument("doc.svg", std::string(kRoot) + "<sodipodi:namedview>" + Page(1) + Page(2) +
                                       "</sodipodi:namedview></svg>");
    for (const std::string& name : {std::string("A\x01"), std::string("A\0B", 3),
                                    std::string("\xEF\xBF\xBF"), std::string("\xC3")}) {
        Document renamed = read.document;
        renamed.artboards[1].name = name;
        for (const SvgLayout* layout : {&read.layout, static_cast<const SvgLayout*>(nullptr)}) {
            try {
                WriteSvgDocument(renamed, layout);
                ADD_FAILURE() << "written: " << name;
            } catch (const InputError& error) {
                EXPECT_THAT(error.what(), HasSubstr("doc.svg: artboard 2 (\"")) << name;
                EXPECT_THAT(error.what(), HasSubstr("which an SVG file cannot hold")) << name;
            }
        }
    }
    // Edges too far apart in magnitude for x, y, width and height to carry: refused the same
    // way. Far apart but within a double's reach: written, and read back exactly.
    const Rect tooFarApart[] = {{1828, 3.5555555e25F, 2670, 2}, {-3.5555555e25F, 0, 2, -1}};
    for (const Rect& bounds : tooFarApart) {
        Document moved = read.document;
        moved.artboards[1].bounds = bounds;
        for (const SvgLayout* layout : {&read.layout, static_cast<const SvgLayout*>(nullptr)}) {
            EXPECT_THROW(
                try { WriteSvgDocument(moved, layout); } catch (const InputError& error) {
                    EXPECT_THAT(error.what(), HasSubstr("doc.svg: artboard 2 (\""));
                    EXPECT_THAT(error.what(), HasSubstr("cannot be written as an SVG page"));
                    throw;
                },
                InputError);
        }
    }
    Document wide = read.document;
    wide.artboards[1].bounds = {-1e30F, 1e30F, 1e30F, -1e30F};
    EXPECT_EQ(ReadSvgDocument("doc.svg", WriteSvgDocument(wide, &read.layout))
                  .document.artboards[1]
                  .bounds,
              wide.artboards[1].bounds);

    // White space and markup characters are written escaped and read back.
    Document renamed = read.document;
    renamed.artboards[1].name = "a\tb\nc\r<&>\"'";
    const auto again = ReadSvgDocument("doc.svg", WriteSvgDocument(renamed, &read.layout));
    EXPECT_EQ(again.document.artboards[1].name, renamed.artboards[1].name);
}

}  // namespace
}  // namespace hostsim::tool
