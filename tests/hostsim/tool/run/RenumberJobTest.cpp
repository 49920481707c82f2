// The renumbering job the command line and the web page share: bytes in, bytes, table,
// warnings, picture and verdict out. The real module runs, both as the file the command line
// loads and as the PluginMain the web page links, and the two must give the same everything.
#include "hostsim/tool/run/RenumberJob.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "frame/PluginMain.h"
#include "hostsim/loader/ModuleLoader.h"

namespace hostsim::tool {
namespace {

std::string ReadSource(const std::string& relative) {
    std::ifstream in(std::string(QUORVANE_SOURCE_DIR) + "/" + relative, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    EXPECT_TRUE(in) << relative;
    return bytes.str();
}

RenumberJobInput Input(const std::string& name, std::string bytes, GridOrder order) {
    RenumberJobInput input;
    input.name = name;
    input.bytes = std::move(bytes);
    input.options.order = order;
    input.module.file = DefaultModulePath();
    return input;
}

struct ExampleCase {
    const char* example;  // in examples/
    GridOrder order;
    const char* expected;  // in tests/hostsim/tool/expected/
};

const ExampleCase kExamples[] = {
    {"festival-posters.json", GridOrder::ByRow, "festival-posters.by-row.json"},
    {"festival-posters.json", GridOrder::ByColumn, "festival-posters.by-column.json"},
    {"brand-kit-near-miss.json", GridOrder::ByRow, "brand-kit-near-miss.by-row.json"},
    {"brand-kit-near-miss.json", GridOrder::ByColumn, "brand-kit-near-miss.by-column.json"},
    {"zine-pages.svg", GridOrder::ByRow, "zine-pages.by-row.svg"},
    {"zine-pages.svg", GridOrder::ByColumn, "zine-pages.by-column.svg"},
};

// The module file and the linked entry give one result, the expected document's bytes.
TEST(RenumberJob, TheModuleFileAndTheLinkedEntryGiveTheExpectedBytes) {
    for (const auto& example : kExamples) {
        SCOPED_TRACE(example.example);
        RenumberJobInput input = Input(
            example.example, ReadSource(std::string("examples/") + example.example), example.order);
        input.options.drawPicture = true;
        const RenumberJobResult fromFile = RunRenumberJob(input);
        input.module = {&PluginMain, {}};
        const RenumberJobResult linked = RunRenumberJob(input);
        ASSERT_EQ(fromFile.status, kJobSucceeded) << fromFile.error;
        ASSERT_EQ(linked.status, kJobSucceeded) << linked.error;
        EXPECT_EQ(fromFile.document,
                  ReadSource(std::string("tests/hostsim/tool/expected/") + example.expected));
        EXPECT_EQ(linked.document, fromFile.document);
        EXPECT_EQ(linked.table, fromFile.table);
        EXPECT_EQ(linked.warnings, fromFile.warnings);
        EXPECT_EQ(linked.picture, fromFile.picture);
        EXPECT_EQ(linked.formerPositions, fromFile.formerPositions);
        EXPECT_FALSE(fromFile.table.empty());
        EXPECT_NE(fromFile.picture.find("<svg"), std::string::npos);
    }
}

// The verdict is a permutation, and the summary counts what moved.
TEST(RenumberJob, TheVerdictIsAPermutationAndTheSummaryCountsWhatMoved) {
    const RenumberJobResult result = RunRenumberJob(Input(
        "festival-posters.json", ReadSource("examples/festival-posters.json"), GridOrder::ByRow));
    ASSERT_EQ(result.status, kJobSucceeded) << result.error;
    std::vector<bool> seen(result.total, false);
    std::size_t moved = 0;
    for (std::size_t k = 0; k < result.formerPositions.size(); ++k) {
        ASSERT_LT(result.formerPositions[k], result.total);
        EXPECT_FALSE(seen[result.formerPositions[k]]);
        seen[result.formerPositions[k]] = true;
        moved += result.formerPositions[k] != k ? 1 : 0;
    }
    EXPECT_EQ(result.renumbered, moved);
    EXPECT_EQ(result.Summary("artboards"), std::to_string(moved) + " of " +
                                               std::to_string(result.total) +
                                               " artboards renumbered by row");
}

// Near-misses come out as warnings, in the command line's words or the editor's.
TEST(RenumberJob, NearMissesAreWarningsForTheirAudience) {
    RenumberJobInput input =
        Input("brand-kit-near-miss.json", ReadSource("examples/brand-kit-near-miss.json"),
              GridOrder::ByRow);
    const RenumberJobResult commandLine = RunRenumberJob(input);
    ASSERT_EQ(commandLine.status, kJobSucceeded) << commandLine.error;
    ASSERT_FALSE(commandLine.warnings.empty());
    EXPECT_EQ(commandLine.warnings.front().rfind("brand-kit-near-miss.json: ", 0), 0U);

    input.options.audience = JobAudience::Editor;
    const RenumberJobResult editor = RunRenumberJob(input);
    ASSERT_EQ(editor.warnings.size(), commandLine.warnings.size());
    // By name and the number each will have.
    EXPECT_EQ(editor.warnings.front().rfind("Quorvane: \"Business card front\" (page ", 0), 0U)
        << editor.warnings.front();
    EXPECT_NE(editor.warnings.front().find("\"Letterhead\" (page "), std::string::npos);

    input.options.nearMissWarnings = false;
    EXPECT_TRUE(RunRenumberJob(input).warnings.empty());
}

// Unnamed pages are named by the number they will have and their place as the editor shows
// it (y pointing down); named ones by name; the command line says pages and y on SVG.
TEST(RenumberJob, EditorWarningsNameUnnamedPagesByNumberAndPlace) {
    const std::string svg =
        "<svg xmlns=\"http://www.w3.org/2000/svg\" "
        "xmlns:inkscape=\"http://www.inkscape.org/namespaces/inkscape\" "
        "xmlns:sodipodi=\"http://sodipodi.sourceforge.net/DTD/sodipodi-0.dtd\">"
        "<sodipodi:namedview>"
        "<inkscape:page x=\"500\" y=\"2\" width=\"100\" height=\"100\"/>"
        "<inkscape:page x=\"0\" y=\"0\" width=\"100\" height=\"100\" inkscape:label=\"A\"/>"
        "</sodipodi:namedview></svg>";
    RenumberJobInput input = Input("two.svg", svg, GridOrder::ByRow);
    input.options.audience = JobAudience::Editor;
    const RenumberJobResult editor = RunRenumberJob(input);
    ASSERT_EQ(editor.status, kJobSucceeded) << editor.error;
    ASSERT_EQ(editor.warnings.size(), 1U);
    EXPECT_EQ(editor.warnings[0],
              "Quorvane: \"A\" (page 1) and page 2 (at x 500, y 2) are numbered as different "
              "rows though they overlap by more than half the shorter one's height (a tolerance "
              "of 2 puts them in one row)");

    input.options.audience = JobAudience::CommandLine;
    const RenumberJobResult commandLine = RunRenumberJob(input);
    ASSERT_EQ(commandLine.warnings.size(), 1U);
    EXPECT_EQ(commandLine.warnings[0],
              "two.svg: pages 2 \"A\" (y 0) and 1 \"\" (y 2) are in different rows though they "
              "overlap vertically by more than half the shorter one's height; --tolerance 2 "
              "puts them in one row");
    EXPECT_EQ(commandLine.Summary(commandLine.Noun()), "2 of 2 pages renumbered by row");
    EXPECT_EQ(commandLine.table,
              "new  name    x  y  was\n"
              "  1  A       0  0    2\n"
              "  2        500  2    1\n");
}

// Renaming is the host's, after the module's order: each position gets its pattern's name.
TEST(RenumberJob, RenamingNamesThePagesInTheirNewOrder) {
    const struct {
        const char* example;
        const char* pattern;
        std::vector<std::string> names;  // the first three
    } cases[] = {
        {"zine-pages.svg", "Page {n}", {"Page 1", "Page 2", "Page 3"}},
        {"zine-pages.svg", "{n:02} {name}", {"01 Cover", "02 Contents", "03 Interview"}},
        {"festival-posters.json", "{n}", {"1", "2", "3"}},
    };
    for (const auto& item : cases) {
        SCOPED_TRACE(item.pattern);
        RenumberJobInput input = Input(
            item.example, ReadSource(std::string("examples/") + item.example), GridOrder::ByRow);
        input.options.rename = item.pattern;
        const RenumberJobResult renamed = RunRenumberJob(input);
        ASSERT_EQ(renamed.status, kJobSucceeded) << renamed.error;
        ASSERT_GE(renamed.names.size(), 3U);
        EXPECT_EQ(std::vector<std::string>(renamed.names.begin(), renamed.names.begin() + 3),
                  item.names);
        // The document carries the names: read it back through the job, keeping names.
        RenumberJobInput again = Input(item.example, renamed.document, GridOrder::ByRow);
        const RenumberJobResult reread = RunRenumberJob(again);
        ASSERT_EQ(reread.status, kJobSucceeded) << reread.error;
        EXPECT_EQ(reread.names, renamed.names);
        EXPECT_EQ(reread.renumbered, 0U);
    }
    RenumberJobInput bad = Input("festival-posters.json",
                                 ReadSource("examples/festival-posters.json"), GridOrder::ByRow);
    bad.options.rename = "Page";
    const RenumberJobResult refused = RunRenumberJob(bad);
    EXPECT_EQ(refused.status, kJobBadInput);
    EXPECT_EQ(refused.error,
              "the name pattern \"Page\" has no {n}, so every page would get the "
              "same name");
}

// The current numbering without the module, with near-misses of the orders asked for.
TEST(RenumberJob, ShowGivesTheCurrentNumbering) {
    RenumberJobInput input =
        Input("brand-kit-near-miss.json", ReadSource("examples/brand-kit-near-miss.json"),
              GridOrder::ByRow);
    input.module.file = "no-such-module.so";  // never loaded
    input.options.drawPicture = true;
    const RenumberJobResult both = RunShowJob(input, {GridOrder::ByRow, GridOrder::ByColumn});
    ASSERT_EQ(both.status, kJobSucceeded) << both.error;
    EXPECT_EQ(both.table, ReadSource("tests/hostsim/tool/expected/brand-kit-near-miss.show"));
    EXPECT_EQ(both.renumbered, 0U);
    EXPECT_NE(both.picture.find("brand-kit-near-miss.json: "), std::string::npos);
    const RenumberJobResult rows = RunShowJob(input, {GridOrder::ByRow});
    EXPECT_LT(rows.warnings.size(), both.warnings.size());
}

// Bad input is status 2 and one line naming the document; nothing is rendered.
TEST(RenumberJob, BadInputIsStatusTwoNamingTheDocument) {
    const struct {
        const char* name;
        const char* bytes;
        const char* errorStart;
    } cases[] = {
        {"broken.json", "{\"artboards\": [", "broken.json:"},
        {"broken.svg", "<svg", "broken.svg:"},
        {"notes.txt", "hello", "notes.txt: is neither a .json nor an .svg document"},
        {"no-extension", "  plain words", "no-extension: is neither"},
    };
    for (const auto& item : cases) {
        SCOPED_TRACE(item.name);
        const RenumberJobResult result =
            RunRenumberJob(Input(item.name, item.bytes, GridOrder::ByRow));
        EXPECT_EQ(result.status, kJobBadInput);
        EXPECT_EQ(result.error.rfind(item.errorStart, 0), 0U) << result.error;
        EXPECT_TRUE(result.document.empty());
        EXPECT_TRUE(result.table.empty());
    }
}

// Without a format or an extension, the content tells (the editor's temporary files).
TEST(RenumberJob, AFormatIsToldFromTheContentWhenTheNameSaysNone) {
    const std::string bytes = ReadSource("examples/zine-pages.svg");
    const RenumberJobResult result = RunRenumberJob(Input("tmp-file", bytes, GridOrder::ByRow));
    ASSERT_EQ(result.status, kJobSucceeded) << result.error;
    EXPECT_EQ(result.inputFormat, DocumentFormat::Svg);
    EXPECT_EQ(result.document, ReadSource("tests/hostsim/tool/expected/zine-pages.by-row.svg"));
}

// A module that cannot be loaded is bad input naming it; the document is not rendered.
TEST(RenumberJob, AModuleThatCannotBeLoadedIsNamed) {
    RenumberJobInput input = Input("festival-posters.json",
                                   ReadSource("examples/festival-posters.json"), GridOrder::ByRow);
    input.module.file = "no-such-module.so";
    const RenumberJobResult result = RunRenumberJob(input);
    EXPECT_EQ(result.status, kJobBadInput);
    EXPECT_NE(result.error.find("no-such-module.so"), std::string::npos) << result.error;
    EXPECT_TRUE(result.document.empty());
}

// What is not asked for is not made; a JSON document written as SVG warns of what it leaves.
TEST(RenumberJob, OnlyWhatIsAskedForIsMade) {
    RenumberJobInput input = Input("festival-posters.json",
                                   ReadSource("examples/festival-posters.json"), GridOrder::ByRow);
    input.options.renderDocument = false;
    const RenumberJobResult bare = RunRenumberJob(input);
    ASSERT_EQ(bare.status, kJobSucceeded) << bare.error;
    EXPECT_TRUE(bare.document.empty());
    EXPECT_TRUE(bare.picture.empty());
    EXPECT_FALSE(bare.table.empty());

    input.options.renderDocument = true;
    input.options.outputFormat = DocumentFormat::Svg;
    input.options.outputName = "out.svg";
    const RenumberJobResult asSvg = RunRenumberJob(input);
    ASSERT_EQ(asSvg.status, kJobSucceeded) << asSvg.error;
    EXPECT_EQ(asSvg.document.rfind("<?xml", 0), 0U);
    ASSERT_FALSE(asSvg.warnings.empty());
    EXPECT_EQ(asSvg.warnings.back().rfind("out.svg: an SVG document has no place", 0), 0U);
}

// The trace goes to the stream the caller opens, once, when the module runs.
TEST(RenumberJob, TheTraceGoesToTheCallersStream) {
    RenumberJobInput input = Input("festival-posters.json",
                                   ReadSource("examples/festival-posters.json"), GridOrder::ByRow);
    std::ostringstream trace;
    int opened = 0;
    input.openTrace = [&]() -> std::ostream* {
        ++opened;
        return &trace;
    };
    const RenumberJobResult result = RunRenumberJob(input);
    ASSERT_EQ(result.status, kJobSucceeded) << result.error;
    EXPECT_EQ(opened, 1);
    EXPECT_NE(trace.str().find("Startup"), std::string::npos);

    // Not opened for a document that cannot be read.
    input.bytes = "{";
    EXPECT_EQ(RunRenumberJob(input).status, kJobBadInput);
    EXPECT_EQ(opened, 1);
}

}  // namespace
}  // namespace hostsim::tool
