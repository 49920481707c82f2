// How every run of a module must end, for the validator's checks and the tests alike: once
// the module has been shut down, its instance slot is empty and the host's record holds
// nothing but what the module leaves to the host by design (the lock's access reference, the
// notifier, menu items and groups): no suite held, no handle leaked, released twice or used
// after release, no contract violation.
#pragma once

#include <string>

#include "hostsim/loader/Session.h"
#include "hostsim/model/Host.h"

namespace hostsim {

// "" when the run ended cleanly; otherwise what is wrong, the first problem on the first line.
std::string ProblemsAtEnd(const Host& host, const Session& session);

// What is wrong with the host's record between two messages of a running module: a violation,
// misuse of a handle, a handle made for one message still live, a suite held twice; "" when
// nothing.
std::string ProblemsBetweenMessages(const Host& host);

}  // namespace hostsim
