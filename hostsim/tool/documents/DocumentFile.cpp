#include "hostsim/tool/documents/DocumentFile.h"

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <new>
#include <stdexcept>

#include "hostsim/tool/documents/FileAccess.h"
#include "hostsim/tool/documents/InputError.h"

namespace hostsim::tool {

std::optional<DocumentFormat> FormatOfPath(const std::string& path) {
    std::string extension = Utf8Name(Utf8Path(path).extension());
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (extension == ".json") {
        return DocumentFormat::Json;
    }
    if (extension == ".svg") {
        return DocumentFormat::Svg;
    }
    return std::nullopt;
}

std::optional<DocumentFormat> FormatOfContent(const std::string& bytes) {
    std::size_t start = bytes.rfind("\xEF\xBB\xBF", 0) == 0 ? 3 : 0;
    start = bytes.find_first_not_of(" \t\r\n", start);
    if (start == std::string::npos) {
        return std::nullopt;
    }
    if (bytes[start] == '{') {
        return DocumentFormat::Json;
    }
    if (bytes[start] == '<') {
        return DocumentFormat::Svg;
    }
    return std::nullopt;
}

DocumentFile ReadDocumentFile(const std::string& path, std::optional<DocumentFormat> format) {
    if (!format) {
        format = FormatOfPath(path);
    }
    std::string bytes = ReadWholeFile(path);
    if (!format) {
        format = FormatOfContent(bytes);
    }
    if (!format) {
        throw InputError(Located(path, 0, "is neither a .json nor an .svg document"));
    }
    return ParseDocumentFile(path, *format, std::move(bytes));
}

DocumentFile ParseDocumentFile(const std::string& path, DocumentFormat format, std::string bytes) {
    DocumentFile file;
    file.path = path;
    file.format = format;
    file.bytes = std::move(bytes);
    try {
        if (format == DocumentFormat::Json) {
            auto read = ReadJsonDocument(path, file.bytes);
            file.document = std::move(read.document);
            file.jsonLayout = std::move(read.layout);
        } else {
            auto read = ReadSvgDocument(path, file.bytes);
            file.document = std::move(read.document);
            file.svgLayout = std::move(read.layout);
        }
    } catch (const std::bad_alloc&) {
        throw InputError(Located(path, 0, "is too large to read: out of memory"));
    }
    return file;
}

namespace {

// Equal in everything the file holds: the host-kept ids are not written anywhere.
bool SameArtboards(const Document& a, const Document& b) {
    return std::equal(a.artboards.begin(), a.artboards.end(), b.artboards.begin(),
                      b.artboards.end(), SameTravellingProperties);
}

}  // namespace

namespace {

// The former positions as a permutation of the source's: empty for none given or the identity.
std::vector<std::size_t> Sources(std::span<const std::optional<std::size_t>> former,
                                 std::size_t count) {
    if (!former.empty() && former.size() != count) {
        throw std::invalid_argument("former positions for " + std::to_string(former.size()) +
                                    " of " + std::to_string(count) + " artboards");
    }
    std::vector<std::size_t> sources;
    std::vector<bool> claimed(count, false);
    bool identity = true;
    for (std::size_t k = 0; k < former.size(); ++k) {
        if (!former[k] || *former[k] >= count || claimed[*former[k]]) {
            throw std::invalid_argument("position " + std::to_string(k + 1) +
                                        " has no former position of its own among " +
                                        std::to_string(count));
        }
        claimed[*former[k]] = true;
        identity = identity && *former[k] == k;
        sources.push_back(*former[k]);
    }
    if (identity) {
        sources.clear();
    }
    return sources;
}

// Refuses an artboard of a JSON source that an SVG file cannot hold, named as the person who
// wrote the file knows it: its place in the file and the line of the field at fault.
void CheckJsonWritableAsSvg(const DocumentFile& source, const Document& document,
                            std::span<const std::size_t> sources) {
    const auto unwritable = UnwritableInSvg(document);
    if (unwritable.empty()) {
        return;
    }
    // The first in the file's order, as its writer reads it.
    auto fromOf = [&](const SvgUnwritable& bad) {
        return sources.empty() ? bad.artboard : sources[bad.artboard];
    };
    const SvgUnwritable* bad = &unwritable.front();
    for (const auto& other : unwritable) {
        bad = fromOf(other) < fromOf(*bad) ? &other : bad;
    }
    const std::size_t from = fromOf(*bad);
    const JsonLayout& layout = *source.jsonLayout;
    const auto& lines = bad->field == "name" ? layout.nameLines : layout.boundsLines;
    const int line = from < lines.size() ? lines[from] : 0;
    throw InputError(Located(source.path, line,
                             "artboard " + std::to_string(from + 1) + " (\"" +
                                 Printable(document.artboards[bad->artboard].name) +
                                 "\"): " + bad->why));
}

}  // namespace

std::string RenderDocument(const DocumentFile& source, const Document& document,
                           DocumentFormat format,
                           std::span<const std::optional<std::size_t>> formerPositions) {
    const std::vector<std::size_t> sources =
        Sources(formerPositions, source.document.artboards.size());
    if (format == source.format && sources.empty() && SameArtboards(document, source.document)) {
        return source.bytes;
    }
    if (format == DocumentFormat::Json) {
        return source.format == DocumentFormat::Json
                   ? WriteJsonDocument(document, &*source.jsonLayout, sources)
                   : WriteJsonDocument(document, nullptr);
    }
    if (source.format == DocumentFormat::Json) {
        CheckJsonWritableAsSvg(source, document, sources);
        return WriteSvgDocument(document, nullptr);
    }
    return WriteSvgDocument(document, &*source.svgLayout, sources);
}

std::vector<std::string> LeftBehindIn(const DocumentFile& source, DocumentFormat format) {
    if (source.format == DocumentFormat::Json && format == DocumentFormat::Svg) {
        return KeysOnlyJsonHolds(*source.jsonLayout);
    }
    return {};
}

}  // namespace hostsim::tool
