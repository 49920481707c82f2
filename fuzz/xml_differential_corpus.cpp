// Runs every SVG file under the folders given through both XML readers (XmlDifferential.h) and
// fails, naming each, on any file they disagree over.
//   xml_differential_corpus FOLDER...
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "fuzz/XmlDifferential.h"

int main(int argc, char** argv) {
    int files = 0;
    int disagreements = 0;
    for (int i = 1; i < argc; ++i) {
        for (const auto& entry : std::filesystem::recursive_directory_iterator(argv[i])) {
            const auto& path = entry.path();
            // Fuzz corpora name their files by hash, without an extension: all are SVG.
            const bool corpus = path.string().find("/corpus/") != std::string::npos;
            if (!entry.is_regular_file() || (!corpus && path.extension() != ".svg")) {
                continue;
            }
            std::ifstream in(path, std::ios::binary);
            const std::string text{std::istreambuf_iterator<char>(in), {}};
            ++files;
            if (const auto why = quorvane::fuzz::Disagreement(text)) {
                ++disagreements;
                std::printf("%s: %s\n", path.c_str(), why->c_str());
            }
        }
    }
    std::printf("%d files, %d disagreements\n", files, disagreements);
    return files == 0 || disagreements != 0 ? 1 : 0;
}
