#include "hostsim/tool/documents/FileAccess.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <memory>
#include <new>
#include <random>
#include <system_error>

#include "hostsim/tool/documents/InputError.h"

namespace hostsim::tool {

namespace fs = std::filesystem;

namespace {

std::string Reason(int code) {
    return std::strerror(code);
}

std::string ReadRegularFile(const std::string& path) {
    std::error_code error;
    const fs::file_status status = fs::status(path, error);
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
    const auto size = fs::file_size(path, error);
    if (!error && size > kMaxInputBytes) {
        throw InputError(Located(path, 0, tooLarge));
    }
    const std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"),
                                                               &std::fclose);
    if (!file) {
        throw InputError(Located(path, 0, "cannot be read: " + Reason(errno)));
    }
    // Read to the end rather than to the size found above: some files report no size.
    std::string bytes;
    bytes.reserve(error ? 0 : static_cast<std::size_t>(size));
    char buffer[1 << 16];
    for (;;) {
        const std::size_t got = std::fread(buffer, 1, sizeof buffer, file.get());
        bytes.append(buffer, got);
        if (bytes.size() > kMaxInputBytes) {
            throw InputError(Located(path, 0, tooLarge));
        }
        if (got < sizeof buffer) {
            if (std::ferror(file.get()) != 0) {
                throw InputError(Located(path, 0, "cannot be read: " + Reason(errno)));
            }
            return bytes;
        }
    }
}

// What `path` names once every link is followed, whether or not the file at the end exists
// (fs::weakly_canonical stops at a link that names no file yet).
fs::path Resolved(const std::string& path) {
    fs::path resolved(path);
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
    if (fs::exists(a, error) && fs::exists(b, error)) {
        return fs::equivalent(a, b, error) && !error;
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
    std::string name = target.filename().string();
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
        if (SameFile(earlier.target.string(), output.target.string())) {
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
        const auto fail = [&](const std::string& why) {
            RemoveTemporaries();
            throw InputError(
                Located(output.path, 0, "cannot be written: " + why + "; no file was changed"));
        };
        std::error_code error;
        for (int attempt = 0; attempt < 100 && output.temporary.empty(); ++attempt) {
            fs::path candidate = TemporaryNameBeside(output.target, random());
            if (!fs::exists(candidate, error) && !error) {
                output.temporary = std::move(candidate);
            }
        }
        if (output.temporary.empty()) {
            fail(error ? error.message() : "no free temporary name beside it");
        }
        std::ofstream out(output.temporary, std::ios::binary | std::ios::trunc);
        if (!out) {
            const int code = errno;
            output.temporary.clear();  // nothing was created
            fail(Reason(code));
        }
        out.write(output.bytes.data(), static_cast<std::streamsize>(output.bytes.size()));
        out.close();
        if (!out) {
            fail("the disk refused the data");
        }
        const auto status = fs::status(output.target, error);
        if (!error && fs::exists(status)) {
            fs::permissions(output.temporary, status.permissions(), fs::perm_options::replace,
                            error);
        }
    }
    std::string replaced;
    for (auto& output : outputs_) {
        std::error_code error;
        fs::rename(output.temporary, output.target, error);
        if (error) {
            const std::string what =
                "cannot be written: " + error.message() +
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
