#include "tests/frame/ModuleHarness.h"

namespace quorvane::test {

std::string Brief(const hostsim::CallRecord& call) {
    std::string text = call.operation + "(";
    for (std::size_t i = 0; i < call.arguments.size(); ++i) {
        if (i != 0) {
            text += ", ";
        }
        text += call.arguments[i].second;
    }
    text += ")";
    return text;
}

std::vector<std::string> BriefCalls(const hostsim::Host& host) {
    std::vector<std::string> calls;
    for (const hostsim::CallRecord& call : host.Calls().HostCalls()) {
        calls.push_back(Brief(call));
    }
    return calls;
}

std::string Acquire(const SuiteRow& row) {
    std::string text = "AcquireSuite(\"";
    text += row.name;
    text += "\", " + std::to_string(row.version) + ", &slot)";
    return text;
}

std::string Release(const SuiteRow& row) {
    std::string text = "ReleaseSuite(\"";
    text += row.name;
    text += "\", " + std::to_string(row.version) + ")";
    return text;
}

std::vector<std::string> Acquisitions(std::size_t first, std::size_t last) {
    std::vector<std::string> calls;
    for (std::size_t i = first; i < last; ++i) {
        calls.push_back(Acquire(kSuiteRows[i]));
    }
    return calls;
}

std::vector<std::string> Releases(std::size_t first, std::size_t last) {
    std::vector<std::string> calls;
    for (std::size_t i = first; i < last; ++i) {
        calls.push_back(Release(kSuiteRows[i]));
    }
    return calls;
}

std::vector<std::string> ReportWithoutTables() {
    return {Acquire({"AI User Suite", 10}), Release({"AI User Suite", 10})};
}

std::vector<std::string> Concat(std::initializer_list<std::vector<std::string>> parts) {
    std::vector<std::string> all;
    for (const auto& part : parts) {
        all.insert(all.end(), part.begin(), part.end());
    }
    return all;
}

}  // namespace quorvane::test
