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

using Set = ai::ArtboardAttributes;

// Every property that travels, once: how it is read from a set and written to one. The table's
// order is the order in which the host sees them, in every read and write below.
struct Property {
    ErrorCode (*read)(const Set& set, TravellingValues& values);
    ErrorCode (*write)(Set& set, const TravellingValues& values);
};

template <std::size_t K>
constexpr Property kDisplayMark = {
    [](const Set& s, TravellingValues& v) {
        return s.GetDisplayMark(kDisplayMarkKinds[K], v.displayMarks[K]);
    },
    [](Set& s, const TravellingValues& v) {
        return s.SetDisplayMark(kDisplayMarkKinds[K], v.displayMarks[K]);
    }};

constexpr Property kTravelling[] = {
    {[](const Set& s, TravellingValues& v) { return s.GetBounds(v.bounds); },
     [](Set& s, const TravellingValues& v) { return s.SetBounds(v.bounds); }},
    {[](const Set& s, TravellingValues& v) { return s.GetName(v.name); },
     [](Set& s, const TravellingValues& v) { return s.SetName(v.name); }},
    {[](const Set& s, TravellingValues& v) { return s.GetPixelAspectRatio(v.pixelAspectRatio); },
     [](Set& s, const TravellingValues& v) { return s.SetPixelAspectRatio(v.pixelAspectRatio); }},
    kDisplayMark<0>,
    kDisplayMark<1>,
    kDisplayMark<2>,
    kDisplayMark<3>,
    {[](const Set& s, TravellingValues& v) { return s.GetRulerOrigin(v.rulerOrigin); },
     [](Set& s, const TravellingValues& v) { return s.SetRulerOrigin(v.rulerOrigin); }},
};
static_assert(std::size(kTravelling) == 4 + kDisplayMarkKinds.size());

// Reads both sets, property by property, a before b.
ErrorCode ReadBoth(const Set& setA, TravellingValues& a, const Set& setB, TravellingValues& b) {
    FirstFailure run;
    for (const Property& property : kTravelling) {
        run.Then([&] { return property.read(setA, a); }).Then([&] {
            return property.read(setB, b);
        });
    }
    return run.Code();
}

// Writes `intoA` into set A and `intoB` into set B, property by property, A before B.
ErrorCode WriteBoth(Set& setA, const TravellingValues& intoA, Set& setB,
                    const TravellingValues& intoB) {
    FirstFailure run;
    for (const Property& property : kTravelling) {
        run.Then([&] { return property.write(setA, intoA); }).Then([&] {
            return property.write(setB, intoB);
        });
    }
    return run.Code();
}

// Writes `values` back into `set` alone: the way back after a half-done exchange.
ErrorCode WriteOne(Set& set, const TravellingValues& values) {
    FirstFailure run;
    for (const Property& property : kTravelling) {
        run.Then([&] { return property.write(set, values); });
    }
    return run.Code();
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
        // that no artboard's properties stand on two positions. The way back's own result is
        // dropped: the caller must learn of the failure that made it necessary, and a refused
        // way back cannot be undone in turn.
        FirstFailure back;
        back.Then([&] { return WriteOne(setA, valuesA); }).Then([&] {
            return collection.Update(a, setA);
        });
        return failed;
    }
    return kNoError;
}

namespace {

using Swap = ErrorCode (*)(ai::ArtboardCollection&, ArtboardIndex, ArtboardIndex);

// The apply phase: exchanges positions with `swap` until position j holds what `order` says
// belongs there. On a failed exchange, undoes the finished ones and returns its code.
ErrorCode ApplyOrder(ai::ArtboardCollection& collection, std::vector<ArtboardIndex>& order,
                     Swap swap) {
    const auto count = static_cast<ArtboardIndex>(order.size());
    // Entry j of `order` tells where the properties destined for position j are now, and
    // entry k of `placeOf` where in `order` the number k stands (its inverse), so that each
    // step finds its partner at once. Each exchange puts position j right and records where
    // the properties it displaced went.
    std::vector<std::size_t> placeOf(order.size());
    for (std::size_t k = 0; k < order.size(); ++k) {
        placeOf[static_cast<std::size_t>(order[k])] = k;
    }
    std::vector<Exchange> done;
    done.reserve(order.size());  // so that nothing can throw once the document changes
    for (ArtboardIndex j = 0; j < count; ++j) {
        const auto position = static_cast<std::size_t>(j);
        if (order[position] == j) {
            continue;
        }
        const std::size_t i = placeOf[position];
        const Exchange exchange{order[position], j};
        if (const ErrorCode failed = swap(collection, exchange.a, exchange.b); failed != kNoError) {
            // An exchange is its own inverse: undo the finished ones, last first. If the host
            // refuses one, the undoing stops there (nothing after it could be undone in order)
            // and its code is dropped: the run ends with the failure that made it necessary.
            for (auto undo = done.rbegin(); undo != done.rend(); ++undo) {
                if (swap(collection, undo->a, undo->b) != kNoError) {
                    break;
                }
            }
            return failed;
        }
        done.push_back(exchange);
        order[i] = order[position];
        placeOf[static_cast<std::size_t>(order[i])] = i;
        order[position] = j;
        placeOf[position] = position;
    }
    return kNoError;
}

}  // namespace

ErrorCode QuorvanePlugin::ReorderArtboards(OrderKind kind) {
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

    if (count > 1) {
        SortRecord record;
        if (const ErrorCode failed = record.ReadCorners(collection, count); failed != kNoError) {
            return failed;
        }
        if (kind == OrderKind::ByRow) {
            std::sort(order.begin(), order.end(), ABHVSort(&collection, &record));
        } else {
            std::sort(order.begin(), order.end(), ABVHSort(&collection, &record));
        }
        if (record.firstError != kNoError) {
            return record.firstError;  // nothing has been written yet
        }
    }

    return ApplyOrder(collection, order, &SwapArtboards);
}
