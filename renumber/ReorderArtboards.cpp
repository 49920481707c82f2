// The renumber operation: sort the artboard indices by grid order, then exchange properties
// between positions until position k holds the k-th artboard of the grid.
#include <algorithm>
#include <array>
#include <vector>

#include "host/ArtboardCollection.h"
#include "host/HostString.h"
#include "renumber/FirstFailure.h"
#include "renumber/QuorvanePlugin.h"

namespace {

constexpr std::array<DisplayMarkKind, 4> kDisplayMarkKinds = {0, 1, 2, 4};

// Everything that travels with an artboard when positions exchange properties.
struct TravellingValues {
    BoundsRect bounds{};
    ai::HostString name;
    float pixelAspectRatio = 0;
    std::array<bool, kDisplayMarkKinds.size()> displayMarks{};
    OriginPoint rulerOrigin{};
};

// Reads of both sets, property by property, a before b.
ErrorCode ReadBoth(const ai::ArtboardAttributes& setA, TravellingValues& a,
                   const ai::ArtboardAttributes& setB, TravellingValues& b) {
    FirstFailure run;
    run.Then([&] { return setA.GetBounds(a.bounds); })
        .Then([&] { return setB.GetBounds(b.bounds); })
        .Then([&] { return setA.GetName(a.name); })
        .Then([&] { return setB.GetName(b.name); })
        .Then([&] { return setA.GetPixelAspectRatio(a.pixelAspectRatio); })
        .Then([&] { return setB.GetPixelAspectRatio(b.pixelAspectRatio); });
    for (std::size_t k = 0; k < kDisplayMarkKinds.size(); ++k) {
        run.Then([&] { return setA.GetDisplayMark(kDisplayMarkKinds[k], a.displayMarks[k]); })
            .Then([&] { return setB.GetDisplayMark(kDisplayMarkKinds[k], b.displayMarks[k]); });
    }
    run.Then([&] { return setA.GetRulerOrigin(a.rulerOrigin); }).Then([&] {
        return setB.GetRulerOrigin(b.rulerOrigin);
    });
    return run.Code();
}

// Writes `intoA` into set A and `intoB` into set B, property by property, A before B.
ErrorCode WriteBoth(ai::ArtboardAttributes& setA, const TravellingValues& intoA,
                    ai::ArtboardAttributes& setB, const TravellingValues& intoB) {
    FirstFailure run;
    run.Then([&] { return setA.SetBounds(intoA.bounds); })
        .Then([&] { return setB.SetBounds(intoB.bounds); })
        .Then([&] { return setA.SetName(intoA.name); })
        .Then([&] { return setB.SetName(intoB.name); })
        .Then([&] { return setA.SetPixelAspectRatio(intoA.pixelAspectRatio); })
        .Then([&] { return setB.SetPixelAspectRatio(intoB.pixelAspectRatio); });
    for (std::size_t k = 0; k < kDisplayMarkKinds.size(); ++k) {
        run.Then([&] { return setA.SetDisplayMark(kDisplayMarkKinds[k], intoA.displayMarks[k]); })
            .Then([&] { return setB.SetDisplayMark(kDisplayMarkKinds[k], intoB.displayMarks[k]); });
    }
    run.Then([&] { return setA.SetRulerOrigin(intoA.rulerOrigin); }).Then([&] {
        return setB.SetRulerOrigin(intoB.rulerOrigin);
    });
    return run.Code();
}

// Writes `values` back into `set` alone: the way back after a half-done exchange.
ErrorCode WriteOne(ai::ArtboardAttributes& set, const TravellingValues& values) {
    FirstFailure run;
    run.Then([&] { return set.SetBounds(values.bounds); })
        .Then([&] { return set.SetName(values.name); })
        .Then([&] { return set.SetPixelAspectRatio(values.pixelAspectRatio); });
    for (std::size_t k = 0; k < kDisplayMarkKinds.size(); ++k) {
        run.Then([&] { return set.SetDisplayMark(kDisplayMarkKinds[k], values.displayMarks[k]); });
    }
    run.Then([&] { return set.SetRulerOrigin(values.rulerOrigin); });
    return run.Code();
}

// Reads every artboard's top-left corner once, before the sort.
ErrorCode ReadCorners(const ai::ArtboardCollection& collection, std::int32_t count,
                      std::vector<QuorvanePlugin::Corner>& corners) {
    corners.reserve(static_cast<std::size_t>(count));
    for (ArtboardIndex i = 0; i < count; ++i) {
        ErrorCode made = kNoError;
        ai::ArtboardAttributes set(made);
        BoundsRect bounds{};
        FirstFailure run;
        run.Then([&] { return made; }).Then([&] { return collection.Fetch(i, set); }).Then([&] {
            return set.GetBounds(bounds);
        });
        if (run.Code() != kNoError) {
            return run.Code();
        }
        corners.push_back({bounds.left, bounds.top});
    }
    return kNoError;
}

struct Exchange {
    ArtboardIndex a;
    ArtboardIndex b;
};

}  // namespace

ErrorCode QuorvanePlugin::SwapArtboards(ai::ArtboardCollection& collection, ArtboardIndex a,
                                        ArtboardIndex b) {
    ErrorCode madeA = kNoError;
    ErrorCode madeB = kNoError;
    ai::ArtboardAttributes setA(madeA);
    ai::ArtboardAttributes setB(madeB);
    TravellingValues valuesA;
    TravellingValues valuesB;
    FirstFailure run;
    run.Then([&] { return madeA; })
        .Then([&] { return madeB; })
        .Then([&] { return collection.Fetch(a, setA); })
        .Then([&] { return collection.Fetch(b, setB); })
        .Then([&] { return ReadBoth(setA, valuesA, setB, valuesB); })
        .Then([&] { return WriteBoth(setA, valuesB, setB, valuesA); })
        .Then([&] { return collection.Update(a, setA); });
    if (run.Code() != kNoError) {
        return run.Code();  // the document has not changed
    }
    if (const ErrorCode failed = collection.Update(b, setB); failed != kNoError) {
        // a already holds b's properties and b still holds its own: put a back as it was, so
        // that no artboard's properties stand on two positions.
        FirstFailure back;
        back.Then([&] { return WriteOne(setA, valuesA); }).Then([&] {
            return collection.Update(a, setA);
        });
        return failed;
    }
    return kNoError;
}

ErrorCode QuorvanePlugin::ReorderArtboards(std::int32_t kind) {
    ErrorCode acquired = kNoError;
    ai::ArtboardCollection collection(acquired);
    if (acquired != kNoError) {
        return acquired;  // for instance no document is open
    }
    std::int32_t count = 0;
    if (const ErrorCode failed = collection.GetCount(count); failed != kNoError) {
        return failed;
    }

    std::vector<ArtboardIndex> order;
    order.reserve(static_cast<std::size_t>(std::max(count, 0)));
    for (ArtboardIndex i = 0; i < count; ++i) {
        order.push_back(i);
    }

    if ((kind == kByRow || kind == kByColumn) && count > 1) {
        SortRecord record;
        if (const ErrorCode failed = ReadCorners(collection, count, record.corners);
            failed != kNoError) {
            return failed;
        }
        if (kind == kByRow) {
            std::sort(order.begin(), order.end(), ABHVSort(&collection, &record));
        } else {
            std::sort(order.begin(), order.end(), ABVHSort(&collection, &record));
        }
        if (record.firstError != kNoError) {
            return record.firstError;  // nothing has been written yet
        }
    }

    // Entry j of `order` tells where the properties destined for position j are now. Each
    // exchange puts position j right and records where the properties it displaced went.
    std::vector<Exchange> done;
    done.reserve(order.size());  // so that nothing can throw once the document changes
    for (ArtboardIndex j = 0; j < count; ++j) {
        const auto position = static_cast<std::size_t>(j);
        if (order[position] == j) {
            continue;
        }
        const auto i =
            static_cast<std::size_t>(std::find(order.begin(), order.end(), j) - order.begin());
        const Exchange exchange{order[position], j};
        if (const ErrorCode failed = SwapArtboards(collection, exchange.a, exchange.b);
            failed != kNoError) {
            // An exchange is its own inverse: undo the finished ones, last first. If the host
            // refuses those too, the run still ends with the first failure's code.
            for (auto undo = done.rbegin(); undo != done.rend(); ++undo) {
                if (SwapArtboards(collection, undo->a, undo->b) != kNoError) {
                    break;
                }
            }
            return failed;
        }
        done.push_back(exchange);
        order[i] = order[position];
        order[position] = j;
    }
    return kNoError;
}
