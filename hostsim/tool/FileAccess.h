// Reading whole files, and replacing them so that a reader never sees half of one.
#pragma once

#include <string>

namespace hostsim::tool {

// The bytes of `path`. Throws InputError naming the file when it cannot be read.
std::string ReadWholeFile(const std::string& path);

// Makes `path` hold exactly `bytes`. The bytes go to a new file in the same directory first,
// which is then renamed over `path`, so `path` holds either its old content or the new one
// whatever happens midway. A file that already exists keeps its permission bits; a symbolic
// link keeps pointing at the file, which is the one replaced. Throws
// InputError naming `path` when it cannot be written; the temporary file is removed then.
void ReplaceFile(const std::string& path, const std::string& bytes);

}  // namespace hostsim::tool
