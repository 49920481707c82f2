// The fault sweeps: whole sessions in which one host call, the k-th of the part swept, goes
// wrong in each of three ways, for every k:
//   (a) it answers an error code;
//   (b) it answers success without writing its out-parameter (only calls that have one);
//   (c) it and every later call answer an error code, as a host going down.
// After each run: no exception crossed PluginMain, the ledger holds nothing but what the design
// leaves to the host and saw no misuse, and the document holds its artboards, each once. Where
// the module can tell that something failed (an error code, or a null handle or table), the
// document is also exactly as before or exactly renumbered, and success is only answered for
// a document exactly renumbered.
#include <algorithm>
#include <cstdlib>
#include <functional>
#include <iostream>
#include <map>

#include "hostsim/abi/HostCodes.h"
#include "hostsim/abi/SuiteId.h"
#include "hostsim/tool/validate/ValidateChecks.h"

namespace hostsim::tool {
namespace {

constexpr abi::ErrorCode kInjected = FourChar("Inj!");

enum class Mode { ErrorCode, Unwritten, RefusedFromHere };
constexpr Mode kModes[] = {Mode::ErrorCode, Mode::Unwritten, Mode::RefusedFromHere};

const char* ModeName(Mode mode) {
    switch (mode) {
        case Mode::ErrorCode:
            return "answering an error code";
        case Mode::Unwritten:
            return "answering success without writing";
        case Mode::RefusedFromHere:
            return "refused with every call after it";
    }
    return "";
}

// What a call writes back, which decides what answering it "without writing" means.
enum class Out {
    None,        // nothing: mode (b) does not apply
    Detectable,  // a handle, table or pointer the caller can see was not written
    PlainValue,  // a number or structure, or a string's contents: not written cannot be told
};

constexpr std::pair<abi::EntryId, Out> kWritesBack[] = {
    {abi::basic::AcquireSuite::id, Out::Detectable},
    {abi::access::AcquirePlugin::id, Out::Detectable},
    {abi::notifier::AddNotifier::id, Out::Detectable},
    {abi::context::PushAppContext::id, Out::Detectable},
    {abi::strings::Initialize::id, Out::Detectable},
    {abi::strings::Append::id, Out::PlainValue},
    {abi::strings::Copy::id, Out::PlainValue},
    {abi::artboard::NewAttributes::id, Out::Detectable},
    {abi::artboard::CloneAttributes::id, Out::Detectable},
    {abi::artboard::GetBounds::id, Out::PlainValue},
    {abi::artboard::GetPixelAspectRatio::id, Out::PlainValue},
    {abi::artboard::GetName::id, Out::Detectable},
    {abi::artboard::GetDisplayMark::id, Out::PlainValue},
    {abi::artboard::AcquireArtboardList::id, Out::Detectable},
    {abi::artboard::GetArtboardCount::id, Out::PlainValue},
    {abi::artboard::GetArtboardAttributes::id, Out::Detectable},
    {abi::artboard::GetRulerOrigin::id, Out::PlainValue},
    {abi::menu::AddMenuItem::id, Out::Detectable},
    {abi::menu::AddMenuGroupAsSubMenu::id, Out::Detectable},
    {abi::menu::GetMenuGroupName::id, Out::Detectable},
    {abi::menu::CountMenuGroups::id, Out::PlainValue},
    {abi::menu::GetNthMenuGroup::id, Out::Detectable},
};

Out OutOf(const CallRecord& call) {
    std::optional<SuiteId> suite;
    if (call.suite == BasicSuiteInfo().name) {
        suite = SuiteId::Basic;
    } else if (const auto info = FindOfferedSuite(call.suite)) {
        suite = info->id;
    }
    for (const auto& [entry, out] : kWritesBack) {
        if (suite && entry == abi::EntryId{*suite, call.entry}) {
            return out;
        }
    }
    return Out::None;
}

enum class Phase { Startup, ApplicationStarted, Command, About, Reload, Shutdown };

struct Scenario {
    std::string name;
    Phase phase;
    std::optional<Document> document;
    std::string label;  // the command chosen (Phase::Command)
};

struct RunResult {
    std::vector<abi::ErrorCode> answers;  // of the swept messages, in order
    std::vector<CallRecord> calls;        // the host calls of the swept part
    std::optional<Document> document;     // at the end
    std::vector<std::string> alerts;
    bool commandsInstalled = false;
    std::string afterReload;  // what went wrong with a command after a reload that answered 0
    std::string problems;
};

bool CommandsInstalled(const Host& host) {
    return host.Menus().FindByLabel(kByRowLabel).size() == 1 &&
           host.Menus().FindByLabel(kByColumnLabel).size() == 1;
}

RunResult RunScenario(const CheckContext& context, const Scenario& scenario, Mode mode,
                      const std::function<void(FaultInjector&)>& arm) {
    ModuleFixture probe(ModuleFile{context.module}, scenario.document);
    RunResult result;
    if (scenario.phase != Phase::Startup) {
        const abi::ErrorCode started =
            scenario.phase == Phase::ApplicationStarted
                ? probe.Send("start-up", [](Session& s) { return s.SendStartup(); })
                : probe.Startup();
        Expect(started == 0,
               scenario.name + ": start-up failed with no fault injected: " + CodeText(started));
    }
    probe.host.Calls().Enable();  // the sweep reads back which calls the run made
    probe.host.Calls().Clear();
    arm(probe.host.Faults());
    bool running = true;
    switch (scenario.phase) {
        case Phase::Startup:
            result.answers.push_back(
                probe.Send("start-up", [](Session& s) { return s.SendStartup(); }));
            running = result.answers.back() == 0;
            result.commandsInstalled = CommandsInstalled(probe.host);
            break;
        case Phase::ApplicationStarted:
            result.answers.push_back(probe.Send("the application-started notice", [](Session& s) {
                return s.Notify(kApplicationStartedType);
            }));
            break;
        case Phase::Command:
            result.answers.push_back(probe.Choose(scenario.label));
            break;
        case Phase::About:
            result.answers.push_back(probe.Choose(kAboutLabel));
            break;
        case Phase::Reload:
            result.answers.push_back(probe.Send("unload", [](Session& s) { return s.Unload(); }));
            result.answers.push_back(probe.Send("reload", [](Session& s) { return s.Reload(); }));
            break;
        case Phase::Shutdown:
            result.answers.push_back(probe.Shutdown());
            running = false;
            break;
    }
    result.calls = probe.host.Calls().HostCalls();
    result.alerts = probe.host.Alerts();
    if (scenario.phase == Phase::Reload && result.answers.back() == 0 &&
        mode != Mode::RefusedFromHere && scenario.document) {
        // A reload that answered success must have left the commands working.
        probe.host.Faults().Clear();
        const Document before = *probe.host.CurrentDocument();
        const abi::ErrorCode answer = probe.Choose(kByRowLabel);
        if (answer != 0 || *probe.host.CurrentDocument() != ExpectedRenumbering(before, true)) {
            result.afterReload =
                "\"Grid by Row\" after a reload that answered 0 answered " + CodeText(answer) +
                " and left the document " +
                (*probe.host.CurrentDocument() == before ? "as it was" : "changed");
        }
    }
    if (running) {
        probe.Shutdown();
    }
    if (const Document* document = probe.host.CurrentDocument()) {
        result.document = *document;
    }
    result.problems = probe.host.ProblemReport();
    return result;
}

void SwapTravelling(Document& document, std::size_t a, std::size_t b) {
    std::swap(document.artboards[a], document.artboards[b]);
    std::swap(document.artboards[a].id, document.artboards[b].id);
}

// The documents a run may leave when the host goes down during it: the state after every whole
// number of the healthy run's exchanges (nothing can be put back once the host refuses
// everything), and the states in the middle of one exchange, which no module can avoid when
// the host stops between its two writes.
std::vector<Document> StatesOnTheWay(const Document& original,
                                     const std::vector<CallRecord>& calls) {
    std::vector<std::size_t> updates;
    for (const CallRecord& call : calls) {
        if (call.operation == "UpdateArtboard") {
            updates.push_back(static_cast<std::size_t>(std::stoul(call.Argument("index"))));
        }
    }
    std::vector<Document> states{original};
    Document state = original;
    for (std::size_t i = 0; i + 1 < updates.size(); i += 2) {
        const std::size_t a = updates[i];
        const std::size_t b = updates[i + 1];
        for (const auto& [to, from] : {std::pair(a, b), std::pair(b, a)}) {
            Document half = state;
            half.artboards[to] = state.artboards[from];
            half.artboards[to].id = state.artboards[to].id;
            states.push_back(std::move(half));
        }
        SwapTravelling(state, a, b);
        states.push_back(state);
    }
    return states;
}

std::string FirstLine(const std::string& text) {
    return text.substr(0, text.find('\n'));
}

struct Counts {
    std::map<Mode, int> runs;
};

void Judge(const Scenario& scenario, Mode mode, const CallRecord& failing, int k,
           const RunResult& healthy, const RunResult& run) {
    const std::string where = scenario.name + ", call " + std::to_string(k) + " (" + failing.suite +
                              " " + failing.operation + ") " + ModeName(mode);
    Expect(run.problems.empty(), where + ": " + FirstLine(run.problems));
    Expect(run.afterReload.empty(), where + ": " + run.afterReload);
    const bool exact = mode != Mode::Unwritten || OutOf(failing) == Out::Detectable;
    if (scenario.document && run.document) {
        std::string why;
        if (mode == Mode::RefusedFromHere) {
            const std::vector<Document> states = StatesOnTheWay(*scenario.document, healthy.calls);
            const bool onTheWay =
                std::find(states.begin(), states.end(), *run.document) != states.end();
            Expect(onTheWay || *run.document == *healthy.document,
                   where +
                       ": the document is neither renumbered nor as some whole number of "
                       "exchanges left it");
        } else {
            const bool permutation = IsPermutation(*scenario.document, *run.document, why);
            Expect(permutation, where + ": " + why);
        }
        if (exact && scenario.phase == Phase::Command) {
            const abi::ErrorCode answer = run.answers.front();
            if (answer == 0) {
                Expect(*run.document == *healthy.document,
                       where +
                           ": the command answered success but the document is not "
                           "exactly renumbered");
            } else if (mode != Mode::RefusedFromHere) {
                Expect(*run.document == *scenario.document, where + ": the command failed with " +
                                                                CodeText(answer) +
                                                                " but left the document changed");
            }
        }
    }
    if (exact && scenario.phase == Phase::Startup && run.answers.front() == 0) {
        Expect(run.commandsInstalled,
               where + ": start-up answered success without installing both commands");
    }
    if (exact && scenario.phase == Phase::About) {
        const std::size_t shown = run.alerts.size();
        Expect(shown <= 1, where + ": the About item showed " + std::to_string(shown) + " alerts");
        if (shown == 1) {
            Expect(run.alerts.front() == healthy.alerts.front(),
                   where + ": the About box showed a text that is not its own");
            Expect(run.answers.front() == 0 || failing.operation == "Destroy",
                   where + ": the About box was shown but the item answered " +
                       CodeText(run.answers.front()));
        }
    }
}

// Makes call k go wrong in `mode`.
void InjectAt(FaultInjector& faults, Mode mode, int k) {
    switch (mode) {
        case Mode::ErrorCode:
            faults.FailCall(k, kInjected);
            break;
        case Mode::Unwritten:
            faults.AnswerCallWithoutWriting(k);
            break;
        case Mode::RefusedFromHere:
            faults.FailEveryCallFrom(k, kInjected);
            break;
    }
}

void Sweep(CheckContext& context, const std::vector<Scenario>& scenarios) {
    Counts counts;
    int calls = 0;
    std::string firstFailure;
    int failedRuns = 0;
    for (const Scenario& scenario : scenarios) {
        const RunResult healthy =
            RunScenario(context, scenario, Mode::ErrorCode, [](FaultInjector&) {});
        Expect(healthy.problems.empty(),
               scenario.name + " with no fault: " + FirstLine(healthy.problems));
        for (const abi::ErrorCode answer : healthy.answers) {
            Expect(answer == 0, scenario.name + " answered " + CodeText(answer) + " with no fault");
        }
        const int total = static_cast<int>(healthy.calls.size());
        calls += total;
        for (int k = 1; k <= total; ++k) {
            const CallRecord& failing = healthy.calls[static_cast<std::size_t>(k - 1)];
            for (const Mode mode : kModes) {
                if (mode == Mode::Unwritten && OutOf(failing) == Out::None) {
                    continue;
                }
                const RunResult run = RunScenario(context, scenario, mode,
                                                  [&](FaultInjector& f) { InjectAt(f, mode, k); });
                ++counts.runs[mode];
                try {
                    Judge(scenario, mode, failing, k, healthy, run);
                } catch (const CheckFailure& failure) {
                    if (firstFailure.empty()) {
                        firstFailure = failure.what();
                    }
                    ++failedRuns;
                    if (std::getenv("QUORVANE_VALIDATE_VERBOSE") != nullptr) {
                        std::cerr << failure.what() << "\n";
                    }
                }
            }
        }
    }
    const int all = counts.runs[Mode::ErrorCode] + counts.runs[Mode::Unwritten] +
                    counts.runs[Mode::RefusedFromHere];
    context.Note(std::to_string(scenarios.size()) + " scenarios, " + std::to_string(calls) +
                 " calls, " + std::to_string(all) +
                 " runs: " + std::to_string(counts.runs[Mode::ErrorCode]) + " error code, " +
                 std::to_string(counts.runs[Mode::Unwritten]) + " unwritten, " +
                 std::to_string(counts.runs[Mode::RefusedFromHere]) + " refused from there on");
    if (failedRuns > 0) {
        throw CheckFailure(firstFailure + " (and " + std::to_string(failedRuns - 1) +
                           " more failing runs of " + std::to_string(all) + ")");
    }
}

}  // namespace

std::vector<abi::EntryId> EntriesThatWriteBack() {
    std::vector<abi::EntryId> entries;
    for (const auto& [entry, out] : kWritesBack) {
        entries.push_back(entry);
    }
    return entries;
}

void SweepStartup(CheckContext& context) {
    Sweep(context, {{"start-up", Phase::Startup, std::nullopt, ""}});
}

void SweepApplicationStarted(CheckContext& context) {
    Sweep(context,
          {{"the application-started notice", Phase::ApplicationStarted, std::nullopt, ""}});
}

void SweepRenumber(CheckContext& context) {
    std::vector<Scenario> scenarios;
    for (const NamedDocument& sample : SampleDocuments()) {
        for (const char* label : {kByRowLabel, kByColumnLabel}) {
            scenarios.push_back({"\"" + std::string(label) + "\" on \"" + sample.name + "\"",
                                 Phase::Command, sample.document, label});
        }
    }
    Sweep(context, scenarios);
}

void SweepAbout(CheckContext& context) {
    Sweep(context, {{"the About item", Phase::About, std::nullopt, ""}});
}

void SweepReload(CheckContext& context) {
    Sweep(context,
          {{"unload and reload", Phase::Reload, SampleDocument(samples::kThreeCycle), ""}});
}

void SweepShutdown(CheckContext& context) {
    Sweep(context, {{"shut-down", Phase::Shutdown, std::nullopt, ""}});
}

}  // namespace hostsim::tool
