// The checks of a module's life: start-up and shut-down, repeated and doubled, unload and reload.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "hostsim/abi/HostCodes.h"
#include "hostsim/abi/MessageNames.h"
#include "hostsim/loader/ModuleFixture.h"
#include "hostsim/tool/validate/MessageLists.h"
#include "hostsim/tool/validate/SampleDocuments.h"
#include "hostsim/tool/validate/ValidateChecks.h"

namespace hostsim::tool {

// Start-up and shut-down, several times in one load and in fresh loads: each start-up installs
// the commands, each shut-down leaves nothing behind.
void StartupShutdownRepeated(CheckContext& context) {
    for (int load = 1; load <= 3; ++load) {
        ModuleFixture probe(ModuleFile{context.module}, std::nullopt);
        for (int round = 1; round <= 3; ++round) {
            const std::string when =
                "load " + std::to_string(load) + ", round " + std::to_string(round);
            ExpectAnswer(probe.Startup(), 0, when + ": start-up");
            ExpectAnswer(probe.session.ApplicationStartedResult().value_or(-1), 0,
                         when + ": the application-started notice");
            ExpectCommandsInstalled(probe.host, when, static_cast<std::size_t>(round));
            ExpectAnswer(probe.Shutdown(), 0, when + ": shut-down");
            ExpectCleanEnd(probe, when + ", after shut-down");
        }
    }
}

namespace {

void UnloadReload(CheckContext& context, AddressReuse reuse) {
    const Document original = SampleDocument(samples::kShuffledGridWithTies);
    ModuleFixture probe(ModuleFile{context.module}, original);
    ExpectAnswer(probe.Startup(), 0, "start-up");
    const std::uintptr_t before = probe.session.EntryAddress();
    ExpectAnswer(probe.Send("unload", [&](Session& s) { return s.Unload(reuse); }), 0, "unload");
    if (reuse == AddressReuse::ReserveOldRange && probe.session.Loader() != nullptr &&
        !probe.session.Loader()->HoldsReservation()) {
        throw CheckSkipped("the old address range cannot be reserved here: " +
                           probe.session.Loader()->ErrorText());
    }
    ExpectAnswer(probe.Send("reload", [](Session& s) { return s.Reload(); }), 0, "reload");
    if (reuse == AddressReuse::ReserveOldRange) {
        Expect(probe.session.EntryAddress() != before,
               "the module was reloaded at its old address although that was reserved");
    }
    ExpectCommandsInstalled(probe.host, "after reload");
    ExpectAnswer(probe.Choose(kByRowLabel), 0, "\"Grid by Row\" after reload");
    ExpectRenumbered(probe, original, true, "\"Grid by Row\" after reload");
    ExpectAnswer(probe.Shutdown(), 0, "shut-down after reload");
    ExpectCleanEnd(probe, "after shut-down");
}

}  // namespace

void UnloadReloadKeepsCommands(CheckContext& context) {
    UnloadReload(context, AddressReuse::Allowed);
}

void ReloadAtAnotherAddress(CheckContext& context) {
    UnloadReload(context, AddressReuse::ReserveOldRange);
}

// A second start-up without a shut-down between them, as a confused host might send: the
// module may refuse it or take it, but after one shut-down nothing may be left.
void StartupTwice(CheckContext& context) {
    const Document original = SampleDocument(samples::kThreeCycle);
    ModuleFixture probe(ModuleFile{context.module}, original);
    ExpectAnswer(probe.Startup(), 0, "the first start-up");
    probe.Startup();
    ExpectCleanBetweenMessages(probe, "a second start-up");
    const auto items = probe.host.Menus().FindByLabel(kByRowLabel);
    Expect(!items.empty(), "no \"Grid by Row\" after a second start-up");
    ExpectAnswer(probe.Send("\"Grid by Row\"",
                            [&](Session& s) {
                                return s.SendMenu(messages::kGoSelector, items.back()->handle);
                            }),
                 0, "\"Grid by Row\" after a second start-up");
    ExpectRenumbered(probe, original, true, "\"Grid by Row\" after a second start-up");
    probe.Shutdown();
    ExpectCleanEnd(probe, "after a second start-up and one shut-down");
}

}  // namespace hostsim::tool
