// Runs zr250pro-cli as a technician runs it: the exit status and what it printed on standard output.
// Standard error, where the status texts go, is discarded.
#pragma once

#include <array>
#include <cstdio>
#include <string>

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/wait.h>
#endif

namespace zr::testing {

struct CliRun {
    int status;
    std::string out;
};

#ifdef _WIN32
// Without a shell in between: the command line reaches the program exactly as written, and its
// runtime splits it at blanks and double quotes as a POSIX shell would for these arguments.
inline CliRun Cli(const std::string& arguments) {
    SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    HANDLE readEnd = nullptr;
    HANDLE writeEnd = nullptr;
    if (!CreatePipe(&readEnd, &writeEnd, &inherit, 0)) return {-1, "cannot create a pipe"};
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    HANDLE discard = CreateFileA("NUL", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit, OPEN_EXISTING, 0,
                                 nullptr);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = discard;
    startup.hStdOutput = writeEnd;
    startup.hStdError = discard;
    PROCESS_INFORMATION process{};
    std::string commandLine = "\"" + std::string(ZR250PRO_CLI) + "\" " + arguments;
    const bool started = CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                                        &startup, &process);
    CloseHandle(writeEnd);
    CloseHandle(discard);
    std::string out;
    std::array<char, 4096> buffer{};
    DWORD n = 0;
    while (started && ReadFile(readEnd, buffer.data(), static_cast<DWORD>(buffer.size()), &n, nullptr) && n > 0)
        out.append(buffer.data(), n);
    CloseHandle(readEnd);
    if (!started) return {-1, "cannot start " + std::string(ZR250PRO_CLI)};
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD status = 0;
    GetExitCodeProcess(process.hProcess, &status);
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    // The C runtime writes "\n" as "\r\n" on a text-mode standard output; the tests compare lines.
    std::string lines;
    for (std::size_t i = 0; i < out.size(); ++i)
        if (!(out[i] == '\r' && i + 1 < out.size() && out[i + 1] == '\n')) lines += out[i];
    return {static_cast<int>(status), lines};
}
#else
inline CliRun Cli(const std::string& arguments) {
    const std::string command = std::string(ZR250PRO_CLI) + " " + arguments + " 2>/dev/null";
    std::FILE* pipe = ::popen(command.c_str(), "r");
    std::string out;
    std::array<char, 4096> buffer{};
    while (std::size_t n = std::fread(buffer.data(), 1, buffer.size(), pipe)) out.append(buffer.data(), n);
    const int status = ::pclose(pipe);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, out};
}
#endif

inline bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

}  // namespace zr::testing
