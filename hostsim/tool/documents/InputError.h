// The one kind of failure a person can fix by changing what they gave the program: a file
// that cannot be read or written, or one whose content is not a document.
//
// what() is the whole one-line message, beginning with the file and, where known, the line:
// "posters.json:7: artboard 3 (\"Cover\"): \"bounds\" must hold 4 numbers, not 3".
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

namespace hostsim::tool {

class InputError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// "FILE: what" or, with a line number above 0, "FILE:LINE: what". The file's name is shown
// Printable.
std::string Located(const std::string& file, int line, const std::string& what);

// `text` (UTF-8) as it may be shown in a message or a table: every control character (C0,
// DEL and C1, which a terminal may act on, and line breaks, which would split a one-line
// message) as \n, \r, \t or \u00XX, and every byte that is not part of valid UTF-8 as
// \xXX, and the non-characters U+FFFE and U+FFFF as \uFFFE and \uFFFF. Everything else
// is left as it is, so that what comes out is one line and fits in an XML 1.0 file.
std::string Printable(std::string_view text);

}  // namespace hostsim::tool
