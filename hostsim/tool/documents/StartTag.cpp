#include "hostsim/tool/documents/StartTag.h"

#include <algorithm>
#include <stdexcept>

namespace hostsim::tool {

namespace {

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

}  // namespace

StartTag::StartTag(std::string_view text, std::size_t begin) : text_(text) {
    auto fail = [&] {
        throw std::invalid_argument("no start tag at offset " + std::to_string(begin));
    };
    if (begin >= text.size() || text[begin] != '<') {
        fail();
    }
    std::size_t i = begin + 1;
    while (i < text.size() && !IsSpace(text[i]) && text[i] != '>' && text[i] != '/') {
        ++i;
    }
    nameEnd_ = i;
    for (;;) {
        const std::size_t spaceBegin = i;
        while (i < text.size() && IsSpace(text[i])) {
            ++i;
        }
        if (i >= text.size()) {
            fail();
        }
        if (text[i] == '>' || text[i] == '/') {
            return;
        }
        Attribute attribute;
        attribute.begin = spaceBegin;
        const std::size_t nameBegin = i;
        while (i < text.size() && !IsSpace(text[i]) && text[i] != '=') {
            ++i;
        }
        attribute.name = std::string(text.substr(nameBegin, i - nameBegin));
        while (i < text.size() && IsSpace(text[i])) {
            ++i;
        }
        if (i >= text.size() || text[i] != '=') {
            fail();
        }
        ++i;
        while (i < text.size() && IsSpace(text[i])) {
            ++i;
        }
        if (i >= text.size() || (text[i] != '"' && text[i] != '\'')) {
            fail();
        }
        attribute.quote = text[i];
        attribute.valueBegin = ++i;
        while (i < text.size() && text[i] != attribute.quote) {
            ++i;
        }
        if (i >= text.size()) {
            fail();
        }
        attribute.valueEnd = i++;
        attributes_.push_back(std::move(attribute));
    }
}

const StartTag::Attribute* StartTag::Find(std::string_view name) const {
    for (const auto& attribute : attributes_) {
        if (attribute.name == name) {
            return &attribute;
        }
    }
    return nullptr;
}

StartTag::Edit StartTag::Set(std::string_view name, std::string_view value) const {
    if (const Attribute* attribute = Find(name)) {
        return {attribute->valueBegin, attribute->valueEnd - attribute->valueBegin,
                EscapeAttribute(value, attribute->quote)};
    }
    // A new attribute follows the last one, separated from it as that one is from its
    // predecessor (a line break and indentation, in files the editor wrote).
    std::string space = " ";
    std::size_t offset = nameEnd_;
    if (!attributes_.empty()) {
        const Attribute& last = attributes_.back();
        std::size_t nameBegin = last.begin;
        while (nameBegin < text_.size() && IsSpace(text_[nameBegin])) {
            ++nameBegin;
        }
        space = std::string(text_.substr(last.begin, nameBegin - last.begin));
        offset = last.valueEnd + 1;
    }
    return {offset, 0, space + std::string(name) + "=\"" + EscapeAttribute(value) + "\""};
}

std::optional<StartTag::Edit> StartTag::Remove(std::string_view name) const {
    if (const Attribute* attribute = Find(name)) {
        return Edit{attribute->begin, attribute->valueEnd + 1 - attribute->begin, ""};
    }
    return std::nullopt;
}

std::string EscapeAttribute(std::string_view value, char quote) {
    std::string escaped;
    for (const char c : value) {
        switch (c) {
            case '&':
                escaped += "&amp;";
                break;
            case '<':
                escaped += "&lt;";
                break;
            case '>':
                escaped += "&gt;";
                break;
            case '\n':
                escaped += "&#10;";
                break;
            case '\r':
                escaped += "&#13;";
                break;
            case '\t':
                escaped += "&#9;";
                break;
            default:
                if (c == quote) {
                    escaped += quote == '"' ? "&quot;" : "&apos;";
                } else {
                    escaped += c;
                }
        }
    }
    return escaped;
}

std::string ApplyEdits(std::string_view text, std::vector<StartTag::Edit> edits) {
    std::stable_sort(edits.begin(), edits.end(),
                     [](const auto& a, const auto& b) { return a.offset < b.offset; });
    std::string result;
    std::size_t copied = 0;
    for (const auto& edit : edits) {
        if (edit.offset < copied) {
            throw std::invalid_argument("overlapping edits");
        }
        result.append(text.substr(copied, edit.offset - copied));
        result += edit.replacement;
        copied = edit.offset + edit.length;
    }
    result.append(text.substr(copied));
    return result;
}

}  // namespace hostsim::tool
