// The checks of `quorvane-host validate`: each a named proof that a module behaves as the host
// needs it to, run in a process of its own, with the module started by the one fixture
// (hostsim/loader/ModuleFixture.h). The sample documents are in SampleDocuments.h, the messages
// sent in MessageLists.h.
//
// A check throws CheckFailure with the first expectation it found violated (one line) or
// CheckSkipped when it cannot run here; returning is passing. Figures it wants shown beside its
// outcome (how many runs a sweep made) go to Note().
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

#include "hostsim/abi/HostAbi.h"
#include "hostsim/abi/QuorvaneMenus.h"
#include "hostsim/abi/SuiteId.h"
#include "hostsim/loader/ModuleFixture.h"
#include "hostsim/model/Document.h"
#include "hostsim/model/Host.h"
#include "hostsim/tool/validate/SampleDocuments.h"

namespace hostsim::tool {

class CheckFailure : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

class CheckSkipped : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

struct CheckContext {
    std::filesystem::path module;
    std::uint64_t seed = 0;
    bool seedGiven = false;  // --seed: replay that one sequence instead of the fixed set
    std::vector<std::string> notes;
    void Note(std::string text) { notes.push_back(std::move(text)); }
};

struct ValidationCheck {
    const char* name;  // kebab-case, stable: scripts and --only name it
    const char* what;  // one line: what it proves
    void (*run)(CheckContext&);
};

// Every check, in the order they run.
std::span<const ValidationCheck> ValidationChecks();

// Throws CheckFailure(`what`) unless `holds`.
void Expect(bool holds, const std::string& what);
// Throws CheckFailure unless the module answered `expected` to `message`.
void ExpectAnswer(abi::ErrorCode got, abi::ErrorCode expected, const std::string& message);
// Throws CheckFailure, prefixed with `when`, unless the menus hold each of the module's
// commands `startups` times (the host keeps menu items until it quits, so each start-up in one
// load adds them again).
void ExpectCommandsInstalled(const Host& host, const std::string& when, std::size_t startups = 1);
// After shut-down: throws CheckFailure, prefixed with `when`, when the run did not end cleanly
// (hostsim/loader/CleanEnd.h).
void ExpectCleanEnd(const ModuleFixture& probe, const std::string& when);
// While the module runs (it may hold its suites): throws CheckFailure, prefixed with `when`,
// on what ProblemsBetweenMessages finds.
void ExpectCleanBetweenMessages(const ModuleFixture& probe, const std::string& when);
// Throws CheckFailure, naming `when`, unless the document is `before` renumbered by the order.
void ExpectRenumbered(const ModuleFixture& probe, const Document& before, bool byRow,
                      const std::string& when);
// The artboards' names, "[A, B, C]".
std::string NamesOf(const Document& document);

using menus::kAboutLabel;
using menus::kByColumnLabel;
using menus::kByRowLabel;

// The entries whose calls write something back: where a sweep's mode (b) applies.
std::vector<abi::EntryId> EntriesThatWriteBack();

// The checks, one file per concern: the module's life (LifecycleChecks.cpp), messages
// (MessageChecks.cpp), the commands (RenumberChecks.cpp).
void StartupShutdownRepeated(CheckContext& context);
void StartupTwice(CheckContext& context);
void UnloadReloadKeepsCommands(CheckContext& context);
void ReloadAtAnotherAddress(CheckContext& context);
void MessagesBeforeStartup(CheckContext& context);
void MessagesAfterShutdown(CheckContext& context);
void UnknownMessages(CheckContext& context);
void AboutBox(CheckContext& context);
void RenumberByRow(CheckContext& context);
void RenumberByColumn(CheckContext& context);
void RenumberIsIdempotent(CheckContext& context);

// The fault sweeps (FaultSweep.cpp) and the message-order runs (MessageOrder.cpp).
void SweepStartup(CheckContext& context);
void SweepApplicationStarted(CheckContext& context);
void SweepRenumber(CheckContext& context);
void SweepAbout(CheckContext& context);
void SweepReload(CheckContext& context);
void SweepShutdown(CheckContext& context);
void FuzzMessageOrder(CheckContext& context);

}  // namespace hostsim::tool
