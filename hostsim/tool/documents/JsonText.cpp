#include "hostsim/tool/documents/JsonText.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <utility>

#include "hostsim/tool/documents/FloatText.h"

namespace hostsim::tool::json {

bool IsKnownKey(std::string_view key) {
    for (const auto known : kKnownKeys) {
        if (key == known) {
            return true;
        }
    }
    return false;
}

// Refuses nesting deeper than kJsonMaxDepth before the text is parsed, with the line where
// it goes too deep. Only strings and brackets are followed, so invalid JSON is left to the
// parser.
void CheckDepth(const std::string& file, std::string_view text) {
    std::size_t depth = 0;
    int line = 1;
    bool inString = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\n') {
            ++line;
        } else if (c == '\0') {
            // The parser would take it for the end of the text and ignore what follows.
            throw InputError(
                Located(file, line, "not valid JSON: a NUL byte, which JSON text cannot hold"));
        } else if (inString) {
            if (c == '\\') {
                ++i;
            } else if (c == '"') {
                inString = false;
            }
        } else if (c == '"') {
            inString = true;
        } else if (c == '[' || c == '{') {
            if (++depth > kJsonMaxDepth) {
                throw InputError(Located(
                    file, line,
                    "lists and objects nest more than " + std::to_string(kJsonMaxDepth) + " deep"));
            }
        } else if ((c == ']' || c == '}') && depth > 0) {
            --depth;
        }
    }
}

// The text of a key as written ("na\u006de", quotes included), decoded.
std::string DecodedKey(std::string_view keyText) {
    try {
        return Json::parse(keyText).get<std::string>();
    } catch (const Json::exception&) {
        return std::string(keyText);  // not reached for text the parser accepted
    }
}

namespace {

// A number as JSON spells it: -?(0|[1-9][0-9]*)(.[0-9]+)?([eE][+-]?[0-9]+)?
bool IsJsonNumber(std::string_view token) {
    std::size_t i = 0;
    auto digits = [&] {
        const std::size_t begin = i;
        while (i < token.size() && token[i] >= '0' && token[i] <= '9') {
            ++i;
        }
        return i - begin;
    };
    if (i < token.size() && token[i] == '-') {
        ++i;
    }
    if (i < token.size() && token[i] == '0') {
        ++i;
    } else if (digits() == 0) {
        return false;
    }
    if (i < token.size() && token[i] == '.') {
        ++i;
        if (digits() == 0) {
            return false;
        }
    }
    if (i < token.size() && (token[i] == 'e' || token[i] == 'E')) {
        ++i;
        if (i < token.size() && (token[i] == '+' || token[i] == '-')) {
            ++i;
        }
        if (digits() == 0) {
            return false;
        }
    }
    return i == token.size();
}

}  // namespace

HugeNumbers FindHugeNumbers(std::string_view text) {
    HugeNumbers found;
    std::size_t ordinal = 0;
    int line = 1;
    bool inString = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\n') {
            ++line;
        } else if (inString) {
            if (c == '\\') {
                ++i;
            } else if (c == '"') {
                inString = false;
            }
        } else if (c == '"') {
            inString = true;
        } else if (c == '-' || (c >= '0' && c <= '9')) {
            std::size_t end = i;
            while (end < text.size() &&
                   std::string_view("0123456789+-.eE").find(text[end]) != std::string_view::npos) {
                ++end;
            }
            const std::string token(text.substr(i, end - i));
            // Only an exponent or some 309 digits reach beyond the largest double.
            const bool mayBeHuge =
                token.find_first_of("eE") != std::string::npos || token.size() > 300;
            if (mayBeHuge && IsJsonNumber(token) &&
                std::isinf(std::strtod(token.c_str(), nullptr))) {
                if (found.patched.empty()) {
                    found.patched = std::string(text);
                }
                found.patched.replace(i, token.size(), "0" + std::string(token.size() - 1, ' '));
                found.byOrdinal.emplace(ordinal, std::make_pair(token, line));
            }
            ++ordinal;
            i = end - 1;
        }
    }
    return found;
}

std::string_view Trimmed(std::string_view text) {
    const auto begin = text.find_first_not_of(" \t\r\n");
    if (begin == std::string_view::npos) {
        return {};
    }
    return text.substr(begin, text.find_last_not_of(" \t\r\n") - begin + 1);
}

namespace {

// Follows the strings and brackets of a valid JSON text and records where its parts lie.
class PartsScanner {
  public:
    explicit PartsScanner(std::string_view text) : text_(text) {}

    JsonPlaces Scan() {
        while (i_ < text_.size()) {
            Step(text_[i_]);
        }
        return std::move(places_);
    }

  private:
    struct Frame {
        bool isObject = false;
        bool expectKey = false;      // objects: the next string is a key
        std::string key;             // objects: the key of the value being read, decoded
        std::string keyText;         // ... and as written
        std::size_t valueBegin = 0;  // objects: just after the colon of that key
        bool inMember = false;       // objects: a member is being read
        std::size_t index = 0;       // arrays: the element being read
        bool inArtboards = false;    // this array is the top-level "artboards" value
        bool isArtboard = false;     // this object is an element of it
        bool isTopLevel = false;     // the document's object
        std::size_t artboard = 0;
        std::map<std::string, int> keys;  // top level and artboards: each key's line
    };

    // One character (with what belongs to it: a whole string, number or literal).
    void Step(char c) {
        if (c == '\n') {
            ++line_;
        } else if (c == '{' || c == '[') {
            ValueBegins(c == '{', c == '[');
        } else if ((c == '}' || c == ']') && !stack_.empty()) {
            MemberEnds(i_);
            stack_.pop_back();
        } else if (c == ',' && !stack_.empty()) {
            MemberEnds(i_);
            stack_.back().expectKey = stack_.back().isObject;
            ++stack_.back().index;
        } else if (c == '"') {
            String();
            return;
        } else if (c == ':' && !stack_.empty() && stack_.back().isObject) {
            stack_.back().valueBegin = i_ + 1;
            stack_.back().inMember = true;
        } else if (std::string_view("}],: \t\r").find(c) == std::string_view::npos) {
            // A number or a literal: one value, however long.
            ValueBegins(false, false);
            while (i_ < text_.size() &&
                   std::string_view(",]}\n \t\r").find(text_[i_]) == std::string_view::npos) {
                ++i_;
            }
            return;
        }
        ++i_;
    }

    // A value begins at the current line.
    void ValueBegins(bool opensObject, bool opensArray) {
        Frame frame;
        frame.isObject = opensObject;
        frame.expectKey = opensObject;
        frame.isTopLevel = stack_.empty() && opensObject;
        if (!stack_.empty()) {
            const Frame& parent = stack_.back();
            if (parent.inArtboards) {
                places_.artboardLines.push_back(line_);
                places_.keyLines.emplace_back();
                places_.artboardMembers.emplace_back();
                frame.isArtboard = opensObject;
                frame.artboard = parent.index;
            }
            if (parent.isTopLevel && parent.key == kArtboards) {
                places_.artboardsLine = line_;
                frame.inArtboards = opensArray;
            }
        }
        if (opensObject || opensArray) {
            stack_.push_back(frame);
        }
    }

    // At the comma or brace at `end` that ends a member of the innermost object.
    void MemberEnds(std::size_t end) {
        Frame& frame = stack_.back();
        if (!frame.isObject || !frame.inMember) {
            return;
        }
        frame.inMember = false;
        JsonMember member{
            frame.key, frame.keyText,
            std::string(Trimmed(text_.substr(frame.valueBegin, end - frame.valueBegin)))};
        if (frame.isTopLevel) {
            places_.topLevel.push_back(std::move(member));
        } else if (frame.isArtboard) {
            places_.artboardMembers[frame.artboard].push_back(std::move(member));
        }
    }

    // A string from its opening quote: an object's key, or a value.
    void String() {
        const std::size_t begin = i_;
        ++i_;
        while (i_ < text_.size() && text_[i_] != '"') {
            i_ += text_[i_] == '\\' ? 2 : 1;
        }
        ++i_;
        if (stack_.empty() || !stack_.back().isObject || !stack_.back().expectKey) {
            ValueBegins(false, false);
            return;
        }
        Frame& frame = stack_.back();
        frame.keyText = std::string(text_.substr(begin, i_ - begin));
        frame.key = DecodedKey(frame.keyText);
        frame.expectKey = false;
        if (!frame.isTopLevel && !frame.isArtboard) {
            return;
        }
        if (!frame.keys.emplace(frame.key, line_).second && !places_.repeatedKey) {
            places_.repeatedKey = std::make_tuple(
                frame.isTopLevel ? std::string() : "artboard " + std::to_string(frame.artboard + 1),
                frame.key, line_);
        }
        if (frame.isArtboard) {
            places_.keyLines[frame.artboard].emplace(frame.key, line_);
        }
    }

    std::string_view text_;
    std::size_t i_ = 0;
    int line_ = 1;
    JsonPlaces places_;
    std::vector<Frame> stack_;
};

}  // namespace

JsonPlaces LocateParts(std::string_view text) {
    return PartsScanner(text).Scan();
}

// "a string", "an array", ...: what a JSON value is, for messages.
std::string Describe(const Json& value) {
    switch (value.type()) {
        case Json::value_t::object:
            return "an object";
        case Json::value_t::array:
            return "a list";
        case Json::value_t::string:
            return "a string";
        case Json::value_t::boolean:
            return value.get<bool>() ? "true" : "false";
        case Json::value_t::null:
            return "null";
        default:
            return "the number " + value.dump();
    }
}

// The message of a parse error without the library's prefix, and the line it names.
InputError ParseFailure(const std::string& file, std::string_view text,
                        const nlohmann::json::exception& error) {
    std::string what = error.what();
    // "[json.exception.parse_error.101] parse error at line 3, column 4: syntax error ..."
    if (const auto bracket = what.find("] "); bracket != std::string::npos) {
        what.erase(0, bracket + 2);
    }
    int line = 0;
    if (const auto* parse = dynamic_cast<const nlohmann::json::parse_error*>(&error)) {
        line = 1;
        for (std::size_t i = 0; i + 1 < parse->byte && i < text.size(); ++i) {
            line += text[i] == '\n' ? 1 : 0;
        }
        if (const auto colon = what.find(": "); colon != std::string::npos) {
            what.erase(0, colon + 2);
        }
    } else if (const auto quote = what.find('\''); quote != std::string::npos) {
        // "number overflow parsing '1e400'": the line of the first such number.
        const auto end = what.find('\'', quote + 1);
        const std::string token = what.substr(quote + 1, end - quote - 1);
        if (const auto at = text.find(token); !token.empty() && at != std::string_view::npos) {
            line = 1 + static_cast<int>(std::count(
                           text.begin(), text.begin() + static_cast<std::ptrdiff_t>(at), '\n'));
        }
    }
    return InputError(Located(file, line, "not valid JSON: " + what));
}

// A value's text on one line, spaced as the writer spaces everything: no blanks but one
// space after each colon and comma, outside strings. Strings and numbers keep their spelling.
std::string OneLine(std::string_view text) {
    std::string line;
    line.reserve(text.size());
    bool inString = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (inString) {
            line += c;
            if (c == '\\' && i + 1 < text.size()) {
                line += text[++i];
            } else if (c == '"') {
                inString = false;
            }
        } else if (c == '"') {
            inString = true;
            line += c;
        } else if (c == ',' || c == ':') {
            line += c;
            line += ' ';
        } else if (c != ' ' && c != '\t' && c != '\r' && c != '\n') {
            line += c;
        }
    }
    return line;
}

std::string FloatList(std::initializer_list<float> values) {
    std::string text = "[";
    bool first = true;
    for (const float value : values) {
        text += first ? "" : ", ";
        text += FormatFloat(value);
        first = false;
    }
    return text + "]";
}

std::string MarkList(const DisplayMarkSet& kinds) {
    std::string text = "[";
    bool first = true;
    for (const auto kind : kinds) {
        text += first ? "" : ", ";
        text += std::to_string(kind);
        first = false;
    }
    return text + "]";
}

}  // namespace hostsim::tool::json
