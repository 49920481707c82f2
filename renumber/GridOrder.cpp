// The two grid orders.
#include <cmath>

#include "renumber/FirstFailure.h"
#include "renumber/QuorvanePlugin.h"

namespace {

// Exact comparisons of 32-bit floats, no tolerance. A NaN, which no real layout has but a host
// may answer, sorts after every number and equal to another NaN, so the orders stay strict
// weak orderings over any values.
bool LargerFirst(float x, float y) {
    if (std::isnan(x)) {
        return false;
    }
    return std::isnan(y) || x > y;
}

bool SmallerFirst(float x, float y) {
    if (std::isnan(x)) {
        return false;
    }
    return std::isnan(y) || x < y;
}

bool Same(float x, float y) {
    return x == y || (std::isnan(x) && std::isnan(y));
}

}  // namespace

std::pair<QuorvanePlugin::Corner, QuorvanePlugin::Corner> QuorvanePlugin::ABSort::Corners(
    ArtboardIndex a, ArtboardIndex b) const noexcept {
    const std::pair<Corner, Corner> corners{record->corners[static_cast<std::size_t>(a)],
                                            record->corners[static_cast<std::size_t>(b)]};
    if (record->firstError != kNoError) {
        return corners;  // the run has failed: the host is not asked any more
    }
    ErrorCode madeA = kNoError;
    ErrorCode madeB = kNoError;
    ai::ArtboardAttributes setA(madeA);
    ai::ArtboardAttributes setB(madeB);
    BoundsRect boundsA{};
    BoundsRect boundsB{};
    FirstFailure run;
    run.Then([&] { return madeA; })
        .Then([&] { return madeB; })
        .Then([&] { return collection->Fetch(a, setA); })
        .Then([&] { return collection->Fetch(b, setB); })
        .Then([&] { return setA.GetBounds(boundsA); })
        .Then([&] { return setB.GetBounds(boundsB); });
    record->firstError = run.Code();
    // The live bounds equal the corners read before the sort unless the host changed its
    // answer in between; deciding on the earlier reading keeps every comparison consistent.
    return corners;
}

bool QuorvanePlugin::ABHVSort::operator()(ArtboardIndex a, ArtboardIndex b) const {
    const auto [ca, cb] = Corners(a, b);
    return LargerFirst(ca.top, cb.top) || (Same(ca.top, cb.top) && SmallerFirst(ca.left, cb.left));
}

bool QuorvanePlugin::ABVHSort::operator()(ArtboardIndex a, ArtboardIndex b) const {
    const auto [ca, cb] = Corners(a, b);
    return SmallerFirst(ca.left, cb.left) ||
           (Same(ca.left, cb.left) && LargerFirst(ca.top, cb.top));
}
