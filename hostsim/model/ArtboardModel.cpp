#include "hostsim/model/ArtboardModel.h"

namespace hostsim {

void ArtboardModel::OpenDocument(Document document) {
    current_ = std::make_shared<Document>(std::move(document));
}

void ArtboardModel::CloseDocument() {
    current_.reset();
}

template <typename T>
T& ArtboardModel::SlotFor(std::vector<T>& slots, abi::Handle handle) const {
    const std::size_t slot = ledger_.SlotOf(handle);
    if (slot >= slots.size()) {
        slots.resize(slot + 1);
    }
    return slots[slot];
}

abi::Handle ArtboardModel::NewSet(const AttributeSet& set) {
    // `set` may be one of ours (a clone), which growing the slots would move.
    const bool ours = !sets_.empty() && &set >= sets_.data() && &set < sets_.data() + sets_.size();
    const std::size_t from = ours ? static_cast<std::size_t>(&set - sets_.data()) : 0;
    const abi::Handle handle = ledger_.Issue(HandleKind::AttributeSet, HandleOrigin::PluginRequest);
    AttributeSet& made = SlotFor(sets_, handle);
    made = ours ? sets_[from] : set;
    return handle;
}

abi::Handle ArtboardModel::NewSetOf(const Artboard& artboard) {
    const abi::Handle handle = ledger_.Issue(HandleKind::AttributeSet, HandleOrigin::PluginRequest);
    // Assigned, so that the storage the slot's last set had (its name's) is reused.
    SlotFor(sets_, handle) = artboard.Properties();
    return handle;
}

AttributeSet* ArtboardModel::Set(abi::Handle handle) {
    const std::size_t slot = ledger_.SlotOf(handle);
    const bool live =
        ledger_.StatusOf(HandleKind::AttributeSet, handle) == HandleLedger::Status::Live;
    return live && slot < sets_.size() ? &sets_[slot] : nullptr;
}

abi::Handle ArtboardModel::AcquireList() {
    if (!current_) {
        return nullptr;
    }
    const abi::Handle handle = ledger_.Issue(HandleKind::ArtboardList, HandleOrigin::PluginRequest);
    SlotFor(lists_, handle) = current_;
    return handle;
}

Document* ArtboardModel::ListDocument(abi::Handle handle) {
    const std::size_t slot = ledger_.SlotOf(handle);
    const bool live =
        ledger_.StatusOf(HandleKind::ArtboardList, handle) == HandleLedger::Status::Live;
    return live && slot < lists_.size() ? lists_[slot].get() : nullptr;
}

void ArtboardModel::ForgetList(abi::Handle handle) {
    const std::size_t slot = ledger_.SlotOf(handle);
    if (ledger_.StatusOf(HandleKind::ArtboardList, handle) == HandleLedger::Status::Live &&
        slot < lists_.size()) {
        lists_[slot].reset();
    }
}

}  // namespace hostsim
