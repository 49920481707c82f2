#include "hostsim/model/ArtboardProperties.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "hostsim/model/ArtboardModel.h"
#include "hostsim/model/Document.h"

namespace hostsim {
namespace {

Artboard Sample() {
    Artboard artboard;
    artboard.name = "Cover";
    artboard.bounds = {0, 792, 612, 0};
    artboard.pixelAspectRatio = 1.5F;
    artboard.displayMarks = {0, 2};
    artboard.rulerOrigin = {10, -20};
    artboard.id = 7;
    return artboard;
}

TEST(ArtboardProperties, EveryPropertyTakesPartInTheComparisonTheHashAndTheCopies) {
    struct Row {
        const char* name;
        std::function<void(ArtboardProperties&)> change;
    };
    const Row rows[] = {
        {"name", [](ArtboardProperties& p) { p.name = "Back"; }},
        {"bounds", [](ArtboardProperties& p) { p.bounds.bottom = 1; }},
        {"pixel aspect ratio", [](ArtboardProperties& p) { p.pixelAspectRatio = 2; }},
        {"display marks", [](ArtboardProperties& p) { p.displayMarks.Insert(4); }},
        {"ruler origin", [](ArtboardProperties& p) { p.rulerOrigin.v = 5; }},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const Artboard sample = Sample();
        Artboard changed = sample;
        row.change(changed);
        changed.id = 8;
        EXPECT_FALSE(SameTravellingProperties(sample, changed));
        EXPECT_NE(TravellingPropertiesHash(sample), TravellingPropertiesHash(changed));

        Artboard target = sample;
        TakeTravellingProperties(target, changed);
        EXPECT_TRUE(SameTravellingProperties(target, changed));
        EXPECT_EQ(target.id, sample.id) << "the id stays at its position";

        AttributeSet set = AttributesOf(changed);
        EXPECT_EQ(set, changed.Properties());
        Artboard written = sample;
        ApplyAttributes(set, written);
        EXPECT_TRUE(SameTravellingProperties(written, changed));
        EXPECT_EQ(written.id, sample.id);
    }
}

// The display marks behave as the set of kinds they stand for: random inserts and erases (any
// kind, as a plug-in may set one documents never hold) agree with std::set in contents, order,
// answers, equality and ordering, and copies (empty or not, onto empty or not) are equal.
TEST(DisplayMarkSet, BehavesAsASetOfKinds) {
    std::mt19937 random(26);
    std::uniform_int_distribution<std::int32_t> kind(-2, 6);
    std::vector<std::pair<DisplayMarkSet, std::set<std::int32_t>>> made(1);
    for (int step = 0; step < 2000; ++step) {
        auto [marks, model] = made.back();
        const std::int32_t k = kind(random);
        if (random() % 3 == 0) {
            EXPECT_EQ(marks.Erase(k), model.erase(k));
        } else {
            EXPECT_EQ(marks.Insert(k), model.insert(k).second);
        }
        EXPECT_EQ(marks.Contains(k), model.count(k) == 1);
        EXPECT_EQ(std::vector<std::int32_t>(marks.begin(), marks.end()),
                  std::vector<std::int32_t>(model.begin(), model.end()));
        EXPECT_EQ(marks.size(), model.size());
        EXPECT_EQ(marks.empty(), model.empty());
        made.emplace_back(marks, model);
    }
    for (int pair = 0; pair < 2000; ++pair) {
        const auto& [a, modelA] = made[random() % made.size()];
        const auto& [b, modelB] = made[random() % made.size()];
        EXPECT_EQ(a == b, modelA == modelB);
        EXPECT_EQ(a < b, modelA < modelB);
        DisplayMarkSet copy = b;
        copy = a;
        EXPECT_EQ(copy, a);
    }
}

TEST(ArtboardProperties, TheIdDoesNotTravelAndTheZerosAreOneCoordinate) {
    const Artboard sample = Sample();
    Artboard other = sample;
    other.id = 99;
    EXPECT_TRUE(SameTravellingProperties(sample, other));
    EXPECT_FALSE(sample == other) << "the artboards themselves differ by their id";

    Artboard zero = sample;
    Artboard negativeZero = sample;
    zero.bounds.bottom = 0.0F;
    negativeZero.bounds.bottom = -0.0F;
    negativeZero.rulerOrigin = {-0.0F, -20};
    zero.rulerOrigin = {0.0F, -20};
    EXPECT_TRUE(SameTravellingProperties(zero, negativeZero));
    EXPECT_EQ(TravellingPropertiesHash(zero), TravellingPropertiesHash(negativeZero));
}

TEST(ArtboardProperties, TheDisplayMarkKindsDocumentsHoldAreNamedOnce) {
    EXPECT_EQ(DisplayMarkKindsText(), "0, 1, 2 and 4");
    for (const std::int64_t kind : {0, 1, 2, 4}) {
        EXPECT_TRUE(IsDisplayMarkKind(kind)) << kind;
    }
    for (const std::int64_t kind :
         {std::int64_t{-1}, std::int64_t{3}, std::int64_t{5}, std::int64_t{1} << 32}) {
        EXPECT_FALSE(IsDisplayMarkKind(kind)) << kind;
    }
}

}  // namespace
}  // namespace hostsim
