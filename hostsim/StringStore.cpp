#include "hostsim/StringStore.h"

namespace hostsim {

abi::Handle StringStore::create(std::string text, HandleOrigin origin) {
    std::string description = "\"";
    description.append(text, 0, 40);
    description.append(text.size() > 40 ? "...\"" : "\"");
    const abi::Handle handle = ledger_.issue(HandleKind::String, origin, std::move(description));
    texts_.emplace(handle, std::move(text));
    return handle;
}

const std::string* StringStore::text(abi::Handle handle) const {
    if (ledger_.status(HandleKind::String, handle) != HandleLedger::Status::Live) {
        return nullptr;
    }
    const auto it = texts_.find(handle);
    return it == texts_.end() ? nullptr : &it->second;
}

std::string* StringStore::mutableText(abi::Handle handle) {
    if (ledger_.status(HandleKind::String, handle) != HandleLedger::Status::Live) {
        return nullptr;
    }
    const auto it = texts_.find(handle);
    return it == texts_.end() ? nullptr : &it->second;
}

void StringStore::forget(abi::Handle handle) {
    texts_.erase(handle);
}

}  // namespace hostsim
