// White-box tests of the host wrappers: the module's code is linked into the test program,
// the stand-in host starts the plug-in through PluginMain so that the module's suite
// pointers are set, and the test then calls the wrappers directly while the plug-in runs.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "frame/PluginMain.h"
#include "hostsim/abi/HostCodes.h"
#include "hostsim/loader/Session.h"
#include "hostsim/model/Host.h"
#include "tests/ModuleFixture.h"

namespace quorvane::test {

// Every test starts with the plug-in running and the call log empty, and ends with the
// plug-in shut down (the module's globals are the process's: the next test must start
// clean) and nothing in the ledger but what the design leaves to the host.
class RunningPlugin : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_EQ(session.Startup(), 0) << host.Calls().Text();
        host.Calls().Clear();
    }

    void TearDown() override { ExpectCleanEnd(host, session); }

    // The host calls made since the log was last cleared.
    std::vector<hostsim::CallRecord> Calls() const { return host.Calls().HostCalls(); }

    // The host calls made since the log was last cleared, as "Operation(arg, ...) -> result".
    std::string CallText() const {
        std::string text;
        for (const hostsim::CallRecord& call : host.Calls().HostCalls()) {
            text += call.Text() + "\n";
        }
        return text;
    }

    hostsim::Host host{hostsim::HostConfig{.keepCallLog = true}};
    hostsim::Session session{host, &PluginMain, "linked module"};
};

// Puts a copy of a suite table in place of the one a module-global suite pointer refers to,
// so that a test can replace single entries, and puts the host's table back when it ends.
// Entries not replaced still reach the stand-in host.
template <typename Suite>
class SuiteOverride {
  public:
    explicit SuiteOverride(const Suite*& global)
        : pointer_(global), original_(global), table_(*global) {
        pointer_ = &table_;
    }
    ~SuiteOverride() { pointer_ = original_; }
    SuiteOverride(const SuiteOverride&) = delete;
    SuiteOverride& operator=(const SuiteOverride&) = delete;

    Suite& Table() { return table_; }
    const Suite& OriginalSuite() const { return *original_; }

  private:
    const Suite*& pointer_;
    const Suite* original_;
    Suite table_;
};

}  // namespace quorvane::test
