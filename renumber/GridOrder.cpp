// The two grid orders.
#include <cmath>
#include <optional>

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

// Fetches the attribute sets of the artboards `indices` and reads their bounds through the
// host, phase by phase: every set made, then every set fetched, then every bounds read. Stops
// at the first failure and returns its code.
template <std::size_t N>
ErrorCode FetchBounds(const ai::ArtboardCollection& collection, const ArtboardIndex (&indices)[N],
                      BoundsRect (&bounds)[N]) {
    ErrorCode made[N] = {};
    std::optional<ai::ArtboardAttributes> sets[N];
    for (std::size_t k = 0; k < N; ++k) {
        sets[k].emplace(made[k]);
    }
    FirstFailure run;
    for (std::size_t k = 0; k < N; ++k) {
        run.Then([&] { return made[k]; });
    }
    for (std::size_t k = 0; k < N; ++k) {
        run.Then([&] { return collection.Fetch(indices[k], *sets[k]); });
    }
    for (std::size_t k = 0; k < N; ++k) {
        run.Then([&] { return sets[k]->GetBounds(bounds[k]); });
    }
    return run.Code();
}

}  // namespace

ErrorCode QuorvanePlugin::SortRecord::ReadCorners(const ai::ArtboardCollection& collection,
                                                  std::int32_t count) {
    corners.reserve(static_cast<std::size_t>(count));
    for (ArtboardIndex i = 0; i < count; ++i) {
        BoundsRect bounds[1] = {};
        if (const ErrorCode failed = FetchBounds(collection, {i}, bounds); failed != kNoError) {
            return failed;
        }
        corners.push_back({bounds[0].left, bounds[0].top});
    }
    return kNoError;
}

void QuorvanePlugin::ABSort::FetchLiveBounds(ArtboardIndex a, ArtboardIndex b) const noexcept {
    if (record->firstError == kNoError) {
        BoundsRect ignored[2] = {};
        record->firstError = FetchBounds(*collection, {a, b}, ignored);
    }
}

const QuorvanePlugin::Corner& QuorvanePlugin::ABSort::CornerOf(ArtboardIndex i) const noexcept {
    return record->corners[static_cast<std::size_t>(i)];
}

bool QuorvanePlugin::ABHVSort::operator()(ArtboardIndex a, ArtboardIndex b) const {
    FetchLiveBounds(a, b);
    const Corner& ca = CornerOf(a);
    const Corner& cb = CornerOf(b);
    if (!Same(ca.top, cb.top)) {
        return LargerFirst(ca.top, cb.top);
    }
    return Same(ca.left, cb.left) ? a < b : SmallerFirst(ca.left, cb.left);
}

bool QuorvanePlugin::ABVHSort::operator()(ArtboardIndex a, ArtboardIndex b) const {
    FetchLiveBounds(a, b);
    const Corner& ca = CornerOf(a);
    const Corner& cb = CornerOf(b);
    if (!Same(ca.left, cb.left)) {
        return SmallerFirst(ca.left, cb.left);
    }
    return Same(ca.top, cb.top) ? a < b : LargerFirst(ca.top, cb.top);
}
