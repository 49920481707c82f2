// Child processes on Windows: this same program started again with the child's arguments, its
// standard output a pipe that the parent reads until the child ends or the time runs out.
// The arguments (UTF-8 in the program) go to CreateProcessW in UTF-16, and the child reads them
// back from its wide command line, so that a module in a folder named "李" reaches it intact.
#include <windows.h>

#include <cstdio>
#include <iostream>
#include <string>

#include "hostsim/loader/LibraryPlatform.h"
#include "hostsim/tool/validate/ChildProcess.h"

namespace hostsim::tool {
namespace {

// One argument quoted for the command line, as the C runtime splits it again.
std::wstring Quoted(const std::wstring& argument) {
    std::wstring quoted = L"\"";
    std::size_t backslashes = 0;
    for (const wchar_t c : argument) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        quoted.append(c == L'"' ? 2 * backslashes + 1 : backslashes, L'\\');
        backslashes = 0;
        quoted += c;
    }
    quoted.append(2 * backslashes, L'\\');
    return quoted + L"\"";
}

std::wstring Wide(const std::string& text) {
    const int size =
        MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(size), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(), size);
    return wide;
}

LONG WINAPI ReportCrash(EXCEPTION_POINTERS* exception) {
    const DWORD code = exception->ExceptionRecord->ExceptionCode;
    std::printf("crashed: exception 0x%08lX\n", static_cast<unsigned long>(code));
    std::fflush(stdout);
    TerminateProcess(GetCurrentProcess(), code);
    return EXCEPTION_EXECUTE_HANDLER;
}

std::string ExceptionText(DWORD code) {
    char text[32];
    std::snprintf(text, sizeof text, "exception 0x%08lX", static_cast<unsigned long>(code));
    return text;
}

}  // namespace

void PrepareChildProcess() {
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
    SetUnhandledExceptionFilter(&ReportCrash);
}

ChildOutcome RunInChildProcess(const std::vector<std::string>& childArguments,
                               const std::function<int()>& /*work*/,
                               std::chrono::milliseconds limit) {
    ChildOutcome outcome;
    const std::wstring program = platform::ProgramPath().wstring();
    if (program.empty()) {
        outcome.crash = "this program's own path is unknown";
        return outcome;
    }
    std::wstring commandLine = Quoted(program);
    for (const std::string& argument : childArguments) {
        commandLine += L" " + Quoted(Wide(argument));
    }
    SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    HANDLE readEnd = nullptr;
    HANDLE writeEnd = nullptr;
    if (!CreatePipe(&readEnd, &writeEnd, &inherit, 0)) {
        outcome.crash = "no pipe";
        return outcome;
    }
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = writeEnd;
    startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    PROCESS_INFORMATION process{};
    std::cout.flush();
    std::fflush(nullptr);
    const BOOL started = CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, TRUE,
                                        0, nullptr, nullptr, &startup, &process);
    CloseHandle(writeEnd);
    if (!started) {
        CloseHandle(readEnd);
        outcome.crash = "the child process could not be started";
        return outcome;
    }
    const ULONGLONG deadline = GetTickCount64() + static_cast<ULONGLONG>(limit.count());
    char buffer[4096];
    bool ended = false;
    for (;;) {
        DWORD available = 0;
        while (PeekNamedPipe(readEnd, nullptr, 0, nullptr, &available, nullptr) && available > 0) {
            DWORD got = 0;
            if (!ReadFile(readEnd, buffer, sizeof buffer, &got, nullptr) || got == 0) {
                break;
            }
            outcome.output.append(buffer, got);
        }
        if (ended) {
            break;
        }
        if (WaitForSingleObject(process.hProcess, 0) == WAIT_OBJECT_0) {
            ended = true;  // one more pass reads what is left in the pipe
            continue;
        }
        if (GetTickCount64() >= deadline) {
            TerminateProcess(process.hProcess, 1);
            WaitForSingleObject(process.hProcess, INFINITE);
            outcome.kind = ChildOutcome::Kind::TimedOut;
            break;
        }
        Sleep(5);
    }
    if (outcome.kind != ChildOutcome::Kind::TimedOut) {
        DWORD code = 0;
        GetExitCodeProcess(process.hProcess, &code);
        if (code >= 0xC0000000UL) {
            outcome.kind = ChildOutcome::Kind::Crashed;
            outcome.crash = ExceptionText(code);
        } else {
            outcome.kind = ChildOutcome::Kind::Exited;
            outcome.exitCode = static_cast<int>(code);
        }
    }
    CloseHandle(readEnd);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return outcome;
}

}  // namespace hostsim::tool
