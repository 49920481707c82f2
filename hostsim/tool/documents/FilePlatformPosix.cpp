// Reading and replacing files with POSIX calls: open(O_EXCL | O_NOFOLLOW), fchown, fchmod,
// fsync, rename; flock marks a temporary file as in use.
#include <fcntl.h>
#include <pwd.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

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

std::string Folder(const std::filesystem::path& path) {
    return path.has_parent_path() ? path.parent_path().string() : std::string(".");
}

// "mode 0644, owned by alice": the facts that decide who may write a file.
std::string ModeAndOwner(const struct stat& file) {
    char mode[8];
    std::snprintf(mode, sizeof mode, "%04o", static_cast<unsigned>(file.st_mode & 07777));
    std::string owner = std::to_string(file.st_uid);
    std::vector<char> buffer(4096);
    passwd entry{};
    passwd* found = nullptr;
    if (getpwuid_r(file.st_uid, &entry, buffer.data(), buffer.size(), &found) == 0 &&
        found != nullptr) {
        owner = found->pw_name;
    }
    return std::string("mode ") + mode + ", owned by " + owner;
}

}  // namespace

std::FILE* OpenForReading(const std::filesystem::path& path) {
    return std::fopen(path.c_str(), "rb");
}

Created WriteNewFile(const std::filesystem::path& path, const std::string& bytes,
                     const std::filesystem::path& replacing, const std::string& folder,
                     std::string& why) {
    struct stat replaced {};
    const bool keep = !replacing.empty() && stat(replacing.c_str(), &replaced) == 0;
    // With O_EXCL nothing that is there is opened, a link included; the mode is never wider
    // than the replaced file's, so that no one can open the new one who could not open that.
    const auto mode = static_cast<mode_t>(keep ? replaced.st_mode & 07777 : 0666);
    // NOLINTNEXTLINE(cppcoreguidelines-pro-type-vararg): open is variadic
    const int descriptor =
        open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode & 0777);
    if (descriptor < 0) {
        if (errno == EEXIST) {
            return Created::NameTaken;
        }
        why = errno == EACCES || errno == EPERM || errno == EROFS
                  ? folder + " cannot be written to (" + std::strerror(errno) + ")"
                  : std::strerror(errno);
        return Created::Failed;
    }
    // Held until the file is closed, by the system even when the process is killed: a later
    // run that finds the file locked knows that it is still being written.
    flock(descriptor, LOCK_EX | LOCK_NB);
    int code = 0;
    struct stat created {};
    // The new file belongs to whoever runs the program, in the folder's group; the replaced
    // one's owner and group are given to it before anything is written. Only root (or the
    // owner, for a group of their own) may do so; anyone else is refused here rather than
    // taking the file from its owner.
    if (keep && fstat(descriptor, &created) == 0 &&
        (created.st_uid != replaced.st_uid || created.st_gid != replaced.st_gid) &&
        fchown(descriptor, replaced.st_uid, replaced.st_gid) != 0) {
        why = "its owner and group cannot be kept (" + ModeAndOwner(replaced) + ", group " +
              std::to_string(replaced.st_gid) + "): " + std::strerror(errno) +
              "; a new version would belong to you";
        close(descriptor);
        unlink(path.c_str());
        return Created::Failed;
    }
    // The umask narrowed the mode given to open, and a change of owner clears the set-user
    // and set-group bits; the replaced file's bits are kept exactly.
    if ((keep && fchmod(descriptor, mode) != 0) || !WriteAll(descriptor, bytes) ||
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

std::string WhyNotReplaceable(const std::filesystem::path& target, const std::string& folder) {
    const std::string where = Folder(target);
    struct stat directory {};
    if (stat(where.c_str(), &directory) != 0) {
        return {};  // creating the file says why
    }
    struct stat file {};
    const bool exists = lstat(target.c_str(), &file) == 0;
    if (exists && S_ISREG(file.st_mode)) {
        if ((file.st_mode & 0222) == 0) {
            return "it is read-only (" + ModeAndOwner(file) +
                   "); make it writable first if it is to change";
        }
        if (faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) != 0) {
            return "you may not write it (" + ModeAndOwner(file) + "): " + std::strerror(errno);
        }
        if (file.st_nlink > 1) {
            return "it has " + std::to_string(file.st_nlink) +
                   " names (hard links), and a new version put in its place would part it "
                   "from the others, which would keep the old content; write the output "
                   "elsewhere and copy it over the file, which writes through every name";
        }
    }
    const char* itself = exists ? "; the file itself could be written" : "";
    if (faccessat(AT_FDCWD, where.c_str(), W_OK | X_OK, AT_EACCESS) != 0) {
        return folder + " cannot be written to (" + std::strerror(errno) +
               "), and a new version is written there before it takes the file's place" + itself;
    }
    const uid_t user = geteuid();
    if (exists && (directory.st_mode & S_ISVTX) != 0 && user != 0 && user != file.st_uid &&
        user != directory.st_uid) {
        return folder +
               " is sticky (as /tmp is): only the file's owner may replace a file there (" +
               ModeAndOwner(file) + ")" + itself;
    }
    return {};
}

unsigned long ProcessId() {
    return static_cast<unsigned long>(getpid());
}

void RemoveIfAbandoned(const std::filesystem::path& path, unsigned long process) {
    // A process that is alive (or whose id cannot be checked) may still be writing the file.
    if (process == 0 || process > static_cast<unsigned long>(INT32_MAX) ||
        kill(static_cast<pid_t>(process), 0) == 0 || errno != ESRCH) {
        return;
    }
    // NOLINTNEXTLINE(cppcoreguidelines-pro-type-vararg): open is variadic
    const int descriptor = open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (descriptor < 0) {
        return;
    }
    struct stat file {};
    // A process of that id on another machine (a shared folder) holds its lock there too.
    if (fstat(descriptor, &file) == 0 && S_ISREG(file.st_mode) &&
        flock(descriptor, LOCK_EX | LOCK_NB) == 0) {
        unlink(path.c_str());
    }
    close(descriptor);
}

std::optional<std::filesystem::path> LinkText(const std::filesystem::path& path) {
    std::error_code error;
    if (!std::filesystem::is_symlink(std::filesystem::symlink_status(path, error))) {
        return std::nullopt;
    }
    auto text = std::filesystem::read_symlink(path, error);
    if (error) {
        return std::nullopt;
    }
    return text;
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
