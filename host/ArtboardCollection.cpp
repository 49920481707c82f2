#include "host/ArtboardCollection.h"

#include "host/ArtboardSuite.h"

namespace ai {

ArtboardCollection::ArtboardCollection() noexcept {
    gArtboardSuite->AcquireArtboardList(&handle);
}

ArtboardCollection::ArtboardCollection(ErrorCode& result) noexcept {
    result = gArtboardSuite->AcquireArtboardList(&handle);
    if (result == kNoError && handle == nullptr) {
        result = kCantError;  // success without a list: there is nothing to work on
    }
}

ArtboardCollection::~ArtboardCollection() {
    if (handle != nullptr) {
        gArtboardSuite->ReleaseArtboardList(&handle);
    }
}

ErrorCode ArtboardCollection::GetCount(std::int32_t& count) const noexcept {
    return gArtboardSuite->GetArtboardCount(&handle, &count);
}

ArtboardAttributes ArtboardCollection::GetAttributes(ArtboardIndex index) const noexcept {
    ErrorCode ignored = kNoError;
    return GetAttributes(index, ignored);
}

ArtboardAttributes ArtboardCollection::GetAttributes(ArtboardIndex index,
                                                     ErrorCode& result) const noexcept {
    // Named return value: the object the caller receives is the one the host fills, so no
    // copy (and no clone through the host) is made on the way out.
    ArtboardAttributes set{ArtboardAttributes::NullHandle{}};
    result = gArtboardSuite->GetArtboardAttributes(&handle, index, &set.handle);
    if (result == kNoError && set.handle == nullptr) {
        result = kCantError;  // success without a set
    }
    return set;
}

ErrorCode ArtboardCollection::Fetch(ArtboardIndex index, ArtboardAttributes& into) const noexcept {
    ErrorCode fetched = kNoError;
    const ArtboardAttributes temporary = GetAttributes(index, fetched);
    if (fetched != kNoError) {
        return fetched;  // nothing to clone: `into` keeps what it had
    }
    return into.Assign(temporary);
}

ErrorCode ArtboardCollection::Update(ArtboardIndex index, const ArtboardAttributes& set) noexcept {
    return gArtboardSuite->UpdateArtboard(&handle, index, &set.handle);
}

}  // namespace ai
