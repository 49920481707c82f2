#include "RenumberHarness.h"

#include <algorithm>

namespace hostsim {

void PrintTo(const Artboard& a, std::ostream* out) {
    *out << "{\"" << a.name << "\" [" << a.bounds.left << ", " << a.bounds.top << ", "
         << a.bounds.right << ", " << a.bounds.bottom << "] ratio " << a.pixelAspectRatio
         << " marks {";
    for (const std::int32_t kind : a.displayMarks) {
        *out << ' ' << kind;
    }
    *out << " } origin (" << a.rulerOrigin.h << ", " << a.rulerOrigin.v << ") id " << a.id << '}';
}

}  // namespace hostsim

namespace quorvane::test {

hostsim::Document MakeDocument(const std::vector<Placed>& layout) {
    hostsim::Document document;
    document.name = "test document";
    for (std::size_t i = 0; i < layout.size(); ++i) {
        const Placed& p = layout[i];
        hostsim::Artboard artboard;
        artboard.name = p.name;
        artboard.bounds = {p.left, p.top, p.left + p.width, p.top - p.height};
        artboard.id = i + 1;
        document.artboards.push_back(artboard);
    }
    return document;
}

std::vector<std::uint64_t> Ids(const hostsim::Document& document) {
    std::vector<std::uint64_t> ids;
    for (const hostsim::Artboard& artboard : document.artboards) {
        ids.push_back(artboard.id);
    }
    return ids;
}

bool SameArtboardsInAnyOrder(const hostsim::Document& a, const hostsim::Document& b) {
    // Everything that moves, as one comparable value.
    std::vector<hostsim::ArtboardProperties> left;
    std::vector<hostsim::ArtboardProperties> right;
    for (const auto& artboard : a.artboards) {
        left.push_back(artboard.Properties());
    }
    for (const auto& artboard : b.artboards) {
        right.push_back(artboard.Properties());
    }
    std::sort(left.begin(), left.end());
    std::sort(right.begin(), right.end());
    return left == right;
}

void RenumberTest::TearDown() {
    ExpectCleanEnd(host, session);
}

void RenumberTest::Start(const hostsim::Document& document) {
    host.OpenDocument(document);
    ASSERT_EQ(session.Startup(), 0) << host.Calls().Text();
    started = true;
    host.Calls().Clear();
}

hostsim::ErrorCode RenumberTest::Choose(const char* label) {
    host.Calls().Clear();
    return session.ChooseMenuItem(label);
}

std::vector<std::pair<int, int>> RenumberTest::Exchanges() const {
    std::vector<int> updated;
    for (const hostsim::CallRecord& call : Calls()) {
        if (call.operation == "UpdateArtboard") {
            updated.push_back(std::stoi(call.Argument("index")));
        }
    }
    std::vector<std::pair<int, int>> exchanges;
    for (std::size_t i = 0; i + 1 < updated.size(); i += 2) {
        exchanges.emplace_back(updated[i], updated[i + 1]);
    }
    return exchanges;
}

int RenumberTest::CountOf(const std::string& operation) const {
    const auto calls = Calls();
    return static_cast<int>(std::count_if(
        calls.begin(), calls.end(), [&](const auto& call) { return call.operation == operation; }));
}

}  // namespace quorvane::test
