// Calling the stand-in host's suites as a plug-in would: through the tables, by entry.
#pragma once

#include <string>

#include "hostsim/abi/HostAbi.h"
#include "hostsim/abi/SuiteId.h"
#include "hostsim/suites/SuiteTables.h"

namespace hostsim::test {

// Calls entry E of `suite`'s table with `args`.
template <typename E, typename... Args>
abi::ErrorCode Call(SuiteId suite, Args... args) {
    return abi::EntryOf<E>(TableOf(suite))(args...);
}

// A string made through the string suite; test code disposes it or leaves it to the ledger.
inline abi::Handle MakeString(const std::string& text) {
    abi::Handle handle = nullptr;
    Call<abi::strings::Initialize>(SuiteId::UnicodeString, &handle, text.c_str(),
                                   static_cast<std::int32_t>(text.size()), 0);
    return handle;
}

inline void DisposeString(abi::Handle handle) {
    Call<abi::strings::Destroy>(SuiteId::UnicodeString, &handle);
}

// A value no handle of the host ever has: the host must not look through it.
inline abi::Handle ForgedHandle() {
    return reinterpret_cast<abi::Handle>(std::uintptr_t{0x1234});
}

}  // namespace hostsim::test
