#include "hostsim/model/ArtboardModel.h"

namespace hostsim {

void ArtboardModel::OpenDocument(Document document) {
    current_ = std::make_shared<Document>(std::move(document));
}

void ArtboardModel::CloseDocument() {
    current_.reset();
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

abi::Handle ArtboardModel::NewEmptySet() {
    const abi::Handle handle = ledger_.Issue(HandleKind::AttributeSet, HandleOrigin::PluginRequest);
    SlotFor(sets_, handle) = AttributeSet{};
    return handle;
}

abi::Handle ArtboardModel::NewSetOf(const Artboard& artboard) {
    const abi::Handle handle = ledger_.Issue(HandleKind::AttributeSet, HandleOrigin::PluginRequest);
    // Assigned, so that the storage the slot's last set had (its name's) is reused.
    SlotFor(sets_, handle) = artboard.Properties();
    return handle;
}

abi::Handle ArtboardModel::AcquireList() {
    if (!current_) {
        return nullptr;
    }
    const abi::Handle handle = ledger_.Issue(HandleKind::ArtboardList, HandleOrigin::PluginRequest);
    SlotFor(lists_, handle) = current_;
    return handle;
}

void ArtboardModel::ForgetList(abi::Handle handle) {
    const std::size_t slot = ledger_.SlotOf(handle);
    if (ledger_.IsLive(HandleKind::ArtboardList, handle) && slot < lists_.size()) {
        lists_[slot].reset();
    }
}

}  // namespace hostsim
