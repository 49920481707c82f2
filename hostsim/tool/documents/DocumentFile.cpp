#include "hostsim/tool/documents/DocumentFile.h"

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <new>

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

std::string RenderDocument(const DocumentFile& source, const Document& document,
                           DocumentFormat format) {
    if (format == source.format && SameArtboards(document, source.document)) {
        return source.bytes;
    }
    if (format == DocumentFormat::Json) {
        return WriteJsonDocument(
            document, source.format == DocumentFormat::Json ? &*source.jsonLayout : nullptr);
    }
    return WriteSvgDocument(document,
                            source.format == DocumentFormat::Svg ? &*source.svgLayout : nullptr);
}

std::vector<std::string> LeftBehindIn(const DocumentFile& source, DocumentFormat format) {
    if (source.format == DocumentFormat::Json && format == DocumentFormat::Svg) {
        return KeysOnlyJsonHolds(*source.jsonLayout);
    }
    return {};
}

}  // namespace hostsim::tool
