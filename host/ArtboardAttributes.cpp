#include "host/ArtboardAttributes.h"

#include <bit>
#include <cstdint>
#include <utility>

#include "host/ArtboardSuite.h"

namespace ai {
namespace {

// What a read's out-parameter holds until the host writes it: a NaN no host computes, so that a
// read the host answers with success but never writes is told from a real value and refused
// instead of being copied to another artboard.
constexpr std::uint32_t kUnwrittenBits = 0x7FC51A7E;
constexpr float kUnwritten = std::bit_cast<float>(kUnwrittenBits);

bool Unwritten(float value) {
    return std::bit_cast<std::uint32_t>(value) == kUnwrittenBits;
}

ErrorCode Written(ErrorCode result, bool unwritten) {
    return result == kNoError && unwritten ? kCantError : result;
}

}  // namespace

ArtboardAttributes::ArtboardAttributes() noexcept {
    gArtboardSuite->NewAttributes(&handle);
}

ArtboardAttributes::ArtboardAttributes(ErrorCode& result) noexcept {
    result = gArtboardSuite->NewAttributes(&handle);
    if (result == kNoError && handle == nullptr) {
        result = kCantError;  // success without a set
    }
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
    if (result == kNoError && clone.handle == nullptr) {
        return kCantError;  // success without a clone: this set keeps what it had
    }
    std::swap(handle, clone.handle);
    return result;  // `clone` now holds the former set and disposes it
}

ErrorCode ArtboardAttributes::GetBounds(BoundsRect& bounds) const noexcept {
    BoundsRect read{kUnwritten, kUnwritten, kUnwritten, kUnwritten};
    const ErrorCode answer = gArtboardSuite->GetBounds(&handle, &read);
    const ErrorCode result = Written(answer, Unwritten(read.left) && Unwritten(read.top) &&
                                                 Unwritten(read.right) && Unwritten(read.bottom));
    if (result == kNoError) {
        bounds = read;
    }
    return result;
}

ErrorCode ArtboardAttributes::SetBounds(BoundsRect bounds) noexcept {
    return gArtboardSuite->SetBounds(&handle, &bounds);
}

ErrorCode ArtboardAttributes::GetPixelAspectRatio(float& ratio) const noexcept {
    float read = kUnwritten;
    const ErrorCode answer = gArtboardSuite->GetPixelAspectRatio(&handle, &read);
    const ErrorCode result = Written(answer, Unwritten(read));
    if (result == kNoError) {
        ratio = read;
    }
    return result;
}

ErrorCode ArtboardAttributes::SetPixelAspectRatio(float ratio) noexcept {
    return gArtboardSuite->SetPixelAspectRatio(&handle, ratio);
}

ErrorCode ArtboardAttributes::GetName(HostString& name) const noexcept {
    const ErrorCode result = gArtboardSuite->GetName(&handle, name.Slot());
    return result == kNoError && *name.Slot() == nullptr ? kCantError : result;
}

ErrorCode ArtboardAttributes::SetName(const HostString& name) noexcept {
    return gArtboardSuite->SetName(&handle, name.Slot());
}

ErrorCode ArtboardAttributes::GetDisplayMark(DisplayMarkKind kind, bool& value) const noexcept {
    constexpr std::int32_t kUnwrittenMark = -0x51A7E;  // the host writes 0 or 1
    std::int32_t hostValue = kUnwrittenMark;
    const ErrorCode answer = gArtboardSuite->GetDisplayMark(&handle, kind, &hostValue);
    const ErrorCode result = Written(answer, hostValue == kUnwrittenMark);
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
    OriginPoint read{kUnwritten, kUnwritten};
    const ErrorCode answer = gArtboardSuite->GetRulerOrigin(&handle, &read);
    const ErrorCode result = Written(answer, Unwritten(read.h) && Unwritten(read.v));
    if (result == kNoError) {
        origin = read;
    }
    return result;
}

ErrorCode ArtboardAttributes::SetRulerOrigin(OriginPoint origin) noexcept {
    return gArtboardSuite->SetRulerOrigin(&handle, &origin);
}

}  // namespace ai
