#include "host/ArtboardAttributes.h"

#include <cstdint>
#include <utility>

#include "host/ArtboardSuite.h"

namespace ai {

ArtboardAttributes::ArtboardAttributes() noexcept {
    gArtboardSuite->NewAttributes(&handle);
}

ArtboardAttributes::ArtboardAttributes(ErrorCode& result) noexcept {
    result = gArtboardSuite->NewAttributes(&handle);
}

ArtboardAttributes::ArtboardAttributes(const ArtboardAttributes& other) noexcept {
    gArtboardSuite->CloneAttributes(&handle, &other.handle);
}

ArtboardAttributes::~ArtboardAttributes() {
    gArtboardSuite->DisposeAttributes(&handle);
}

ArtboardAttributes& ArtboardAttributes::operator=(const ArtboardAttributes& other) noexcept {
    Assign(other);
    return *this;
}

ErrorCode ArtboardAttributes::Assign(const ArtboardAttributes& other) noexcept {
    ArtboardAttributes clone{NullHandle{}};
    const ErrorCode result = gArtboardSuite->CloneAttributes(&clone.handle, &other.handle);
    std::swap(handle, clone.handle);
    return result;  // `clone` now holds the former set and disposes it
}

ErrorCode ArtboardAttributes::GetBounds(BoundsRect& bounds) const noexcept {
    return gArtboardSuite->GetBounds(&handle, &bounds);
}

ErrorCode ArtboardAttributes::SetBounds(BoundsRect bounds) noexcept {
    return gArtboardSuite->SetBounds(&handle, &bounds);
}

ErrorCode ArtboardAttributes::GetPixelAspectRatio(float& ratio) const noexcept {
    return gArtboardSuite->GetPixelAspectRatio(&handle, &ratio);
}

ErrorCode ArtboardAttributes::SetPixelAspectRatio(float ratio) noexcept {
    return gArtboardSuite->SetPixelAspectRatio(&handle, ratio);
}

ErrorCode ArtboardAttributes::GetName(HostString& name) const noexcept {
    return gArtboardSuite->GetName(&handle, name.Slot());
}

ErrorCode ArtboardAttributes::SetName(const HostString& name) noexcept {
    return gArtboardSuite->SetName(&handle, name.Slot());
}

ErrorCode ArtboardAttributes::GetDisplayMark(DisplayMarkKind kind, bool& value) const noexcept {
    std::int32_t hostValue = value ? 1 : 0;
    const ErrorCode result = gArtboardSuite->GetDisplayMark(&handle, kind, &hostValue);
    if (result != kNoError) {
        return result;
    }
    value = hostValue != 0;
    return kNoError;
}

ErrorCode ArtboardAttributes::SetDisplayMark(DisplayMarkKind kind, bool value) noexcept {
    return gArtboardSuite->SetDisplayMark(&handle, kind, value ? 1 : 0);
}

ErrorCode ArtboardAttributes::GetRulerOrigin(OriginPoint& origin) const noexcept {
    return gArtboardSuite->GetRulerOrigin(&handle, &origin);
}

ErrorCode ArtboardAttributes::SetRulerOrigin(OriginPoint origin) noexcept {
    return gArtboardSuite->SetRulerOrigin(&handle, &origin);
}

}  // namespace ai
