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

namespace quorvane::test {}  // namespace quorvane::test

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

// The real module, started and its start-up calls forgotten, over `document`. Every test ends
// with ExpectCleanEnd.
class RenumberTest : public ::testing::Test {
  protected:
    void TearDown() override;

    // Opens `document`, starts the plug-in and forgets the start-up's calls.
    void Start(const hostsim::Document& document);
    // Chooses the command labelled `label` and returns the host's answer.
    hostsim::ErrorCode Choose(const char* label);

    const hostsim::Document& Document() const { return *host.CurrentDocument(); }
    // The host calls made by the last command.
    std::vector<hostsim::CallRecord> Calls() const { return host.Calls().HostCalls(); }
    // The (a, b) of every exchange: the indices of the updates, two by two.
    std::vector<std::pair<int, int>> Exchanges() const;
    // How many calls of `operation` the last command made.
    int CountOf(const std::string& operation) const;

    hostsim::Host host{hostsim::HostConfig{.keepCallLog = true}};
    hostsim::Session session{host, hostsim::DefaultModulePath()};
    bool started = false;
};

}  // namespace quorvane::test
