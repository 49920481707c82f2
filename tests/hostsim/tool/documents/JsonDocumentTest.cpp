#include "hostsim/tool/documents/JsonDocument.h"

#include <string>
#include <utility>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "RenumberedDocument.h"
#include "hostsim/tool/documents/DocumentFile.h"
#include "hostsim/tool/documents/InputError.h"

namespace hostsim::tool {
namespace {

using ::testing::HasSubstr;

std::string ReadError(const std::string& text) {
    try {
        ReadJsonDocument("doc.json", text);
    } catch (const InputError& error) {
        return error.what();
    }
    return "(read without error)";
}

TEST(JsonDocument, ReadsEveryPropertyOfTheFormat) {
    const auto read = ReadJsonDocument("doc.json", R"({ "artboards": [
        { "name": "Cover", "bounds": [0, 792, 612, 0], "pixelAspectRatio": 1.5,
          "displayMarks": [2, 0], "rulerOrigin": [10, -20] } ] })");
    ASSERT_EQ(read.document.artboards.size(), 1u);
    const Artboard& cover = read.document.artboards[0];
    EXPECT_EQ(cover.name, "Cover");
    EXPECT_EQ(cover.bounds, (Rect{0, 792, 612, 0}));
    EXPECT_EQ(cover.pixelAspectRatio, 1.5f);
    EXPECT_EQ(cover.displayMarks, (hostsim::DisplayMarkSet{0, 2}));
    EXPECT_EQ(cover.rulerOrigin, (Point{10, -20}));
    EXPECT_EQ(cover.id, 1u);
    EXPECT_EQ(read.document.name, "doc.json");
}

TEST(JsonDocument, OptionalPropertiesTakeTheirDefaults) {
    const auto read =
        ReadJsonDocument("doc.json", R"({"artboards": [{"name": "A", "bounds": [0, 1, 1, 0]}]})");
    const Artboard& a = read.document.artboards.at(0);
    EXPECT_EQ(a.pixelAspectRatio, 1.0f);
    EXPECT_TRUE(a.displayMarks.empty());
    EXPECT_EQ(a.rulerOrigin, (Point{0, 0}));
}

TEST(JsonDocument, NumbersAreKeptAsFloatsAndWrittenInTheirShortestForm) {
    const std::string text =
        "{\n  \"artboards\": [\n"
        "    {\"name\": \"B\", \"bounds\": [0, 99.99, 612.5, 0.1], \"rulerOrigin\": [1e+10, 0]}\n"
        "  ]\n}\n";
    const auto read = ReadJsonDocument("doc.json", text);
    EXPECT_EQ(read.document.artboards[0].bounds.top, 99.99f);
    EXPECT_EQ(WriteJsonDocument(read.document, &read.layout), text);
}

TEST(JsonDocument, AWrittenDocumentReadsBackToTheSameArtboards) {
    const auto read = ReadJsonDocument("doc.json", R"({"artboards": [
        {"name": "Ünïcode \"quoted\"", "bounds": [-0.30000001, 3.4e38, 1e-7, -3.4e38],
         "pixelAspectRatio": 0.333333343, "displayMarks": [4, 1]},
        {"name": "", "bounds": [1, 2, 3, 1]}]})");
    const auto again = ReadJsonDocument("doc.json", WriteJsonDocument(read.document, nullptr));
    EXPECT_EQ(again.document, read.document);
}

TEST(JsonDocument, UnknownKeysStayAtTheirPositionWhileArtboardsMove) {
    const std::string text =
        "{\n  \"title\": \"Posters\",\n  \"artboards\": [\n"
        "    {\"name\": \"Low\", \"bounds\": [0, 0, 10, -10], \"note\": \"first slot\"},\n"
        "    {\"name\": \"High\", \"bounds\": [0, 100, 10, 90], \"pixelAspectRatio\": 2}\n"
        "  ],\n  \"version\": [1, 2]\n}\n";
    const auto read = ReadJsonDocument("doc.json", text);
    const std::string written = WriteJsonDocument(Renumbered(read.document, {1, 0}), &read.layout);
    // The first object keeps its note; it now holds High, whose ratio is written there because
    // it is not the default. The second object holds Low now, whose ratio is the default.
    EXPECT_EQ(written,
              "{\n  \"title\": \"Posters\",\n  \"artboards\": [\n"
              "    {\"name\": \"High\", \"bounds\": [0, 100, 10, 90], \"note\": \"first slot\", "
              "\"pixelAspectRatio\": 2},\n"
              "    {\"name\": \"Low\", \"bounds\": [0, 0, 10, -10]}\n"
              "  ],\n  \"version\": [1, 2]\n}\n");
}

TEST(JsonDocument, AnEmptyListIsADocumentWithNoArtboards) {
    const auto read = ReadJsonDocument("doc.json", R"({"artboards": []})");
    EXPECT_TRUE(read.document.artboards.empty());
    EXPECT_EQ(WriteJsonDocument(read.document, &read.layout), "{\n  \"artboards\": []\n}\n");
}

TEST(JsonDocument, BadInputIsNamedByFileLineArtboardAndField) {
    const struct {
        const char* text;
        const char* message;
    } cases[] = {
        {"", "doc.json:1: not valid JSON: "},
        {"{\"artboards\": [\n  {\"name\": \"A\",}\n]}", "doc.json:2: not valid JSON: syntax error"},
        {"[1]", "doc.json:1: must be a JSON object with an \"artboards\" list, not a list"},
        {"{\"pages\": []}", "doc.json: has no \"artboards\" list"},
        {"{\n\"artboards\": {}}", "doc.json:2: \"artboards\" must be a list, not an object"},
        {"{\"artboards\": [\n 7]}",
         "doc.json:2: artboard 1 must be an object with \"name\" and "
         "\"bounds\", not the number 7"},
        {"{\"artboards\": [\n{\"bounds\": [0, 1, 1, 0]}]}",
         "doc.json:2: artboard 1 has no \"name\""},
        {"{\"artboards\": [{\"name\": 5, \"bounds\": [0, 1, 1, 0]}]}",
         "doc.json:1: artboard 1: \"name\" must be a string, not the number 5"},
        {"{\"artboards\": [\n{\"name\": \"A\", \"bounds\": [0, 1, 1, 0]},\n{\"name\": \"B\"}]}",
         "doc.json:3: artboard 2 (\"B\") has no \"bounds\" [left, top, right, bottom]"},
        {"{\"artboards\": [{\"name\": \"A\",\n \"bounds\": [0, 1, 1]}]}",
         "doc.json:2: artboard 1 (\"A\"): \"bounds\" must be [left, top, right, bottom], 4 "
         "numbers, not a list of 3"},
        {"{\"artboards\": [{\"name\": \"A\", \"bounds\": \"0 1 1 0\"}]}",
         "\"bounds\" must be [left, top, right, bottom], 4 numbers, not a string"},
        {"{\"artboards\": [{\"name\": \"A\", \"bounds\": [0, \"1\", 1, 0]}]}",
         "artboard 1 (\"A\"): \"bounds\" value 2 must be a number, not a string"},
        {"{\"artboards\": [{\"name\": \"A\", \"bounds\": [0, 1e39, 1, 0]}]}",
         "\"bounds\" value 2 (1e+39) is out of the range of 32-bit floats"},
        // Valid JSON, but beyond any number the host reads.
        {"{\"artboards\": [{\"name\": \"A\",\n \"bounds\": [0, 1e400, 1, 0]}]}",
         "doc.json:2: artboard 1: \"bounds\" holds 1e400, which is beyond the range of 64-bit "
         "floats"},
        {"{\"artboards\": -1e400}",
         "doc.json:1: the number -1e400, which is beyond the range of 64-bit floats"},
        {"{\"artboards\": [{\"name\": \"A\", \"bounds\": [0, 0, 612, 792]}]}",
         "\"bounds\" top (0) must be greater than bottom (792): y points up"},
        {"{\"artboards\": [{\"name\": \"A\", \"bounds\": [10, 1, 10, 0]}]}",
         "\"bounds\" right (10) must be greater than left (10)"},
        {"{\"artboards\": [{\"name\": \"A\", \"bounds\": [0, 1, 1, 0], \"pixelAspectRatio\": 0}]}",
         "\"pixelAspectRatio\" must be greater than 0, not 0"},
        {"{\"artboards\": [{\"name\": \"A\", \"bounds\": [0, 1, 1, 0], \"pixelAspectRatio\": "
         "null}]}",
         "\"pixelAspectRatio\" must be a number, not null"},
        {"{\"artboards\": [{\"name\": \"A\", \"bounds\": [0, 1, 1, 0], \"displayMarks\": [3]}]}",
         "\"displayMarks\" holds the number 3; the kinds are 0, 1, 2 and 4"},
        {"{\"artboards\": [{\"name\": \"A\", \"bounds\": [0, 1, 1, 0], \"displayMarks\": [1.5]}]}",
         "\"displayMarks\" holds the number 1.5; the kinds are 0, 1, 2 and 4"},
        {"{\"artboards\": [{\"name\": \"A\", \"bounds\": [0, 1, 1, 0], \"displayMarks\": 2}]}",
         "\"displayMarks\" must be a list of display-mark kinds, not the number 2"},
        {"{\"artboards\": [{\"name\": \"A\", \"bounds\": [0, 1, 1, 0], \"rulerOrigin\": [1]}]}",
         "\"rulerOrigin\" must be [h, v], 2 numbers, not a list of 1"},
        {"{\"artboards\": [{\"name\": \"A\",\n \"name\": \"B\", \"bounds\": [0, 1, 1, 0]}]}",
         "doc.json:2: artboard 1 has the key \"name\" twice"},
    };
    for (const auto& c : cases) {
        EXPECT_THAT(ReadError(c.text), HasSubstr(c.message)) << c.text;
    }
}

TEST(JsonDocument, ErrorMessagesAreOneLine) {
    EXPECT_THAT(ReadError("{\"artboards\": [\n{\"name\": \"A\"\n\"bounds\": []}]}"),
                ::testing::Not(HasSubstr("\n")));
}

TEST(JsonDocument, NestingIsReadUpToTheLimitAndRefusedBeyondIt) {
    auto nested = [](std::size_t depth) {
        // The top-level object is one level; the rest is an unknown key's value.
        return "{\"artboards\": [],\n \"deep\": " + std::string(depth - 1, '[') +
               std::string(depth - 1, ']') + "}";
    };
    EXPECT_EQ(ReadError(nested(kJsonMaxDepth)), "(read without error)");
    EXPECT_EQ(ReadError(nested(kJsonMaxDepth + 1)),
              "doc.json:2: lists and objects nest more than 1000 deep");
    // Brackets inside strings are text, not nesting.
    EXPECT_EQ(ReadError("{\"artboards\": [], \"s\": \"" + std::string(5000, '[') + "\"}"),
              "(read without error)");
}

TEST(JsonDocument, NothingAfterANulByteIsIgnored) {
    EXPECT_EQ(ReadError(std::string("{\"artboards\": []}\n\0{\"x", 22)),
              "doc.json:2: not valid JSON: a NUL byte, which JSON text cannot hold");
}

TEST(JsonDocument, KeysAreComparedAfterDecoding) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {R"({"artboards": [{"name": "A", "na\u006de": "B", "bounds": [0, 1, 1, 0]}]})",
         R"(doc.json:1: artboard 1 has the key "name" twice)"},
        {"{\"artboards\": [],\n\"artboards\": [{\"name\": \"A\", \"bounds\": [0, 1, 1, 0]}]}",
         R"(doc.json:2: the document has the key "artboards" twice)"},
        {"{\"\\u0061rtboards\": [],\n\"artboards\": []}",
         R"(doc.json:2: the document has the key "artboards" twice)"},
        {R"({"artboards": [{"name": "A", "bounds": [0, 1, 1, 0], "x": 1, "\u0078": 2}]})",
         R"(doc.json:1: artboard 1 has the key "x" twice)"},
        // Inside a value the host does not read, keys are the other program's business.
        {R"({"artboards": [], "other": {"k": 1, "k": 2}})", "(read without error)"},
    };
    for (const auto& [text, error] : cases) {
        EXPECT_EQ(ReadError(text), error) << text;
    }
}

TEST(JsonDocument, ValuesNotInterpretedKeepTheirText) {
    const std::string text =
        "{\n  \"id\": 123456789012345678901234567890,\n  \"artboards\": [\n"
        "    {\"name\": \"B\", \"bounds\": [0, 1, 1, 0], \"tag\": 1.000000000000000000001}, \n"
        "    {\"name\": \"A\", \"bounds\": [5, 1, 6, 0], \"nested\": {\"x\": [1e300, -0.0]}}\n"
        "  ]\n}\n";
    auto read = ReadJsonDocument("doc.json", text);
    std::swap(read.document.artboards[0], read.document.artboards[1]);
    const std::string written = WriteJsonDocument(read.document, &read.layout);
    EXPECT_THAT(written, HasSubstr("\"id\": 123456789012345678901234567890"));
    EXPECT_THAT(written, HasSubstr("\"tag\": 1.000000000000000000001"));
    EXPECT_THAT(written, HasSubstr("\"nested\": {\"x\": [1e300, -0.0]}"));
    EXPECT_EQ(
        KeysOnlyJsonHolds(read.layout),
        (std::vector<std::string>{R"("id")", R"(artboard 1 "tag")", R"(artboard 2 "nested")"}));
}

TEST(JsonDocument, APropertyHoldsNoMoreValuesThanItCouldNeed) {
    std::string zeros = "0";
    for (int i = 0; i < 100000; ++i) {
        zeros += ", 0";
    }
    EXPECT_EQ(ReadError(R"({"artboards": [{"name": "A", "bounds": [)" + zeros + "]}]}"),
              R"(doc.json: artboard 1: "bounds" holds more than 64 values)");
    // A large value of a key the host does not read is only kept as its text.
    EXPECT_EQ(ReadError(R"({"artboards": [{"name": "A", "bounds": [0, 1, 1, 0], "x": [)" + zeros +
                        "]}]}"),
              "(read without error)");
}

TEST(JsonDocument, NamesInMessagesShowTheirControlCharactersEscaped) {
    EXPECT_EQ(
        ReadError(R"({"artboards": [{"name": "A\u001b[2J\nquorvane-host: fine", "bounds": 1}]})"),
        "doc.json:1: artboard 1 (\"A\\u001B[2J\\nquorvane-host: fine\"): \"bounds\" must be "
        "[left, top, right, bottom], 4 numbers, not the number 1");
}

// A byte-order mark, as editors on Windows write one, changes nothing of what is read: the
// keys the host does not know, the refusals, the keys a conversion leaves behind.
TEST(JsonDocument, AByteOrderMarkIsReadPastAndWrittenBack) {
    const std::string body =
        "{\n  \"title\": \"Posters\",\n  \"artboards\": [\n"
        "    {\"name\": \"Low\", \"bounds\": [0, 0, 10, -10], \"id\": \"a\"},\n"
        "    {\"name\": \"High\", \"bounds\": [0, 100, 10, 90], \"id\": \"b\"}\n"
        "  ],\n  \"version\": 2\n}\n";
    const std::string bom = "\xEF\xBB\xBF";
    const auto plain = ParseDocumentFile("doc.json", DocumentFormat::Json, body);
    const auto marked = ParseDocumentFile("doc.json", DocumentFormat::Json, bom + body);
    EXPECT_EQ(marked.document, plain.document);
    EXPECT_EQ(LeftBehindIn(marked, DocumentFormat::Svg),
              (std::vector<std::string>{R"("title")", R"("version")", R"(artboard 1 "id")",
                                        R"(artboard 2 "id")"}));
    EXPECT_EQ(LeftBehindIn(marked, DocumentFormat::Svg), LeftBehindIn(plain, DocumentFormat::Svg));
    // Unchanged: byte for byte; renumbered: as without the mark, the mark in front.
    EXPECT_EQ(RenderDocument(marked, marked.document, DocumentFormat::Json), bom + body);
    EXPECT_EQ(WriteJsonDocument(marked.document, &*marked.jsonLayout), bom + body);
    const Document swapped = Renumbered(plain.document, {1, 0});
    const std::vector<std::optional<std::size_t>> former = {1, 0};
    EXPECT_EQ(RenderDocument(marked, swapped, DocumentFormat::Json, former),
              bom + RenderDocument(plain, swapped, DocumentFormat::Json, former));
    EXPECT_THAT(RenderDocument(marked, swapped, DocumentFormat::Json, former),
                HasSubstr("\"title\": \"Posters\""));
    // Written in SVG, the mark is not carried over.
    EXPECT_EQ(RenderDocument(marked, swapped, DocumentFormat::Svg, former).substr(0, 5), "<?xml");

    // Refusals and their lines are those of the text without the mark.
    const std::string refused[] = {
        "{\"artboards\": [{\"name\": \"A\",\n \"name\": \"B\", \"bounds\": [0, 1, 1, 0]}]}",
        "{\"artboards\": [],\n\"artboards\": []}",
        "{\"artboards\": [\n{\"name\": \"A\", \"bounds\": [0, 0, 1, 1]}]}",
        "{\"artboards\": [}",
        "[1]",
    };
    for (const auto& text : refused) {
        EXPECT_NE(ReadError(text), "(read without error)") << text;
        EXPECT_EQ(ReadError(bom + text), ReadError(text)) << text;
    }
    // Only at the very beginning is it a mark; elsewhere it is not JSON.
    EXPECT_THAT(ReadError(" " + bom + "{\"artboards\": []}"), HasSubstr("not valid JSON"));
}

// Valid JSON of every unusual kind, in keys the host does not know, survives byte for byte.
TEST(JsonDocument, UnusualValuesOfUnknownKeysAreKeptAsWritten) {
    const std::string values[] = {
        "1e400",
        "-1e400",
        "1E+999999999",
        "1e-400",
        "[1e400, {\"x\": -2.5e309}]",
        std::string(400, '9'),
        "123456789012345678901234567890",
        "-0.0",
        "\"\\u0000 and \\ud83d\\ude00 and \\\" and \\/\"",
        "\"\xF0\x9F\x98\x80\"",
        // As deep as an artboard's key may go: the document, the list and the artboard are 3.
        std::string(kJsonMaxDepth - 3, '[') + std::string(kJsonMaxDepth - 3, ']'),
    };
    for (const auto& value : values) {
        const std::string text = "{\n  \"x\": " + value +
                                 ",\n  \"artboards\": [\n"
                                 "    {\"name\": \"A\", \"bounds\": [0, 0, 10, -10], \"v\": " +
                                 value +
                                 "},\n"
                                 "    {\"name\": \"B\", \"bounds\": [0, 100, 10, 90]}\n"
                                 "  ]\n}\n";
        JsonDocument read;
        try {
            read = ReadJsonDocument("doc.json", text);
        } catch (const InputError& error) {
            ADD_FAILURE() << value.substr(0, 40) << ": " << error.what();
            continue;
        }
        EXPECT_EQ(WriteJsonDocument(read.document, &read.layout), text) << value.substr(0, 40);
        const std::string written =
            WriteJsonDocument(Renumbered(read.document, {1, 0}), &read.layout);
        EXPECT_THAT(written, HasSubstr("\"x\": " + value + ",")) << value.substr(0, 40);
        EXPECT_THAT(written, HasSubstr("\"v\": " + value + "}")) << value.substr(0, 40);
    }
    // A huge number is one number wherever it stands, so the numbers after it are still read.
    const auto read = ReadJsonDocument(
        "doc.json", R"({"x": [1e400, 2], "artboards": [{"name": "A", "bounds": [0, 3, 4, 1]}]})");
    EXPECT_EQ(read.document.artboards.at(0).bounds, (Rect{0, 3, 4, 1}));
    // Invalid numbers stay invalid.
    EXPECT_THAT(ReadError(R"({"x": 01e400, "artboards": []})"), HasSubstr("not valid JSON"));
    EXPECT_THAT(ReadError(R"({"x": 1e400e, "artboards": []})"), HasSubstr("not valid JSON"));
}

// An artboard that moves takes its own spelling of its properties with it: an explicit
// default stays explicit, a number keeps its digits, wherever the value did not change.
TEST(JsonDocument, AMovedArtboardArrivesSpelledAsItWasWritten) {
    const std::string text =
        "{\"artboards\": [\n"
        "  {\"name\": \"Low\", \"bounds\": [0, 0, 10.0, -10], \"pixelAspectRatio\": 1.0, "
        "\"rulerOrigin\": [0, 0], \"displayMarks\": [], \"note\": 1},\n"
        "  {\"bounds\": [0, 100, 10, 90], \"name\": \"High\"}\n"
        "]}";
    const auto read = ReadJsonDocument("doc.json", text);
    const Document swapped = Renumbered(read.document, {1, 0});
    const std::vector<std::size_t> sources = {1, 0};
    EXPECT_EQ(WriteJsonDocument(swapped, &read.layout, sources),
              "{\n  \"artboards\": [\n"
              "    {\"name\": \"High\", \"bounds\": [0, 100, 10, 90], \"note\": 1},\n"
              "    {\"bounds\": [0, 0, 10.0, -10], \"name\": \"Low\", \"pixelAspectRatio\": 1.0, "
              "\"displayMarks\": [], \"rulerOrigin\": [0, 0]}\n"
              "  ]\n}\n");
    // A field whose value changed is written anew; the others keep their spelling.
    Document changed = swapped;
    changed.artboards[1].rulerOrigin = {5, 0};
    changed.artboards[1].pixelAspectRatio = 2;
    EXPECT_THAT(
        WriteJsonDocument(changed, &read.layout, sources),
        HasSubstr("{\"bounds\": [0, 0, 10.0, -10], \"name\": \"Low\", "
                  "\"pixelAspectRatio\": 2, \"displayMarks\": [], \"rulerOrigin\": [5, 0]}"));
    // Read back: the same artboards.
    const auto again =
        ReadJsonDocument("doc.json", WriteJsonDocument(swapped, &read.layout, sources));
    EXPECT_EQ(again.document, swapped);
}

// A name an SVG file cannot hold is reported for the artboard the user wrote: its place in
// the input and its line, wherever the renumbering put it.
TEST(JsonDocument, AnArtboardSvgCannotHoldIsNamedAsTheInputHasIt) {
    const std::string text =
        "{\"artboards\": [\n"
        "  {\"name\": \"Bell\\u0007\",\n   \"bounds\": [0, 0, 10, -10]},\n"
        "  {\"name\": \"High\", \"bounds\": [0, 100, 10, 90]},\n"
        "  {\"name\": \"Far\",\n   \"bounds\": [1828, 3.5555555e25, 2670, 2]}\n"
        "]}";
    const auto input = ParseDocumentFile("doc.json", DocumentFormat::Json, text);
    auto svgError = [&](const std::vector<std::size_t>& order) {
        std::vector<std::optional<std::size_t>> former(order.begin(), order.end());
        try {
            RenderDocument(input, Renumbered(input.document, order), DocumentFormat::Svg, former);
        } catch (const InputError& error) {
            return std::string(error.what());
        }
        return std::string("(written)");
    };
    for (const auto& order : {std::vector<std::size_t>{0, 1, 2}, {1, 0, 2}, {2, 1, 0}}) {
        EXPECT_THAT(svgError(order), HasSubstr("doc.json:2: artboard 1 (\"Bell\\u0007\"): the "
                                               "name holds U+0007"));
    }
    auto renamed = ParseDocumentFile(
        "doc.json", DocumentFormat::Json,
        text.substr(0, text.find("Bell")) + "Bell" + text.substr(text.find("\",\n")));
    EXPECT_THAT(
        [&] {
            try {
                RenderDocument(renamed, Renumbered(renamed.document, {2, 0, 1}),
                               DocumentFormat::Svg,
                               std::vector<std::optional<std::size_t>>{2, 0, 1});
            } catch (const InputError& error) {
                return std::string(error.what());
            }
            return std::string("(written)");
        }(),
        HasSubstr("doc.json:6: artboard 3 (\"Far\"): bounds ["));
}

TEST(JsonDocument, FormerPositionsMustBeAPermutation) {
    const auto input = ParseDocumentFile(
        "doc.json", DocumentFormat::Json,
        R"({"artboards": [{"name": "A", "bounds": [0, 1, 1, 0]}, {"name": "B", "bounds": [2, 1, 3, 0]}]})");
    for (const auto& former :
         {std::vector<std::optional<std::size_t>>{0, std::nullopt}, {0, 2}, {0}, {1, 1}}) {
        for (const auto format : {DocumentFormat::Json, DocumentFormat::Svg}) {
            EXPECT_THROW(RenderDocument(input, input.document, format, former),
                         std::invalid_argument);
        }
    }
}

}  // namespace
}  // namespace hostsim::tool
