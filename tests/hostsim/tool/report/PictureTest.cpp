#include "hostsim/tool/report/Picture.h"

#include <pugixml.hpp>

#include <gtest/gtest.h>

namespace hostsim::tool {
namespace {

Document TwoBoards() {
    Document document;
    Artboard left;
    left.name = "Cover & <Back>";
    left.bounds = {0, 100, 100, 0};
    Artboard right;
    right.name = "Spine";
    right.bounds = {200, 100, 250, 0};
    document.artboards = {left, right};
    return document;
}

std::vector<std::string> Texts(const pugi::xml_document& svg) {
    std::vector<std::string> texts;
    for (const auto& found : svg.select_nodes("//text")) {
        texts.emplace_back(found.node().child_value());
    }
    return texts;
}

TEST(Picture, EachArtboardIsOutlinedWithItsNumberNameAndFormerNumber) {
    PictureContent content;
    content.title = "grid by row";
    content.formerNumbers = {2, 1};
    const std::string text = DrawPicture(TwoBoards(), content);
    pugi::xml_document svg;
    ASSERT_TRUE(svg.load_string(text.c_str())) << text;
    EXPECT_EQ(std::string(svg.document_element().name()), "svg");
    EXPECT_EQ(std::string(svg.document_element().attribute("xmlns").value()),
              "http://www.w3.org/2000/svg");
    // The background and one outline per artboard.
    EXPECT_EQ(svg.select_nodes("/svg/rect").size(), 3u);
    const auto texts = Texts(svg);
    ASSERT_EQ(texts.size(), 8u);
    EXPECT_EQ(texts[0], "grid by row");
    EXPECT_EQ(texts[1].rfind("orange: new number", 0), 0u) << texts[1];  // the colour key
    EXPECT_EQ(std::vector<std::string>(texts.begin() + 2, texts.end()),
              (std::vector<std::string>{"1", "Cover & <Back>", "was 2", "2", "Spine", "was 1"}));
}

TEST(Picture, ArtboardsAreDrawnToScaleWithYPointingDown) {
    const std::string text = DrawPicture(TwoBoards(), {});
    pugi::xml_document svg;
    ASSERT_TRUE(svg.load_string(text.c_str()));
    const auto outline = svg.select_node("/svg/rect[3]").node();
    EXPECT_EQ(outline.attribute("x").as_double(), 200);
    EXPECT_EQ(outline.attribute("y").as_double(), -100);
    EXPECT_EQ(outline.attribute("width").as_double(), 50);
    EXPECT_EQ(outline.attribute("height").as_double(), 100);
}

TEST(Picture, ANumberingWithoutABeforeShowsNoFormerNumbers) {
    pugi::xml_document svg;
    ASSERT_TRUE(svg.load_string(DrawPicture(TwoBoards(), {}).c_str()));
    for (const auto& text : Texts(svg)) {
        EXPECT_EQ(text.rfind("was", 0), std::string::npos) << text;
    }
}

TEST(Picture, NearMissesAndMovedArtboardsStandOut) {
    PictureContent content;
    content.formerNumbers = {1, 2};
    content.nearMisses = {1};
    pugi::xml_document svg;
    ASSERT_TRUE(svg.load_string(DrawPicture(TwoBoards(), content).c_str()));
    const auto kept = svg.select_node("/svg/rect[2]").node();
    const auto missed = svg.select_node("/svg/rect[3]").node();
    EXPECT_FALSE(kept.attribute("stroke-dasharray"));
    EXPECT_TRUE(missed.attribute("stroke-dasharray"));
    EXPECT_STRNE(kept.attribute("stroke").value(), missed.attribute("stroke").value());
}

TEST(Picture, EachLineOfAViewIsABandAroundItsArtboardsBehindThem) {
    Document document = TwoBoards();
    Artboard below;
    below.name = "Flap";
    below.bounds = {0, -50, 40, -90};
    document.artboards.push_back(below);
    PictureContent content;
    content.lines = {{0, 1}, {2}};
    content.lineNoun = "row";
    const std::string text = DrawPicture(document, content);
    pugi::xml_document svg;
    ASSERT_TRUE(svg.load_string(text.c_str())) << text;
    // The background, then the bands, then the outlines: a band never hides an artboard.
    const auto rects = svg.select_nodes("/svg/rect");
    ASSERT_EQ(rects.size(), 6u);
    const struct {
        std::size_t rect;
        const char* title;
        double left, top, right, bottom;  // y pointing down
    } bands[] = {{1, "row 1", 0, -100, 250, 0}, {2, "row 2", 0, 50, 40, 90}};
    for (const auto& band : bands) {
        const auto node = rects[band.rect].node();
        EXPECT_EQ(std::string(node.child_value("title")), band.title);
        const double x = node.attribute("x").as_double();
        const double y = node.attribute("y").as_double();
        EXPECT_LT(x, band.left) << band.title;
        EXPECT_LT(y, band.top) << band.title;
        EXPECT_GT(x + node.attribute("width").as_double(), band.right) << band.title;
        EXPECT_GT(y + node.attribute("height").as_double(), band.bottom) << band.title;
    }
    EXPECT_NE(Texts(svg)[1].find("tinted bands: the rows of the order"), std::string::npos);
}

TEST(Picture, AnEmptyDocumentStillGivesAPicture) {
    pugi::xml_document svg;
    EXPECT_TRUE(svg.load_string(DrawPicture({}, {}).c_str()));
}

}  // namespace
}  // namespace hostsim::tool
