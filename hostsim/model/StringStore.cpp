#include "hostsim/model/StringStore.h"

#include <utility>

namespace hostsim {

StringStore::StringStore(HandleLedger& ledger) : ledger_(ledger) {
    ledger_.SetDescriber(HandleKind::String, [this](std::size_t slot) {
        const std::string text = slot < texts_.size() ? texts_[slot] : std::string();
        std::string description = "\"";
        description.append(text, 0, 40);
        description.append(text.size() > 40 ? "...\"" : "\"");
        return description;
    });
}

abi::Handle StringStore::Create(std::string_view text, HandleOrigin origin) {
    const abi::Handle handle = ledger_.Issue(HandleKind::String, origin);
    const std::size_t slot = ledger_.SlotOf(handle);
    if (slot >= texts_.size()) {
        texts_.resize(slot + 1);
    }
    texts_[slot].assign(text);
    return handle;
}

const std::string* StringStore::Text(abi::Handle handle) const {
    const std::size_t slot = ledger_.SlotOf(handle);
    const bool live = ledger_.IsLive(HandleKind::String, handle);
    return live && slot < texts_.size() ? &texts_[slot] : nullptr;
}

std::string* StringStore::MutableText(abi::Handle handle) {
    return const_cast<std::string*>(std::as_const(*this).Text(handle));
}

}  // namespace hostsim
