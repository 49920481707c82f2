// grid_document N [shuffled-grid|random|in-order|reversed] [row|column]
// Writes a JSON document of N artboards in one of the benchmarks' layouts to standard output,
// for timing quorvane-host itself on large documents.
#include <cstdlib>
#include <iostream>
#include <string>

#include "bench/Layouts.h"

int main(int argc, char** argv) {
    using quorvane::bench::Layout;
    const int count = argc > 1 ? std::atoi(argv[1]) : 0;
    const std::string name = argc > 2 ? argv[2] : "shuffled-grid";
    const bool byColumn = argc > 3 && std::string(argv[3]) == "column";
    Layout layout = Layout::ShuffledGrid;
    bool known = false;
    for (const Layout candidate :
         {Layout::ShuffledGrid, Layout::Random, Layout::InOrder, Layout::Reversed}) {
        if (name == quorvane::bench::LayoutName(candidate)) {
            layout = candidate;
            known = true;
        }
    }
    if (count <= 0 || !known) {
        std::cerr << "usage: grid_document N [shuffled-grid|random|in-order|reversed] "
                     "[row|column]\n";
        return 2;
    }
    const hostsim::Document document = quorvane::bench::MakeLayout(count, layout, byColumn);
    std::cout << "{\n  \"artboards\": [\n";
    for (std::size_t i = 0; i < document.artboards.size(); ++i) {
        const hostsim::Artboard& a = document.artboards[i];
        std::cout << "    {\"name\": \"" << a.name << "\", \"bounds\": [" << a.bounds.left << ", "
                  << a.bounds.top << ", " << a.bounds.right << ", " << a.bounds.bottom << "]}"
                  << (i + 1 < document.artboards.size() ? ",\n" : "\n");
    }
    std::cout << "  ]\n}\n";
    return 0;
}
