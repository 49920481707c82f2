#include "hostsim/tool/documents/FileAccess.h"

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>
#include <optional>
#include <random>
#include <system_error>

#include "hostsim/tool/documents/FilePlatform.h"
#include "hostsim/tool/documents/InputError.h"

namespace hostsim::tool {

namespace fs = std::filesystem;

namespace {

std::string Reason(int code) {
    return std::strerror(code);
}

std::string ReadRegularFile(const std::string& path) {
    const fs::path file = Utf8Path(path);
    std::error_code error;
    const fs::file_status status = fs::status(file, error);
    if (error) {
        throw InputError(Located(path, 0, "cannot be read: " + error.message()));
    }
    if (fs::is_directory(status)) {
        throw InputError(Located(path, 0, "is a directory, not a document"));
    }
    if (!fs::is_regular_file(status)) {
        throw InputError(
            Located(path, 0, "is not a regular file (a device, pipe or socket), not a document"));
    }
    const std::string tooLarge = "is larger than the " +
                                 std::to_string(kMaxInputBytes / (std::uintmax_t{1024} * 1024)) +
                                 " MiB a document may have";
    const auto size = fs::file_size(file, error);
    if (!error && size > kMaxInputBytes) {
        throw InputError(Located(path, 0, tooLarge));
    }
    const std::unique_ptr<std::FILE, int (*)(std::FILE*)> stream(platform::OpenForReading(file),
                                                                 &std::fclose);
    if (!stream) {
        throw InputError(Located(path, 0, "cannot be read: " + Reason(errno)));
    }
    // Read to the end rather than to the size found above: some files report no size.
    std::string bytes;
    bytes.reserve(error ? 0 : static_cast<std::size_t>(size));
    char buffer[1 << 16];
    for (;;) {
        const std::size_t got = std::fread(buffer, 1, sizeof buffer, stream.get());
        bytes.append(buffer, got);
        if (bytes.size() > kMaxInputBytes) {
            throw InputError(Located(path, 0, tooLarge));
        }
        if (got < sizeof buffer) {
            if (std::ferror(stream.get()) != 0) {
                throw InputError(Located(path, 0, "cannot be read: " + Reason(errno)));
            }
            return bytes;
        }
    }
}

// What `path` names once every link is followed, whether or not the file at the end exists
// (fs::weakly_canonical stops at a link that names no file yet).
fs::path Resolved(const std::string& path) {
    fs::path resolved = Utf8Path(path);
    std::error_code error;
    for (int hop = 0; hop < 40; ++hop) {
        const auto link = platform::LinkText(resolved);
        if (!link) {
            break;
        }
        resolved = link->is_absolute() ? *link : resolved.parent_path() / *link;
    }
    const fs::path canonical = fs::weakly_canonical(resolved, error);
    return error ? resolved : canonical;
}

// Refuses an output named by a link that leads to no file: one that points at itself (or
// round in a circle), which would be replaced by a regular file, or one whose file does not
// exist, which the user may not know is a link at all.
void RefuseBrokenLink(const std::string& path, const fs::path& target) {
    std::error_code error;
    if (!platform::LinkText(Utf8Path(path))) {
        return;
    }
    if (platform::LinkText(target)) {
        throw InputError(Located(path, 0,
                                 "cannot be written: it is a link that leads back to itself, to "
                                 "no file; give the file to write"));
    }
    if (!fs::exists(fs::symlink_status(target, error))) {
        throw InputError(Located(path, 0,
                                 "cannot be written: it is a link to " +
                                     Printable(Utf8Name(target)) +
                                     ", which does not exist; give the file to write"));
    }
}

}  // namespace

std::string ReadWholeFile(const std::string& path) {
    try {
        return ReadRegularFile(path);
    } catch (const std::bad_alloc&) {
        throw InputError(Located(path, 0, "cannot be read: out of memory"));
    }
}

bool SameFile(const std::string& a, const std::string& b) {
    std::error_code error;
    if (fs::exists(Utf8Path(a), error) && fs::exists(Utf8Path(b), error)) {
        return fs::equivalent(Utf8Path(a), Utf8Path(b), error) && !error;
    }
    return Resolved(a) == Resolved(b);
}

fs::path Utf8Path(const std::string& name) {
    return {std::u8string(name.begin(), name.end())};
}

std::string Utf8Name(const fs::path& path) {
    const std::u8string name = path.u8string();
    return {name.begin(), name.end()};
}

namespace {

// ".NAME.": what every temporary name beside `target` begins with, NAME cut (at a character
// boundary) to leave room in 255 bytes for the longest ending TemporaryNameBeside gives.
std::string TemporaryPrefix(const fs::path& target) {
    constexpr std::size_t kMaxName = 255;
    constexpr std::size_t kLongestEnding = 1 + 20 + 1 + 6 + 4;  // ".PID-SALT.tmp"
    std::string name = Utf8Name(target.filename());
    const std::size_t room = kMaxName - 1 - kLongestEnding;
    if (name.size() > room) {
        std::size_t cut = room;
        while (cut > 0 && (static_cast<unsigned char>(name[cut]) & 0xC0) == 0x80) {
            --cut;  // not inside a UTF-8 sequence
        }
        name.resize(cut);
    }
    return "." + name + ".";
}

fs::path FolderOf(const fs::path& target) {
    return target.has_parent_path() ? target.parent_path() : fs::path(".");
}

// The id of the process that made the temporary file `name` beside a target whose temporary
// names begin with `prefix`; nullopt when `name` is not one of them.
std::optional<unsigned long> TemporaryOwner(const std::string& name, const std::string& prefix) {
    const std::string ending = ".tmp";
    if (name.size() <= prefix.size() + ending.size() || !name.starts_with(prefix) ||
        !name.ends_with(ending)) {
        return std::nullopt;
    }
    const std::string middle =
        name.substr(prefix.size(), name.size() - prefix.size() - ending.size());
    const std::size_t dash = middle.find('-');
    if (dash == 0 || dash == std::string::npos || dash + 1 == middle.size() || dash > 20 ||
        middle.find_first_not_of("0123456789-") != std::string::npos ||
        middle.find('-', dash + 1) != std::string::npos) {
        return std::nullopt;
    }
    unsigned long process = 0;
    const auto [stop, error] = std::from_chars(middle.data(), middle.data() + dash, process);
    if (error != std::errc() || stop != middle.data() + dash) {
        return std::nullopt;
    }
    return process;
}

// Removes the temporary files beside `target` that a killed run of this program left: those
// with its temporary names whose process is gone and which no one holds.
void RemoveAbandonedTemporaries(const fs::path& target) {
    const std::string prefix = TemporaryPrefix(target);
    std::error_code error;
    for (fs::directory_iterator entry(FolderOf(target), error), end; !error && entry != end;
         entry.increment(error)) {
        const auto process = TemporaryOwner(Utf8Name(entry->path().filename()), prefix);
        if (process && *process != platform::ProcessId()) {
            platform::RemoveIfAbandoned(entry->path(), *process);
        }
    }
}

// "the folder out": the folder of the file `path` names, as the user knows it (the folder of
// the path given, unless a link leads to a file elsewhere), for messages.
std::string FolderName(const std::string& path, const fs::path& target) {
    const fs::path given = Utf8Path(path);
    const fs::path folder = platform::LinkText(given) ? FolderOf(target) : FolderOf(given);
    return folder == "." ? "the current folder" : "the folder " + Printable(Utf8Name(folder));
}

}  // namespace

fs::path TemporaryNameBeside(const fs::path& target, std::uint64_t salt) {
    // ".NAME.PID-123456.tmp": hidden, and telling which process made it, so that a later run
    // can tell a temporary left by a killed run from one still being written.
    return FolderOf(target) / (TemporaryPrefix(target) + std::to_string(platform::ProcessId()) +
                               "-" + std::to_string(salt % 1000000) + ".tmp");
}

OutputSet::~OutputSet() {
    RemoveTemporaries();
}

void OutputSet::RemoveTemporaries() {
    for (auto& output : outputs_) {
        if (!output.temporary.empty()) {
            std::error_code ignored;
            fs::remove(output.temporary, ignored);
            output.temporary.clear();
        }
    }
}

void OutputSet::Add(const std::string& path, std::string bytes) {
    Output output;
    output.path = path;
    // A link is followed, so that the file it names is replaced and the link stays a link.
    output.target = Resolved(path);
    RefuseBrokenLink(path, output.target);
    std::error_code error;
    const fs::file_status status = fs::status(output.target, error);
    if (fs::is_directory(status)) {
        throw InputError(Located(path, 0, "cannot be written: it is a directory"));
    }
    if (fs::exists(status) && !fs::is_regular_file(status)) {
        throw InputError(Located(path, 0,
                                 "cannot be written: it is not a regular file (a device, pipe or "
                                 "socket), and is left as it is"));
    }
    for (const auto& earlier : outputs_) {
        if (SameFile(Utf8Name(earlier.target), Utf8Name(output.target))) {
            throw InputError(Located(path, 0,
                                     "is the same file as the output " + Printable(earlier.path) +
                                         "; one would overwrite the other"));
        }
    }
    output.folder = FolderName(path, output.target);
    if (const std::string why = platform::WhyNotReplaceable(output.target, output.folder);
        !why.empty()) {
        throw InputError(Located(path, 0, "cannot be written: " + why + "; no file was changed"));
    }
    output.bytes = std::move(bytes);
    outputs_.push_back(std::move(output));
}

void OutputSet::Commit() {
    std::random_device seed;
    std::mt19937_64 random(seed());
    for (auto& output : outputs_) {
        std::error_code error;
        const fs::path replacing =
            fs::exists(fs::status(output.target, error)) ? output.target : fs::path();
        RemoveAbandonedTemporaries(output.target);
        std::string why = "no free temporary name beside it";
        for (int attempt = 0; attempt < 100 && output.temporary.empty(); ++attempt) {
            const fs::path candidate = TemporaryNameBeside(output.target, random());
            const auto created =
                platform::WriteNewFile(candidate, output.bytes, replacing, output.folder, why);
            if (created == platform::Created::Failed) {
                break;
            }
            if (created == platform::Created::Written) {
                output.temporary = candidate;
            }
        }
        if (output.temporary.empty()) {
            RemoveTemporaries();
            throw InputError(
                Located(output.path, 0, "cannot be written: " + why + "; no file was changed"));
        }
    }
    std::string replaced;
    for (auto& output : outputs_) {
        std::string why;
        if (!platform::ReplaceWith(output.temporary, output.target, why)) {
            const std::string what =
                "cannot be written: " + why +
                (replaced.empty() ? "; no file was changed" : "; already replaced: " + replaced);
            RemoveTemporaries();
            throw InputError(Located(output.path, 0, what));
        }
        output.temporary.clear();
        replaced += (replaced.empty() ? "" : ", ") + Printable(output.path);
    }
}

void ReplaceFile(const std::string& path, const std::string& bytes) {
    OutputSet outputs;
    outputs.Add(path, bytes);
    outputs.Commit();
}

}  // namespace hostsim::tool
