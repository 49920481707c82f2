// What every test that drives the module through the stand-in host shares: the module's menu
// labels, the artboards' names, and the check that ends each test.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "hostsim/abi/QuorvaneMenus.h"
#include "hostsim/loader/CleanEnd.h"
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

// The end of every such test, as the validator ends each check (hostsim/loader/CleanEnd.h):
// the plug-in shut down, with the host's faults dropped first so that the shut-down is a clean
// one, and nothing left behind.
inline void ExpectCleanEnd(hostsim::Host& host, hostsim::Session& session) {
    host.Faults().Clear();
    if (session.CodeLoaded() && session.InstanceSlot() != nullptr) {
        EXPECT_EQ(session.Shutdown(), 0) << "shut-down at the end of the test";
    }
    EXPECT_EQ(hostsim::ProblemsAtEnd(host, session), "") << host.Calls().Text();
}

}  // namespace quorvane::test
