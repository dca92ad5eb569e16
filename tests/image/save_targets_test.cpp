// What a save makes of every kind of thing its path can point at, as root and as an ordinary user,
// and what is left when a save is killed at a random moment.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <functional>
#include <optional>
#include <iostream>
#include <random>
#include <set>
#include <string>
#include <thread>

#include <fcntl.h>
#include <pwd.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include "editor_load.h"
#include "file_system.h"
#include "pager_image.h"
#include "temp_dir.h"
#include "temporary_name.h"

namespace zr {
namespace {

namespace fs = std::filesystem;
using testing::ReadAll;
using testing::TempDir;
using testing::WriteAll;

const std::vector<std::uint8_t> kOld(256, 0x5A);

// What `default -o` saves: the image the window holds after start-up, which `set` loads unchanged.
std::vector<std::uint8_t> NewBytes() {
    const PagerImage image = StartupEditorSession().image;
    return {image.bytes.begin(), image.bytes.end()};
}

struct stat StatOf(const fs::path& path) {
    struct stat status {};
    ::lstat(path.c_str(), &status);
    return status;
}

std::size_t EntriesIn(const fs::path& folder) {
    return static_cast<std::size_t>(std::distance(fs::directory_iterator(folder), {}));
}

struct Run {
    int status;
    std::string out;
    std::string err;
};

std::string Slurp(const fs::path& path) {
    const auto bytes = ReadAll(path);
    return {bytes.begin(), bytes.end()};
}

// An ordinary user to run as; none means this process's own user.
struct Account {
    std::string name;
    uid_t uid = 0;
    gid_t gid = 0;
};

std::string SwitchTo(const Account& account) {
    return "setpriv --reuid=" + std::to_string(account.uid) + " --regid=" + std::to_string(account.gid) +
           " --clear-groups ";
}

// zr250pro-cli with `arguments`, optionally as `user`; stdout and stderr kept apart.
Run RunCli(const std::string& arguments, const fs::path& scratch, const std::optional<Account>& user = {}) {
    const std::string prefix = user ? SwitchTo(*user) : "";
    const auto out = scratch / "cli.out";
    const auto err = scratch / "cli.err";
    const std::string command = prefix + ZR250PRO_CLI + std::string(" ") + arguments + " >" + out.string() + " 2>" +
                                err.string();
    const int status = std::system(command.c_str());
    Run run{WIFEXITED(status) ? WEXITSTATUS(status) : -1, Slurp(out), Slurp(err)};
    fs::remove(out);
    fs::remove(err);
    return run;
}

// The user that ordinary-user runs take, when this process may switch to it: one without a
// home or rights of its own, who can reach the command line program.
std::optional<Account> UnprivilegedUser() {
    if (::geteuid() != 0 || std::system("command -v setpriv >/dev/null") != 0) return std::nullopt;
    const passwd* user = ::getpwnam("nobody");
    if (user == nullptr) return std::nullopt;
    const Account account{user->pw_name, user->pw_uid, user->pw_gid};
    const std::string probe = SwitchTo(account) + "test -x " + ZR250PRO_CLI;
    if (std::system(probe.c_str()) != 0) return std::nullopt;
    return account;
}

// One kind of target: how to make it in its folder (the reason when this machine cannot), whether
// the save goes through, and what must stand there afterwards.
struct SaveTarget {
    const char* kind;
    std::function<std::string(const fs::path& folder)> make;  // returns why it cannot be made, or ""
    bool saved;
    std::function<void(const fs::path& folder)> check;
    bool rootOnly = false;
    std::function<void(const fs::path& folder)> cleanUp = [](const fs::path&) {};
};

// The name every case saves to.
const char* const kTarget = "target.tbl";

std::string MakeFile(const fs::path& file, fs::perms permissions) {
    WriteAll(file, kOld);
    fs::permissions(file, permissions);
    return "";
}

void ExpectUntouchedFile(const fs::path& file, unsigned mode) {
    EXPECT_EQ(ReadAll(file), kOld);
    EXPECT_EQ(StatOf(file).st_mode & 07777, mode);
}

std::string MakeSocket(const fs::path& path) {
    const int socket = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (path.string().size() >= sizeof address.sun_path) return "the scratch path is too long for a socket";
    std::snprintf(address.sun_path, sizeof address.sun_path, "%s", path.c_str());
    const bool bound = ::bind(socket, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    ::close(socket);
    return bound ? "" : "cannot bind a socket here";
}

const std::vector<SaveTarget>& SaveTargets() {
    using P = fs::perms;
    static const std::vector<SaveTarget> targets = {
        {"regular file (mode 0640)", [](const fs::path& d) { return MakeFile(d / kTarget, P(0640)); }, true,
         [](const fs::path& d) {
             EXPECT_EQ(ReadAll(d / kTarget), NewBytes());
             EXPECT_EQ(StatOf(d / kTarget).st_mode & 07777, 0640u);
         }},
        {"new file", [](const fs::path&) { return std::string(); }, true,
         [](const fs::path& d) { EXPECT_EQ(ReadAll(d / kTarget), NewBytes()); }},
        {"symbolic link to a shared table",
         [](const fs::path& d) {
             fs::create_directory(d / "shared");
             MakeFile(d / "shared" / "site.tbl", P(0644));
             fs::create_symlink("shared/site.tbl", d / kTarget);
             return std::string();
         },
         true,
         [](const fs::path& d) {
             EXPECT_TRUE(fs::is_symlink(d / kTarget));
             EXPECT_EQ(ReadAll(d / "shared" / "site.tbl"), NewBytes());
         }},
        {"dangling symbolic link",
         [](const fs::path& d) {
             fs::create_symlink("made-later.tbl", d / kTarget);
             return std::string();
         },
         true,
         [](const fs::path& d) {
             EXPECT_TRUE(fs::is_symlink(d / kTarget));
             EXPECT_EQ(ReadAll(d / "made-later.tbl"), NewBytes());
         }},
        {"symbolic link loop",
         [](const fs::path& d) {
             fs::create_symlink(kTarget, d / kTarget);
             return std::string();
         },
         false, [](const fs::path& d) { EXPECT_TRUE(fs::is_symlink(d / kTarget)); }},
        {"directory", [](const fs::path& d) { fs::create_directory(d / kTarget); return std::string(); }, false,
         [](const fs::path& d) {
             EXPECT_TRUE(fs::is_directory(d / kTarget));
             EXPECT_EQ(EntriesIn(d / kTarget), 0u);
         }},
        {"symbolic link to a directory",
         [](const fs::path& d) {
             fs::create_directory(d / "folder");
             fs::create_directory_symlink("folder", d / kTarget);
             return std::string();
         },
         false, [](const fs::path& d) { EXPECT_EQ(EntriesIn(d / "folder"), 0u); }},
        {"FIFO",
         [](const fs::path& d) { return ::mkfifo((d / kTarget).c_str(), 0666) == 0 ? "" : "mkfifo refused"; }, false,
         [](const fs::path& d) { EXPECT_TRUE(S_ISFIFO(StatOf(d / kTarget).st_mode)); }},
        {"socket", [](const fs::path& d) { return MakeSocket(d / kTarget); }, false,
         [](const fs::path& d) { EXPECT_TRUE(S_ISSOCK(StatOf(d / kTarget).st_mode)); }},
        {"character device (a null device made here)",
         [](const fs::path& d) {
             return ::mknod((d / kTarget).c_str(), S_IFCHR | 0666, makedev(1, 3)) == 0
                        ? ""
                        : "mknod is not permitted here";
         },
         false,
         [](const fs::path& d) {
             const auto status = StatOf(d / kTarget);
             EXPECT_TRUE(S_ISCHR(status.st_mode));
             EXPECT_EQ(status.st_rdev, makedev(1, 3));
         }},
        {"read-only file (mode 0444)", [](const fs::path& d) { return MakeFile(d / kTarget, P(0444)); }, false,
         [](const fs::path& d) { ExpectUntouchedFile(d / kTarget, 0444); }},
        {"writable file in a read-only folder",
         [](const fs::path& d) {
             fs::create_directory(d / "locked");
             MakeFile(d / "locked" / kTarget, P(0644));
             fs::create_symlink(fs::path("locked") / kTarget, d / kTarget);
             fs::permissions(d / "locked", P(0555));
             return std::string();
         },
         false,
         [](const fs::path& d) {
             ExpectUntouchedFile(d / "locked" / kTarget, 0644);
             EXPECT_EQ(EntriesIn(d / "locked"), 1u);
         },
         false, [](const fs::path& d) { fs::permissions(d / "locked", P(0755)); }},
        {"file on a full file system",
         [](const fs::path& d) {
             fs::create_directory(d / "full");
             // One page: the old file fills it, so the new one cannot be written.
             if (::mount("tmpfs", (d / "full").c_str(), "tmpfs", 0, "size=4k,mode=0777") != 0)
                 return std::string("a tmpfs cannot be mounted here");
             MakeFile(d / "full" / kTarget, P(0666));
             fs::create_symlink(fs::path("full") / kTarget, d / kTarget);
             return std::string();
         },
         false,
         [](const fs::path& d) {
             ExpectUntouchedFile(d / "full" / kTarget, 0666);
             EXPECT_EQ(EntriesIn(d / "full"), 1u);
         },
         false, [](const fs::path& d) { ::umount((d / "full").c_str()); }},
        {"another user's file writable by all",
         [](const fs::path& d) {
             MakeFile(d / kTarget, P(0666));
             return ::lchown((d / kTarget).c_str(), 65534, 65534) == 0 ? "" : "cannot give a file away";
         },
         true,
         [](const fs::path& d) {
             EXPECT_EQ(ReadAll(d / kTarget), NewBytes());
             const auto status = StatOf(d / kTarget);
             EXPECT_EQ(status.st_uid, 65534u);
             EXPECT_EQ(status.st_gid, 65534u);
             EXPECT_EQ(status.st_mode & 07777, 0666u);
         },
         true},
    };
    return targets;
}

// Hands the case's folder, and what is in it, to `user`.
void HandOver(const fs::path& folder, const Account& user) {
    ASSERT_EQ(::lchown(folder.c_str(), user.uid, user.gid), 0);
    for (const auto& entry : fs::recursive_directory_iterator(folder))
        ASSERT_EQ(::lchown(entry.path().c_str(), user.uid, user.gid), 0) << entry.path();
}

void SaveIntoEveryTarget(const std::optional<Account>& user) {
    TempDir scratch;
    fs::permissions(scratch.path(), fs::perms(0755));
    int index = 0;
    for (const auto& target : SaveTargets()) {
        SCOPED_TRACE(target.kind);
        if (target.rootOnly && (::geteuid() != 0 || user)) continue;
        const auto folder = scratch / ("case" + std::to_string(index++));
        fs::create_directory(folder);
        const std::string cannot = target.make(folder);
        if (!cannot.empty()) {
            std::cout << "[ skipped  ] " << target.kind << ": " << cannot << std::endl;
            continue;
        }
        if (user) HandOver(folder, *user);
        const auto run = RunCli("default -o " + (folder / kTarget).string(), scratch.path(), user);
        std::cout << "[ target   ] " << (user ? "as " + user->name : "as uid " + std::to_string(::geteuid()))
                  << ", " << target.kind << ": "
                  << (run.status == 0 ? std::string("saved") : "refused, " + run.err.substr(0, run.err.find('\n')))
                  << std::endl;
        if (target.saved) {
            EXPECT_EQ(run.status, 0) << run.out << run.err;
            EXPECT_EQ(run.out, "");
        } else {
            EXPECT_EQ(run.status, 1);
            EXPECT_EQ(run.out, "ZR250Pro: Save Error!\n");
            EXPECT_NE(run.err.find("cannot write " + (folder / kTarget).string() + ": "), std::string::npos) << run.err;
        }
        target.check(folder);
        target.cleanUp(folder);
    }
}

TEST(SaveTargets, AsThisUser) { SaveIntoEveryTarget(std::nullopt); }

TEST(SaveTargets, AsAnOrdinaryUser) {
    const auto user = UnprivilegedUser();
    if (!user) GTEST_SKIP() << "cannot run as an ordinary user here (needs root and setpriv)";
    SaveIntoEveryTarget(user);
}

TEST(SaveTargets, TheSystemsReasonFollowsTheBox) {
    TempDir scratch;
    fs::create_directory(scratch / "folder.tbl");
    const auto directory = RunCli("default -o " + (scratch / "folder.tbl").string(), scratch.path());
    EXPECT_EQ(directory.err, "zr250pro-cli: cannot write " + (scratch / "folder.tbl").string() + ": Is a directory\n");
    MakeFile(scratch / "locked.tbl", fs::perms(0444));
    const auto locked = RunCli("default -o " + (scratch / "locked.tbl").string(), scratch.path());
    EXPECT_NE(locked.err.find(": Permission denied"), std::string::npos) << locked.err;
}

TEST(SaveTargets, ANameNearTheSystemsLimitCanBeSaved) {
    TempDir scratch;
    const auto file = scratch / (std::string(251, 'n') + ".tbl");
    WriteAll(file, kOld);
    const auto run = RunCli("set " + file.string() + " battery_save=20", scratch.path());
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(ReadAll(file)[58], 20);
    EXPECT_EQ(ReadAll(scratch / (std::string(251, 'n') + ".BAK")), kOld);
}

pid_t StartCli(const std::vector<std::string>& arguments) {
    const pid_t child = ::fork();
    if (child == 0) {
        const int null = ::open("/dev/null", O_WRONLY);
        ::dup2(null, 1);
        ::dup2(null, 2);
        std::vector<char*> argv{const_cast<char*>(ZR250PRO_CLI)};
        for (const auto& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
        argv.push_back(nullptr);
        ::execv(ZR250PRO_CLI, argv.data());
        ::_exit(127);
    }
    return child;
}

int WaitFor(pid_t child) {
    int status = 0;
    ::waitpid(child, &status, 0);
    return status;
}

// Runs the command line and kills it after `delay`; false when it had finished by then.
bool RunAndKill(const std::vector<std::string>& arguments, std::chrono::microseconds delay) {
    const pid_t child = StartCli(arguments);
    std::this_thread::sleep_for(delay);
    ::kill(child, SIGKILL);  // a program that has ended is not touched: it waits to be reaped
    return WIFSIGNALED(WaitFor(child));
}

bool RunToTheEnd(const std::vector<std::string>& arguments) {
    const int status = WaitFor(StartCli(arguments));
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// Only a temporary file of this program whose process has ended is cleared away beside a target: a
// save still running elsewhere, this program's own, and every other file are left alone.
TEST(SaveTargets, OnlyTemporaryFilesOfEndedSavesCountAsStale) {
    const pid_t ended = ::fork();
    ASSERT_GE(ended, 0);
    if (ended == 0) ::_exit(0);
    ASSERT_EQ(::waitpid(ended, nullptr, 0), ended);
    const auto named = [](long process) { return ".zr250pro-" + std::to_string(process) + "-ab12cd.tmp"; };

    const struct {
        std::string name;
        bool stale;
    } cases[] = {
        {named(ended), true},
        {files::TemporaryFileName(static_cast<unsigned long>(ended)), true},
        {named(::getpid()), false},   // this save's own
        {named(::getppid()), false},  // a program still running
        {".zr250pro-notes.tmp", false},
        {".zr250pro-0-ab12cd.tmp", false},
        {".zr250pro-12.tmp", false},
        {".zr250pro-" + std::to_string(ended) + "-ab12cd.tbl", false},
        {"site.tbl", false},
        {"site.BAK", false},
    };
    for (const auto& entry : cases) EXPECT_EQ(files::IsStaleTemporaryName(entry.name), entry.stale) << entry.name;
}

// A save of another user that still runs is no stale file, though this user may not signal it. Root
// may signal every process, so the question is asked as an ordinary user too.
TEST(SaveTargets, ASaveOfAnotherUserThatStillRunsIsNotStale) {
    const auto initName = ".zr250pro-1-ab12cd.tmp";  // process 1 runs as long as the system does
    EXPECT_FALSE(files::IsStaleTemporaryName(initName));
    const auto user = UnprivilegedUser();
    if (!user) GTEST_SKIP() << "cannot run as an ordinary user here (needs root)";
    const pid_t asked = ::fork();
    ASSERT_GE(asked, 0);
    if (asked == 0) {
        if (::setgid(user->gid) != 0 || ::setuid(user->uid) != 0) ::_exit(2);
        ::_exit(files::IsStaleTemporaryName(initName) ? 1 : 0);
    }
    const int status = WaitFor(asked);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "1: counted as stale; 2: could not become " << user->name;
}

// Two saves of one process beside one target never pick the same temporary name, so a leftover file
// of that name cannot make a save fail.
TEST(SaveTargets, TemporaryNamesOfOneProcessDiffer) {
    std::set<std::string> names;
    for (int i = 0; i < 20; ++i) names.insert(files::TemporaryFileName(4242));
    EXPECT_EQ(names.size(), 20u);
    for (const auto& name : names) EXPECT_EQ(files::TemporaryFileProcess(name), 4242u) << name;
}

// Saves killed at random moments: the table and its backup are each whole (one of the two
// contents the saves alternate between) or, for the backup, absent; the next save leaves no
// temporary file behind.
TEST(SaveTargets, KilledSavesLeaveWholeFiles) {
    TempDir scratch;
    const auto file = scratch / "site.tbl";
    auto first = NewBytes();
    auto second = first;
    second[58] = 20;  // battery_save
    WriteAll(file, first);
    const std::vector<std::string> saves[] = {{"set", file.string(), "battery_save=20"},
                                              {"set", file.string(), "battery_save=15"}};

    // Kill anywhere from the start of the program to the end of a whole save: the fastest of a few
    // saves after a first one that warms the caches, so a slow cold start does not push every kill
    // past the end of the save.
    ASSERT_TRUE(RunToTheEnd(saves[1]));
    auto whole = std::chrono::microseconds::max();
    for (int i = 0; i < 4; ++i) {
        const auto started = std::chrono::steady_clock::now();
        ASSERT_TRUE(RunToTheEnd(saves[i % 2]));
        whole = std::min(whole, std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - started));
    }
    fs::remove(scratch / "site.BAK");

    std::mt19937 random(12345);
    std::uniform_int_distribution<long> moment(0, whole.count() * 5 / 4);
    int killed = 0;
    constexpr int kSaves = 400;
    for (int i = 0; i < kSaves; ++i) {
        killed += RunAndKill(saves[i % 2], std::chrono::microseconds(moment(random)));
        const auto now = ReadAll(file);
        ASSERT_TRUE(now == first || now == second) << "save " << i << " left " << now.size() << " bytes";
        if (fs::exists(scratch / "site.BAK")) {
            const auto backup = ReadAll(scratch / "site.BAK");
            ASSERT_TRUE(backup == first || backup == second) << "save " << i << ": backup of " << backup.size();
        }
    }
    std::cout << "[ killed   ] " << killed << " of " << kSaves << " saves (one whole save: " << whole.count()
              << " us)" << std::endl;
    EXPECT_GT(killed, kSaves / 4);

    ASSERT_TRUE(RunToTheEnd(saves[0]));
    std::vector<std::string> left;
    for (const auto& entry : fs::directory_iterator(scratch.path())) left.push_back(entry.path().filename());
    std::sort(left.begin(), left.end());
    EXPECT_EQ(left, (std::vector<std::string>{"site.BAK", "site.tbl"}));
}

}  // namespace
}  // namespace zr
