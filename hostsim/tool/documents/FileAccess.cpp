#include "hostsim/tool/documents/FileAccess.h"

#include <cerrno>
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
    for (int hop = 0; hop < 40 && fs::is_symlink(resolved, error); ++hop) {
        const fs::path link = fs::read_symlink(resolved, error);
        if (error) {
            break;
        }
        resolved = link.is_absolute() ? link : resolved.parent_path() / link;
    }
    const fs::path canonical = fs::weakly_canonical(resolved, error);
    return error ? resolved : canonical;
}

// Refuses an output named by a link that leads to no file: one that points at itself (or
// round in a circle), which would be replaced by a regular file, or one whose file does not
// exist, which the user may not know is a link at all.
void RefuseBrokenLink(const std::string& path, const fs::path& target) {
    std::error_code error;
    if (!fs::is_symlink(fs::symlink_status(Utf8Path(path), error))) {
        return;
    }
    if (fs::is_symlink(fs::symlink_status(target, error))) {
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

fs::path TemporaryNameBeside(const fs::path& target, std::uint64_t salt) {
    // ".NAME.123456.tmp", with NAME cut (at a character boundary) to fit in 255 bytes.
    constexpr std::size_t kMaxName = 255;
    const std::string suffix = "." + std::to_string(salt % 1000000) + ".tmp";
    std::string name = Utf8Name(target.filename());
    const std::size_t room = kMaxName - 1 - suffix.size();
    if (name.size() > room) {
        std::size_t cut = room;
        while (cut > 0 && (static_cast<unsigned char>(name[cut]) & 0xC0) == 0x80) {
            --cut;  // not inside a UTF-8 sequence
        }
        name.resize(cut);
    }
    const fs::path directory = target.has_parent_path() ? target.parent_path() : fs::path(".");
    return directory / ("." + name + suffix);
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
    output.bytes = std::move(bytes);
    outputs_.push_back(std::move(output));
}

void OutputSet::Commit() {
    std::random_device seed;
    std::mt19937_64 random(seed());
    for (auto& output : outputs_) {
        std::error_code error;
        const auto status = fs::status(output.target, error);
        std::optional<fs::perms> permissions;
        if (!error && fs::exists(status)) {
            permissions = status.permissions();
        }
        std::string why = "no free temporary name beside it";
        for (int attempt = 0; attempt < 100 && output.temporary.empty(); ++attempt) {
            const fs::path candidate = TemporaryNameBeside(output.target, random());
            const auto created = platform::WriteNewFile(candidate, output.bytes, permissions, why);
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
