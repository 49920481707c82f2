// The system's side of reading and replacing files: the few primitives FileAccess needs,
// implemented once per platform (FilePlatformPosix.cpp, FilePlatformWindows.cpp). Paths come
// in as std::filesystem::path, so that on Windows every call takes the wide API.
#pragma once

#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>

namespace hostsim::tool::platform {

// Opens `path` for reading in binary; null with errno set when it cannot be opened.
std::FILE* OpenForReading(const std::filesystem::path& path);

enum class Created {
    Written,    // the file is new, holds `bytes`, and they are on the disk
    NameTaken,  // something (a file, a link, a folder) is already there; nothing was changed
    Failed,     // `why` says why; no file is left behind
};

// Creates `path` as a new file, never opening what is there already (not even through a link
// planted at that name), writes `bytes` to it and flushes them to the disk. `permissions`,
// where the system has them, are those of the file it is to replace; without them the file
// gets the default for new files.
Created WriteNewFile(const std::filesystem::path& path, const std::string& bytes,
                     std::optional<std::filesystem::perms> permissions, std::string& why);

// Renames `from` over `to` in one step, and flushes the change of the folder to the disk before
// returning. False with `why` when the rename failed (and nothing changed); a rename that was
// made but could not be flushed counts as made.
bool ReplaceWith(const std::filesystem::path& from, const std::filesystem::path& to,
                 std::string& why);

}  // namespace hostsim::tool::platform
