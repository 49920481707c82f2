// Reading and replacing files with POSIX calls: open(O_EXCL | O_NOFOLLOW), fsync, rename.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "hostsim/tool/documents/FilePlatform.h"

namespace hostsim::tool::platform {
namespace {

// Flushes the folder holding `path`, so that a rename into it survives a power cut.
void FlushFolder(const std::filesystem::path& path) {
    const std::filesystem::path folder =
        path.has_parent_path() ? path.parent_path() : std::filesystem::path(".");
    // NOLINTNEXTLINE(cppcoreguidelines-pro-type-vararg): open is variadic
    const int descriptor = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (descriptor >= 0) {
        fsync(descriptor);  // some file systems refuse it for folders; nothing to be done then
        close(descriptor);
    }
}

bool WriteAll(int descriptor, const std::string& bytes) {
    std::size_t written = 0;
    while (written < bytes.size()) {
        const ssize_t got = write(descriptor, bytes.data() + written, bytes.size() - written);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            errno = got == 0 ? EIO : errno;
            return false;
        }
        written += static_cast<std::size_t>(got);
    }
    return true;
}

}  // namespace

std::FILE* OpenForReading(const std::filesystem::path& path) {
    return std::fopen(path.c_str(), "rb");
}

Created WriteNewFile(const std::filesystem::path& path, const std::string& bytes,
                     std::optional<std::filesystem::perms> permissions, std::string& why) {
    // With O_EXCL nothing that is there is opened, a link included; the mode is never wider
    // than the replaced file's, so that no one can open the new one who could not open that.
    const auto mode =
        static_cast<mode_t>(permissions ? *permissions : std::filesystem::perms(0666));
    // NOLINTNEXTLINE(cppcoreguidelines-pro-type-vararg): open is variadic
    const int descriptor =
        open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode & 0777);
    if (descriptor < 0) {
        if (errno == EEXIST) {
            return Created::NameTaken;
        }
        why = std::strerror(errno);
        return Created::Failed;
    }
    // The umask narrowed the mode given to open; the replaced file's bits are kept exactly.
    int code = 0;
    if ((permissions && fchmod(descriptor, mode) != 0) || !WriteAll(descriptor, bytes) ||
        fsync(descriptor) != 0) {
        code = errno;
    }
    if (close(descriptor) != 0 && code == 0) {
        code = errno;
    }
    if (code != 0) {
        why = std::strerror(code);
        unlink(path.c_str());
        return Created::Failed;
    }
    return Created::Written;
}

bool ReplaceWith(const std::filesystem::path& from, const std::filesystem::path& to,
                 std::string& why) {
    if (rename(from.c_str(), to.c_str()) != 0) {
        why = std::strerror(errno);
        return false;
    }
    FlushFolder(to);
    return true;
}

}  // namespace hostsim::tool::platform
