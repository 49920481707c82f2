#include "hostsim/tool/run/ModuleRun.h"

#include <fstream>

#include "hostsim/abi/HostCodes.h"
#include "hostsim/loader/Session.h"
#include "hostsim/model/Host.h"
#include "hostsim/tool/documents/FileAccess.h"
#include "hostsim/tool/documents/InputError.h"

namespace hostsim::tool {

ModuleRunResult RunModule(const ModuleRunRequest& request) {
    Host host;
    std::ofstream trace;
    if (!request.trace.empty()) {
        trace.open(request.trace, std::ios::binary | std::ios::trunc);
        if (!trace) {
            throw InputError(Located(Utf8Name(request.trace), 0, "cannot write the trace here"));
        }
        host.Calls().StreamTo(&trace);
    } else if (request.traceStream != nullptr) {
        host.Calls().StreamTo(request.traceStream);
    }
    if (request.document) {
        host.OpenDocument(*request.document);
    }
    ModuleRunResult result;
    std::optional<Session> session;
    try {
        if (request.entry != nullptr) {
            session.emplace(host, request.entry);
        } else {
            session.emplace(host, request.module);
        }
    } catch (const SessionError& error) {
        throw InputError(Located(Utf8Name(request.module), 0,
                                 std::string("cannot be loaded as a module: ") + error.what()));
    }
    auto failed = [&](const std::string& step, abi::ErrorCode code) {
        if (code != 0 && result.failure.empty()) {
            result.failure = step + " failed with " + CodeText(code);
        }
        return code != 0;
    };

    const bool started = !failed("the module's start-up", session->Startup());
    if (started) {
        if (const auto notice = session->ApplicationStartedResult()) {
            failed("the application-started notice", *notice);
        }
        result.menuTree = host.Menus().Tree();
        if (request.choose && result.failure.empty()) {
            try {
                failed("\"" + *request.choose + "\"", session->ChooseMenuItem(*request.choose));
            } catch (const SessionError& error) {
                result.failure = "the module installed no menu item \"" + *request.choose +
                                 "\" to choose: " + error.what();
            }
        }
        failed("the module's shut-down", session->Shutdown());
    }
    if (const Document* document = host.CurrentDocument()) {
        result.document = *document;
    }
    result.alerts = host.Alerts();
    result.problems = host.ProblemReport();
    host.Calls().StreamTo(nullptr);
    if (trace.is_open() && !trace.flush()) {
        throw InputError(Located(Utf8Name(request.trace), 0, "the trace could not be written"));
    }
    if (request.traceStream != nullptr && !request.traceStream->flush()) {
        throw InputError(Located(request.traceName, 0, "the trace could not be written"));
    }
    return result;
}

}  // namespace hostsim::tool
