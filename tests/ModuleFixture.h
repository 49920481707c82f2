// What every test that drives the module through the stand-in host shares: the one fixture
// that runs the module (ModuleTest, over hostsim::ModuleFixture, which the validator uses too),
// the module's menu labels, the artboards' names, and the check that ends each test.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "hostsim/abi/QuorvaneMenus.h"
#include "hostsim/loader/CleanEnd.h"
#include "hostsim/loader/ModuleFixture.h"
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

// The one fixture of the tests that run the module. Each test starts with the module file
// (Quorvane.so, Quorvane.aip on Windows, beside the test) loaded into a fresh host over an empty
// document, the call log kept and nothing sent; one of the named ways below starts it another
// way. Every test ends with ExpectCleanEnd: the plug-in shut down, nothing left behind.
class ModuleTest : public ::testing::Test {
  protected:
    void SetUp() override { Load(); }
    void TearDown() override { Finish(); }

    // The named ways to start; each ends the run so far (Finish) and makes a fresh host.
    //
    // The module file in a host with `config` (its own menu groups; the call log is always
    // kept), `document` open; nothing sent.
    void Load(const hostsim::HostConfig& config = {},
              std::optional<hostsim::Document> document = hostsim::Document{"empty", {}}) {
        Finish();
        hostsim::HostConfig keeping = config;
        keeping.keepCallLog = true;
        module_.emplace(
            hostsim::ModuleFile{},
            hostsim::FixtureOptions{.config = keeping, .document = std::move(document)});
    }
    // Load, then a start-up (with the application-started notice) that must succeed, its calls
    // forgotten.
    void Start(const hostsim::Document& document, const hostsim::HostConfig& config = {}) {
        Load(config, document);
        StartAndForget();
    }
    // An entry function linked into the test program (for white-box tests of the module's
    // code), `document` open; nothing sent.
    void LoadLinked(hostsim::abi::PluginEntry entry,
                    std::optional<hostsim::Document> document = std::nullopt) {
        Finish();
        module_.emplace(hostsim::LinkedEntry{entry},
                        hostsim::FixtureOptions{.config = {.keepCallLog = true},
                                                .document = std::move(document)});
    }
    // LoadLinked, then a start-up that must succeed, its calls forgotten.
    void StartLinked(hostsim::abi::PluginEntry entry,
                     std::optional<hostsim::Document> document = std::nullopt) {
        LoadLinked(entry, std::move(document));
        StartAndForget();
    }
    // Starts what is loaded (start-up and notice must answer 0) and forgets the calls it made,
    // so that a test sees only what follows.
    void StartAndForget() { ASSERT_EQ(Module().StartAndForget(), ""); }
    // Ends the run as every test ends (ExpectCleanEnd) and drops host and module, so that the
    // test may start again.
    void Finish() {
        if (module_) {
            ExpectCleanEnd(ActiveHost(), ModuleSession());
            module_.reset();
        }
    }

    // Whether the plug-in runs (its object is in the instance slot).
    bool Started() const { return module_ && module_->session.InstanceSlot() != nullptr; }

    hostsim::ModuleFixture& Module() { return *module_; }
    hostsim::Host& ActiveHost() { return module_->host; }
    const hostsim::Host& ActiveHost() const { return module_->host; }
    hostsim::Session& ModuleSession() { return module_->session; }
    const hostsim::Document& Document() const { return *ActiveHost().CurrentDocument(); }

    // Clears the call log and chooses the command labelled `label`; the host's answer.
    hostsim::ErrorCode Choose(const char* label) {
        ActiveHost().Calls().Clear();
        return ModuleSession().ChooseMenuItem(label);
    }
    // The host calls made since the log was last cleared.
    std::vector<hostsim::CallRecord> Calls() const { return ActiveHost().Calls().HostCalls(); }
    // The same, as "Operation(arg, ...) -> result" lines.
    std::string CallText() const {
        std::string text;
        for (const hostsim::CallRecord& call : Calls()) {
            text += call.Text() + "\n";
        }
        return text;
    }
    // How many calls of `operation` were made since the log was last cleared.
    int CountOf(const std::string& operation) const {
        const auto calls = Calls();
        return static_cast<int>(std::count_if(calls.begin(), calls.end(), [&](const auto& call) {
            return call.operation == operation;
        }));
    }
    // The (a, b) of every exchange since the log was last cleared: the indices of the
    // updates, two by two.
    std::vector<std::pair<int, int>> Exchanges() const {
        std::vector<int> updated;
        for (const hostsim::CallRecord& call : Calls()) {
            if (call.operation == "UpdateArtboard") {
                updated.push_back(std::stoi(call.Argument("index")));
            }
        }
        std::vector<std::pair<int, int>> exchanges;
        for (std::size_t i = 0; i + 1 < updated.size(); i += 2) {
            exchanges.emplace_back(updated[i], updated[i + 1]);
        }
        return exchanges;
    }
    // The handle of the one menu item labelled `label` (separators included); fails the test
    // when there is not exactly one.
    hostsim::abi::Handle ItemHandle(std::string_view label, bool separator = false) {
        std::vector<hostsim::abi::Handle> found;
        for (const hostsim::MenuItem& item : ActiveHost().Menus().Items()) {
            if (item.label == label && item.IsSeparator() == separator) {
                found.push_back(item.handle);
            }
        }
        EXPECT_EQ(found.size(), 1u) << label << "\n" << ActiveHost().Menus().Tree();
        return found.empty() ? nullptr : found.front();
    }

  private:
    std::optional<hostsim::ModuleFixture> module_;
};

}  // namespace quorvane::test
