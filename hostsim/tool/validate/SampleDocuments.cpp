#include "hostsim/tool/validate/SampleDocuments.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <numeric>
#include <stdexcept>
#include <utility>

namespace hostsim::tool {
namespace {

Artboard Board(std::string name, float left, float top, float width = 100, float height = 100) {
    Artboard artboard;
    artboard.name = std::move(name);
    artboard.bounds = {left, top, left + width, top - height};
    return artboard;
}

// Numbers the ids and gives every artboard properties of its own, so that each can be told
// from the others whatever travels.
Document Numbered(std::string name, std::vector<Artboard> artboards) {
    for (std::size_t i = 0; i < artboards.size(); ++i) {
        Artboard& a = artboards[i];
        a.id = 1000 + i;
        a.pixelAspectRatio = 1.0f + 0.25f * static_cast<float>(i % 4);
        a.displayMarks = {static_cast<std::int32_t>(i % 3 == 0 ? 0 : (i % 3 == 1 ? 2 : 4))};
        a.rulerOrigin = {static_cast<float>(i), -static_cast<float>(i)};
    }
    return Document{std::move(name), std::move(artboards)};
}

}  // namespace

std::vector<NamedDocument> SampleDocuments() {
    std::vector<NamedDocument> documents;
    documents.push_back({samples::kEmpty, Numbered("empty", {})});
    documents.push_back({samples::kOneArtboard, Numbered("one", {Board("Only", 0, 100)})});
    documents.push_back(
        {samples::kInOrder, Numbered("in order", {Board("A", 0, 300), Board("B", 200, 300),
                                                  Board("C", 0, 100), Board("D", 200, 100)})});
    documents.push_back(
        {samples::kThreeCycle,
         Numbered("3-cycle", {Board("C", 400, 100), Board("A", 0, 100), Board("B", 200, 100)})});
    documents.push_back({samples::kShuffledGridWithTies,
                         Numbered("shuffled grid",
                                  {Board("E", 200, 100), Board("B", 200, 300), Board("F", 400, 100),
                                   Board("A", 0, 300), Board("D", 0, 100), Board("C", 400, 300)})});
    documents.push_back({samples::kStackedCorners, StackedGrid(2)});
    return documents;
}

Document SampleDocument(std::string_view name) {
    for (NamedDocument& sample : SampleDocuments()) {
        if (sample.name == name) {
            return std::move(sample.document);
        }
    }
    throw std::out_of_range("no sample document is called \"" + std::string(name) + "\"");
}

Document StackedGrid(int perCorner) {
    std::vector<Artboard> artboards;
    const std::array<std::pair<float, float>, 4> places = {
        {{300, 100}, {0, 400}, {300, 400}, {0, 100}}};
    for (int layer = 0; layer < perCorner; ++layer) {
        for (std::size_t p = 0; p < places.size(); ++p) {
            // A poster and smaller copies stacked on it, all sharing its top-left corner.
            const float size = 200.0f - 10.0f * static_cast<float>(layer);
            artboards.push_back(
                Board("place " + std::to_string(p) + " layer " + std::to_string(layer),
                      places[p].first, places[p].second, size, size));
        }
    }
    return Numbered("stacked " + std::to_string(perCorner), std::move(artboards));
}

Document ExpectedRenumbering(const Document& document, bool byRow) {
    std::vector<std::size_t> order(document.artboards.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::stable_sort(order.begin(), order.end(), [&](std::size_t x, std::size_t y) {
        const Rect& a = document.artboards[x].bounds;
        const Rect& b = document.artboards[y].bounds;
        return byRow ? (a.top != b.top ? a.top > b.top : a.left < b.left)
                     : (a.left != b.left ? a.left < b.left : a.top > b.top);
    });
    Document expected = document;
    for (std::size_t k = 0; k < order.size(); ++k) {
        TakeTravellingProperties(expected.artboards[k], document.artboards[order[k]]);
    }
    return expected;
}

bool IsPermutation(const Document& a, const Document& b, std::string& why) {
    if (a.artboards.size() != b.artboards.size()) {
        why = "the document has " + std::to_string(b.artboards.size()) + " artboards instead of " +
              std::to_string(a.artboards.size());
        return false;
    }
    std::vector<std::size_t> unmatched(a.artboards.size());
    std::iota(unmatched.begin(), unmatched.end(), std::size_t{0});
    for (std::size_t k = 0; k < b.artboards.size(); ++k) {
        if (b.artboards[k].id != a.artboards[k].id) {
            why = "position " + std::to_string(k + 1) + " lost the data the host keeps there";
            return false;
        }
        const auto match = std::find_if(unmatched.begin(), unmatched.end(), [&](std::size_t i) {
            return SameTravellingProperties(a.artboards[i], b.artboards[k]);
        });
        if (match == unmatched.end()) {
            why = "artboard " + std::to_string(k + 1) + " (\"" + b.artboards[k].name +
                  "\") is not one of the original artboards, or one of them twice";
            return false;
        }
        unmatched.erase(match);
    }
    return true;
}

}  // namespace hostsim::tool
