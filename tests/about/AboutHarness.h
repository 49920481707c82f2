// Driving the real module file through PluginMain for the tests of its menu entries and its
// About box, in hosts whose own menu groups a test may choose.
#pragma once

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "hostsim/abi/HostCodes.h"
#include "hostsim/loader/Session.h"
#include "hostsim/model/Document.h"
#include "hostsim/model/Host.h"
#include "tests/ModuleFixture.h"

namespace quorvane::test {

// A host and the module file loaded into it, made together so that the host's own menu groups
// can be chosen first.
struct LoadedModule {
    explicit LoadedModule(const hostsim::HostConfig& config);
    hostsim::Host host;
    hostsim::Session session;
};

// A 2 × 2 grid stored as bottom-right, bottom-left, top-right, top-left: by row it becomes
// top-left, top-right, bottom-left, bottom-right; by column top-left, bottom-left,
// top-right, bottom-right.
hostsim::Document ShuffledGrid();
std::vector<std::string> GridByRow();
std::vector<std::string> GridByColumn();

// A menu item as a person reads it:
//   [ArtBoards] key="sep" "Quorvane, Grid by Row" options=4
// followed, for an item with a submenu, by " > [<group name>] options=<group options>".
std::string Describe(const hostsim::Host& host, const hostsim::MenuItem& item);
// Every item of the host's menus in the order they were added, described.
std::vector<std::string> MenuItems(const hostsim::Host& host);
// The labels of the items of one group, in order.
std::vector<std::string> LabelsIn(const hostsim::Host& host, std::string_view group);
// How many items anywhere carry `label`, separators included.
int ItemsLabelled(const hostsim::Host& host, std::string_view label);

// The host calls that a clean start-up of the module (with the application-started
// notification) makes in a host with `config`. Their numbers are the ones FaultInjector::
// failCall counts from a new host, so a test can make exactly one of them fail. Makes a host
// of its own: call it while no other host exists.
std::vector<hostsim::CallRecord> CleanStartupCalls(const hostsim::HostConfig& config = {});

// Every test ends with the plug-in shut down, nothing in the ledger but what the module leaves
// to the host on purpose (the lock's access reference, the notifier, menu items and groups),
// no suite held and no contract violation.
class ModuleMenus : public ::testing::Test {
  protected:
    void TearDown() override { Finish(); }

    // Makes the host with `config`'s menu groups and ShuffledGrid() open, and loads the module.
    void Load(const hostsim::HostConfig& config = {});
    // Load, then a start-up that must succeed, its calls forgotten.
    void Start(const hostsim::HostConfig& config = {});
    // Shuts the plug-in down if it runs, checks what the host holds, and drops host and module,
    // so that the test may Load again.
    void Finish();

    hostsim::Host& ActiveHost() { return loaded->host; }
    hostsim::Session& ModuleSession() { return loaded->session; }
    // The handle of the one item labelled `label` (separators included); fails the test when
    // there is not exactly one.
    hostsim::abi::Handle ItemHandle(std::string_view label, bool separator = false);

    std::optional<LoadedModule> loaded;
};

}  // namespace quorvane::test
