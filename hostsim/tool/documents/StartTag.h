// Changing the attributes of an XML element in the file's own text, so that everything
// around them (the attributes' order and quoting, the line breaks between them, the rest of
// the file) stays byte for byte as it was.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace hostsim::tool {

// The start tag that begins at `text[begin]` ('<'), as it is spelled.
class StartTag {
  public:
    struct Attribute {
        std::string name;            // qualified, as spelled
        std::size_t begin = 0;       // the space before the name
        std::size_t valueBegin = 0;  // after the opening quote
        std::size_t valueEnd = 0;    // at the closing quote
        char quote = '"';
    };

    // Throws std::invalid_argument when no well-formed start tag begins there; the caller
    // has parsed the text as XML already, so that means a wrong offset.
    StartTag(std::string_view text, std::size_t begin);

    const std::vector<Attribute>& Attributes() const { return attributes_; }
    const Attribute* Find(std::string_view name) const;

    // Edits of the tag, applied by ApplyEdits.
    struct Edit {
        std::size_t offset = 0;
        std::size_t length = 0;
        std::string replacement;
    };
    // Gives the attribute `name` the value `value` (plain text; escaped here), adding it after
    // the last attribute, with the same space before it, when there is none.
    Edit Set(std::string_view name, std::string_view value) const;
    // Removes the attribute `name` and the space before it; nothing when there is none.
    std::optional<Edit> Remove(std::string_view name) const;

  private:
    std::string_view text_;
    std::size_t nameEnd_ = 0;
    std::vector<Attribute> attributes_;
};

// `value` as the text of an attribute quoted with `quote`.
std::string EscapeAttribute(std::string_view value, char quote = '"');

// Applies edits that do not overlap to `text`. Two edits at the same offset apply in the
// order given.
std::string ApplyEdits(std::string_view text, std::vector<StartTag::Edit> edits);

}  // namespace hostsim::tool
