#include "hostsim/StringStore.h"

namespace hostsim {

abi::Handle StringStore::Create(std::string text, HandleOrigin origin) {
    std::string description = "\"";
    description.append(text, 0, 40);
    description.append(text.size() > 40 ? "...\"" : "\"");
    const abi::Handle handle = ledger_.Issue(HandleKind::String, origin, std::move(description));
    texts_.emplace(handle, std::move(text));
    return handle;
}

const std::string* StringStore::Text(abi::Handle handle) const {
    if (ledger_.StatusOf(HandleKind::String, handle) != HandleLedger::Status::Live) {
        return nullptr;
    }
    const auto it = texts_.find(handle);
    return it == texts_.end() ? nullptr : &it->second;
}

std::string* StringStore::MutableText(abi::Handle handle) {
    if (ledger_.StatusOf(HandleKind::String, handle) != HandleLedger::Status::Live) {
        return nullptr;
    }
    const auto it = texts_.find(handle);
    return it == texts_.end() ? nullptr : &it->second;
}

void StringStore::Forget(abi::Handle handle) {
    texts_.erase(handle);
}

}  // namespace hostsim
