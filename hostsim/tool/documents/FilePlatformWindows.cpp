// Reading and replacing files with the wide Windows API: CreateFileW(CREATE_NEW),
// FlushFileBuffers, ReplaceFileW (which keeps the replaced file's attributes and security) or,
// for a new file, MoveFileExW(MOVEFILE_WRITE_THROUGH). Every name stays in UTF-16 from the
// path to the system, so that names the ANSI code page cannot spell ("李", "Łukasz") work.
#include <windows.h>

#include <winioctl.h>

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <system_error>
#include <vector>

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

// The reparse data of a symbolic link or a junction: the header all share, then the two
// names (the substitute name the system follows, the print name it shows) in PathBuffer.
struct LinkReparseData {
    ULONG tag;
    USHORT dataLength;
    USHORT reserved;
    USHORT substituteOffset;
    USHORT substituteLength;
    USHORT printOffset;
    USHORT printLength;
};

}  // namespace

std::FILE* OpenForReading(const std::filesystem::path& path) {
    return _wfopen(path.c_str(), L"rb");
}

Created WriteNewFile(const std::filesystem::path& path, const std::string& bytes,
                     const std::filesystem::path& /*replacing*/, const std::string& folder,
                     std::string& why) {
    // CREATE_NEW opens nothing that is there already. Hidden and marked temporary while it is
    // written; no sharing, so that no one opens or deletes it meanwhile. ReplaceWith gives it
    // the replaced file's attributes and security.
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_TEMPORARY, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        const DWORD code = GetLastError();
        if (code == ERROR_FILE_EXISTS || code == ERROR_ALREADY_EXISTS) {
            return Created::NameTaken;
        }
        why = code == ERROR_ACCESS_DENIED || code == ERROR_WRITE_PROTECT
                  ? folder + " cannot be written to (" + Reason(code) + ")"
                  : Reason(code);
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

std::string WhyNotReplaceable(const std::filesystem::path& target, const std::string& /*folder*/) {
    const DWORD attributes = GetFileAttributesW(target.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        return {};  // a new file: creating it says why it cannot be
    }
    if ((attributes & FILE_ATTRIBUTE_READONLY) != 0) {
        return "it is read-only (its read-only attribute is set); clear it first (attrib -R) if "
               "it is to change";
    }
    HANDLE file = CreateFileW(target.c_str(), FILE_READ_ATTRIBUTES,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return {};
    }
    BY_HANDLE_FILE_INFORMATION information{};
    const bool known = GetFileInformationByHandle(file, &information) != 0;
    CloseHandle(file);
    if (known && information.nNumberOfLinks > 1) {
        return "it has " + std::to_string(information.nNumberOfLinks) +
               " names (hard links), and a new version put in its place would part it from the "
               "others, which would keep the old content; write the output elsewhere and copy "
               "it over the file, which writes through every name";
    }
    return {};
}

unsigned long ProcessId() {
    return GetCurrentProcessId();
}

void RemoveIfAbandoned(const std::filesystem::path& path, unsigned long process) {
    HANDLE running = OpenProcess(SYNCHRONIZE, FALSE, static_cast<DWORD>(process));
    if (running != nullptr) {
        const bool ended = WaitForSingleObject(running, 0) == WAIT_OBJECT_0;
        CloseHandle(running);
        if (!ended) {
            return;  // still running: the file may still be being written
        }
    } else if (GetLastError() != ERROR_INVALID_PARAMETER) {
        return;  // a process that exists but may not be looked at
    }
    // A file still open (written by a process of the same id elsewhere) is not deleted: it
    // was opened without sharing.
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES &&
        (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) == 0) {
        DeleteFileW(path.c_str());
    }
}

std::optional<std::filesystem::path> LinkText(const std::filesystem::path& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0) {
        return std::nullopt;
    }
    HANDLE link = CreateFileW(
        path.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
        nullptr, OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (link == INVALID_HANDLE_VALUE) {
        return std::nullopt;
    }
    std::vector<unsigned char> data(MAXIMUM_REPARSE_DATA_BUFFER_SIZE);
    DWORD got = 0;
    const bool read = DeviceIoControl(link, FSCTL_GET_REPARSE_POINT, nullptr, 0, data.data(),
                                      static_cast<DWORD>(data.size()), &got, nullptr) != 0;
    CloseHandle(link);
    if (!read || got < sizeof(LinkReparseData)) {
        return std::nullopt;
    }
    LinkReparseData header{};
    std::memcpy(&header, data.data(), sizeof header);
    std::size_t names = sizeof header;  // a junction's names follow the header
    if (header.tag == IO_REPARSE_TAG_SYMLINK) {
        names += sizeof(ULONG);  // its flags: whether the names are relative to its folder
    } else if (header.tag != IO_REPARSE_TAG_MOUNT_POINT) {
        return std::nullopt;  // some other kind of reparse point: not a link
    }
    const auto name = [&](USHORT offset, USHORT length) {
        std::wstring text;
        if (names + offset + length <= got) {
            text.resize(length / sizeof(wchar_t));
            std::memcpy(text.data(), data.data() + names + offset, length);
        }
        return text;
    };
    std::wstring text = name(header.printOffset, header.printLength);
    if (text.empty()) {
        text = name(header.substituteOffset, header.substituteLength);
        if (text.starts_with(L"\\??\\")) {
            text.erase(0, 4);
        }
    }
    if (text.empty()) {
        return std::nullopt;
    }
    return std::filesystem::path(text);
}

bool ReplaceWith(const std::filesystem::path& from, const std::filesystem::path& to,
                 std::string& why) {
    const DWORD attributes = GetFileAttributesW(to.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES) {
        // ReplaceFileW keeps the replaced file's attributes, security, creation time and
        // streams; the new one's own hidden and temporary marks go.
        SetFileAttributesW(from.c_str(), FILE_ATTRIBUTE_NORMAL);
        if (ReplaceFileW(to.c_str(), from.c_str(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS,
                         nullptr, nullptr)) {
            SetFileAttributesW(to.c_str(), attributes);
            return true;
        }
        const DWORD code = GetLastError();
        if (code != ERROR_FILE_NOT_FOUND) {
            why = Reason(code);
            return false;
        }
        // The file went meanwhile: the new one takes its name as a new file does.
    }
    SetFileAttributesW(from.c_str(), FILE_ATTRIBUTE_NORMAL);
    // MOVEFILE_WRITE_THROUGH returns only once the move is on the disk.
    if (!MoveFileExW(from.c_str(), to.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        why = Reason(GetLastError());
        return false;
    }
    return true;
}

}  // namespace hostsim::tool::platform
