// XML's characters and names, as the SVG reader and writer need them beyond what expat checks:
// decoding UTF-8, the characters XML 1.0 allows, names and qualified names, and how a
// character is named in a message.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace hostsim::tool::xmltext {

// The namespaces the prefixes xml and xmlns are bound to in every document.
inline constexpr std::string_view kXmlNamespace = "http://www.w3.org/XML/1998/namespace";
inline constexpr std::string_view kXmlnsNamespace = "http://www.w3.org/2000/xmlns/";

// The character at `text[i]` and its length in bytes; length 0 where the bytes there are not
// the shortest UTF-8 form of a Unicode scalar value.
struct Decoded {
    char32_t c = 0;
    std::size_t length = 0;
};

// Whether XML 1.0 allows `c` in a document.
bool IsChar(char32_t c);

Decoded Decode(std::string_view text, std::size_t i);

// ASCII letters in lower case (encoding names compare so).
std::string Lower(std::string_view text);

// The name that follows `text[at]` up to the first character no name holds.
std::string NameAt(std::string_view text, std::size_t at);

// Whether `text` begins with a character a name may begin with: not a digit, '-', '.', or a
// character a name may only go on with (U+00B7, U+0300 to U+036F, U+203F and U+2040).
bool BeginsName(std::string_view text);

// `qualified` split into prefix and local name; empty when it is not a qualified name (a
// part after a colon that cannot begin a name, as in "xmlns:0p", included).
std::optional<std::pair<std::string_view, std::string_view>> Split(std::string_view qualified);

// Whether libxml2 (the editor's parser) reads `name`: not when a second colon is followed by
// a character a name may hold but not begin with.
bool EditorReadsName(std::string_view name);

// lt, gt, amp, apos and quot: the entities every document has.
bool IsPredefined(std::string_view name);

// Whether libxml2 reads `name` as the name of an attribute a DTD declares: not when its first
// colon is followed by a character a name may hold but not begin with ("a:0p").
bool EditorReadsDeclaredName(std::string_view name);

// The value libxml2 gives an attribute spelled `raw` (the text between the quotes) when it
// does not substitute entities, as the editor reads files: line ends and white space become
// spaces, character references their characters, but a reference to a general entity stays
// as written ("&ink;"), a reference to one that `declared` does not know is dropped, and an
// '&' that a reference gives is spelled "&#38;". With `tokenized` (an attribute a DTD declares
// with a type other than CDATA) runs of spaces become one and spaces at either end go.
template <typename Declared>
std::string UnsubstitutedValue(std::string_view raw, bool tokenized, Declared&& declared);

// The UTF-8 bytes of `c`.
std::string Encode(char32_t c);

// The character a character reference ("&#233;", "&#xE9;", without '&' and ';') stands for.
char32_t CharacterReference(std::string_view digits);

// `value` with runs of spaces made one and the spaces at either end removed.
std::string CollapseSpaces(std::string_view value);

template <typename Declared>
std::string UnsubstitutedValue(std::string_view raw, bool tokenized, Declared&& declared) {
    std::string value;
    for (std::size_t i = 0; i < raw.size(); ++i) {
        const char c = raw[i];
        if (c == '\r' && i + 1 < raw.size() && raw[i + 1] == '\n') {
            continue;  // one line end: the '\n' that follows becomes the space
        }
        if (c == ' ' || c == '\t' || c == '\n' || c == '\r') {
            value += ' ';
            continue;
        }
        const auto semicolon = c == '&' ? raw.find(';', i) : std::string_view::npos;
        if (semicolon == std::string_view::npos) {
            value += c;
            continue;
        }
        const std::string_view name = raw.substr(i + 1, semicolon - i - 1);
        i = semicolon;
        char32_t character = 0;
        if (name.substr(0, 1) == "#") {
            character = CharacterReference(name.substr(1));
        } else if (name == "amp" || name == "lt" || name == "gt" || name == "apos" ||
                   name == "quot") {
            character = name == "amp"    ? '&'
                        : name == "lt"   ? '<'
                        : name == "gt"   ? '>'
                        : name == "apos" ? '\''
                                         : '"';
        } else {
            if (declared(name)) {
                value.append("&").append(name).append(";");
            }
            continue;
        }
        value += character == '&' ? std::string("&#38;") : Encode(character);
    }
    return tokenized ? CollapseSpaces(value) : value;
}

}  // namespace hostsim::tool::xmltext
