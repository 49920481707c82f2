// The standard handles and the command line on Windows.
//
// Arguments: main's `argv` is in the ANSI code page, which turns "李" into "?" and cannot be
// undone; the wide command line holds every name as typed. It is split by
// CommandLineToArgvW and converted to UTF-8, the encoding of every string in the program (the
// documents' own included). An application manifest asking for the UTF-8 code page would do
// the same for `argv`, but only on Windows 10 1903 and later, and silently not elsewhere.
#include <windows.h>  // first: the headers below need its definitions

#include <fcntl.h>
#include <io.h>
#include <shellapi.h>

#include <cstdio>
#include <memory>

#include "hostsim/tool/cli/Console.h"

namespace hostsim::tool::cli {
namespace {

std::string Utf8(const wchar_t* wide) {
    const int size = WideCharToMultiByte(CP_UTF8, 0, wide, -1, nullptr, 0, nullptr, nullptr);
    if (size <= 1) {
        return {};
    }
    std::string text(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide, -1, text.data(), size, nullptr, nullptr);
    text.pop_back();  // the terminating null
    return text;
}

// Identity of the file an open handle refers to: volume and file index.
bool Identity(HANDLE handle, BY_HANDLE_FILE_INFORMATION& information) {
    return handle != nullptr && handle != INVALID_HANDLE_VALUE &&
           GetFileInformationByHandle(handle, &information) != 0;
}

}  // namespace

void PrepareStandardStreams() {
    // The document goes out byte for byte, as the native program writes it: in text mode every
    // LF would become CRLF, and a CRLF document would gain a CR in each line.
    const int output = _fileno(stdout);
    if (output >= 0) {  // negative when the program was started without a standard output
        _setmode(output, _O_BINARY);
    }
    // Messages are UTF-8; a console shows them as such.
    SetConsoleOutputCP(CP_UTF8);
}

std::vector<std::string> Utf8Arguments(int argc, char** argv) {
    int count = 0;
    const std::unique_ptr<LPWSTR, decltype(&LocalFree)> wide(
        CommandLineToArgvW(GetCommandLineW(), &count), &LocalFree);
    if (!wide || count != argc) {
        return {argv, argv + argc};  // cannot be told apart: keep what the runtime split
    }
    std::vector<std::string> arguments;
    arguments.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        arguments.push_back(Utf8(wide.get()[i]));
    }
    return arguments;
}

bool IsStandardOutput(const std::string& path) {
    const int size = MultiByteToWideChar(CP_UTF8, 0, path.c_str(), -1, nullptr, 0);
    std::wstring widePath(static_cast<std::size_t>(size > 0 ? size : 1), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, path.c_str(), -1, widePath.data(), size);
    HANDLE file =
        CreateFileW(widePath.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    BY_HANDLE_FILE_INFORMATION named{};
    BY_HANDLE_FILE_INFORMATION output{};
    const bool same = Identity(file, named) && Identity(GetStdHandle(STD_OUTPUT_HANDLE), output) &&
                      named.dwVolumeSerialNumber == output.dwVolumeSerialNumber &&
                      named.nFileIndexHigh == output.nFileIndexHigh &&
                      named.nFileIndexLow == output.nFileIndexLow;
    if (file != INVALID_HANDLE_VALUE) {
        CloseHandle(file);
    }
    return same;
}

}  // namespace hostsim::tool::cli
