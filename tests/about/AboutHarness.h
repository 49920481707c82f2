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

}  // namespace quorvane::test
