// Running the grid commands of the real module on documents of the stand-in host.
#pragma once

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "hostsim/abi/HostCodes.h"
#include "hostsim/loader/Session.h"
#include "hostsim/model/Document.h"
#include "hostsim/model/Host.h"
#include "tests/ModuleFixture.h"

namespace hostsim {
// How a failing expectation shows an artboard.
void PrintTo(const Artboard& artboard, std::ostream* out);
}  // namespace hostsim

namespace quorvane::test {

// An artboard by its name and top-left corner (y growing upwards); 100 × 100 unless given.
struct Placed {
    std::string name;
    float left;
    float top;
    float width = 100;
    float height = 100;
};

// A document whose artboard i is layout[i], with id i + 1 so that positions can be told apart.
hostsim::Document MakeDocument(const std::vector<Placed>& layout);

// The same properties (everything a renumber may move) in any order: what a renumber must
// keep, however it ends.
bool SameArtboardsInAnyOrder(const hostsim::Document& a, const hostsim::Document& b);

// Ids by position: data the host keeps at a position, which a renumber never moves.
std::vector<std::uint64_t> Ids(const hostsim::Document& document);

// The renumbering tests' fixture is the one fixture, under the name their cases have always
// had (so that `ctest -R RenumberTest` finds them): each starts the module over its own
// document with Start(document).
using RenumberTest = ModuleTest;

}  // namespace quorvane::test
