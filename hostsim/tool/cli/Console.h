// The program's side of its process: the arguments as UTF-8, and standard output as the place
// a document may be written to. Implemented once per platform (ConsolePosix.cpp,
// ConsoleWindows.cpp); nothing else in the program touches the standard handles directly.
#pragma once

#include <string>
#include <vector>

namespace hostsim::tool::cli {

// Called first in main. Makes standard output carry exactly the bytes written to it (binary
// on Windows, where it would otherwise turn LF into CRLF), and keeps a closed standard handle
// closed in effect: a file the program opens later never takes its place, so a write to a
// closed standard output fails instead of landing in that file.
void PrepareStandardStreams();

// The command line's arguments in UTF-8, the program's name first. On Windows they are read
// from the wide command line, since the `argv` of main holds them in the ANSI code page, which
// cannot spell most names ("李", "Łukasz"). Elsewhere they are `argv` as given.
std::vector<std::string> Utf8Arguments(int argc, char** argv);

// Whether `path` names the file that standard output writes to (a file standard output was
// redirected to, or /dev/stdout). False when either cannot be told.
bool IsStandardOutput(const std::string& path);

}  // namespace hostsim::tool::cli
