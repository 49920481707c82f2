#include "hostsim/tool/documents/XmlText.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

namespace hostsim::tool::xmltext {

bool IsChar(char32_t c) {
    return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) ||
           (c >= 0xE000 && c <= 0xFFFD) || (c >= 0x10000 && c <= 0x10FFFF);
}

Decoded Decode(std::string_view text, std::size_t i) {
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[i + k]); };
    const unsigned char first = byte(0);
    if (first < 0x80) {
        return {first, 1};
    }
    std::size_t length = 0;
    char32_t c = 0;
    char32_t least = 0;
    if ((first & 0xE0) == 0xC0) {
        length = 2, c = first & 0x1F, least = 0x80;
    } else if ((first & 0xF0) == 0xE0) {
        length = 3, c = first & 0x0F, least = 0x800;
    } else if ((first & 0xF8) == 0xF0) {
        length = 4, c = first & 0x07, least = 0x10000;
    } else {
        return {};
    }
    if (i + length > text.size()) {
        return {};
    }
    for (std::size_t k = 1; k < length; ++k) {
        if ((byte(k) & 0xC0) != 0x80) {
            return {};
        }
        c = (c << 6) | (byte(k) & 0x3F);
    }
    if (c < least || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
        return {};
    }
    return {c, length};
}

std::string Lower(std::string_view text) {
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return lower;
}

// The name that follows `text[at]` up to the first character no name holds.
std::string NameAt(std::string_view text, std::size_t at) {
    const auto end = text.find_first_of(" \t\r\n=;>/&<'\"", at);
    return std::string(text.substr(at, end == std::string_view::npos ? end : end - at));
}

// Whether `text` begins with a character a name may begin with: not a digit, '-', '.', or a
// character a name may only go on with (U+00B7, U+0300 to U+036F, U+203F and U+2040).
bool BeginsName(std::string_view text) {
    const auto c = text.empty() ? 0 : static_cast<unsigned char>(text[0]);
    const bool ascii = c == 0 || (c >= '0' && c <= '9') || c == '-' || c == '.';
    const bool combining =
        text.substr(0, 2) == "\xC2\xB7" || c == 0xCC ||
        (c == 0xCD && text.size() > 1 && static_cast<unsigned char>(text[1]) <= 0xAF) ||
        text.substr(0, 3) == "\xE2\x80\xBF" || text.substr(0, 3) == "\xE2\x81\x80";
    return !ascii && !combining;
}

// `qualified` split into prefix and local name; empty when it is not a qualified name (a
// part after a colon that cannot begin a name, as in "xmlns:0p", included).
std::optional<std::pair<std::string_view, std::string_view>> Split(std::string_view qualified) {
    const auto colon = qualified.find(':');
    if (colon == std::string_view::npos) {
        return std::pair{std::string_view(), qualified};
    }
    if (colon == 0 || !BeginsName(qualified.substr(colon + 1)) ||
        qualified.find(':', colon + 1) != std::string_view::npos) {
        return std::nullopt;
    }
    return std::pair{qualified.substr(0, colon), qualified.substr(colon + 1)};
}

// Whether libxml2 (the editor's parser) reads `name`: not when a second colon is followed by
// a character a name may hold but not begin with.
bool EditorReadsName(std::string_view name) {
    const auto first = name.find(':');
    const auto second = first == std::string_view::npos ? first : name.find(':', first + 1);
    if (second == std::string_view::npos || second == 0 || second == first + 1) {
        return true;
    }
    const std::string_view rest = name.substr(second + 1);
    return rest.empty() || BeginsName(rest);
}

bool IsPredefined(std::string_view name) {
    return name == "lt" || name == "gt" || name == "amp" || name == "apos" || name == "quot";
}

bool EditorReadsDeclaredName(std::string_view name) {
    const auto colon = name.find(':');
    if (colon == std::string_view::npos || colon == 0 || colon + 1 == name.size() ||
        name[colon + 1] == ':') {
        return true;
    }
    return BeginsName(name.substr(colon + 1));
}

std::string Encode(char32_t c) {
    std::string bytes;
    if (c < 0x80) {
        bytes += static_cast<char>(c);
    } else if (c < 0x800) {
        bytes += static_cast<char>(0xC0 | (c >> 6));
        bytes += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        bytes += static_cast<char>(0xE0 | (c >> 12));
        bytes += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        bytes += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        bytes += static_cast<char>(0xF0 | (c >> 18));
        bytes += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        bytes += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        bytes += static_cast<char>(0x80 | (c & 0x3F));
    }
    return bytes;
}

char32_t CharacterReference(std::string_view digits) {
    const bool hex = digits.substr(0, 1) == "x";
    char32_t c = 0;
    for (const char d : digits.substr(hex ? 1 : 0)) {
        const auto digit = static_cast<char32_t>(
            d <= '9' ? d - '0' : (std::tolower(static_cast<unsigned char>(d)) - 'a' + 10));
        c = c * (hex ? 16 : 10) + digit;
        if (c > 0x10FFFF) {
            return 0xFFFD;  // not reached: the reader has refused such a reference
        }
    }
    return c;
}

std::string CollapseSpaces(std::string_view value) {
    std::string collapsed;
    for (const char c : value) {
        if (c != ' ' || (!collapsed.empty() && collapsed.back() != ' ')) {
            collapsed += c;
        }
    }
    if (!collapsed.empty() && collapsed.back() == ' ') {
        collapsed.pop_back();
    }
    return collapsed;
}

}  // namespace hostsim::tool::xmltext

namespace hostsim::tool {

using namespace xmltext;

std::optional<std::size_t> FindNonXmlCharacter(std::string_view text) {
    for (std::size_t i = 0; i < text.size();) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c >= 0x20 && c < 0x80) {
            ++i;
            continue;
        }
        const Decoded d = Decode(text, i);
        if (d.length == 0 || !IsChar(d.c)) {
            return i;
        }
        i += d.length;
    }
    return std::nullopt;
}

std::string DescribeCharacter(std::string_view text, std::size_t offset) {
    char buffer[32];
    const Decoded d = Decode(text, offset);
    if (d.length == 0) {
        std::snprintf(buffer, sizeof buffer, "the byte 0x%02X",
                      static_cast<unsigned>(static_cast<unsigned char>(text[offset])));
    } else {
        std::snprintf(buffer, sizeof buffer, "U+%04X", static_cast<unsigned>(d.c));
    }
    return buffer;
}

}  // namespace hostsim::tool
