// The checks of messages: every message before start-up and after shut-down, unknown messages, the
// About item.
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

namespace {

// Every message of the routing table but start-up, sent while the module is not running:
// nothing may be called through the suites the module does not hold, and a start-up afterwards
// still works.
void SendEveryMessage(ModuleFixture& probe, const std::string& when) {
    for (const MessageName& name : kKnownMessages) {
        const std::string caller = name.caller;
        const std::string selector = name.selector;
        if (caller == messages::kInterfaceCaller && selector == messages::kStartupSelector) {
            continue;
        }
        const std::string message =
            std::string(caller).append("/").append(selector).append(" ").append(when);
        if (caller == messages::kNotifierCaller) {
            probe.Send(message, [](Session& s) { return s.Notify(kApplicationStartedType); });
        } else if (caller == messages::kMenuCaller) {
            probe.Send(message, [&](Session& s) { return s.SendMenu(selector, nullptr); });
        } else {
            probe.Send(message, [&](Session& s) { return s.Send(caller, selector); });
        }
        ExpectCleanBetweenMessages(probe, message);
    }
}

}  // namespace

void MessagesBeforeStartup(CheckContext& context) {
    const Document original = SampleDocument(samples::kThreeCycle);
    ModuleFixture probe(ModuleFile{context.module}, original);
    SendEveryMessage(probe, "before start-up");
    Expect(*probe.host.CurrentDocument() == original,
           "a message before start-up changed the document");
    ExpectAnswer(probe.Startup(), 0, "start-up after those messages");
    ExpectAnswer(probe.Choose(kByRowLabel), 0, "\"Grid by Row\" after those messages");
    ExpectAnswer(probe.Shutdown(), 0, "shut-down");
    ExpectCleanEnd(probe, "after shut-down");
}

void MessagesAfterShutdown(CheckContext& context) {
    const Document original = SampleDocument(samples::kThreeCycle);
    ModuleFixture probe(ModuleFile{context.module}, original);
    ExpectAnswer(probe.Startup(), 0, "start-up");
    std::vector<abi::Handle> items;
    for (const MenuItem& item : probe.host.Menus().Items()) {
        items.push_back(item.handle);
    }
    ExpectAnswer(probe.Shutdown(), 0, "shut-down");
    ExpectCleanEnd(probe, "after shut-down");
    for (const abi::Handle item : items) {
        probe.Send("a menu choice after shut-down",
                   [&](Session& s) { return s.SendMenu(messages::kGoSelector, item); });
        ExpectCleanEnd(probe, "a menu choice after shut-down");
    }
    SendEveryMessage(probe, "after shut-down");
    Expect(*probe.host.CurrentDocument() == original,
           "a message after shut-down changed the document to " +
               NamesOf(*probe.host.CurrentDocument()));
    Expect(probe.host.Alerts().empty(), "a message after shut-down showed an alert");
}

// Callers and selectors the module does not know, and menu choices of items it never added:
// each is answered without a host call going wrong and without a change to the document.
void UnknownMessages(CheckContext& context) {
    const Document original = SampleDocument(samples::kShuffledGridWithTies);
    ModuleFixture probe(ModuleFile{context.module}, original);
    ExpectAnswer(probe.Startup(), 0, "start-up");
    for (const MessageName& name : kUnknownMessages) {
        const std::string caller = name.caller;
        const std::string selector = name.selector;
        const std::string message =
            std::string("\"").append(caller).append("\"/\"").append(selector).append("\"");
        probe.Send(message, [&](Session& s) { return s.Send(caller, selector); });
        ExpectCleanBetweenMessages(probe, message);
    }
    // Menu choices with no item, an item of another plug-in and a value never handed out.
    const abi::Handle other = probe.host.Plugins().AddPlugin("another plug-in");
    const abi::Handle foreign =
        probe.host.Menus().AddItem(other, std::string("OtherCommand"), "ArtBoards", "Other", 0);
    int never = 0;
    for (const abi::Handle item : {abi::Handle{nullptr}, foreign, abi::Handle{&never}}) {
        probe.Send("a menu choice of an item the module never added",
                   [&](Session& s) { return s.SendMenu(messages::kGoSelector, item); });
        ExpectCleanBetweenMessages(probe, "a menu choice of an item the module never added");
    }
    for (const char* type : kNotificationTypes) {
        probe.Send(std::string("notification \"") + type + "\"",
                   [&](Session& s) { return s.Notify(type); });
        ExpectCleanBetweenMessages(probe, std::string("notification \"") + type + "\"");
    }
    Expect(*probe.host.CurrentDocument() == original,
           "an unknown message changed the document to " + NamesOf(*probe.host.CurrentDocument()));
    Expect(probe.host.Alerts().empty(), "an unknown message showed an alert");
    ExpectAnswer(probe.Choose(kByRowLabel), 0, "\"Grid by Row\" after the unknown messages");
    ExpectAnswer(probe.Shutdown(), 0, "shut-down");
    ExpectCleanEnd(probe, "after shut-down");
}

void AboutBox(CheckContext& context) {
    ModuleFixture probe(ModuleFile{context.module}, std::nullopt);
    ExpectAnswer(probe.Startup(), 0, "start-up");
    for (int time = 1; time <= 2; ++time) {
        ExpectAnswer(probe.Choose(kAboutLabel), 0, "the About item");
        Expect(probe.host.Alerts().size() == static_cast<std::size_t>(time),
               "the About item showed " + std::to_string(probe.host.Alerts().size()) +
                   " alerts after " + std::to_string(time) + " choices");
        const std::string& text = probe.host.Alerts().back();
        Expect(text.rfind("About Quorvane\n\n", 0) == 0,
               "the About box does not start with its title and an empty line");
        ExpectCleanBetweenMessages(probe, "after the About box");
    }
    ExpectAnswer(probe.Shutdown(), 0, "shut-down");
    ExpectCleanEnd(probe, "after shut-down");
}

}  // namespace hostsim::tool
