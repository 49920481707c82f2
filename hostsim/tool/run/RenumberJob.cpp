#include "hostsim/tool/run/RenumberJob.h"

#include <algorithm>
#include <cmath>
#include <new>
#include <set>
#include <sstream>

#include "hostsim/abi/QuorvaneMenus.h"
#include "hostsim/tool/documents/FileAccess.h"
#include "hostsim/tool/documents/FloatText.h"
#include "hostsim/tool/documents/InputError.h"
#include "hostsim/tool/report/Picture.h"
#include "hostsim/tool/report/Report.h"
#include "hostsim/tool/run/ModuleRun.h"
#include "hostsim/tool/run/OrderView.h"
#include "hostsim/tool/run/PageNames.h"

namespace hostsim::tool {
namespace {

// A failed step of the job: the module's run or the verify step (status 1).
class ModuleFailure : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// What the editor's arithmetic leaves in the coordinates it writes: it writes numbers with 8
// significant digits, so each carries an error of up to 5e-8 of its magnitude, and a page's
// corner is computed from the document's larger numbers (the page height, the viewBox) a few
// steps away. Measured with its y-axis pointing up: a
// page 297 high at the origin of an A4 document reached the extension as y="-8.3923342e-06"
// beside a neighbour at y="0", 2.8e-8 of the page's size (docs/orders.md). A hundred-
// thousandth of the largest coordinate is some 480 times that error there and still far below
// anything placed by hand: 0.004 mm on that page.
constexpr double kEditorRounding = 1e-5;

// The document in the format asked, else the one its name names, else its content's.
DocumentFile ParseInput(const RenumberJobInput& input) {
    std::optional<DocumentFormat> format = input.format;
    if (!format) {
        format = FormatOfPath(input.name);
    }
    if (!format) {
        format = FormatOfContent(input.bytes);
    }
    if (!format) {
        throw InputError(Located(input.name, 0, "is neither a .json nor an .svg document"));
    }
    return ParseDocumentFile(input.name, *format, input.bytes);
}

// A page as the editor's user knows it: by its name and the number it will have, or when it
// has no name, by that number and its place (x, y as the editor shows them).
std::string PageForEditor(const Artboard& page, std::size_t newNumber) {
    if (!page.name.empty()) {
        return "\"" + Printable(page.name) + "\" (page " + std::to_string(newNumber) + ")";
    }
    return "page " + std::to_string(newNumber) + " (at x " + EditorX(page) + ", y " +
           EditorY(page) + ")";
}

// The editor's wording of a near-miss, once the new numbers are known.
std::string DescribeNearMissForEditor(const Document& before, const NearMiss& miss,
                                      const std::vector<std::size_t>& newNumbers) {
    const bool byRow = miss.order == GridOrder::ByRow;
    std::ostringstream text;
    text << "Quorvane: " << PageForEditor(before.artboards[miss.first], newNumbers[miss.first])
         << " and " << PageForEditor(before.artboards[miss.second], newNumbers[miss.second])
         << " are numbered as different " << (byRow ? "rows" : "columns")
         << " though they overlap by more than half the "
         << (byRow ? "shorter one's height" : "narrower one's width") << " (a tolerance of "
         << miss.tolerance << " puts them in one " << (byRow ? "row" : "column") << ")";
    return text.str();
}

// The near-misses of `view` in `before`, worded for the command line, or for the editor
// with the numbers each artboard will have (newNumbers, by old position).
void AddNearMissWarnings(const Document& before, const ViewOptions& view, JobAudience audience,
                         DocumentFormat format, const std::vector<std::size_t>& newNumbers,
                         std::vector<std::string>& warnings) {
    const auto misses = FindNearMisses(before, view);
    const std::size_t described = std::min(misses.size(), kDescribedNearMisses);
    const std::string name = Printable(before.name);
    const auto coordinates =
        format == DocumentFormat::Svg ? TableCoordinates::EditorPages : TableCoordinates::Artboards;
    for (std::size_t n = 0; n < described; ++n) {
        warnings.push_back(audience == JobAudience::Editor
                               ? DescribeNearMissForEditor(before, misses[n], newNumbers)
                               : name + ": " + DescribeNearMiss(before, misses[n], coordinates));
    }
    if (misses.size() <= kDescribedNearMisses) {
        return;
    }
    const std::string more = std::to_string(misses.size() - kDescribedNearMisses);
    warnings.push_back(audience == JobAudience::Editor
                           ? "Quorvane: and " + more + " more near-misses like these"
                           : name + ": and " + more + " more near-misses of " +
                                 (view.byColumn ? "columns" : "rows") + " like these");
}

// The label of the menu item that gives `order`.
std::string MenuLabel(GridOrder order) {
    return order == GridOrder::ByRow ? menus::kByRowLabel : menus::kByColumnLabel;
}

// Chooses the command on the document in the module; gives back the document after it.
Document RunCommand(const RenumberJobInput& input, const ViewOptions& view, const Document& before,
                    RenumberJobResult& result) {
    const std::string label = MenuLabel(input.options.order);
    ModuleRunRequest request;
    request.entry = input.module.entry;
    request.module = input.module.file;
    request.document = before;
    request.choose = label;
    if (input.openTrace) {
        request.traceStream = input.openTrace();
        request.traceName = input.traceName;
    }
    ModuleRunResult run = RunModuleInView(request, view);
    // The result is verified next; a broken contract is the developers' business, not the
    // designer's, so the editor is not told of it.
    if (!run.problems.empty() && input.options.audience == JobAudience::CommandLine) {
        result.warnings.push_back("the host saw the module break its contract:\n" + run.problems);
    }
    if (!run.failure.empty()) {
        throw ModuleFailure(input.name + ": " + run.failure + "; nothing written");
    }
    if (!run.document || run.document->artboards.size() != before.artboards.size()) {
        throw ModuleFailure(input.name + ": \"" + label +
                            "\" changed the number of artboards; nothing written");
    }
    return std::move(*run.document);
}

// The verify step: the result must be a renumbering of `before`. Gives, for each new
// position, the old position whose artboard now stands there.
std::vector<std::size_t> Verify(const RenumberJobInput& input, const Document& before,
                                const Document& after) {
    const auto former = TraceFormerPositions(before, after);
    std::vector<std::size_t> positions(former.size());
    for (std::size_t k = 0; k < former.size(); ++k) {
        if (!former[k]) {
            throw ModuleFailure(input.name + ": \"" + MenuLabel(input.options.order) +
                                "\" left artboard " + std::to_string(k + 1) +
                                " with properties that no artboard had before; nothing written");
        }
        positions[k] = *former[k];
    }
    return positions;
}

std::string DrawJobPicture(const RenumberJobInput& input, const ViewOptions& view,
                           const Document& before, const Document& after,
                           const RenumberJobResult& result) {
    PictureContent content;
    content.title = Utf8Name(Utf8Path(input.name).filename()) + ": " + result.Summary();
    content.formerNumbers.resize(result.formerPositions.size());
    for (std::size_t k = 0; k < result.formerPositions.size(); ++k) {
        content.formerNumbers[k] = result.formerPositions[k] + 1;
    }
    if (!view.IsExact()) {
        content.lines = ViewLines(after, view);
        content.lineNoun = OrderName(input.options.order);
    }
    // Near-misses are found in the input; the picture shows the artboards where they stand
    // now.
    std::set<std::size_t> missed;
    for (const auto& miss : FindNearMisses(before, view)) {
        missed.insert(miss.first);
        missed.insert(miss.second);
    }
    for (std::size_t k = 0; k < result.formerPositions.size(); ++k) {
        if (missed.contains(result.formerPositions[k])) {
            content.nearMisses.insert(k);
        }
    }
    return DrawPicture(after, content);
}

// The job's steps; throws on failure, with what was found so far in `result`.
void Run(const RenumberJobInput& input, RenumberJobResult& result) {
    const RenumberJobOptions& options = input.options;
    if (!options.rename.empty()) {
        if (auto wrong = CheckNamePattern(options.rename)) {
            throw InputError(*wrong);
        }
    }
    const DocumentFile file = ParseInput(input);
    result.inputFormat = file.format;
    ViewFlags flags = options.view;
    if (options.absorbEditorRounding) {
        flags.tolerance = std::max(flags.tolerance, EditorRounding(file.document));
    }
    const ViewOptions view = flags.For(options.order);
    // The command line warns before the module runs; the editor's words need the numbers the
    // pages will have, known once it has.
    const bool warnFirst = options.audience == JobAudience::CommandLine;
    if (options.nearMissWarnings && warnFirst) {
        AddNearMissWarnings(file.document, view, options.audience, file.format, {},
                            result.warnings);
    }
    Document after = RunCommand(input, view, file.document, result);
    result.formerPositions = Verify(input, file.document, after);
    if (options.nearMissWarnings && !warnFirst) {
        std::vector<std::size_t> newNumbers(result.formerPositions.size());
        for (std::size_t k = 0; k < newNumbers.size(); ++k) {
            newNumbers[result.formerPositions[k]] = k + 1;
        }
        AddNearMissWarnings(file.document, view, options.audience, file.format, newNumbers,
                            result.warnings);
    }
    // Renaming is the host's: the module's verified order first, then the new names.
    for (std::size_t k = 0; k < after.artboards.size() && !options.rename.empty(); ++k) {
        after.artboards[k].name = ApplyNamePattern(options.rename, k + 1, after.artboards[k].name);
    }
    for (const auto& artboard : after.artboards) {
        result.names.push_back(artboard.name);
    }
    result.total = result.formerPositions.size();
    for (std::size_t k = 0; k < result.total; ++k) {
        result.renumbered += result.formerPositions[k] != k ? 1 : 0;
    }
    result.orderText = OrderDescription(options.order, flags);
    // The table and the picture are drawn before the document is rendered; a caller writes
    // them all or nothing.
    std::vector<std::optional<std::size_t>> former(result.formerPositions.begin(),
                                                   result.formerPositions.end());
    result.table = RenumberTable(after, former,
                                 file.format == DocumentFormat::Svg ? TableCoordinates::EditorPages
                                                                    : TableCoordinates::Artboards);
    if (options.drawPicture) {
        result.picture = DrawJobPicture(input, view, file.document, after, result);
    }
    if (options.renderDocument) {
        const DocumentFormat format = options.outputFormat.value_or(file.format);
        const auto keys = LeftBehindIn(file, format);
        if (!keys.empty()) {
            std::string list;
            for (const auto& key : keys) {
                list += (list.empty() ? "" : ", ") + key;
            }
            result.warnings.push_back(Printable(options.outputName) +
                                      ": an SVG document has no place for these keys of " +
                                      Printable(input.name) + ", which are left behind: " + list);
        }
        result.document = RenderDocument(file, after, format, former);
    }
}

void Show(const RenumberJobInput& input, const std::vector<GridOrder>& orders,
          RenumberJobResult& result) {
    const DocumentFile file = ParseInput(input);
    result.inputFormat = file.format;
    const Document& document = file.document;
    std::set<std::size_t> missed;
    for (const auto order : orders) {
        const ViewOptions view = input.options.view.For(order);
        if (input.options.nearMissWarnings) {
            AddNearMissWarnings(document, view, input.options.audience, file.format, {},
                                result.warnings);
        }
        for (const auto& miss : FindNearMisses(document, view)) {
            missed.insert(miss.first);
            missed.insert(miss.second);
        }
    }
    result.total = document.artboards.size();
    for (std::size_t k = 0; k < result.total; ++k) {
        result.formerPositions.push_back(k);
        result.names.push_back(document.artboards[k].name);
    }
    result.table =
        ShowTable(document, file.format == DocumentFormat::Svg ? TableCoordinates::EditorPages
                                                               : TableCoordinates::Artboards);
    if (input.options.drawPicture) {
        PictureContent content;
        content.title = Utf8Name(Utf8Path(input.name).filename()) + ": " +
                        std::to_string(result.total) + " " + result.Noun();
        content.nearMisses = std::move(missed);
        result.picture = DrawPicture(document, content);
    }
}

}  // namespace

std::string OrderDescription(GridOrder order, const ViewFlags& view) {
    std::string text = OrderName(order);
    if (view.rightToLeft) {
        text += ", right to left";
    }
    if (view.bottomUp) {
        text += ", bottom up";
    }
    if (view.tolerance > 0) {
        text += ", tolerance " + FormatTolerance(view.tolerance);
    }
    return text;
}

double EditorRounding(const Document& document) {
    double largest = 1;
    for (const auto& artboard : document.artboards) {
        const Rect& b = artboard.bounds;
        for (const float value : {b.left, b.top, b.right, b.bottom}) {
            largest = std::max(largest, std::abs(static_cast<double>(value)));
        }
    }
    return largest * kEditorRounding;
}

std::string RenumberJobResult::Summary(const std::string& noun) const {
    return std::to_string(renumbered) + " of " + std::to_string(total) + " " +
           (noun.empty() ? "" : noun + " ") + "renumbered by " + orderText;
}

std::string RenumberJobResult::Noun() const {
    return inputFormat == DocumentFormat::Svg ? "pages" : "artboards";
}

JobFailure JobFailureForCurrentException() {
    try {
        throw;
    } catch (const InputError& error) {
        return {kJobBadInput, error.what()};
    } catch (const std::bad_alloc&) {
        // Whatever ran out of memory, the document is as large as this machine can take.
        return {kJobBadInput,
                "out of memory: the document is too large for this machine; nothing written"};
    } catch (const std::exception& error) {
        return {kJobModuleFailed, error.what()};
    } catch (...) {
        return {kJobModuleFailed, "failed for an unknown reason"};
    }
}

RenumberJobResult RunRenumberJob(const RenumberJobInput& input) {
    RenumberJobResult result;
    try {
        Run(input, result);
    } catch (...) {
        const JobFailure failure = JobFailureForCurrentException();
        result.status = failure.status;
        result.error = failure.message;
        result.document.clear();
        result.picture.clear();
    }
    return result;
}

}  // namespace hostsim::tool

namespace hostsim::tool {

RenumberJobResult RunShowJob(const RenumberJobInput& input, const std::vector<GridOrder>& orders) {
    RenumberJobResult result;
    try {
        Show(input, orders, result);
    } catch (...) {
        const JobFailure failure = JobFailureForCurrentException();
        result.status = failure.status;
        result.error = failure.message;
        result.table.clear();
        result.picture.clear();
    }
    return result;
}

}  // namespace hostsim::tool
