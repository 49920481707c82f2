// What every test that drives the module through the stand-in host shares: the module's menu
// labels, the artboards' names, and the check that ends each test.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "hostsim/abi/QuorvaneMenus.h"
#include "hostsim/loader/Session.h"
#include "hostsim/model/Document.h"
#include "hostsim/model/Host.h"

namespace quorvane::test {

// The labels of the module's menu items, as a person chooses them.
using hostsim::menus::kByColumnLabel;
using hostsim::menus::kByRowLabel;
inline constexpr const char* kAboutItemLabel = hostsim::menus::kAboutLabel;
inline constexpr const char* kSharedGroup = "SDKAboutPluginsGroupName";
inline constexpr const char* kSharedGroupLabel = "About SDK Plug-ins";

// The artboards' names by position.
inline std::vector<std::string> Names(const hostsim::Document& document) {
    std::vector<std::string> names;
    for (const hostsim::Artboard& artboard : document.artboards) {
        names.push_back(artboard.name);
    }
    return names;
}

// The end of every such test, as a validator ends each check: the plug-in shut down (with the
// host's faults dropped first, so that the shut-down is a clean one), its instance slot empty,
// and nothing in the ledger but what the module leaves to the host on purpose (the lock's
// access reference, the notifier, menu items and groups): no suite held, nothing leaked,
// released twice or used after release, and no contract violation.
inline void ExpectCleanEnd(hostsim::Host& host, hostsim::Session& session) {
    host.Faults().Clear();
    if (session.CodeLoaded() && session.InstanceSlot() != nullptr) {
        EXPECT_EQ(session.Shutdown(), 0) << "shut-down at the end of the test";
    }
    EXPECT_EQ(session.InstanceSlot(), nullptr);
    EXPECT_EQ(host.ProblemReport(hostsim::kLeftToHostByDesign), "") << host.Calls().Text();
}

}  // namespace quorvane::test
