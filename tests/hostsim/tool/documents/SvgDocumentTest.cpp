#include "hostsim/tool/documents/SvgDocument.h"

#include <algorithm>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "RenumberedDocument.h"
#include "SvgTestText.h"
#include "hostsim/tool/documents/InputError.h"
#include "hostsim/tool/documents/XmlReader.h"

namespace hostsim::tool {
namespace {

using ::testing::HasSubstr;

// Laid out as the editor writes files: one attribute a line.
constexpr const char* kThreePages = R"(<?xml version="1.0" encoding="UTF-8"?>
<!-- made by hand -->
<svg
   width="100"
   height="200"
   viewBox="0 0 100 200"
   xmlns:inkscape="http://www.inkscape.org/namespaces/inkscape"
   xmlns:sodipodi="http://sodipodi.sourceforge.net/DTD/sodipodi-0.dtd"
   xmlns="http://www.w3.org/2000/svg">
  <sodipodi:namedview
     id="namedview1"
     pagecolor="#ffffff">
    <inkscape:page
       x="0"
       y="500"
       width="500.25"
       height="600"
       id="page1"
       inkscape:label="Low" />
    <inkscape:page
       x="0"
       y="0"
       width="100"
       height="200"
       id="page2" />
    <inkscape:page x='150' y='0' width='300' height='400' id='page3' inkscape:label='Right &amp; up'/>
  </sodipodi:namedview>
  <rect x="10" y="10" width="50" height="50" fill="red"/>
</svg>
)";

TEST(SvgDocument, PagesAreArtboardsWithYFlippedAtZero) {
    const auto read = ReadSvgDocument("doc.svg", kThreePages);
    ASSERT_EQ(read.document.artboards.size(), 3u);
    const auto& pages = read.document.artboards;
    EXPECT_EQ(pages[0].name, "Low");
    EXPECT_EQ(pages[0].bounds, (Rect{0, -500, 500.25f, -1100}));
    EXPECT_EQ(pages[1].name, "");
    EXPECT_EQ(pages[1].bounds, (Rect{0, 0, 100, -200}));
    EXPECT_EQ(pages[2].name, "Right & up");
    EXPECT_EQ(pages[2].bounds, (Rect{150, 0, 450, -400}));
    EXPECT_EQ(pages[2].id, 3u);
    EXPECT_EQ(pages[0].pixelAspectRatio, 1.0f);
    EXPECT_TRUE(pages[0].displayMarks.empty());
}

TEST(SvgDocument, AnUnchangedDocumentIsWrittenByteForByte) {
    const auto read = ReadSvgDocument("doc.svg", kThreePages);
    EXPECT_EQ(WriteSvgDocument(read.document, &read.layout), kThreePages);
}

TEST(SvgDocument, RenumberingEditsOnlyThePageTagsAndKeepsIdsInPlace) {
    const auto read = ReadSvgDocument("doc.svg", kThreePages);
    // Grid by row: the two pages at y 0 (left 0, then left 150), then the low one.
    const std::string written =
        WriteSvgDocument(Renumbered(read.document, {1, 2, 0}), &read.layout);
    const std::string expected = R"(<?xml version="1.0" encoding="UTF-8"?>
<!-- made by hand -->
<svg
   width="100"
   height="200"
   viewBox="0 0 100 200"
   xmlns:inkscape="http://www.inkscape.org/namespaces/inkscape"
   xmlns:sodipodi="http://sodipodi.sourceforge.net/DTD/sodipodi-0.dtd"
   xmlns="http://www.w3.org/2000/svg">
  <sodipodi:namedview
     id="namedview1"
     pagecolor="#ffffff">
    <inkscape:page
       x="0"
       y="0"
       width="100"
       height="200"
       id="page1" />
    <inkscape:page
       x="150"
       y="0"
       width="300"
       height="400"
       id="page2"
       inkscape:label="Right &amp; up" />
    <inkscape:page x='0' y='500' width='500.25' height='600' id='page3' inkscape:label='Low'/>
  </sodipodi:namedview>
  <rect x="10" y="10" width="50" height="50" fill="red"/>
</svg>
)";
    EXPECT_EQ(written, expected);
    const auto again = ReadSvgDocument("doc.svg", written);
    EXPECT_EQ(again.document, Renumbered(read.document, {1, 2, 0}));
}

TEST(SvgDocument, OwnPropertiesGoToOurNamespaceAndAreLeftOutAtTheirDefaults) {
    const std::string text =
        "<svg xmlns=\"http://www.w3.org/2000/svg\" "
        "xmlns:inkscape=\"http://www.inkscape.org/namespaces/inkscape\" "
        "xmlns:sodipodi=\"http://sodipodi.sourceforge.net/DTD/sodipodi-0.dtd\">"
        "<sodipodi:namedview>"
        "<inkscape:page x=\"0\" y=\"0\" width=\"10\" height=\"10\"/>"
        "<inkscape:page x=\"20\" y=\"0\" width=\"10\" height=\"10\"/>"
        "</sodipodi:namedview></svg>";
    auto read = ReadSvgDocument("doc.svg", text);
    Document changed = read.document;
    changed.artboards[1].pixelAspectRatio = 2;
    changed.artboards[1].displayMarks = {0, 4};
    changed.artboards[1].rulerOrigin = {1.5f, -2};
    const std::string written = WriteSvgDocument(changed, &read.layout);
    // The namespace is declared on the page that needs it, nowhere else.
    EXPECT_EQ(written,
              "<svg xmlns=\"http://www.w3.org/2000/svg\" "
              "xmlns:inkscape=\"http://www.inkscape.org/namespaces/inkscape\" "
              "xmlns:sodipodi=\"http://sodipodi.sourceforge.net/DTD/sodipodi-0.dtd\">"
              "<sodipodi:namedview>"
              "<inkscape:page x=\"0\" y=\"0\" width=\"10\" height=\"10\"/>"
              "<inkscape:page x=\"20\" y=\"0\" width=\"10\" height=\"10\" "
              "quorvane:pixelAspectRatio=\"2\" quorvane:displayMarks=\"0 4\" "
              "quorvane:rulerOrigin=\"1.5 -2\" xmlns:quorvane=\"urn:quorvane:artboard\"/>"
              "</sodipodi:namedview></svg>");
    // Read back, then exchanged: the properties travel, and the page that loses them drops
    // its attributes again.
    read = ReadSvgDocument("doc.svg", written);
    EXPECT_EQ(read.document.artboards[1].displayMarks, (hostsim::DisplayMarkSet{0, 4}));
    const std::string swapped = WriteSvgDocument(Renumbered(read.document, {1, 0}), &read.layout);
    EXPECT_THAT(swapped, HasSubstr("<inkscape:page x=\"20\" y=\"0\" width=\"10\" height=\"10\" "
                                   "quorvane:pixelAspectRatio=\"2\" quorvane:displayMarks=\"0 4\" "
                                   "quorvane:rulerOrigin=\"1.5 -2\" "
                                   "xmlns:quorvane=\"urn:quorvane:artboard\"/>"
                                   "<inkscape:page x=\"0\" y=\"0\" width=\"10\" height=\"10\" "
                                   "xmlns:quorvane=\"urn:quorvane:artboard\"/>"));
}

TEST(SvgDocument, PrefixesAreResolvedThroughTheirNamespaces) {
    const std::string text =
        "<s:svg xmlns:s=\"http://www.w3.org/2000/svg\" "
        "xmlns:ink=\"http://www.inkscape.org/namespaces/inkscape\" "
        "xmlns:sp=\"http://sodipodi.sourceforge.net/DTD/sodipodi-0.dtd\" "
        "xmlns:q=\"urn:quorvane:artboard\">"
        "<sp:namedview><ink:page width=\"4\" height=\"3\" ink:label=\"P\" "
        "q:pixelAspectRatio=\"3\"/>"
        "<other:page xmlns:other=\"urn:else\" width=\"1\" height=\"1\"/>"
        "</sp:namedview></s:svg>";
    const auto read = ReadSvgDocument("doc.svg", text);
    ASSERT_EQ(read.document.artboards.size(), 1u);
    EXPECT_EQ(read.document.artboards[0].name, "P");
    EXPECT_EQ(read.document.artboards[0].pixelAspectRatio, 3.0f);
    EXPECT_EQ(read.document.artboards[0].bounds, (Rect{0, 0, 4, -3}));
}

TEST(SvgDocument, ASvgWithoutPagesHasNoArtboards) {
    const auto read = ReadSvgDocument("doc.svg", "<svg xmlns=\"http://www.w3.org/2000/svg\"/>");
    EXPECT_TRUE(read.document.artboards.empty());
}

TEST(SvgDocument, ANewFileReadsBackToTheSameArtboards) {
    Document document;
    Artboard a;
    a.name = "One <&> \"two\"";
    a.bounds = {0.1f, 0.3f, 7.7f, -0.2f};
    a.displayMarks = {1};
    Artboard b;
    b.name = "B";
    b.bounds = {-1e6f, 1e6f, 3, 2};
    b.pixelAspectRatio = 0.5f;
    b.rulerOrigin = {3, 4};
    document.artboards = {a, b};
    auto read = ReadSvgDocument("doc.svg", WriteSvgDocument(document, nullptr));
    for (auto& artboard : read.document.artboards) {
        artboard.id = 0;
    }
    EXPECT_EQ(read.document.artboards, document.artboards);
}

TEST(SvgDocument, ANewFileTakesItsSizeFromThePageAtTheOrigin) {
    // The editor gives the page at the origin the document's size; so must the file.
    Document document;
    Artboard away;
    away.bounds = {100, 0, 150, -30};
    Artboard origin;
    origin.bounds = {0, 0, 40, -70};
    document.artboards = {away, origin};
    EXPECT_THAT(WriteSvgDocument(document, nullptr),
                HasSubstr("width=\"40\" height=\"70\" viewBox=\"0 0 40 70\""));
    document.artboards = {away};
    EXPECT_THAT(WriteSvgDocument(document, nullptr),
                HasSubstr("width=\"50\" height=\"30\" viewBox=\"0 0 50 30\""));
}

TEST(SvgDocument, BadInputIsNamedByFileLinePageAndAttribute) {
    const std::string head =
        "<svg xmlns=\"http://www.w3.org/2000/svg\" "
        "xmlns:inkscape=\"http://www.inkscape.org/namespaces/inkscape\" "
        "xmlns:sodipodi=\"http://sodipodi.sourceforge.net/DTD/sodipodi-0.dtd\" "
        "xmlns:quorvane=\"urn:quorvane:artboard\">\n<sodipodi:namedview>\n";
    const std::string tail = "\n</sodipodi:namedview></svg>";
    const struct {
        std::string text;
        const char* message;
    } cases[] = {
        {"", "doc.svg:1: not valid XML: "},
        {"<svg>\n<g>\n</svg>", "doc.svg:3: not valid XML: </svg> closes <g>"},
        {"<html/>", "doc.svg:1: not an SVG document: its root element is <html>"},
        {"<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><svg/>",
         "doc.svg:1: is encoded as ISO-8859-1; only UTF-8 files can be read"},
        {head + "<inkscape:page x=\"0\" y=\"0\" height=\"5\" inkscape:label=\"A\"/>" + tail,
         "doc.svg:3: page 1 (\"A\") has no \"width\""},
        {head +
             "<inkscape:page width=\"5\" height=\"5\"/>\n<inkscape:page id=\"p2\" "
             "width=\"210mm\" height=\"5\"/>" +
             tail,
         "doc.svg:4: page 2 (id \"p2\"): \"width\" must be a number in user units, not \"210mm\""},
        {head + "<inkscape:page width=\"0\" height=\"5\"/>" + tail,
         "page 1: \"width\" and \"height\" must be greater than 0, not 0 and 5"},
        {head + "<inkscape:page width=\"5\" height=\"5\" y=\"1e39\"/>" + tail,
         "page 1: its edges lie beyond the range of 32-bit floats"},
        {head + "<inkscape:page width=\"1\" height=\"5\" x=\"1e20\"/>" + tail,
         "page 1: its size vanishes in 32-bit floats at its position (x 1e20, y 0)"},
        {head + "<inkscape:page width=\"5\" height=\"5\" quorvane:displayMarks=\"0 3\"/>" + tail,
         "page 1: \"displayMarks\" (urn:quorvane:artboard) holds \"3\"; the kinds are 0, 1, 2 "
         "and 4, not \"0 3\""},
        {head + "<inkscape:page width=\"5\" height=\"5\" quorvane:pixelAspectRatio=\"-1\"/>" + tail,
         "\"pixelAspectRatio\" (urn:quorvane:artboard) must be greater than 0, not \"-1\""},
        {head + "<inkscape:page width=\"5\" height=\"5\" quorvane:rulerOrigin=\"1\"/>" + tail,
         "\"rulerOrigin\" (urn:quorvane:artboard) must hold two numbers, h and v, not \"1\""},
    };
    for (const auto& c : cases) {
        EXPECT_THAT(ReadError(c.text), HasSubstr(c.message)) << c.text;
    }
}

std::vector<float> Widths(const Document& document) {
    std::vector<float> widths;
    for (const auto& artboard : document.artboards) {
        widths.push_back(artboard.bounds.right - artboard.bounds.left);
    }
    return widths;
}

// What the editor exports, found by exporting each case to PDF and counting its pages.
TEST(SvgDocument, PagesAreThoseTheEditorExports) {
    const struct {
        std::string body;
        std::vector<float> widths;  // of the pages in order
    } cases[] = {
        {"<sodipodi:namedview/><sodipodi:namedview>" + Page(3) + Page(4) + "</sodipodi:namedview>",
         {3, 4}},
        {"<sodipodi:namedview>" + Page(3) + "</sodipodi:namedview><rect/><sodipodi:namedview>" +
             Page(4) + Page(5) + "</sodipodi:namedview>",
         {3, 4, 5}},
        // Pages anywhere but directly in a namedview are not pages.
        {Page(3) + "<g>" + Page(4) + "</g>", {}},
        {"<sodipodi:namedview><g>" + Page(3) +
             "</g><inkscape:page x=\"0\" y=\"0\" width=\"4\" "
             "height=\"4\">" +
             Page(5) + "</inkscape:page></sodipodi:namedview>",
         {4}},
        // Known by namespace, not by prefix.
        {"<sodipodi:namedview xmlns:i='http://www.inkscape.org/namespaces/inkscape'>"
         "<i:page width='3' height='3'/>" +
             Page(4) + "</sodipodi:namedview>",
         {3, 4}},
        {"<sodipodi:namedview xmlns:inkscape='urn:else'>" + Page(3) + "</sodipodi:namedview>", {}},
        // A namedview elsewhere without pages changes nothing.
        {"<g><sodipodi:namedview/></g><sodipodi:namedview>" + Page(3) + "</sodipodi:namedview>",
         {3}},
    };
    for (const auto& c : cases) {
        const std::string text = kRoot + c.body + "</svg>";
        EXPECT_EQ(Widths(ReadSvgDocument("doc.svg", text).document), c.widths) << text;
    }
}

TEST(SvgDocument, PagesTheEditorOrdersOtherwiseAreRefused) {
    // The editor exports an inner namedview's pages before the outer one's, and counts those
    // of a namedview inside a group or defs as well.
    const struct {
        std::string body;
        const char* message;
    } cases[] = {
        {"<sodipodi:namedview>" + Page(3) + "\n<sodipodi:namedview>" + Page(4) +
             "</sodipodi:namedview></sodipodi:namedview>",
         "doc.svg:2: <sodipodi:namedview> holds pages but lies inside <sodipodi:namedview>, not "
         "directly inside the root element"},
        {"<g><sodipodi:namedview>" + Page(3) + "</sodipodi:namedview></g>",
         "lies inside <g>, not directly inside the root element"},
        {"<defs><sodipodi:namedview>" + Page(3) + "</sodipodi:namedview></defs>",
         "lies inside <defs>"},
    };
    for (const auto& c : cases) {
        EXPECT_THAT(ReadError(kRoot + c.body + "</svg>"), HasSubstr(c.message)) << c.body;
    }
}

// Renumbers the two pages of `text` by exchanging them; the result must read back to the
// exchanged artboards.
std::string Exchanged(const std::string& text) {
    const auto read = ReadSvgDocument("doc.svg", text);
    EXPECT_EQ(WriteSvgDocument(read.document, &read.layout), text);
    const Document exchanged = Renumbered(read.document, {1, 0});
    std::string written = WriteSvgDocument(exchanged, &read.layout);
    const auto again = ReadSvgDocument("doc.svg", written);
    EXPECT_EQ(again.document, exchanged) << written;
    return written;
}

TEST(SvgDocument, AttributesAreWrittenByNamespaceInTheScopeOfEachDeclaration) {
    const std::string nv = "<sodipodi:namedview>";
    const std::string end = "</sodipodi:namedview></svg>";
    const struct {
        std::string text;
        std::string expected;
    } cases[] = {
        // Two prefixes for the editor's namespace: the label keeps the spelling of the page
        // it is on; a page without one takes a prefix bound there.
        {std::string(kRoot) +
             "<sodipodi:namedview xmlns:ink='http://www.inkscape.org/namespaces/"
             "inkscape'><ink:page width='1' height='1' ink:label='A'/>"
             "<inkscape:page x='5' width='2' height='2'/>" +
             end,
         std::string(kRoot) +
             "<sodipodi:namedview xmlns:ink='http://www.inkscape.org/namespaces/"
             "inkscape'><ink:page width='2' height='2' x=\"5\"/>"
             "<inkscape:page x='0' width='1' height='1' ink:label=\"A\"/>" +
             end},
        // Our prefix declared on one page only: the other page declares it for itself.
        {kRoot + nv +
             "<inkscape:page width='1' height='1' xmlns:q='urn:quorvane:artboard' "
             "q:pixelAspectRatio='2'/><inkscape:page x='5' width='2' height='2'/>" +
             end,
         kRoot + nv +
             "<inkscape:page width='2' height='2' xmlns:q='urn:quorvane:artboard' x=\"5\"/>"
             "<inkscape:page x='0' width='1' height='1' quorvane:pixelAspectRatio=\"2\" "
             "xmlns:quorvane=\"urn:quorvane:artboard\"/>" +
             end},
        // Our usual prefix rebound on the namedview to a namespace not ours: the attribute
        // there is not ours and stays; ours comes with a prefix of its own.
        {"<svg xmlns='http://www.w3.org/2000/svg' "
         "xmlns:inkscape='http://www.inkscape.org/namespaces/inkscape' "
         "xmlns:sodipodi='http://sodipodi.sourceforge.net/DTD/sodipodi-0.dtd' "
         "xmlns:quorvane='urn:quorvane:artboard'><sodipodi:namedview xmlns:quorvane='urn:else'>"
         "<inkscape:page width='1' height='1' quorvane:displayMarks='x'/>"
         "<inkscape:page x='5' width='2' height='2' xmlns:own='urn:quorvane:artboard' "
         "own:displayMarks='1'/>" +
             end,
         "<svg xmlns='http://www.w3.org/2000/svg' "
         "xmlns:inkscape='http://www.inkscape.org/namespaces/inkscape' "
         "xmlns:sodipodi='http://sodipodi.sourceforge.net/DTD/sodipodi-0.dtd' "
         "xmlns:quorvane='urn:quorvane:artboard'><sodipodi:namedview xmlns:quorvane='urn:else'>"
         "<inkscape:page width='2' height='2' quorvane:displayMarks='x' x=\"5\" "
         "quorvane1:displayMarks=\"1\" xmlns:quorvane1=\"urn:quorvane:artboard\"/>"
         "<inkscape:page x='0' width='1' height='1' xmlns:own='urn:quorvane:artboard'/>" +
             end},
        // The editor's namespace as the default one: unprefixed attributes are in none, so the
        // label needs a prefix, declared on the page.
        {kRoot + nv +
             "<page xmlns='http://www.inkscape.org/namespaces/inkscape' xmlns:i="
             "'http://www.inkscape.org/namespaces/inkscape' width='1' height='1' i:label='A'/>"
             "<page xmlns='http://www.inkscape.org/namespaces/inkscape' x='5' width='2' "
             "height='2' label='not the label'/>" +
             end,
         kRoot + nv +
             "<page xmlns='http://www.inkscape.org/namespaces/inkscape' xmlns:i="
             "'http://www.inkscape.org/namespaces/inkscape' width='2' height='2' x=\"5\"/>"
             "<page xmlns='http://www.inkscape.org/namespaces/inkscape' x='0' width='1' "
             "height='1' label='not the label' inkscape:label=\"A\"/>" +
             end},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Exchanged(c.text), c.expected);
    }
}

TEST(SvgDocument, EntitiesInLabelsAreTheNamesTheEditorShows) {
    const std::string text =
        "<?xml version='1.0'?>\n<!DOCTYPE svg [\n<!ENTITY nm \"Cover\">\n]>\n" +
        std::string(kRoot) +
        "<sodipodi:namedview><inkscape:page width='1' height='1' inkscape:label='&nm; &amp; "
        "back'/><inkscape:page x='5' width='2' height='2' inkscape:label='&#65;'/>"
        "</sodipodi:namedview></svg>";
    EXPECT_EQ(ReadSvgDocument("doc.svg", text).document.artboards[0].name, "Cover & back");
    EXPECT_THAT(Exchanged(text), HasSubstr("inkscape:label='Cover &amp; back'"));
}

}  // namespace
}  // namespace hostsim::tool
