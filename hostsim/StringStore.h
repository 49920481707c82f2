// The host's Unicode strings: text held by the host, named by handles it hands out.
//
// The stand-in host keeps each string's text as UTF-8. A string lives from its creation
// until the plug-in disposes of it; its handle is tracked in the ledger.
#pragma once

#include <map>
#include <string>

#include "hostsim/HandleLedger.h"

namespace hostsim {

class StringStore {
  public:
    explicit StringStore(HandleLedger& ledger) : ledger_(ledger) {}
    StringStore(const StringStore&) = delete;
    StringStore& operator=(const StringStore&) = delete;

    // A new string owned by whoever asked for it (`origin`), holding `text`.
    abi::Handle Create(std::string text, HandleOrigin origin = HandleOrigin::PluginRequest);
    // The text of a live string, or null for anything else (no problem is recorded).
    const std::string* Text(abi::Handle handle) const;
    std::string* MutableText(abi::Handle handle);
    // Forgets the text of a string whose life the ledger has ended.
    void Forget(abi::Handle handle);
    // How many strings hold text: live ones.
    std::size_t size() const { return texts_.size(); }

  private:
    HandleLedger& ledger_;
    std::map<abi::Handle, std::string> texts_;
};

}  // namespace hostsim
