#include "hostsim/tool/validate/ValidateChecks.h"

#include "hostsim/abi/HostCodes.h"
#include "hostsim/loader/CleanEnd.h"

namespace hostsim::tool {

void Expect(bool holds, const std::string& what) {
    if (!holds) {
        throw CheckFailure(what);
    }
}

void ExpectAnswer(abi::ErrorCode got, abi::ErrorCode expected, const std::string& message) {
    Expect(got == expected,
           message + " answered " + CodeText(got) + " instead of " + CodeText(expected));
}

void ExpectCommandsInstalled(const Host& host, const std::string& when, std::size_t startups) {
    for (const char* label : {kByRowLabel, kByColumnLabel, kAboutLabel}) {
        Expect(host.Menus().FindByLabel(label).size() == startups,
               when + ": the menus do not hold " + std::to_string(startups) + " items \"" +
                   std::string(label) + "\"");
    }
}

void ExpectCleanEnd(const ModuleFixture& probe, const std::string& when) {
    const std::string report = probe.ProblemsAtEnd();
    if (!report.empty()) {
        throw CheckFailure(when + ": " + report.substr(0, report.find('\n')));
    }
}

void ExpectCleanBetweenMessages(const ModuleFixture& probe, const std::string& when) {
    if (const std::string problem = probe.ProblemsBetweenMessages(); !problem.empty()) {
        throw CheckFailure(when + ": " + problem);
    }
}

std::string NamesOf(const Document& document) {
    std::string text;
    for (const Artboard& a : document.artboards) {
        text += (text.empty() ? "" : ", ") + a.name;
    }
    return "[" + text + "]";
}

void ExpectRenumbered(const ModuleFixture& probe, const Document& before, bool byRow,
                      const std::string& when) {
    const Document expected = ExpectedRenumbering(before, byRow);
    const Document& got = *probe.host.CurrentDocument();
    Expect(got == expected, when + " left " + NamesOf(got) + " instead of " + NamesOf(expected));
}

namespace {

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
