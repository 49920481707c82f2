#include "hostsim/loader/ModuleFixture.h"

#include "hostsim/abi/HostCodes.h"
#include "hostsim/loader/CleanEnd.h"

namespace hostsim {

ModuleFixture::ModuleFixture(const ModuleFile& file, FixtureOptions options)
    : host(options.config), session(host, file.path) {
    if (options.document) {
        host.OpenDocument(*options.document);
    }
}

ModuleFixture::ModuleFixture(const LinkedEntry& linked, FixtureOptions options)
    : host(options.config), session(host, linked.entry, linked.label) {
    if (options.document) {
        host.OpenDocument(*options.document);
    }
}

abi::ErrorCode ModuleFixture::Startup() {
    return Send("start-up", [](Session& s) { return s.Startup(); });
}

abi::ErrorCode ModuleFixture::Shutdown() {
    return Send("shut-down", [](Session& s) { return s.Shutdown(); });
}

abi::ErrorCode ModuleFixture::Choose(const std::string& label) {
    return Send("\"" + label + "\"", [&](Session& s) { return s.ChooseMenuItem(label); });
}

std::string ModuleFixture::StartAndForget() {
    const abi::ErrorCode started = Startup();
    if (started != 0) {
        return "start-up answered " + CodeText(started) + "\n" + host.Calls().Text();
    }
    if (session.ApplicationStartedResult() != 0) {
        return "the application-started notice answered " +
               CodeText(session.ApplicationStartedResult().value_or(-1)) + "\n" +
               host.Calls().Text();
    }
    host.Calls().Clear();
    return "";
}

std::string ModuleFixture::ProblemsBetweenMessages() const {
    return hostsim::ProblemsBetweenMessages(host);
}

std::string ModuleFixture::ProblemsAtEnd() const {
    return hostsim::ProblemsAtEnd(host, session);
}

std::string ModuleFixture::End() {
    host.Faults().Clear();
    std::string shutdown;
    if (session.CodeLoaded() && session.InstanceSlot() != nullptr) {
        if (const abi::ErrorCode code = Shutdown(); code != 0) {
            shutdown = "the shut-down at the end answered " + CodeText(code) + "\n";
        }
    }
    return shutdown + ProblemsAtEnd();
}

}  // namespace hostsim
