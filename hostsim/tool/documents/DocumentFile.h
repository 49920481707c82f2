// Documents on disk, in either format, chosen by the file's extension: ".json" (our own
// format) or ".svg" (pages of the multi-page vector editor).
#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "hostsim/model/Document.h"
#include "hostsim/tool/documents/JsonDocument.h"
#include "hostsim/tool/documents/SvgDocument.h"

namespace hostsim::tool {

enum class DocumentFormat { Json, Svg };

// The format a path's extension names, case aside; empty for any other extension.
std::optional<DocumentFormat> FormatOfPath(const std::string& path);

// The format of a document's bytes: JSON when the first character that is not white space
// (nor a byte-order mark) is '{', SVG when it is '<'; empty otherwise.
std::optional<DocumentFormat> FormatOfContent(const std::string& bytes);

// A document as read, with what its file held beyond the artboards.
struct DocumentFile {
    std::string path;
    DocumentFormat format = DocumentFormat::Json;
    std::string bytes;
    Document document;
    std::optional<JsonLayout> jsonLayout;
    std::optional<SvgLayout> svgLayout;
};

// Reads the document at `path` in `format`; without one, in the format its extension names
// or, when the name names none (the editor's temporary files), the format of its content.
// Throws InputError for a file that cannot be read, one whose format cannot be told, content
// that is not a document of its format, and a document too large for the memory there is.
DocumentFile ReadDocumentFile(const std::string& path,
                              std::optional<DocumentFormat> format = std::nullopt);

// The document that `bytes`, the content of `path`, holds in `format`. Throws InputError
// as ReadDocumentFile does for content that is not a document.
DocumentFile ParseDocumentFile(const std::string& path, DocumentFormat format, std::string bytes);

// The bytes of `document`, which has as many artboards as `source.document`, in `format`.
// `formerPositions[k]` is the position of `source.document` whose artboard stands at k in
// `document` (a renumbering's permutation, as the host recovers it); empty when each artboard
// stands where it stood. In the source's own format the source's layout is followed (in SVG
// whole page elements move by the permutation; in JSON each artboard keeps its spelling), and
// a document that did not change gives back the source's bytes exactly; in the other format
// the file is written plainly. Throws InputError, naming the artboard by its place and line in
// the source, for one the format cannot hold; std::invalid_argument for positions that are not
// a permutation.
std::string RenderDocument(const DocumentFile& source, const Document& document,
                           DocumentFormat format,
                           std::span<const std::optional<std::size_t>> formerPositions = {});

// What writing `source` in `format` leaves behind, one item a key, for a warning: the keys
// of a JSON file that an SVG file has no place for. Empty within one format.
std::vector<std::string> LeftBehindIn(const DocumentFile& source, DocumentFormat format);

}  // namespace hostsim::tool
