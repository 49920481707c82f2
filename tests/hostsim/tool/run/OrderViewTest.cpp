// The module's order on a view against an oracle written apart from the view code: a plain
// sort over the document's own coordinates with the tolerance rule. The real module runs.
#include "hostsim/tool/run/OrderView.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cstdint>
#include <map>
#include <random>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "hostsim/loader/ModuleLoader.h"

namespace hostsim::tool {
namespace {

constexpr const char* kByRow = "Quorvane, Grid by Row";
constexpr const char* kByColumn = "Quorvane, Grid by Column";

Artboard Board(std::size_t n, double left, double top, double width, double height) {
    Artboard artboard;
    artboard.name = "B" + std::to_string(n);
    artboard.bounds = {static_cast<float>(left), static_cast<float>(top),
                       static_cast<float>(left + width), static_cast<float>(top - height)};
    artboard.pixelAspectRatio = 1 + static_cast<float>(n % 3);
    artboard.displayMarks = {static_cast<std::int32_t>(n % 2)};
    artboard.rulerOrigin = {static_cast<float>(n), -1};
    artboard.id = 1000 + n;
    return artboard;
}

// Layouts, each shuffled so that the module has work to do.
struct Layout {
    std::string name;
    Document document;
};

Document Shuffled(Document document, std::mt19937& random) {
    std::shuffle(document.artboards.begin(), document.artboards.end(), random);
    for (std::size_t k = 0; k < document.artboards.size(); ++k) {
        document.artboards[k].id = 1000 + k;
    }
    return document;
}

std::vector<Layout> Layouts(std::uint32_t seed) {
    std::mt19937 random(seed);
    std::uniform_real_distribution<double> jitter(-1.5, 1.5);
    std::uniform_real_distribution<double> size(50, 400);
    std::vector<Layout> layouts;
    auto grid = [&](const std::string& name, int rows, int columns, double origin, double step,
                    bool jittered, bool mixedSizes) {
        Document document;
        for (int r = 0; r < rows; ++r) {
            for (int c = 0; c < columns; ++c) {
                const double dx = jittered ? jitter(random) : 0;
                const double dy = jittered ? jitter(random) : 0;
                const double w = mixedSizes ? size(random) : step * 0.8;
                const double h = mixedSizes ? size(random) : step * 0.8;
                document.artboards.push_back(Board(document.artboards.size(),
                                                   origin + c * step + dx, origin - r * step + dy,
                                                   w, h));
            }
        }
        layouts.push_back({name, Shuffled(document, random)});
    };
    grid("aligned grid", 4, 5, 0, 500, false, false);
    grid("grid with jitter", 5, 6, 0, 500, true, false);
    grid("jittered grid of mixed sizes", 6, 4, 100, 500, true, true);
    grid("negative coordinates", 3, 4, -5000, 500, true, false);
    grid("huge coordinates", 3, 3, 3e37, 1e36, false, true);
    grid("one artboard", 1, 1, 10, 100, false, false);
    grid("no artboards", 0, 0, 0, 100, false, false);
    Document slope;  // each a little lower than the one before: not one row
    for (int i = 0; i < 12; ++i) {
        slope.artboards.push_back(Board(i, i * 300.0, 1000 - i * 0.75, 200, 200));
    }
    layouts.push_back({"slow slope", Shuffled(slope, random)});
    Document stacked;  // equal corners, different sizes
    for (int i = 0; i < 9; ++i) {
        stacked.artboards.push_back(Board(i, (i % 3) * 10.0, 0, 5 + i, 5 + i));
    }
    layouts.push_back({"stacked equal corners", Shuffled(stacked, random)});
    Document mirrored = layouts[1].document;  // the jittered grid, reflected both ways
    for (auto& artboard : mirrored.artboards) {
        Rect& b = artboard.bounds;
        b = {-b.right, -b.bottom, -b.left, -b.top};
    }
    layouts.push_back({"mirrored grid", mirrored});
    return layouts;
}

// The oracle: each artboard's place as (line, cross) from its own coordinates.
std::vector<std::pair<std::size_t, double>> OracleKeys(const Document& document,
                                                       const ViewOptions& options) {
    const auto& boards = document.artboards;
    auto line = [&](const Artboard& a) {
        return options.byColumn ? (options.rightToLeft ? -double(a.bounds.left) : a.bounds.left)
                                : (options.bottomUp ? double(a.bounds.top) : -double(a.bounds.top));
    };
    auto cross = [&](const Artboard& a) {
        return options.byColumn ? (options.bottomUp ? double(a.bounds.top) : -double(a.bounds.top))
                                : (options.rightToLeft ? -double(a.bounds.left) : a.bounds.left);
    };
    std::vector<double> keys;
    for (const auto& a : boards) {
        keys.push_back(line(a));
    }
    std::sort(keys.begin(), keys.end());
    std::map<double, std::size_t> lineOf;  // line key -> line number
    double anchor = 0;
    std::size_t lines = 0;
    for (std::size_t n = 0; n < keys.size(); ++n) {
        if (n == 0 || keys[n] - anchor > options.tolerance) {
            anchor = keys[n];
            ++lines;
        }
        lineOf[keys[n]] = lines;
    }
    std::vector<std::pair<std::size_t, double>> result;
    for (const auto& a : boards) {
        result.emplace_back(lineOf[line(a)], cross(a));
    }
    return result;
}

std::uint32_t Bits(float value) {
    return std::bit_cast<std::uint32_t>(value);
}

// The properties that travel with an artboard (the module carries its ruler origin too), every
// number bit for bit, as one comparable value.
class BitForBit {
  public:
    explicit BitForBit(const Artboard& a) {
        std::apply([this](const auto&... property) { (Add(property), ...); },
                   ArtboardProperties::FieldsOf(a));
    }
    friend auto operator<=>(const BitForBit&, const BitForBit&) = default;

  private:
    void Add(const std::string& text) {
        words_.push_back(text.size());
        words_.insert(words_.end(), text.begin(), text.end());
    }
    void Add(float x) { words_.push_back(Bits(x)); }
    void Add(const Rect& r) {
        for (const float x : {r.left, r.top, r.right, r.bottom}) {
            Add(x);
        }
    }
    void Add(const Point& p) {
        Add(p.h);
        Add(p.v);
    }
    void Add(const DisplayMarkSet& kinds) {
        words_.push_back(kinds.size());
        for (const std::int32_t kind : kinds) {
            words_.push_back(static_cast<std::uint32_t>(kind));
        }
    }
    std::vector<std::uint64_t> words_;
};

ModuleRunResult RunInView(const Document& document, const ViewOptions& options) {
    ModuleRunRequest request;
    request.module = DefaultModulePath();
    request.document = document;
    request.choose = options.byColumn ? kByColumn : kByRow;
    return RunModuleInView(request, options);
}

// A permutation of the input, every field bit for bit; the host-kept id stays put.
void ExpectRenumbering(const Document& before, const Document& after, const std::string& what) {
    ASSERT_EQ(after.artboards.size(), before.artboards.size()) << what;
    std::multiset<BitForBit> in, out;
    for (std::size_t k = 0; k < before.artboards.size(); ++k) {
        in.emplace(before.artboards[k]);
        out.emplace(after.artboards[k]);
        EXPECT_EQ(after.artboards[k].id, before.artboards[k].id) << what;
    }
    EXPECT_EQ(in, out) << what;
}

std::vector<ViewOptions> AllOptions() {
    std::vector<ViewOptions> all;
    for (const bool byColumn : {false, true}) {
        for (const bool rightToLeft : {false, true}) {
            for (const bool bottomUp : {false, true}) {
                for (const double tolerance : {0.0, 2.0, 1e36}) {
                    all.push_back({byColumn, tolerance, rightToLeft, bottomUp});
                }
            }
        }
    }
    return all;
}

std::string Describe(const std::string& layout, const ViewOptions& o) {
    return layout + (o.byColumn ? ", by column" : ", by row") +
           (o.rightToLeft ? ", right to left" : "") + (o.bottomUp ? ", bottom up" : "") +
           ", tolerance " + std::to_string(o.tolerance);
}

TEST(OrderView, TheModuleOnTheViewGivesTheOraclesOrder) {
    const std::uint32_t seed = 19;
    for (const auto& layout : Layouts(seed)) {
        std::map<std::string, std::size_t> position;  // names are unique in the layouts
        for (std::size_t i = 0; i < layout.document.artboards.size(); ++i) {
            position[layout.document.artboards[i].name] = i;
        }
        for (const auto& options : AllOptions()) {
            const std::string what = Describe(layout.name, options) + " (seed 19)";
            const ModuleRunResult run = RunInView(layout.document, options);
            ASSERT_EQ(run.failure, "") << what;
            ASSERT_TRUE(run.document) << what;
            ExpectRenumbering(layout.document, *run.document, what);
            const auto oracle = OracleKeys(layout.document, options);
            for (std::size_t k = 1; k < run.document->artboards.size(); ++k) {
                const auto& previous = oracle[position[run.document->artboards[k - 1].name]];
                const auto& current = oracle[position[run.document->artboards[k].name]];
                EXPECT_LE(previous, current) << what << ": positions " << k << " and " << k + 1;
            }
        }
    }
}

// Right to left (bottom up) is left to right (top down) on the document with its top-left
// corners reflected and its sizes kept.
Document Reflected(const Document& document, bool x, bool y) {
    Document reflected = document;
    for (auto& artboard : reflected.artboards) {
        Rect& b = artboard.bounds;
        const double width = double(b.right) - b.left;
        const double height = double(b.top) - b.bottom;
        const double left = x ? -double(b.left) : b.left;
        const double top = y ? -double(b.top) : b.top;
        b = {float(left), float(top), float(left + width), float(top - height)};
    }
    return reflected;
}

std::vector<std::string> Names(const Document& document) {
    std::vector<std::string> names;
    for (const auto& artboard : document.artboards) {
        names.push_back(artboard.name);
    }
    return names;
}

TEST(OrderView, ReflectingTheCornersGivesTheOtherDirections) {
    for (const auto& layout : Layouts(7)) {
        for (const auto& options : AllOptions()) {
            if (!options.rightToLeft && !options.bottomUp) {
                continue;
            }
            const std::string what = Describe(layout.name, options);
            ViewOptions forward = options;
            forward.rightToLeft = forward.bottomUp = false;
            const auto reflected =
                Reflected(layout.document, options.rightToLeft, options.bottomUp);
            const auto direct = RunInView(layout.document, options);
            const auto viaReflection = RunInView(reflected, forward);
            ASSERT_TRUE(direct.document && viaReflection.document) << what;
            EXPECT_EQ(Names(*direct.document), Names(*viaReflection.document)) << what;
        }
    }
}

TEST(OrderView, RepeatedNamesAndBoundsArriveBitForBit) {
    Document document;
    for (std::size_t i = 0; i < 8; ++i) {
        document.artboards.push_back(Board(i, (i % 2) * 100.0, (i % 3) * 0.5, 50, 50));
        document.artboards.back().name = i % 2 == 0 ? "Same" : "";
    }
    document.artboards[3].bounds.left = -0.0f;  // the two zeros must not be confused
    for (const auto& options : AllOptions()) {
        const auto run = RunInView(document, options);
        ASSERT_TRUE(run.document);
        ExpectRenumbering(document, *run.document, Describe("repeats", options));
    }
}

TEST(OrderView, ProxyLabelsReadBackOnlyAsWritten) {
    const struct {
        std::string label;
        std::optional<std::size_t> position;
    } cases[] = {
        {ProxyLabel(0), 0},
        {ProxyLabel(41), 41},
        {"quorvane-view-042", std::nullopt},
        {ProxyLabel(50), std::nullopt},
        {"quorvane-view-", std::nullopt},
        {"quorvane-view-7x", std::nullopt},
        {"Cover", std::nullopt},
        {"quorvane-view--1", std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ProxyPosition(c.label, 50), c.position) << c.label;
    }
}

}  // namespace
}  // namespace hostsim::tool
