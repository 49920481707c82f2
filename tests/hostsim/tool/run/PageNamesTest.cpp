// Name patterns, table-driven: what each gives, and what is wrong with the ones refused.
#include "hostsim/tool/run/PageNames.h"

#include <gtest/gtest.h>

namespace hostsim::tool {
namespace {

TEST(PageNames, PatternsGiveNames) {
    const struct {
        const char* pattern;
        std::size_t number;
        const char* name;
        const char* expected;
    } cases[] = {
        {"Page {n}", 3, "Cover", "Page 3"},
        {"{n} {name}", 3, "Cover", "3 Cover"},
        {"{n} {name}", 3, "", "3"},  // white space at the ends dropped
        {"{name} ({n})", 12, "", "(12)"},
        {"{n:03}", 7, "x", "007"},
        {"{n:03}", 1234, "x", "1234"},  // padding never cuts
        {"{n:01}", 5, "x", "5"},
        {"{n:09}", 5, "x", "000000005"},
        {"{{{n}}}", 2, "x", "{2}"},
        {"{n}-{n}", 4, "x", "4-4"},
        {"Seite {n} – {name}", 2, "Rückseite", "Seite 2 – Rückseite"},
        {"{n}{name}", 1, "{n}", "1{n}"},  // a name is never read as a pattern
        {"  {n}  ", 1, "", "1"},
    };
    for (const auto& item : cases) {
        SCOPED_TRACE(item.pattern);
        EXPECT_EQ(CheckNamePattern(item.pattern), std::nullopt);
        EXPECT_EQ(ApplyNamePattern(item.pattern, item.number, item.name), item.expected);
    }
}

TEST(PageNames, BadPatternsAreRefusedSayingWhy) {
    const struct {
        const char* pattern;
        const char* reason;
    } cases[] = {
        {"", "the name pattern \"\" is empty; use {n}, {n:03}, {name}, {{ or }}"},
        {"Page", "the name pattern \"Page\" has no {n}, so every page would get the same name"},
        {"{name}", "the name pattern \"{name}\" has no {n}, so every page would get the same name"},
        {"Page {x}",
         "the name pattern \"Page {x}\" has an unknown placeholder \"{x}\"; use {n}, {n:03}, "
         "{name}, {{ or }}"},
        {"{N}",
         "the name pattern \"{N}\" has an unknown placeholder \"{N}\"; use {n}, {n:03}, "
         "{name}, {{ or }}"},
        {"{n:3}",
         "the name pattern \"{n:3}\" has an unknown placeholder \"{n:3}\"; use {n}, "
         "{n:03}, {name}, {{ or }}"},
        {"{n:00}",
         "the name pattern \"{n:00}\" has an unknown placeholder \"{n:00}\"; use {n}, "
         "{n:03}, {name}, {{ or }}"},
        {"{n:010}",
         "the name pattern \"{n:010}\" has an unknown placeholder \"{n:010}\"; use "
         "{n}, {n:03}, {name}, {{ or }}"},
        {"Page {n",
         "the name pattern \"Page {n\" has a \"{\" that is not closed at character 6 "
         "(write {{ for a brace)"},
        {"Seite {n} – }",
         "the name pattern \"Seite {n} – }\" has a \"}\" without a \"{\" at character 13 (write }} "
         "for a brace)"},
        {"{n} }",
         "the name pattern \"{n} }\" has a \"}\" without a \"{\" at character 5 (write }} "
         "for a brace)"},
        {"{n}\tx", "the name pattern \"{n}\\tx\" holds a control character at character 4"},
        {"{n}\x1b[2J",
         "the name pattern \"{n}\\u001B[2J\" holds a control character at character 4"},
        {"{\x1b}{n}", "the name pattern \"{\\u001B}{n}\" holds a control character at character 2"},
    };
    for (const auto& item : cases) {
        SCOPED_TRACE(item.pattern);
        EXPECT_EQ(CheckNamePattern(item.pattern), std::optional<std::string>(item.reason));
    }
}

}  // namespace
}  // namespace hostsim::tool
