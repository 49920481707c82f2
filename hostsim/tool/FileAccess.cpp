#include "hostsim/tool/FileAccess.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <system_error>

#include "hostsim/tool/InputError.h"

namespace hostsim::tool {

namespace fs = std::filesystem;

std::string Located(const std::string& file, int line, const std::string& what) {
    if (line > 0) {
        return file + ":" + std::to_string(line) + ": " + what;
    }
    return file + ": " + what;
}

std::string ReadWholeFile(const std::string& path) {
    std::error_code error;
    if (fs::is_directory(path, error)) {
        throw InputError(Located(path, 0, "is a directory, not a document"));
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        const int code = errno;
        throw InputError(Located(path, 0, std::string("cannot be read: ") + std::strerror(code)));
    }
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) {
        throw InputError(Located(path, 0, "cannot be read to its end"));
    }
    return bytes;
}

namespace {

// A name beside `target` that no file has yet: ".NAME.XXXXXX.tmp".
fs::path TemporaryBeside(const fs::path& target) {
    std::random_device seed;
    std::mt19937_64 random(seed());
    const fs::path directory = target.has_parent_path() ? target.parent_path() : fs::path(".");
    for (int attempt = 0; attempt < 100; ++attempt) {
        const auto suffix = std::to_string(random() % 1000000);
        fs::path candidate = directory / ("." + target.filename().string() + "." + suffix + ".tmp");
        std::error_code error;
        if (!fs::exists(candidate, error) && !error) {
            return candidate;
        }
    }
    throw InputError(Located(target.string(), 0, "cannot find a free temporary name beside it"));
}

}  // namespace

void ReplaceFile(const std::string& path, const std::string& bytes) {
    std::error_code error;
    // A link is followed, so that the file it names is replaced and the link stays a link.
    fs::path target(path);
    if (fs::is_symlink(target, error)) {
        target = fs::weakly_canonical(target, error);
        if (error) {
            throw InputError(Located(path, 0, "cannot be written: " + error.message()));
        }
    }
    if (fs::is_directory(target, error)) {
        throw InputError(Located(path, 0, "cannot be written: it is a directory"));
    }
    const fs::path temporary = TemporaryBeside(target);
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        if (!out) {
            const int code = errno;
            throw InputError(
                Located(path, 0, std::string("cannot be written: ") + std::strerror(code)));
        }
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        out.flush();
        if (!out) {
            out.close();
            fs::remove(temporary, error);
            throw InputError(Located(path, 0, "cannot be written: the disk refused the data"));
        }
    }
    const auto status = fs::status(target, error);
    if (!error && fs::exists(status)) {
        fs::permissions(temporary, status.permissions(), fs::perm_options::replace, error);
    }
    fs::rename(temporary, target, error);
    if (error) {
        std::error_code ignored;
        fs::remove(temporary, ignored);
        throw InputError(Located(path, 0, "cannot be written: " + error.message()));
    }
}

}  // namespace hostsim::tool
