// The one kind of failure a person can fix by changing what they gave the program: a file
// that cannot be read or written, or one whose content is not a document.
//
// what() is the whole one-line message, beginning with the file and, where known, the line:
// "posters.json:7: artboard 3 (\"Cover\"): \"bounds\" must hold 4 numbers, not 3".
#pragma once

#include <stdexcept>
#include <string>

namespace hostsim::tool {

class InputError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// "FILE: what" or, with a line number above 0, "FILE:LINE: what".
std::string Located(const std::string& file, int line, const std::string& what);

}  // namespace hostsim::tool
