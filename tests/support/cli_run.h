// Runs zr250pro-cli as a technician runs it: the exit status and what it printed on standard output.
#pragma once

#include <array>
#include <cstdio>
#include <string>
#include <sys/wait.h>

namespace zr::testing {

struct CliRun {
    int status;
    std::string out;
};

inline CliRun Cli(const std::string& arguments) {
    const std::string command = std::string(ZR250PRO_CLI) + " " + arguments + " 2>/dev/null";
    std::FILE* pipe = ::popen(command.c_str(), "r");
    std::string out;
    std::array<char, 4096> buffer{};
    while (std::size_t n = std::fread(buffer.data(), 1, buffer.size(), pipe)) out.append(buffer.data(), n);
    const int status = ::pclose(pipe);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, out};
}

inline bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

}  // namespace zr::testing
