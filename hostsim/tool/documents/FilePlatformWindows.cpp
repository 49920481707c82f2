// Reading and replacing files with the wide Windows API: CreateFileW(CREATE_NEW),
// FlushFileBuffers, MoveFileExW(MOVEFILE_WRITE_THROUGH). Every name stays in UTF-16 from the
// path to the system, so that names the ANSI code page cannot spell ("李", "Łukasz") work.
#include <windows.h>

#include <algorithm>
#include <system_error>

#include "hostsim/tool/documents/FilePlatform.h"

namespace hostsim::tool::platform {
namespace {

std::string Reason(DWORD code) {
    return std::system_category().message(static_cast<int>(code));
}

bool WriteAll(HANDLE file, const std::string& bytes) {
    std::size_t written = 0;
    while (written < bytes.size()) {
        const DWORD chunk =
            static_cast<DWORD>(std::min<std::size_t>(bytes.size() - written, 1U << 30));
        DWORD got = 0;
        if (!WriteFile(file, bytes.data() + written, chunk, &got, nullptr) || got == 0) {
            return false;
        }
        written += got;
    }
    return true;
}

}  // namespace

std::FILE* OpenForReading(const std::filesystem::path& path) {
    return _wfopen(path.c_str(), L"rb");
}

Created WriteNewFile(const std::filesystem::path& path, const std::string& bytes,
                     std::optional<std::filesystem::perms> /*permissions*/, std::string& why) {
    // CREATE_NEW opens nothing that is there already. The new file gets the folder's default
    // security, as the replaced one had unless someone changed it by hand.
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        const DWORD code = GetLastError();
        if (code == ERROR_FILE_EXISTS || code == ERROR_ALREADY_EXISTS) {
            return Created::NameTaken;
        }
        why = Reason(code);
        return Created::Failed;
    }
    DWORD code = 0;
    if (!WriteAll(file, bytes) || !FlushFileBuffers(file)) {
        code = GetLastError();
    }
    CloseHandle(file);
    if (code != 0) {
        why = Reason(code);
        DeleteFileW(path.c_str());
        return Created::Failed;
    }
    return Created::Written;
}

bool ReplaceWith(const std::filesystem::path& from, const std::filesystem::path& to,
                 std::string& why) {
    // MOVEFILE_WRITE_THROUGH returns only once the move is on the disk.
    if (!MoveFileExW(from.c_str(), to.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        why = Reason(GetLastError());
        return false;
    }
    return true;
}

}  // namespace hostsim::tool::platform
