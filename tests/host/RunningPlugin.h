// White-box tests of the host wrappers: the module's code is linked into the test program,
// the stand-in host starts the plug-in through PluginMain so that the module's suite
// pointers are set (ModuleTest::StartLinked(&PluginMain) in the test's SetUp), and the test
// then calls the wrappers directly while the plug-in runs. Every test ends with the plug-in
// shut down (the module's globals are the process's: the next test must start clean).
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
