// Driving the real module file as the host does, and reading what it asked of the host.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "hostsim/abi/HostCodes.h"
#include "hostsim/loader/Session.h"
#include "hostsim/model/Host.h"
#include "tests/ModuleFixture.h"

namespace quorvane::test {

struct SuiteRow {
    const char* name;
    std::int32_t version;
};

// The suites the module holds while running, in the order it acquires them.
inline const std::vector<SuiteRow> kSuiteRows = {
    {"SP Access Suite", 3},   {"SP Plug-ins Suite", 4},       {"AI Notifier Suite", 3},
    {"AI Context Suite", 6},  {"AI User Suite", 10},          {"AI File Path Suite", 3},
    {"AI Folders Suite", 4},  {"SP Blocks Suite", 2},         {"AI Menu Suite", 10},
    {"AI Artboard Suite", 2}, {"AI Unicode String Suite", 7},
};

// A host call as "Operation(arg, arg, ...)" with the argument values as the log writes them.
std::string Brief(const hostsim::CallRecord& call);
// The host calls logged so far, briefly.
std::vector<std::string> BriefCalls(const hostsim::Host& host);

std::string Acquire(const SuiteRow& row);
std::string Release(const SuiteRow& row);
// Acquisitions (or releases) of rows [first, last) of kSuiteRows, in table order.
std::vector<std::string> Acquisitions(std::size_t first, std::size_t last);
std::vector<std::string> Releases(std::size_t first, std::size_t last);
// What the error reporter does when the suite tables are not held: takes the user suite
// and gives it back.
std::vector<std::string> ReportWithoutTables();

std::vector<std::string> Concat(std::initializer_list<std::vector<std::string>> parts);

}  // namespace quorvane::test
