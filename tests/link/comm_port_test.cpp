// The real serial port on pseudo-terminals: the test holds the board's end of the line.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <functional>
#include <numeric>

#include "comm_port.h"
#include "temp_dir.h"

namespace zr {
namespace {

// The far end of a pseudo-terminal; the port opens its path.
class Line {
public:
    Line() {
        master_ = posix_openpt(O_RDWR | O_NOCTTY);
        EXPECT_GE(master_, 0);
        grantpt(master_);
        unlockpt(master_);
        path_ = ptsname(master_);
    }
    ~Line() { ::close(master_); }
    const std::string& path() const { return path_; }

    void Send(const std::vector<std::uint8_t>& bytes) const {
        ASSERT_EQ(::write(master_, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    }
    std::vector<std::uint8_t> Take(std::size_t count) const {
        std::vector<std::uint8_t> bytes;
        while (bytes.size() < count) {
            pollfd readable{master_, POLLIN, 0};
            if (poll(&readable, 1, 2000) <= 0) break;
            std::uint8_t chunk[512];
            const ssize_t got = ::read(master_, chunk, std::min(sizeof chunk, count - bytes.size()));
            if (got <= 0) break;
            bytes.insert(bytes.end(), chunk, chunk + got);
        }
        return bytes;
    }

private:
    int master_ = -1;
    std::string path_;
};

std::uint8_t OpenFailureCode(TCommPort& port, const std::string& name, std::uint32_t* systemError = nullptr) {
    try {
        port.Configure(9600, name, 1);
    } catch (const ECommError& error) {
        if (systemError) *systemError = error.SystemError;
        return error.Code;
    }
    return 0;
}

TEST(CommPort, AMissingPortIsCodeEightAndLeavesThePortClosed) {
    TCommPort port;
    std::uint32_t systemError = 0;
    EXPECT_EQ(OpenFailureCode(port, "/nonexistent/ttyUSB9", &systemError), ECommError::kOpen);
    EXPECT_EQ(systemError, static_cast<std::uint32_t>(ENOENT));
    EXPECT_FALSE(port.IsOpen());
    port.Close();
    port.Close();
}

TEST(CommPort, APortHeldElsewhereIsRefusedUntilItIsFreed) {
    Line line;
    TCommPort first;
    TCommPort second;
    first.Configure(9600, line.path(), 1);
    std::uint32_t systemError = 0;
    EXPECT_EQ(OpenFailureCode(second, line.path(), &systemError), ECommError::kOpen);
    EXPECT_EQ(systemError, static_cast<std::uint32_t>(EBUSY));
    EXPECT_NE(std::string(ECommError(8, EBUSY).what()).find("busy"), std::string::npos);
    first.Close();
    EXPECT_EQ(OpenFailureCode(second, line.path()), 0) << "closing gives the port back, pseudo-terminal or not";
    EXPECT_TRUE(second.IsOpen());
}

TEST(CommPort, AFileThatIsNoTerminalIsCodeFourteen) {
    testing::TempDir dir;
    testing::WriteAll(dir / "plain", {1, 2, 3});
    TCommPort port;
    EXPECT_EQ(OpenFailureCode(port, (dir / "plain").string()), ECommError::kGetState);
    EXPECT_FALSE(port.IsOpen());
}

TEST(CommPort, OperationsOnAClosedPortAreCodeSeven) {
    TCommPort port;
    const std::uint8_t byte = 0;
    const std::function<void()> operations[] = {
        [&] { port.Purge(); },
        [&] { port.Write(std::span(&byte, 1)); },
        [&] { port.BytesWaiting(); },
        [&] { port.ReadByte(); },
    };
    for (const auto& operation : operations) {
        try {
            operation();
            ADD_FAILURE() << "no error";
        } catch (const ECommError& error) {
            EXPECT_EQ(error.Code, ECommError::kPortClosed);
        }
    }
}

TEST(CommPort, ConfigureReopensWhileOpenAndSetPortNameRefuses) {
    Line a;
    Line b;
    TCommPort port;
    port.Configure(9600, a.path(), 1);
    port.Open();  // already open: nothing changes
    EXPECT_EQ(port.PortName(), a.path());
    try {
        port.SetPortName(b.path());
        ADD_FAILURE() << "no error";
    } catch (const ECommError& error) {
        EXPECT_EQ(error.Code, ECommError::kPortIsOpen);
    }
    EXPECT_EQ(port.PortName(), a.path());
    port.Configure(9600, b.path(), 1);
    EXPECT_EQ(port.PortName(), b.path());
    port.Write(std::vector<std::uint8_t>{42});
    EXPECT_EQ(b.Take(1), std::vector<std::uint8_t>{42});
}

TEST(CommPort, TheLineIsRaw8N1At9600WithoutFlowControl) {
    Line line;
    TCommPort port;
    port.Configure(9600, line.path(), 1);
    const int fd = ::open(line.path().c_str(), O_RDWR | O_NOCTTY);
    if (fd < 0 && errno == EBUSY) GTEST_SKIP() << "only root may look past the port's exclusive mode";
    ASSERT_GE(fd, 0);
    termios settings{};
    ASSERT_EQ(tcgetattr(fd, &settings), 0);
    ::close(fd);
    EXPECT_EQ(cfgetospeed(&settings), static_cast<speed_t>(B9600));
    EXPECT_EQ(settings.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
    EXPECT_EQ(settings.c_cflag & (PARENB | CSTOPB | CRTSCTS), 0u);
    EXPECT_EQ(settings.c_iflag & (IXON | IXOFF | ICRNL | INLCR | ISTRIP), 0u);
    EXPECT_EQ(settings.c_lflag & (ICANON | ECHO | ISIG), 0u);
    EXPECT_EQ(settings.c_oflag & OPOST, 0u);

    // Every byte value passes both ways untouched: XON/XOFF, CR/LF, Ctrl+C, 0xFF.
    std::vector<std::uint8_t> all(256);
    std::iota(all.begin(), all.end(), 0);
    port.Write(all);
    EXPECT_EQ(line.Take(256), all);
    line.Send(all);
    std::vector<std::uint8_t> received;
    for (int polls = 0; received.size() < all.size() && polls < 100; ++polls) {
        port.WaitForInput(std::chrono::milliseconds(30));
        while (port.BytesWaiting() > 0) received.push_back(port.ReadByte());
    }
    EXPECT_EQ(received, all);
}

TEST(CommPort, BytesWaitingCountsAndPurgeDiscards) {
    Line line;
    TCommPort port;
    port.Configure(9600, line.path(), 1);
    EXPECT_EQ(port.BytesWaiting(), 0u);
    port.Write({});  // nothing to send is no error
    line.Send({1, 2, 3});
    port.WaitForInput(std::chrono::milliseconds(1000));
    usleep(20000);
    EXPECT_EQ(port.BytesWaiting(), 3u);
    port.Purge();
    EXPECT_EQ(port.BytesWaiting(), 0u);
}

TEST(CommPort, WaitForInputReturnsWhenAByteArrives) {
    Line line;
    TCommPort port;
    port.Configure(9600, line.path(), 1);
    line.Send({9});
    const auto start = std::chrono::steady_clock::now();
    port.WaitForInput(std::chrono::seconds(5));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(4));
    EXPECT_EQ(port.ReadByte(), 9);
}

}  // namespace
}  // namespace zr
