// The documents the validator's checks renumber, by name, and the oracle their results are
// judged by.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "hostsim/model/Document.h"

namespace hostsim::tool {

// The names of the sample documents, in the order SampleDocuments() gives them.
namespace samples {
inline constexpr const char* kEmpty = "empty";
inline constexpr const char* kOneArtboard = "one artboard";
inline constexpr const char* kInOrder = "in order";
inline constexpr const char* kThreeCycle = "3-cycle";
inline constexpr const char* kShuffledGridWithTies = "shuffled grid with ties";
inline constexpr const char* kStackedCorners = "stacked corners";
}  // namespace samples

struct NamedDocument {
    std::string name;
    Document document;
};
// Every sample document, in a fixed order (the message-order player numbers them so).
std::vector<NamedDocument> SampleDocuments();
// The sample document called `name` (one of samples::); throws std::out_of_range for another.
Document SampleDocument(std::string_view name);
// `perCorner` artboards stacked on each place of a 2 x 2 grid, in shuffled order.
Document StackedGrid(int perCorner);

// The document renumbered as the grid order asks: positions keep their ids, and position k takes
// the travelling properties of the k-th artboard in grid order (equal corners keep their order).
Document ExpectedRenumbering(const Document& document, bool byRow);
// Whether `b` holds the same artboards as `a` (each once) with every position keeping its id;
// when not, `why` says what is off.
bool IsPermutation(const Document& a, const Document& b, std::string& why);

}  // namespace hostsim::tool
