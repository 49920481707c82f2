#include "hostsim/tool/validate/ValidateChecks.h"

#include "hostsim/abi/MessageNames.h"
#include "hostsim/loader/CleanEnd.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <map>
#include <numeric>
#include <tuple>

#include "hostsim/abi/HostCodes.h"

namespace hostsim::tool {

void Expect(bool holds, const std::string& what) {
    if (!holds) {
        throw CheckFailure(what);
    }
}

ModuleProbe::ModuleProbe(const std::filesystem::path& module,
                         const std::optional<Document>& document) {
    if (document) {
        host.OpenDocument(*document);
    }
    session_.emplace(host, module);
}

void ModuleProbe::ExpectClean(const std::string& when) const {
    const std::string report = ProblemsAtEnd(host, *session_);
    if (!report.empty()) {
        throw CheckFailure(when + ": " + report.substr(0, report.find('\n')));
    }
}

void ModuleProbe::ExpectCleanBetweenMessages(const std::string& when) const {
    if (const std::string problem = ProblemsBetweenMessages(host); !problem.empty()) {
        throw CheckFailure(when + ": " + problem);
    }
}

std::string ProblemsBetweenMessages(const Host& host) {
    if (!host.Violations().empty()) {
        return "the host saw a contract violation: " + host.Violations().front();
    }
    if (!host.Ledger().Problems().empty()) {
        return "the host's ledger saw misuse: " + host.Ledger().Problems().front().text;
    }
    const auto outstanding = host.Ledger().OutstandingExcept(kLeftToHostByDesign);
    if (!outstanding.empty()) {
        return std::string("a ") + KindName(outstanding.front().kind) +
               " made during a message is still live: " + outstanding.front().description;
    }
    for (const auto& hold : host.Ledger().HeldSuites()) {
        if (hold.count > 1) {
            return "\"" + hold.name + "\" is held " + std::to_string(hold.count) + " times";
        }
    }
    return "";
}

namespace {

Artboard Board(std::string name, float left, float top, float width = 100, float height = 100) {
    Artboard artboard;
    artboard.name = std::move(name);
    artboard.bounds = {left, top, left + width, top - height};
    return artboard;
}

// Numbers the ids and gives every artboard properties of its own, so that each can be told
// from the others whatever travels.
Document Numbered(std::string name, std::vector<Artboard> artboards) {
    for (std::size_t i = 0; i < artboards.size(); ++i) {
        Artboard& a = artboards[i];
        a.id = 1000 + i;
        a.pixelAspectRatio = 1.0f + 0.25f * static_cast<float>(i % 4);
        a.displayMarks = {static_cast<std::int32_t>(i % 3 == 0 ? 0 : (i % 3 == 1 ? 2 : 4))};
        a.rulerOrigin = {static_cast<float>(i), -static_cast<float>(i)};
    }
    return Document{std::move(name), std::move(artboards)};
}

}  // namespace

std::vector<NamedDocument> SampleDocuments() {
    std::vector<NamedDocument> documents;
    documents.push_back({"empty", Numbered("empty", {})});
    documents.push_back({"one artboard", Numbered("one", {Board("Only", 0, 100)})});
    documents.push_back(
        {"in order", Numbered("in order", {Board("A", 0, 300), Board("B", 200, 300),
                                           Board("C", 0, 100), Board("D", 200, 100)})});
    documents.push_back({"3-cycle", Numbered("3-cycle", {Board("C", 400, 100), Board("A", 0, 100),
                                                         Board("B", 200, 100)})});
    documents.push_back({"shuffled grid with ties",
                         Numbered("shuffled grid",
                                  {Board("E", 200, 100), Board("B", 200, 300), Board("F", 400, 100),
                                   Board("A", 0, 300), Board("D", 0, 100), Board("C", 400, 300)})});
    documents.push_back({"stacked corners", StackedGrid(2)});
    return documents;
}

Document StackedGrid(int perCorner) {
    std::vector<Artboard> artboards;
    const std::array<std::pair<float, float>, 4> places = {
        {{300, 100}, {0, 400}, {300, 400}, {0, 100}}};
    for (int layer = 0; layer < perCorner; ++layer) {
        for (std::size_t p = 0; p < places.size(); ++p) {
            // A poster and smaller copies stacked on it, all sharing its top-left corner.
            const float size = 200.0f - 10.0f * static_cast<float>(layer);
            artboards.push_back(
                Board("place " + std::to_string(p) + " layer " + std::to_string(layer),
                      places[p].first, places[p].second, size, size));
        }
    }
    return Numbered("stacked " + std::to_string(perCorner), std::move(artboards));
}

Document ExpectedRenumbering(const Document& document, bool byRow) {
    std::vector<std::size_t> order(document.artboards.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::stable_sort(order.begin(), order.end(), [&](std::size_t x, std::size_t y) {
        const Rect& a = document.artboards[x].bounds;
        const Rect& b = document.artboards[y].bounds;
        return byRow ? (a.top != b.top ? a.top > b.top : a.left < b.left)
                     : (a.left != b.left ? a.left < b.left : a.top > b.top);
    });
    Document expected = document;
    for (std::size_t k = 0; k < order.size(); ++k) {
        TakeTravellingProperties(expected.artboards[k], document.artboards[order[k]]);
    }
    return expected;
}

bool IsPermutation(const Document& a, const Document& b, std::string& why) {
    if (a.artboards.size() != b.artboards.size()) {
        why = "the document has " + std::to_string(b.artboards.size()) + " artboards instead of " +
              std::to_string(a.artboards.size());
        return false;
    }
    std::vector<std::size_t> unmatched(a.artboards.size());
    std::iota(unmatched.begin(), unmatched.end(), std::size_t{0});
    for (std::size_t k = 0; k < b.artboards.size(); ++k) {
        if (b.artboards[k].id != a.artboards[k].id) {
            why = "position " + std::to_string(k + 1) + " lost the data the host keeps there";
            return false;
        }
        const auto match = std::find_if(unmatched.begin(), unmatched.end(), [&](std::size_t i) {
            return SameTravellingProperties(a.artboards[i], b.artboards[k]);
        });
        if (match == unmatched.end()) {
            why = "artboard " + std::to_string(k + 1) + " (\"" + b.artboards[k].name +
                  "\") is not one of the original artboards, or one of them twice";
            return false;
        }
        unmatched.erase(match);
    }
    return true;
}

namespace {

std::string Names(const Document& document) {
    std::string text;
    for (const Artboard& a : document.artboards) {
        text += (text.empty() ? "" : ", ") + a.name;
    }
    return "[" + text + "]";
}

void ExpectAnswer(abi::ErrorCode got, abi::ErrorCode expected, const std::string& message) {
    Expect(got == expected,
           message + " answered " + CodeText(got) + " instead of " + CodeText(expected));
}

// The host keeps menu items until it quits, so each start-up in one load adds them again.
void ExpectCommandsInstalled(const Host& host, const std::string& when, std::size_t startups = 1) {
    for (const char* label : {kByRowLabel, kByColumnLabel, kAboutLabel}) {
        Expect(host.Menus().FindByLabel(label).size() == startups,
               when + ": the menus do not hold " + std::to_string(startups) + " items \"" +
                   std::string(label) + "\"");
    }
}

// Start-up and shut-down, several times in one load and in fresh loads: each start-up installs
// the commands, each shut-down leaves nothing behind.
void StartupShutdownRepeated(CheckContext& context) {
    for (int load = 1; load <= 3; ++load) {
        ModuleProbe probe(context.module, std::nullopt);
        for (int round = 1; round <= 3; ++round) {
            const std::string when =
                "load " + std::to_string(load) + ", round " + std::to_string(round);
            ExpectAnswer(probe.Startup(), 0, when + ": start-up");
            ExpectAnswer(probe.Module().ApplicationStartedResult().value_or(-1), 0,
                         when + ": the application-started notice");
            ExpectCommandsInstalled(probe.host, when, static_cast<std::size_t>(round));
            ExpectAnswer(probe.Shutdown(), 0, when + ": shut-down");
            probe.ExpectClean(when + ", after shut-down");
        }
    }
}

// Every message of the routing table, sent before start-up: nothing may be called through the
// suites the module does not hold yet, and a start-up afterwards still works.
void SendEveryMessage(ModuleProbe& probe, const std::string& when) {
    const std::vector<std::pair<std::string, std::string>> messages = {
        {messages::kInterfaceCaller, messages::kAboutSelector},
        {messages::kAccessCaller, messages::kUnloadSelector},
        {messages::kAccessCaller, messages::kReloadSelector},
        {messages::kNotifierCaller, messages::kNotifySelector},
        {messages::kMenuCaller, messages::kGoSelector},
        {messages::kMenuCaller, messages::kUpdateSelector},
        {messages::kInterfaceCaller, messages::kShutdownSelector},
    };
    for (const auto& pair : messages) {
        const std::string& caller = pair.first;
        const std::string& selector = pair.second;
        const std::string message =
            std::string(caller).append("/").append(selector).append(" ").append(when);
        if (caller == messages::kNotifierCaller) {
            probe.Send(message, [](Session& s) { return s.Notify(kApplicationStartedType); });
        } else if (caller == messages::kMenuCaller) {
            probe.Send(message, [&](Session& s) { return s.SendMenu(selector, nullptr); });
        } else {
            probe.Send(message, [&](Session& s) { return s.Send(caller, selector); });
        }
        probe.ExpectCleanBetweenMessages(message);
    }
}

void MessagesBeforeStartup(CheckContext& context) {
    const Document original = SampleDocuments()[3].document;
    ModuleProbe probe(context.module, original);
    SendEveryMessage(probe, "before start-up");
    Expect(*probe.host.CurrentDocument() == original,
           "a message before start-up changed the document");
    ExpectAnswer(probe.Startup(), 0, "start-up after those messages");
    ExpectAnswer(probe.Choose(kByRowLabel), 0, "\"Grid by Row\" after those messages");
    ExpectAnswer(probe.Shutdown(), 0, "shut-down");
    probe.ExpectClean("after shut-down");
}

void MessagesAfterShutdown(CheckContext& context) {
    const Document original = SampleDocuments()[3].document;
    ModuleProbe probe(context.module, original);
    ExpectAnswer(probe.Startup(), 0, "start-up");
    std::vector<abi::Handle> items;
    for (const MenuItem& item : probe.host.Menus().Items()) {
        items.push_back(item.handle);
    }
    ExpectAnswer(probe.Shutdown(), 0, "shut-down");
    probe.ExpectClean("after shut-down");
    for (const abi::Handle item : items) {
        probe.Send("a menu choice after shut-down",
                   [&](Session& s) { return s.SendMenu(messages::kGoSelector, item); });
        probe.ExpectClean("a menu choice after shut-down");
    }
    SendEveryMessage(probe, "after shut-down");
    Expect(*probe.host.CurrentDocument() == original,
           "a message after shut-down changed the document to " +
               Names(*probe.host.CurrentDocument()));
    Expect(probe.host.Alerts().empty(), "a message after shut-down showed an alert");
}

// Callers and selectors the module does not know, and menu choices of items it never added:
// each is answered without a host call going wrong and without a change to the document.
void UnknownMessages(CheckContext& context) {
    const Document original = SampleDocuments()[4].document;
    ModuleProbe probe(context.module, original);
    ExpectAnswer(probe.Startup(), 0, "start-up");
    const std::vector<std::pair<std::string, std::string>> unknown = {
        {"SP Interface", "Reboot"},
        {"AI Menu", "AI Go!"},
        {"Quorvane", "Startup"},
        {"", ""},
        {"SP Access", "unload"},
        {"AI Notifier", "AI Notify Later"},
        {"AI Menu", ""},
        {"SP Properties", "Acquire"},
    };
    for (const auto& pair : unknown) {
        const std::string& caller = pair.first;
        const std::string& selector = pair.second;
        const std::string message =
            std::string("\"").append(caller).append("\"/\"").append(selector).append("\"");
        probe.Send(message, [&](Session& s) { return s.Send(caller, selector); });
        probe.ExpectCleanBetweenMessages(message);
    }
    // Menu choices with no item, an item of another plug-in and a value never handed out.
    const abi::Handle other = probe.host.Plugins().AddPlugin("another plug-in");
    const abi::Handle foreign =
        probe.host.Menus().AddItem(other, std::string("OtherCommand"), "ArtBoards", "Other", 0);
    int never = 0;
    for (const abi::Handle item : {abi::Handle{nullptr}, foreign, abi::Handle{&never}}) {
        probe.Send("a menu choice of an item the module never added",
                   [&](Session& s) { return s.SendMenu(messages::kGoSelector, item); });
        probe.ExpectCleanBetweenMessages("a menu choice of an item the module never added");
    }
    for (const char* type :
         {"AI Document Opened Notifier", "", "AI Application Started Notifier"}) {
        probe.Send(std::string("notification \"") + type + "\"",
                   [&](Session& s) { return s.Notify(type); });
        probe.ExpectCleanBetweenMessages(std::string("notification \"") + type + "\"");
    }
    Expect(*probe.host.CurrentDocument() == original,
           "an unknown message changed the document to " + Names(*probe.host.CurrentDocument()));
    Expect(probe.host.Alerts().empty(), "an unknown message showed an alert");
    ExpectAnswer(probe.Choose(kByRowLabel), 0, "\"Grid by Row\" after the unknown messages");
    ExpectAnswer(probe.Shutdown(), 0, "shut-down");
    probe.ExpectClean("after shut-down");
}

void ExpectRenumbered(ModuleProbe& probe, const Document& before, bool byRow,
                      const std::string& when) {
    const Document expected = ExpectedRenumbering(before, byRow);
    const Document& got = *probe.host.CurrentDocument();
    Expect(got == expected, when + " left " + Names(got) + " instead of " + Names(expected));
}

void UnloadReload(CheckContext& context, AddressReuse reuse) {
    const Document original = SampleDocuments()[4].document;
    ModuleProbe probe(context.module, original);
    ExpectAnswer(probe.Startup(), 0, "start-up");
    const std::uintptr_t before = probe.Module().EntryAddress();
    ExpectAnswer(probe.Send("unload", [&](Session& s) { return s.Unload(reuse); }), 0, "unload");
    if (reuse == AddressReuse::ReserveOldRange && probe.Module().Loader() != nullptr &&
        !probe.Module().Loader()->HoldsReservation()) {
        throw CheckSkipped("the old address range cannot be reserved here: " +
                           probe.Module().Loader()->ErrorText());
    }
    ExpectAnswer(probe.Send("reload", [](Session& s) { return s.Reload(); }), 0, "reload");
    if (reuse == AddressReuse::ReserveOldRange) {
        Expect(probe.Module().EntryAddress() != before,
               "the module was reloaded at its old address although that was reserved");
    }
    ExpectCommandsInstalled(probe.host, "after reload");
    ExpectAnswer(probe.Choose(kByRowLabel), 0, "\"Grid by Row\" after reload");
    ExpectRenumbered(probe, original, true, "\"Grid by Row\" after reload");
    ExpectAnswer(probe.Shutdown(), 0, "shut-down after reload");
    probe.ExpectClean("after shut-down");
}

void UnloadReloadKeepsCommands(CheckContext& context) {
    UnloadReload(context, AddressReuse::Allowed);
}

void ReloadAtAnotherAddress(CheckContext& context) {
    UnloadReload(context, AddressReuse::ReserveOldRange);
}

void Renumber(CheckContext& context, bool byRow) {
    std::vector<NamedDocument> documents = SampleDocuments();
    documents.push_back({"3 stacked on each place", StackedGrid(3)});
    for (const NamedDocument& sample : documents) {
        ModuleProbe probe(context.module, sample.document);
        ExpectAnswer(probe.Startup(), 0, "start-up");
        const std::string label = byRow ? kByRowLabel : kByColumnLabel;
        ExpectAnswer(probe.Choose(label), 0, "\"" + label + "\" on \"" + sample.name + "\"");
        ExpectRenumbered(probe, sample.document, byRow,
                         "\"" + label + "\" on \"" + sample.name + "\"");
        ExpectAnswer(probe.Shutdown(), 0, "shut-down");
        probe.ExpectClean("\"" + sample.name + "\", after shut-down");
    }
}

void RenumberByRow(CheckContext& context) {
    Renumber(context, true);
}

void RenumberByColumn(CheckContext& context) {
    Renumber(context, false);
}

// A second run over a document already in grid order changes nothing, also with many artboards
// sharing a corner, where a sort that does not keep equal corners in place would move them.
void RenumberIsIdempotent(CheckContext& context) {
    std::vector<NamedDocument> documents = SampleDocuments();
    documents.push_back({"20 stacked on each place", StackedGrid(20)});
    for (const NamedDocument& sample : documents) {
        for (const bool byRow : {true, false}) {
            const std::string label = byRow ? kByRowLabel : kByColumnLabel;
            ModuleProbe probe(context.module, sample.document);
            ExpectAnswer(probe.Startup(), 0, "start-up");
            ExpectAnswer(probe.Choose(label), 0, "\"" + label + "\" on \"" + sample.name + "\"");
            const Document once = *probe.host.CurrentDocument();
            ExpectAnswer(probe.Choose(label), 0, "\"" + label + "\" again");
            Expect(*probe.host.CurrentDocument() == once,
                   "\"" + label + "\" on \"" + sample.name +
                       "\" changed the document again on a second run");
            ExpectAnswer(probe.Shutdown(), 0, "shut-down");
            probe.ExpectClean("after shut-down");
        }
    }
}

void AboutBox(CheckContext& context) {
    ModuleProbe probe(context.module, std::nullopt);
    ExpectAnswer(probe.Startup(), 0, "start-up");
    for (int time = 1; time <= 2; ++time) {
        ExpectAnswer(probe.Choose(kAboutLabel), 0, "the About item");
        Expect(probe.host.Alerts().size() == static_cast<std::size_t>(time),
               "the About item showed " + std::to_string(probe.host.Alerts().size()) +
                   " alerts after " + std::to_string(time) + " choices");
        const std::string& text = probe.host.Alerts().back();
        Expect(text.rfind("About Quorvane\n\n", 0) == 0,
               "the About box does not start with its title and an empty line");
        probe.ExpectCleanBetweenMessages("after the About box");
    }
    ExpectAnswer(probe.Shutdown(), 0, "shut-down");
    probe.ExpectClean("after shut-down");
}

// A second start-up without a shut-down between them, as a confused host might send: the
// module may refuse it or take it, but after one shut-down nothing may be left.
void StartupTwice(CheckContext& context) {
    const Document original = SampleDocuments()[3].document;
    ModuleProbe probe(context.module, original);
    ExpectAnswer(probe.Startup(), 0, "the first start-up");
    probe.Startup();
    probe.ExpectCleanBetweenMessages("a second start-up");
    const auto items = probe.host.Menus().FindByLabel(kByRowLabel);
    Expect(!items.empty(), "no \"Grid by Row\" after a second start-up");
    ExpectAnswer(probe.Send("\"Grid by Row\"",
                            [&](Session& s) {
                                return s.SendMenu(messages::kGoSelector, items.back()->handle);
                            }),
                 0, "\"Grid by Row\" after a second start-up");
    ExpectRenumbered(probe, original, true, "\"Grid by Row\" after a second start-up");
    probe.Shutdown();
    probe.ExpectClean("after a second start-up and one shut-down");
}

constexpr ValidationCheck kChecks[] = {
    {"startup-shutdown-repeated", "start-up and shut-down three times in each of three loads",
     &StartupShutdownRepeated},
    {"messages-before-startup", "every message before start-up calls nothing and changes nothing",
     &MessagesBeforeStartup},
    {"messages-after-shutdown", "menu choices and every message after shut-down change nothing",
     &MessagesAfterShutdown},
    {"unknown-messages", "unknown callers, selectors, menu items and notifications change nothing",
     &UnknownMessages},
    {"startup-twice", "a second start-up leaves nothing behind after one shut-down", &StartupTwice},
    {"unload-reload-keeps-commands", "after an unload and a reload the commands still work",
     &UnloadReloadKeepsCommands},
    {"reload-at-another-address", "reloaded at another address, the module runs its new code",
     &ReloadAtAnotherAddress},
    {"renumber-by-row", "\"Grid by Row\" gives the row order on every sample document",
     &RenumberByRow},
    {"renumber-by-column", "\"Grid by Column\" gives the column order on every sample document",
     &RenumberByColumn},
    {"renumber-is-idempotent", "a second run of either command changes nothing",
     &RenumberIsIdempotent},
    {"about-box", "the About item shows its box each time and leaves nothing held", &AboutBox},
    {"fault-sweep-startup", "every host call of start-up failing in each of three ways",
     &SweepStartup},
    {"fault-sweep-application-started",
     "every host call of the application-started notice failing in each of three ways",
     &SweepApplicationStarted},
    {"fault-sweep-renumber", "every host call of both commands on every sample document failing",
     &SweepRenumber},
    {"fault-sweep-about", "every host call of the About box failing in each of three ways",
     &SweepAbout},
    {"fault-sweep-reload", "every host call of an unload and reload failing in each of three ways",
     &SweepReload},
    {"fault-sweep-shutdown", "every host call of shut-down failing in each of three ways",
     &SweepShutdown},
    {"message-order-fuzz", "random message sequences with host failures keep every invariant",
     &FuzzMessageOrder},
};

}  // namespace

std::span<const ValidationCheck> ValidationChecks() {
    return kChecks;
}

}  // namespace hostsim::tool
