// zr250pro-cli as terminal users expect it: - for standard input and output, failed output that
// fails the command, diff's exit statuses, JSON with one type per key, mistyped commands, --version
// and completion.
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <map>
#include <regex>
#include <string>
#include <sys/wait.h>

#include "pager_image.h"
#include "temp_dir.h"

namespace zr {
namespace {

using testing::ReadAll;
using testing::TempDir;
using testing::WriteAll;

const std::string kCli = ZR250PRO_CLI;

struct Shell {
    int status;
    std::string out;
    std::string err;
};

// Runs a shell command line; $CLI names zr250pro-cli.
Shell RunShell(const std::string& line, const TempDir& dir) {
    const auto err = dir / "stderr";
    const std::string command = "CLI=" + kCli + "; cd " + dir.path().string() + " && { " + line + "; } 2>" + err.string();
    std::FILE* pipe = ::popen(command.c_str(), "r");
    std::string out;
    std::array<char, 4096> buffer{};
    while (std::size_t n = std::fread(buffer.data(), 1, buffer.size(), pipe)) out.append(buffer.data(), n);
    const int status = ::pclose(pipe);
    const auto errBytes = ReadAll(err);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, out, {errBytes.begin(), errBytes.end()}};
}

std::string AsText(const std::vector<std::uint8_t>& bytes) { return {bytes.begin(), bytes.end()}; }

TEST(CliConventions, DashIsStandardInputAndOutput) {
    TempDir dir;
    ASSERT_EQ(RunShell("$CLI default -o d.tbl", dir).status, 0);
    const std::string table = AsText(ReadAll(dir / "d.tbl"));

    const auto written = RunShell("$CLI default -o -", dir);
    EXPECT_EQ(written.status, 0);
    EXPECT_EQ(written.out, table);
    EXPECT_EQ(RunShell("$CLI default -o /dev/stdout", dir).out, table);

    const auto shown = RunShell("$CLI default -o - | $CLI show -", dir);
    EXPECT_EQ(shown.status, 0);
    EXPECT_EQ(shown.out, RunShell("$CLI show d.tbl", dir).out);

    ASSERT_EQ(RunShell("$CLI seal d.tbl -o s.tbl", dir).status, 0);
    const auto sealed = RunShell("$CLI seal - -o - < d.tbl", dir);
    EXPECT_EQ(sealed.status, 0);
    EXPECT_EQ(sealed.out, AsText(ReadAll(dir / "s.tbl")));

    // set on standard input has no file to save back to: the edited table comes out.
    const auto edited = RunShell("$CLI set - battery_save=20 < d.tbl", dir);
    EXPECT_EQ(edited.status, 0) << edited.err;
    ASSERT_EQ(edited.out.size(), 256u);
    EXPECT_EQ(edited.out[58], 20);

    // Standard input is taken as a file is: opened and loaded, or with --stored the bytes as they are;
    // with --json the load's messages go to standard error.
    const PagerImage startup = StartupImage();
    WriteAll(dir / "raw.tbl", std::vector<std::uint8_t>(startup.bytes.begin(), startup.bytes.end()));
    const auto stored = RunShell("$CLI show --stored - < raw.tbl", dir);
    EXPECT_EQ(stored.status, 0);
    EXPECT_EQ(stored.out, RunShell("$CLI show --stored raw.tbl", dir).out);
    EXPECT_NE(stored.out.find("pllr: 00010011\n"), std::string::npos) << stored.out;
    EXPECT_EQ(RunShell("$CLI show - < raw.tbl", dir).out, RunShell("$CLI show raw.tbl", dir).out);
    auto outside = ReadAll(dir / "d.tbl");
    outside[3] = 1;  // 109.0000 MHz, outside the 135-174 MHz band
    outside[4] = 0;
    WriteAll(dir / "outside.tbl", outside);
    const std::string refused = "ZR250Pro V1.0.7: Frequency setting error(1350000 < = Frequency < =1740000 )\n";
    EXPECT_EQ(RunShell("$CLI show - < outside.tbl", dir).out.rfind(refused + refused + refused + "frequency: ", 0), 0u);
    const auto json = RunShell("$CLI show --json - < outside.tbl", dir);
    EXPECT_EQ(json.status, 0);
    EXPECT_EQ(json.out.rfind("{\n", 0), 0u) << json.out;
    EXPECT_EQ(json.err, refused + refused + refused);

    // A short table on standard input is noted as a short file is.
    const auto shortInput = RunShell("head -c 100 d.tbl | $CLI show -", dir);
    EXPECT_EQ(shortInput.status, 0);
    EXPECT_NE(shortInput.err.find("standard input holds 100 bytes"), std::string::npos) << shortInput.err;
}

TEST(CliConventions, OutputThatCannotBeWrittenFailsTheCommand) {
    TempDir dir;
    ASSERT_EQ(RunShell("$CLI default -o d.tbl", dir).status, 0);
    for (const char* command : {"$CLI show d.tbl", "$CLI default -o -", "$CLI show --json d.tbl"}) {
        const auto full = RunShell(std::string(command) + " > /dev/full", dir);
        EXPECT_EQ(full.status, 1) << command;
        EXPECT_NE(full.err.find("cannot write standard output: No space left on device"), std::string::npos)
            << command << ": " << full.err;
    }
    // The reader is gone before anything is written.
    const auto closed = RunShell("{ sleep 0.3; $CLI show d.tbl; echo $? > status; } | true; sleep 0.6; cat status", dir);
    EXPECT_EQ(closed.out, "1\n");
    EXPECT_NE(closed.err.find("cannot write standard output: Broken pipe"), std::string::npos) << closed.err;
}

TEST(CliConventions, DiffSaysEqualDifferentOrTrouble) {
    TempDir dir;
    ASSERT_EQ(RunShell("$CLI default -o a.tbl && $CLI set a.tbl -o b.tbl battery_save=20", dir).status, 0);
    EXPECT_EQ(RunShell("$CLI diff a.tbl a.tbl", dir).status, 0);
    EXPECT_EQ(RunShell("$CLI diff a.tbl b.tbl", dir).status, 1);
    const auto missing = RunShell("$CLI diff a.tbl missing.tbl", dir);
    EXPECT_EQ(missing.status, 2);
    EXPECT_EQ(missing.out, "ZR250Pro: Open Error!\n");
    EXPECT_EQ(RunShell("$CLI diff a.tbl", dir).status, 2);  // usage

    // With --json nothing but JSON reaches standard output.
    for (const char* command : {"$CLI show --json missing.tbl", "$CLI diff --json a.tbl missing.tbl"}) {
        const auto json = RunShell(command, dir);
        EXPECT_NE(json.status, 0) << command;
        EXPECT_EQ(json.out, "") << command;
        EXPECT_NE(json.err.find("ZR250Pro: Open Error!"), std::string::npos) << command;
    }
}

// The JSON type of each key's value: number, text, switch; null is none of them.
std::map<std::string, std::string> JsonTypes(const std::string& json) {
    static const std::regex line(R"re(\n  "([^"]+)": (.*?),?(?=\n))re");
    static const std::regex number(R"(-?(0|[1-9][0-9]*)(\.[0-9]+)?)");
    std::map<std::string, std::string> types;
    for (std::sregex_iterator it(json.begin(), json.end(), line), end; it != end; ++it) {
        const std::string value = (*it)[2];
        std::string type = "other: " + value;
        if (value.front() == '"') type = "text";
        else if (value == "true" || value == "false") type = "switch";
        else if (std::regex_match(value, number)) type = "number";
        types[(*it)[1]] = type;
    }
    return types;
}

TEST(CliConventions, JsonKeepsOneTypePerKey) {
    TempDir dir;
    ASSERT_EQ(RunShell("$CLI default -o d.tbl", dir).status, 0);
    const auto expected = JsonTypes(RunShell("$CLI show --json d.tbl", dir).out);
    ASSERT_GT(expected.size(), 50u);
    for (const auto& [key, type] : expected) EXPECT_TRUE(type == "text" || type == "number" || type == "switch") << key << " " << type;
    EXPECT_EQ(expected.at("call1.tone1"), "number");
    EXPECT_EQ(expected.at("firmware"), "number");
    EXPECT_EQ(expected.at("plln"), "text");

    // Images whose bytes select no list item, or show numbers with leading zeros.
    for (std::uint8_t fill : {0x00, 0x07, 0x63, 0xFF}) {
        WriteAll(dir / "odd.tbl", std::vector<std::uint8_t>(256, fill));
        EXPECT_EQ(JsonTypes(RunShell("$CLI show --json odd.tbl", dir).out), expected) << int{fill};
    }
    const auto diff = RunShell("$CLI diff --json d.tbl odd.tbl", dir);
    EXPECT_NE(diff.out.find("\"spacing\": [\"Auto\", \"\"]"), std::string::npos) << diff.out;
}

TEST(CliConventions, MistypedCommandsAreNamed) {
    TempDir dir;
    const auto mistyped = RunShell("$CLI shwo d.tbl", dir);
    EXPECT_EQ(mistyped.status, 2);
    EXPECT_EQ(mistyped.out, "");
    EXPECT_EQ(mistyped.err, "zr250pro-cli: unknown command 'shwo'; did you mean 'show'?\n");
    EXPECT_EQ(RunShell("$CLI frobnicate", dir).err, "zr250pro-cli: unknown command 'frobnicate'; see 'zr250pro-cli --help'\n");
}

TEST(CliConventions, EveryProgramTellsItsVersion) {
    TempDir dir;
    std::vector<std::pair<std::string, std::string>> programs = {{ZR250PRO_CLI, "zr250pro-cli"}};
#ifdef ZR250PRO_SIM
    programs.emplace_back(ZR250PRO_SIM, "zr250pro-sim");
#endif
#ifdef ZR250PRO_WINDOW
    programs.emplace_back(ZR250PRO_WINDOW, "zr250pro");
#endif
    for (const auto& [path, name] : programs) {
        const auto version = RunShell(path + " --version", dir);
        EXPECT_EQ(version.status, 0) << name;
        EXPECT_EQ(version.out, name + " " + ZR250PRO_VERSION + "\n");
    }
}

// What bash completion offers for a command line ending at the cursor.
std::string Complete(const std::string& words, const TempDir& dir) {
    const std::string script = "export ZR250PRO_PORTS=ttyUSB7:./sim-port; PATH=" + std::filesystem::path(kCli).parent_path().string() + ":$PATH; source " +
                               ZR250PRO_COMPLETION + "; COMP_WORDS=(" + words + "); COMP_CWORD=$((${#COMP_WORDS[@]} - 1)); "
                               "_zr250pro_cli; printf '%s\\n' \"${COMPREPLY[@]}\"";
    const auto file = dir / "complete.sh";
    WriteAll(file, std::vector<std::uint8_t>(script.begin(), script.end()));
    return RunShell("bash " + file.string(), dir).out;
}

TEST(CliConventions, BashCompletesCommandsOptionsPortsAndKeys) {
    if (std::system("command -v bash >/dev/null") != 0) GTEST_SKIP() << "no bash here";
    TempDir dir;
    ASSERT_EQ(RunShell("$CLI default -o site.tbl", dir).status, 0);
    EXPECT_EQ(Complete("zr250pro-cli sh", dir), "show\n");
    EXPECT_EQ(Complete("zr250pro-cli se", dir), "seal\nset\n");
    EXPECT_EQ(Complete("zr250pro-cli do", dir), "doctor\n");
    EXPECT_EQ(Complete("zr250pro-cli read --tr", dir), "--trace\n");
    EXPECT_EQ(Complete("zr250pro-cli set --u", dir), "--user-mode\n");
    EXPECT_EQ(Complete("zr250pro-cli show si", dir), "site.tbl\n");
    EXPECT_EQ(Complete("zr250pro-cli set site.tbl battery_s", dir), "battery_save=\n");
    EXPECT_EQ(Complete("zr250pro-cli probe --port tty", dir), "ttyUSB7\n");
}

}  // namespace
}  // namespace zr
