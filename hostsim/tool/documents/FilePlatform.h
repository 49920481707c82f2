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
// planted at that name), writes `bytes` to it and flushes them to the disk. When `replacing`
// names an existing file, the new one gets what belongs to it: its permission bits, and its
// owner and group (where the system has them; where they cannot be given to the new file the
// result is Failed before anything is written, and `why` says so). Without it the file gets
// the default for new files. While the file is being written it is locked (POSIX) or open
// without sharing (Windows), so that RemoveIfAbandoned leaves it alone. `folder` names the
// folder in a reason ("the folder out", as the user knows it).
Created WriteNewFile(const std::filesystem::path& path, const std::string& bytes,
                     const std::filesystem::path& replacing, const std::string& folder,
                     std::string& why);

// Why a new file renamed over `target` would not be a fair replacement for it, as a reason
// for a message; empty when it would be (or when `target` does not exist, and its folder
// can be written to or does not exist: creating the file says why then). Refused: a file the
// user may not write, or that is read-only whoever the user is, even in a folder they may
// write (as editors refuse it); a file with more than one name (hard links), which the
// rename would part from its other names; a file in a folder that cannot be written to, or
// (sticky folders, as /tmp) in which only the file's owner may replace it: the reason then
// says that the folder is the cause, naming it as `folder` does ("the folder out").
std::string WhyNotReplaceable(const std::filesystem::path& target, const std::string& folder);

// This process's id, which the names of its temporary files carry.
unsigned long ProcessId();

// Removes `path`, a temporary file that a run of this program with the id `process` made,
// when that run has ended without removing it (it was killed): the process is gone and no
// one holds the file. Anything else is left as it is.
void RemoveIfAbandoned(const std::filesystem::path& path, unsigned long process);

// What the symbolic link `path` holds (where it leads, as written: relative to the link's
// folder unless absolute); nullopt when `path` is no link. On Windows a link is a reparse
// point: a symbolic link or a junction.
std::optional<std::filesystem::path> LinkText(const std::filesystem::path& path);

// Renames `from` over `to` in one step, and flushes the change of the folder to the disk before
// returning. False with `why` when the rename failed (and nothing changed); a rename that was
// made but could not be flushed counts as made.
bool ReplaceWith(const std::filesystem::path& from, const std::filesystem::path& to,
                 std::string& why);

}  // namespace hostsim::tool::platform
