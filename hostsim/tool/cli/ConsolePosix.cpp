// The standard handles on POSIX systems: file descriptors 0, 1 and 2.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>

#include "hostsim/tool/cli/Console.h"

namespace hostsim::tool::cli {

void PrepareStandardStreams() {
    // A reader that goes away (`... -o - | head -c1`) would otherwise kill the program with
    // SIGPIPE, silently; ignored, the write fails with EPIPE and is reported as any failed
    // write is, with exit status 2.
    std::signal(SIGPIPE, SIG_IGN);
    // A descriptor that is closed at start-up would be the first one the next open() returns,
    // and the document meant for standard output would be written into that file instead.
    // /dev/null opened for reading holds the place: writes to it fail with EBADF, which the
    // program reports.
    for (int descriptor = 0; descriptor <= 2; ++descriptor) {
        if (fcntl(descriptor, F_GETFD) == -1 && errno == EBADF) {
            const int placeholder =
                open("/dev/null", O_RDONLY);  // NOLINT(cppcoreguidelines-pro-type-vararg)
            if (placeholder > 2) {
                close(placeholder);  // not the lowest free one: nothing left to hold
            }
        }
    }
}

std::vector<std::string> Utf8Arguments(int argc, char** argv) {
    return {argv, argv + argc};
}

bool IsStandardOutput(const std::string& path) {
    struct stat file {};
    struct stat output {};
    return stat(path.c_str(), &file) == 0 && fstat(STDOUT_FILENO, &output) == 0 &&
           file.st_dev == output.st_dev && file.st_ino == output.st_ino;
}

}  // namespace hostsim::tool::cli
