// The host's Unicode strings: text held by the host, named by handles it hands out.
//
// The stand-in host keeps each string's text as UTF-8. A string lives from its creation
// until the plug-in disposes of it; its handle is tracked in the ledger, and its text sits in
// the ledger's slot for it, which the next string reuses (its storage included) once the
// string is disposed of.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "hostsim/model/HandleLedger.h"

namespace hostsim {

class StringStore {
  public:
    explicit StringStore(HandleLedger& ledger);
    StringStore(const StringStore&) = delete;
    StringStore& operator=(const StringStore&) = delete;

    // A new string owned by whoever asked for it (`origin`), holding `text`.
    abi::Handle Create(std::string_view text, HandleOrigin origin = HandleOrigin::PluginRequest);
    // The text of a live string, or null for anything else (no problem is recorded).
    const std::string* Text(abi::Handle handle) const;
    std::string* MutableText(abi::Handle handle);
    // How many strings hold text: live ones.
    std::size_t size() const {
        return static_cast<std::size_t>(ledger_.CountsOf(HandleKind::String).Live());
    }

  private:
    HandleLedger& ledger_;
    std::vector<std::string> texts_;  // by the ledger's slot
};

}  // namespace hostsim
