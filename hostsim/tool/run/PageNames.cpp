#include "hostsim/tool/run/PageNames.h"

#include <variant>
#include <vector>

#include "hostsim/tool/documents/InputError.h"

namespace hostsim::tool {
namespace {

constexpr std::string_view kPlaceholders = "use {n}, {n:03}, {name}, {{ or }}";

// One piece of a pattern: text copied as it is, the number padded to a width, or the name.
struct NumberPiece {
    std::size_t width = 0;
};
struct NamePiece {};
using Piece = std::variant<std::string, NumberPiece, NamePiece>;

// The place of the byte at `offset` as a person counts it: in characters, from 1.
std::string CharacterAt(std::string_view text, std::size_t offset) {
    std::size_t characters = 1;
    for (std::size_t i = 0; i < offset; ++i) {
        characters += (static_cast<unsigned char>(text[i]) & 0xC0) != 0x80 ? 1 : 0;
    }
    return std::to_string(characters);
}

// The placeholder between the braces, or nothing when it is none.
std::optional<Piece> Placeholder(std::string_view inside) {
    if (inside == "n") {
        return NumberPiece{};
    }
    if (inside == "name") {
        return NamePiece{};
    }
    // n:0W, W one digit from 1 to 9
    if (inside.size() == 4 && inside.starts_with("n:0") && inside[3] >= '1' && inside[3] <= '9') {
        return NumberPiece{static_cast<std::size_t>(inside[3] - '0')};
    }
    return std::nullopt;
}

// The pieces of `pattern`, or what is wrong with it.
std::variant<std::vector<Piece>, std::string> Parse(std::string_view pattern) {
    const std::string quoted = "the name pattern \"" + Printable(pattern) + "\"";
    if (pattern.empty()) {
        return quoted + " is empty; " + std::string(kPlaceholders);
    }
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        if (static_cast<unsigned char>(pattern[i]) < 0x20 || pattern[i] == 0x7f) {
            return quoted + " holds a control character at character " + CharacterAt(pattern, i);
        }
    }
    std::vector<Piece> pieces;
    std::string text;
    bool hasNumber = false;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        const char c = pattern[i];
        if ((c == '{' || c == '}') && i + 1 < pattern.size() && pattern[i + 1] == c) {
            text += c;
            ++i;
            continue;
        }
        if (c == '}') {
            return quoted + " has a \"}\" without a \"{\" at character " + CharacterAt(pattern, i) +
                   " (write }} for a brace)";
        }
        if (c != '{') {
            text += c;
            continue;
        }
        const auto close = pattern.find('}', i);
        if (close == std::string_view::npos) {
            return quoted + " has a \"{\" that is not closed at character " +
                   CharacterAt(pattern, i) + " (write {{ for a brace)";
        }
        const auto inside = pattern.substr(i + 1, close - i - 1);
        const auto piece = Placeholder(inside);
        if (!piece) {
            return quoted + " has an unknown placeholder \"{" + Printable(inside) + "}\"; " +
                   std::string(kPlaceholders);
        }
        hasNumber = hasNumber || std::holds_alternative<NumberPiece>(*piece);
        if (!text.empty()) {
            pieces.emplace_back(std::move(text));
            text.clear();
        }
        pieces.push_back(*piece);
        i = close;
    }
    if (!text.empty()) {
        pieces.emplace_back(std::move(text));
    }
    if (!hasNumber) {
        return quoted + " has no {n}, so every page would get the same name";
    }
    return pieces;
}

bool IsSpace(char c) {
    return c == ' ' || c == '\t';
}

}  // namespace

std::optional<std::string> CheckNamePattern(std::string_view pattern) {
    auto parsed = Parse(pattern);
    if (auto* wrong = std::get_if<std::string>(&parsed)) {
        return *wrong;
    }
    return std::nullopt;
}

std::string ApplyNamePattern(std::string_view pattern, std::size_t number, std::string_view name) {
    const auto parsed = Parse(pattern);
    const auto* pieces = std::get_if<std::vector<Piece>>(&parsed);
    if (pieces == nullptr) {
        return std::string(name);
    }
    std::string result;
    for (const auto& piece : *pieces) {
        if (const auto* text = std::get_if<std::string>(&piece)) {
            result += *text;
        } else if (const auto* numberPiece = std::get_if<NumberPiece>(&piece)) {
            const std::string digits = std::to_string(number);
            if (digits.size() < numberPiece->width) {
                result.append(numberPiece->width - digits.size(), '0');
            }
            result += digits;
        } else {
            result += name;
        }
    }
    std::size_t first = 0;
    while (first < result.size() && IsSpace(result[first])) {
        ++first;
    }
    std::size_t last = result.size();
    while (last > first && IsSpace(result[last - 1])) {
        --last;
    }
    return result.substr(first, last - first);
}

}  // namespace hostsim::tool
