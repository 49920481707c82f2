// Reading whole files, and replacing a set of them so that a reader never sees half of one
// and a failed run changes none of them.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace hostsim::tool {

// The largest file read as a document: far above any real one (a thousand artboards take
// well under a megabyte), low enough that reading it cannot exhaust a machine's memory.
inline constexpr std::uintmax_t kMaxInputBytes = std::uintmax_t{256} * 1024 * 1024;

// Every name the program handles is UTF-8, as typed on the command line. These convert it to
// and from a path without the system's narrow code page, which on Windows cannot spell most
// names ("李", "Łukasz"); elsewhere they change nothing.
std::filesystem::path Utf8Path(const std::string& name);
std::string Utf8Name(const std::filesystem::path& path);

// The bytes of `path`, which must be a regular file (a link to one is followed) of at most
// kMaxInputBytes. Throws InputError naming the file when it is anything else, or when it
// cannot be read to its end.
std::string ReadWholeFile(const std::string& path);

// Whether `a` and `b` name one file: by identity (device and inode) after following links
// where both exist, and otherwise by their paths with every existing link resolved.
bool SameFile(const std::string& a, const std::string& b);

// The outputs of one run, written all or none. Each is first written in full to a new file
// beside its target; only when every one is written are they renamed over their targets, in
// the order they were added. A failure before the renames changes no target and leaves no
// temporary file behind. Renames almost never fail once the files are written beside their
// targets; if a later one does, the earlier outputs are already replaced, and the message
// says which.
class OutputSet {
  public:
    OutputSet() = default;
    OutputSet(const OutputSet&) = delete;
    OutputSet& operator=(const OutputSet&) = delete;
    ~OutputSet();  // removes temporary files not yet renamed

    // Adds `bytes` as the content `path` is to have. A link is followed, so that the file it
    // names is replaced and the link stays a link; an existing file keeps its permission
    // bits, owner and group (on Windows its attributes and security). Throws InputError
    // naming `path` when what it names exists and is not a regular file, or is the same file
    // as an output added before, or may not be fairly replaced: a file the user may not write
    // or that is read-only, a file with other names (hard links), which a new file in its
    // place would part from them, or one whose folder the user may not write to (the message
    // then names the folder as the cause).
    void Add(const std::string& path, std::string bytes);

    // Writes every output, then renames them into place. Throws InputError naming the file
    // that could not be written (or whose owner and group could not be given to its new
    // version: only root may give a file to another user). First removes, beside each
    // target, the temporary files a killed run left (see TemporaryNameBeside).
    void Commit();

  private:
    struct Output {
        std::string path;  // as given, for messages
        std::filesystem::path target;
        std::string folder;  // "the folder out", for messages
        std::string bytes;
        std::filesystem::path temporary;  // empty until written
    };
    void RemoveTemporaries();
    std::vector<Output> outputs_;
};

// Makes `path` hold exactly `bytes`: an OutputSet of one.
void ReplaceFile(const std::string& path, const std::string& bytes);

// A name in the same directory as `target` for its temporary file, ".NAME.PID-SALT.tmp":
// hidden, telling the process that made it, and short enough for the file system (255 bytes
// a name) however long the target's name is. `salt` makes names differ between attempts. A
// run that is killed while writing leaves it; the next run on the same target removes those
// of its temporaries whose process has ended and which no one holds open (locked).
std::filesystem::path TemporaryNameBeside(const std::filesystem::path& target, std::uint64_t salt);

}  // namespace hostsim::tool
