// Whole pages travel: each page element moves with everything it holds, and the rest of the
// file stays where it was.
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

// Pages as the editor's later versions write them: ids, export settings, margins, bleeds,
// attributes of other namespaces, children and text. The line breaks and indentation between
// the pages, and a comment and a grid among them, stay where they are.
constexpr const char* kRichPages = R"(<?xml version="1.0" encoding="UTF-8"?>
<svg xmlns="http://www.w3.org/2000/svg"
   xmlns:inkscape="http://www.inkscape.org/namespaces/inkscape"
   xmlns:sodipodi="http://sodipodi.sourceforge.net/DTD/sodipodi-0.dtd"
   xmlns:foo="urn:example:foo">
  <sodipodi:namedview id="namedview1">
    <inkscape:page
       x="0"
       y="500"
       width="100"
       height="100"
       id="page-b1"
       inkscape:label="B1"
       inkscape:export-filename="b1.png"
       inkscape:export-xdpi="300"
       inkscape:export-ydpi="300" />
    <!-- the grid sits between the pages -->
    <inkscape:grid id="grid1" type="xygrid" />
    <inkscape:page x="200" y="0" width="100" height="100" id="page-a2" inkscape:label="A2"
       margin="10" bleed="3" foo:note="kept &amp; moved"><foo:extra a="1 &gt; 0">text &lt; <![CDATA[<raw>]]></foo:extra>
      <!-- a comment inside --><?pi x > y?>
    </inkscape:page>
    <inkscape:page x='0' y='0' width='100' height='100' id='page-a1' inkscape:label='A1'
       bleed='1'/>
  </sodipodi:namedview>
  <rect x="10" y="10" width="50" height="50" fill="red"/>
</svg>
)";

TEST(SvgDocument, WholePagesTravelToTheirNewPlaces) {
    const auto read = ReadSvgDocument("doc.svg", kRichPages);
    ASSERT_EQ(read.document.artboards.size(), 3u);
    // By row: A1, A2, B1.
    const std::vector<std::size_t> order = {2, 1, 0};
    const std::string written =
        WriteSvgDocument(Renumbered(read.document, order), &read.layout, order);
    const std::string expected = R"(<?xml version="1.0" encoding="UTF-8"?>
<svg xmlns="http://www.w3.org/2000/svg"
   xmlns:inkscape="http://www.inkscape.org/namespaces/inkscape"
   xmlns:sodipodi="http://sodipodi.sourceforge.net/DTD/sodipodi-0.dtd"
   xmlns:foo="urn:example:foo">
  <sodipodi:namedview id="namedview1">
    <inkscape:page x='0' y='0' width='100' height='100' id='page-a1' inkscape:label='A1'
       bleed='1'/>
    <!-- the grid sits between the pages -->
    <inkscape:grid id="grid1" type="xygrid" />
    <inkscape:page x="200" y="0" width="100" height="100" id="page-a2" inkscape:label="A2"
       margin="10" bleed="3" foo:note="kept &amp; moved"><foo:extra a="1 &gt; 0">text &lt; <![CDATA[<raw>]]></foo:extra>
      <!-- a comment inside --><?pi x > y?>
    </inkscape:page>
    <inkscape:page
       x="0"
       y="500"
       width="100"
       height="100"
       id="page-b1"
       inkscape:label="B1"
       inkscape:export-filename="b1.png"
       inkscape:export-xdpi="300"
       inkscape:export-ydpi="300" />
  </sodipodi:namedview>
  <rect x="10" y="10" width="50" height="50" fill="red"/>
</svg>
)";
    EXPECT_EQ(written, expected);
    const auto again = ReadSvgDocument("doc.svg", written);
    EXPECT_EQ(again.document, Renumbered(read.document, order));
    // Written again unchanged: byte for byte; and back in the first order: the input.
    EXPECT_EQ(WriteSvgDocument(again.document, &again.layout), written);
    const std::vector<std::size_t> back = {2, 1, 0};
    EXPECT_EQ(WriteSvgDocument(Renumbered(again.document, back), &again.layout, back), kRichPages);
    // The identity is no change at all.
    const std::vector<std::size_t> identity = {0, 1, 2};
    EXPECT_EQ(WriteSvgDocument(read.document, &read.layout, identity), kRichPages);
}

TEST(SvgDocument, EveryOrderOfWholePagesReadsBackAndKeepsTheRestOfTheFile) {
    const auto read = ReadSvgDocument("doc.svg", kRichPages);
    std::vector<std::size_t> order = {0, 1, 2};
    do {
        const std::string written =
            WriteSvgDocument(Renumbered(read.document, order), &read.layout, order);
        const auto again = ReadSvgDocument("doc.svg", written);
        EXPECT_EQ(again.document, Renumbered(read.document, order));
        // Each page element arrives whole, and the bytes between them stay.
        for (std::size_t k = 0; k < order.size(); ++k) {
            const auto& from = read.layout.pages[order[k]];
            const auto& to = again.layout.pages[k];
            EXPECT_EQ(written.substr(to.tagBegin, to.end - to.tagBegin),
                      read.layout.text.substr(from.tagBegin, from.end - from.tagBegin));
            const std::size_t gapBegin = k == 0 ? 0 : again.layout.pages[k - 1].end;
            const std::size_t oldGapBegin = k == 0 ? 0 : read.layout.pages[k - 1].end;
            EXPECT_EQ(
                written.substr(gapBegin, to.tagBegin - gapBegin),
                read.layout.text.substr(oldGapBegin, read.layout.pages[k].tagBegin - oldGapBegin));
        }
        EXPECT_EQ(written.substr(again.layout.pages.back().end),
                  read.layout.text.substr(read.layout.pages.back().end));
    } while (std::next_permutation(order.begin(), order.end()));
}

TEST(SvgDocument, AMovedPageIsEditedWhereItsPropertiesChanged) {
    const auto read = ReadSvgDocument("doc.svg", kRichPages);
    const std::vector<std::size_t> order = {2, 1, 0};
    Document renamed = Renumbered(read.document, order);
    renamed.artboards[0].name = "Page 1";  // was A1, at page-a1
    renamed.artboards[2].name = "";        // was B1, at page-b1
    const std::string written = WriteSvgDocument(renamed, &read.layout, order);
    EXPECT_THAT(written, HasSubstr("id='page-a1' inkscape:label='Page 1'\n       bleed='1'/>"));
    EXPECT_THAT(written, HasSubstr("id=\"page-b1\"\n       inkscape:export-filename=\"b1.png\""));
    EXPECT_EQ(ReadSvgDocument("doc.svg", written).document, renamed);
}

TEST(SvgDocument, PagesMoveBetweenNamedviewsOnlyWhereTheirPrefixesMeanTheSame) {
    const std::string alike = std::string(kRoot) + "<sodipodi:namedview>" + Page(1) +
                              "</sodipodi:namedview>\n<sodipodi:namedview>" + Page(2) +
                              "</sodipodi:namedview></svg>";
    const std::vector<std::size_t> order = {1, 0};
    const auto read = ReadSvgDocument("doc.svg", alike);
    const std::string written =
        WriteSvgDocument(Renumbered(read.document, order), &read.layout, order);
    EXPECT_EQ(written, std::string(kRoot) + "<sodipodi:namedview>" + Page(2) +
                           "</sodipodi:namedview>\n<sodipodi:namedview>" + Page(1) +
                           "</sodipodi:namedview></svg>");
    // The second namedview binds the page's prefix anew: "i" would mean another namespace.
    const std::string unlike =
        std::string(kRoot) +
        "<sodipodi:namedview xmlns:i='http://www.inkscape.org/namespaces/inkscape'>"
        "<i:page width='1' height='1'/></sodipodi:namedview>\n"
        "<sodipodi:namedview xmlns:i='urn:else'>" +
        Page(2) + "<i:page/></sodipodi:namedview></svg>";
    const auto other = ReadSvgDocument("doc.svg", unlike);
    ASSERT_EQ(other.document.artboards.size(), 2u);
    try {
        WriteSvgDocument(Renumbered(other.document, order), &other.layout, order);
        ADD_FAILURE() << "written";
    } catch (const InputError& error) {
        EXPECT_THAT(error.what(),
                    HasSubstr("doc.svg:2: page 2 cannot move to the place of page 1 (line 1): "
                              "the two lie in namedview elements that declare namespaces "
                              "differently"));
    }
}

TEST(SvgDocument, AnOrderThatIsNoPermutationIsAProgrammingError) {
    const auto read = ReadSvgDocument("doc.svg", kRichPages);
    for (const auto& order : {std::vector<std::size_t>{0, 1}, {0, 0, 1}, {0, 1, 3}}) {
        EXPECT_THROW(WriteSvgDocument(read.document, &read.layout, order), std::invalid_argument);
    }
}

// A byte-order mark before the declaration is kept, and offsets after it stay right.
TEST(SvgDocument, AByteOrderMarkIsKept) {
    const std::string bom = "\xEF\xBB\xBF";
    const auto read = ReadSvgDocument("doc.svg", bom + kRichPages);
    ASSERT_EQ(read.document.artboards.size(), 3u);
    EXPECT_EQ(WriteSvgDocument(read.document, &read.layout), bom + kRichPages);
    const auto plain = ReadSvgDocument("doc.svg", kRichPages);
    const std::vector<std::size_t> order = {2, 1, 0};
    EXPECT_EQ(WriteSvgDocument(Renumbered(read.document, order), &read.layout, order),
              bom + WriteSvgDocument(Renumbered(plain.document, order), &plain.layout, order));
    // Without the permutation too (the properties move into the elements).
    EXPECT_EQ(WriteSvgDocument(Renumbered(read.document, order), &read.layout),
              bom + WriteSvgDocument(Renumbered(plain.document, order), &plain.layout));
}

TEST(SvgDocument, APageEndsWhereItsElementEnds) {
    const struct {
        std::string page;
    } cases[] = {
        {"<inkscape:page width='1' height='1'/>"},
        {"<inkscape:page width='1' height='1' ></inkscape:page >"},
        {"<inkscape:page width='1' height='1' id='a/>'><g><g/></g></inkscape:page>"},
        {"<inkscape:page width='1' height='1'><inkscape:page/><x/></inkscape:page>"},
        {"<inkscape:page width='1' height='1'><!-- </inkscape:page> --></inkscape:page>"},
        {"<inkscape:page width='1' height='1'><![CDATA[</inkscape:page>]]></inkscape:page>"},
        {"<inkscape:page width='1' height='1'><?pi </inkscape:page>?></inkscape:page>"},
        {"<inkscape:page width='1' height='1'>&amp;<a b=\"'>\"/></inkscape:page>"},
    };
    for (const auto& c : cases) {
        const std::string text = std::string(kRoot) + "<sodipodi:namedview>" + c.page +
                                 "<inkscape:page width='2' height='2'/></sodipodi:namedview></svg>";
        const auto read = ReadSvgDocument("doc.svg", text);
        ASSERT_EQ(read.layout.pages.size(), 2u) << c.page;
        const auto& page = read.layout.pages[0];
        EXPECT_EQ(text.substr(page.tagBegin, page.end - page.tagBegin), c.page);
    }
}

}  // namespace
}  // namespace hostsim::tool
