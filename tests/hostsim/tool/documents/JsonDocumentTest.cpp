#include "hostsim/tool/documents/JsonDocument.h"

#include <string>
#include <utility>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "RenumberedDocument.h"
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
    EXPECT_EQ(cover.displayMarks, (std::set<std::int32_t>{0, 2}));
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
        {"{\"artboards\": [{\"name\": \"A\", \"bounds\": [0, 1e400, 1, 0]}]}",
         "doc.json:1: not valid JSON: number overflow parsing '1e400'"},
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

}  // namespace
}  // namespace hostsim::tool
