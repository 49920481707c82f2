#include "hostsim/tool/ModuleRun.h"

#include "hostsim/Host.h"
#include "hostsim/HostCodes.h"
#include "hostsim/Session.h"
#include "hostsim/tool/InputError.h"

namespace hostsim::tool {

ModuleRunResult RunModule(const ModuleRunRequest& request) {
    Host host;
    if (request.document) {
        host.openDocument(*request.document);
    }
    ModuleRunResult result;
    std::optional<Session> session;
    try {
        session.emplace(host, request.module);
    } catch (const SessionError& error) {
        throw InputError(Located(request.module.string(), 0,
                                 std::string("cannot be loaded as a module: ") + error.what()));
    }
    auto failed = [&](const std::string& step, abi::ErrorCode code) {
        if (code != 0 && result.failure.empty()) {
            result.failure = step + " failed with " + CodeText(code);
        }
        return code != 0;
    };

    const bool started = !failed("the module's start-up", session->startup());
    if (started) {
        if (const auto notice = session->applicationStartedResult()) {
            failed("the application-started notice", *notice);
        }
        result.menuTree = host.menus().tree();
        if (request.choose && result.failure.empty()) {
            try {
                failed("\"" + *request.choose + "\"", session->chooseMenuItem(*request.choose));
            } catch (const SessionError& error) {
                result.failure = "the module installed no menu item \"" + *request.choose +
                                 "\" to choose: " + error.what();
            }
        }
        failed("the module's shut-down", session->shutdown());
    }
    if (const Document* document = host.document()) {
        result.document = *document;
    }
    result.alerts = host.alerts();
    result.problems = host.problemReport();
    return result;
}

}  // namespace hostsim::tool
