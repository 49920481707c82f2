#include "hostsim/tool/report/Report.h"

#include <algorithm>
#include <unordered_map>

#include "hostsim/tool/documents/FloatText.h"
#include "hostsim/tool/documents/InputError.h"

namespace hostsim::tool {

namespace {

// UTF-8 text's width in code points, which is how a terminal lays most names out.
std::size_t Width(const std::string& text) {
    return static_cast<std::size_t>(std::count_if(text.begin(), text.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    }));
}

// Rows of cells printed in columns; `rightAligned[c]` for numbers.
std::string Columns(const std::vector<std::vector<std::string>>& rows,
                    const std::vector<bool>& rightAligned) {
    std::vector<std::size_t> widths(rightAligned.size(), 0);
    for (const auto& row : rows) {
        for (std::size_t c = 0; c < row.size(); ++c) {
            widths[c] = std::max(widths[c], Width(row[c]));
        }
    }
    std::string text;
    for (const auto& row : rows) {
        std::string line;
        for (std::size_t c = 0; c < row.size(); ++c) {
            const std::string padding(widths[c] - Width(row[c]), ' ');
            line += c == 0 ? "" : "  ";
            line += rightAligned[c] ? padding + row[c] : row[c] + padding;
        }
        line.erase(line.find_last_not_of(' ') + 1);
        text += line + "\n";
    }
    return text;
}

}  // namespace

std::vector<std::optional<std::size_t>> TraceFormerPositions(const Document& before,
                                                             const Document& after) {
    std::vector<std::optional<std::size_t>> former(after.artboards.size());
    std::vector<bool> claimed(before.artboards.size(), false);
    // Positions that kept their own artboard first, so that a duplicate elsewhere cannot
    // claim it.
    for (std::size_t k = 0; k < after.artboards.size() && k < before.artboards.size(); ++k) {
        if (SameTravellingProperties(after.artboards[k], before.artboards[k])) {
            former[k] = k;
            claimed[k] = true;
        }
    }
    // The others from classes of equal artboards of `before`, each with its positions in
    // order and a cursor past those already claimed, so that the work grows with the number
    // of artboards, not its square.
    struct Class {
        std::vector<std::size_t> positions;
        std::size_t next = 0;
    };
    std::unordered_map<std::size_t, std::vector<Class>> classes;
    classes.reserve(before.artboards.size());
    auto classOf = [&](const Artboard& artboard, bool add) -> Class* {
        std::vector<Class>& candidates = classes[TravellingPropertiesHash(artboard)];
        for (Class& c : candidates) {
            if (SameTravellingProperties(before.artboards[c.positions.front()], artboard)) {
                return &c;
            }
        }
        return add ? &candidates.emplace_back() : nullptr;
    };
    for (std::size_t j = 0; j < before.artboards.size(); ++j) {
        classOf(before.artboards[j], true)->positions.push_back(j);
    }
    for (std::size_t k = 0; k < after.artboards.size(); ++k) {
        if (former[k]) {
            continue;
        }
        Class* c = classOf(after.artboards[k], false);
        while (c != nullptr && c->next < c->positions.size() && claimed[c->positions[c->next]]) {
            ++c->next;
        }
        if (c != nullptr && c->next < c->positions.size()) {
            former[k] = c->positions[c->next];
            claimed[c->positions[c->next]] = true;
        }
    }
    return former;
}

std::string EditorX(const Artboard& artboard) {
    return FormatFloat(artboard.bounds.left);
}

std::string EditorY(const Artboard& artboard) {
    return FormatFloat(-artboard.bounds.top);
}

std::string RenumberTable(const Document& after,
                          const std::vector<std::optional<std::size_t>>& formerPositions,
                          TableCoordinates coordinates) {
    const bool pages = coordinates == TableCoordinates::EditorPages;
    std::vector<std::vector<std::string>> rows = {
        {"new", "name", pages ? "x" : "left", pages ? "y" : "top", "was"}};
    for (std::size_t k = 0; k < after.artboards.size(); ++k) {
        const Artboard& artboard = after.artboards[k];
        const auto& former = k < formerPositions.size() ? formerPositions[k] : std::nullopt;
        rows.push_back({std::to_string(k + 1), Printable(artboard.name),
                        pages ? EditorX(artboard) : FormatFloat(artboard.bounds.left),
                        pages ? EditorY(artboard) : FormatFloat(artboard.bounds.top),
                        former ? std::to_string(*former + 1) : "?"});
    }
    return Columns(rows, {true, false, true, true, true});
}

std::string ShowTable(const Document& document, TableCoordinates coordinates) {
    if (coordinates == TableCoordinates::EditorPages) {
        std::vector<std::vector<std::string>> rows = {{"#", "name", "x", "y", "width", "height"}};
        for (std::size_t k = 0; k < document.artboards.size(); ++k) {
            const Artboard& artboard = document.artboards[k];
            const Rect& b = artboard.bounds;
            rows.push_back({std::to_string(k + 1), Printable(artboard.name), EditorX(artboard),
                            EditorY(artboard), FormatFloat(b.right - b.left),
                            FormatFloat(b.top - b.bottom)});
        }
        return Columns(rows, {true, false, true, true, true, true});
    }
    std::vector<std::vector<std::string>> rows = {{"#", "name", "left", "top", "right", "bottom"}};
    for (std::size_t k = 0; k < document.artboards.size(); ++k) {
        const Artboard& artboard = document.artboards[k];
        rows.push_back({std::to_string(k + 1), Printable(artboard.name),
                        FormatFloat(artboard.bounds.left), FormatFloat(artboard.bounds.top),
                        FormatFloat(artboard.bounds.right), FormatFloat(artboard.bounds.bottom)});
    }
    return Columns(rows, {true, false, true, true, true, true});
}

}  // namespace hostsim::tool
