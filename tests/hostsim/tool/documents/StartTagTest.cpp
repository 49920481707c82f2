#include "hostsim/tool/documents/StartTag.h"

#include <stdexcept>

#include <gtest/gtest.h>

namespace hostsim::tool {
namespace {

std::string Edited(const std::string& text, const std::vector<StartTag::Edit>& edits) {
    return ApplyEdits(text, edits);
}

TEST(StartTag, EditsChangeOnlyTheNamedAttributes) {
    const std::string text = "<p a=\"1\"\n   b = 'two'\n   c=\"3\"/>";
    const StartTag tag(text, 0);
    ASSERT_EQ(tag.Attributes().size(), 3u);
    const struct {
        const char* name;
        std::vector<StartTag::Edit> edits;
        const char* expected;
    } cases[] = {
        {"set keeps the quote",
         {tag.Set("b", "it's")},
         "<p a=\"1\"\n   b = 'it&apos;s'\n   c=\"3\"/>"},
        {"set escapes",
         {tag.Set("a", "<&>\"\n")},
         "<p a=\"&lt;&amp;&gt;&quot;&#10;\"\n   b = 'two'\n   c=\"3\"/>"},
        {"add follows the last with its spacing",
         {tag.Set("d", "4")},
         "<p a=\"1\"\n   b = 'two'\n   c=\"3\"\n   d=\"4\"/>"},
        {"remove takes the space before", {*tag.Remove("b")}, "<p a=\"1\"\n   c=\"3\"/>"},
        {"several at once",
         {*tag.Remove("c"), tag.Set("e", "5"), tag.Set("a", "0")},
         "<p a=\"0\"\n   b = 'two'\n   e=\"5\"/>"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Edited(text, c.edits), c.expected) << c.name;
    }
    EXPECT_FALSE(tag.Remove("missing").has_value());
}

TEST(StartTag, AnAttributeIsAddedToATagWithoutAttributesAfterItsName) {
    const std::string text = "<root><page/></root>";
    const StartTag tag(text, 6);
    EXPECT_EQ(Edited(text, {tag.Set("x", "1")}), "<root><page x=\"1\"/></root>");
}

TEST(StartTag, QuotedGreaterThanSignsDoNotEndTheTag) {
    const std::string text = "<a title=\"x > y\" z=\"1\">";
    const StartTag tag(text, 0);
    ASSERT_EQ(tag.Attributes().size(), 2u);
    EXPECT_EQ(tag.Attributes()[1].name, "z");
}

TEST(StartTag, AnOffsetThatIsNoTagIsRefused) {
    EXPECT_THROW(StartTag("abc", 0), std::invalid_argument);
    EXPECT_THROW(StartTag("<a b=\"1", 0), std::invalid_argument);
}

}  // namespace
}  // namespace hostsim::tool
