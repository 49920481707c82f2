#include "hostsim/tool/documents/InputError.h"

#include <cstdio>

namespace hostsim::tool {

std::string Located(const std::string& file, int line, const std::string& what) {
    const std::string shown = Printable(file);
    if (line > 0) {
        return shown + ":" + std::to_string(line) + ": " + what;
    }
    return shown + ": " + what;
}

namespace {

// The length of the valid UTF-8 sequence at `at`, or 0. Overlong forms, surrogates and values
// beyond U+10FFFF are not valid.
std::size_t SequenceLength(std::string_view text, std::size_t at) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(at);
    std::size_t length = 0;
    unsigned int low = 0x80;
    unsigned int high = 0xBF;
    if (lead < 0x80) {
        return 1;
    }
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        return 0;
    }
    if (at + length > text.size() || byte(at + 1) < low || byte(at + 1) > high) {
        return 0;
    }
    for (std::size_t i = 2; i < length; ++i) {
        if (byte(at + i) < 0x80 || byte(at + i) > 0xBF) {
            return 0;
        }
    }
    return length;
}

std::string Hex(const char* format, unsigned int value) {
    char buffer[8];
    std::snprintf(buffer, sizeof buffer, format, value);
    return buffer;
}

}  // namespace

std::string Printable(std::string_view text) {
    std::string shown;
    shown.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        const auto c = static_cast<unsigned char>(text[i]);
        const std::size_t length = SequenceLength(text, i);
        if (length == 0) {
            shown += Hex("\\x%02X", c);
            ++i;
        } else if (c == '\n') {
            shown += "\\n";
            ++i;
        } else if (c == '\r') {
            shown += "\\r";
            ++i;
        } else if (c == '\t') {
            shown += "\\t";
            ++i;
        } else if (c < 0x20 || c == 0x7F) {
            shown += Hex("\\u%04X", c);
            ++i;
        } else if (c == 0xC2 && static_cast<unsigned char>(text[i + 1]) < 0xA0) {
            shown += Hex("\\u%04X", static_cast<unsigned char>(text[i + 1]));  // C1 control
            i += 2;
        } else if (text.substr(i, 3) == "\xEF\xBF\xBE" || text.substr(i, 3) == "\xEF\xBF\xBF") {
            shown += text[i + 2] == '\xBE' ? "\\uFFFE" : "\\uFFFF";  // not characters at all
            i += 3;
        } else {
            shown.append(text.substr(i, length));
            i += length;
        }
    }
    return shown;
}

}  // namespace hostsim::tool
