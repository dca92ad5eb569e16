// The serial port on POSIX terminals (termios).
#ifndef _WIN32

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <vector>

#include "comm_port.h"
#include "port_holders.h"
#include "port_list.h"

namespace zr {

namespace {

// The termios speed of a baud rate; 0 when the terminal interface has none for it.
speed_t SpeedOf(std::uint32_t baudRate) {
    switch (baudRate) {
    case 1200: return B1200;
    case 2400: return B2400;
    case 4800: return B4800;
    case 9600: return B9600;
    case 19200: return B19200;
    case 38400: return B38400;
    case 57600: return B57600;
    case 115200: return B115200;
    default: return 0;
    }
}

// Raw bytes both ways, no flow control of any kind, the receiver on whatever the modem lines say.
bool ApplyLineSettings(int fd, std::uint32_t baudRate, std::uint8_t byteSize, std::uint8_t parity,
                       std::uint8_t stopBits) {
    termios settings{};
    if (tcgetattr(fd, &settings) != 0) return false;
    const speed_t speed = SpeedOf(baudRate);
    if (speed == 0) {
        errno = EINVAL;
        return false;
    }
    cfmakeraw(&settings);
    settings.c_iflag &= ~static_cast<tcflag_t>(IXON | IXOFF | IXANY | INPCK);
    settings.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | PARODD | CSTOPB | CRTSCTS);
    settings.c_cflag |= (byteSize == 7 ? CS7 : CS8) | CLOCAL | CREAD;
    if (parity == 2) settings.c_cflag |= PARENB;  // even parity on the line, not checked on input
    if (stopBits == 2) settings.c_cflag |= CSTOPB;
    settings.c_cc[VMIN] = 0;
    settings.c_cc[VTIME] = 0;
    cfsetispeed(&settings, speed);
    cfsetospeed(&settings, speed);
    return tcsetattr(fd, TCSANOW, &settings) == 0;
}

[[noreturn]] void Raise(std::uint8_t code, int systemError = errno) {
    throw ECommError(code, static_cast<std::uint32_t>(systemError));
}

void SleepFor(std::chrono::milliseconds duration) {
    if (duration.count() <= 0) return;
    timespec remaining{static_cast<time_t>(duration.count() / 1000),
                       static_cast<long>(duration.count() % 1000) * 1000000L};
    while (nanosleep(&remaining, &remaining) != 0 && errno == EINTR) {
    }
}

}  // namespace

TCommPort::TCommPort() : portName_("ttyS0") {}

TCommPort::~TCommPort() {
    try {
        Close();
    } catch (const ECommError&) {
    }
}

void TCommPort::Open() {
    if (open_) return;
    const std::string path = PortDevicePath(portName_);
    // Another program with the line open would share its bytes with us: its exclusive mode stops
    // nobody who is root, and most programs take no lock.
    if (!OtherProcessesHolding(path).empty()) Raise(ECommError::kOpen, EBUSY);
    // Non-blocking, so that a device waiting for its carrier cannot hold the open.
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) Raise(ECommError::kOpen);
    const auto fail = [fd](std::uint8_t code, int systemError) {
        ::close(fd);
        Raise(code, systemError);
    };
    // The terminal's exclusive mode does not stop root; the advisory lock does, for every program that
    // honours it, this one included.
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) fail(ECommError::kOpen, errno == EWOULDBLOCK ? EBUSY : errno);
    termios probe{};
    if (tcgetattr(fd, &probe) != 0) fail(ECommError::kGetState, errno);
    if (ioctl(fd, TIOCEXCL) != 0) fail(ECommError::kOpen, errno);
    if (!ApplyLineSettings(fd, baudRate_, byteSize_, parity_, stopBits_)) fail(ECommError::kSetState, errno);
    // DTR and RTS up while the port is open; a pseudo-terminal has no modem lines to raise.
    const int lines = TIOCM_DTR | TIOCM_RTS;
    if (ioctl(fd, TIOCMBIS, &lines) != 0 && errno != ENOTTY && errno != EINVAL) fail(ECommError::kSetState, errno);
    fd_ = fd;
    open_ = true;
}

void TCommPort::Close() {
    if (!open_) return;
    // Leave the terminal's exclusive mode, which a pseudo-terminal would otherwise keep after the
    // close; the advisory lock goes with the descriptor.
    ioctl(fd_, TIOCNXCL);
    const int result = ::close(fd_);
    const int error = errno;
    // The descriptor is released whatever close reports, so the port counts as closed either way.
    fd_ = -1;
    open_ = false;
    if (result != 0 && error != EINTR) Raise(ECommError::kClose, error);
}

void TCommPort::SetBaudRate(std::uint32_t baudRate) {
    const std::uint32_t previous = baudRate_;
    baudRate_ = baudRate;
    if (open_ && !ApplyLineSettings(fd_, baudRate_, byteSize_, parity_, stopBits_)) {
        const int error = errno;
        baudRate_ = previous;
        Raise(ECommError::kBaudRate, error);
    }
}

void TCommPort::Purge() {
    RequireOpen();
    if (tcflush(fd_, TCIFLUSH) != 0 || tcflush(fd_, TCOFLUSH) != 0) Raise(ECommError::kPurge);
}

void TCommPort::Write(std::span<const std::uint8_t> bytes) {
    RequireOpen();
    constexpr int kWriteTimeoutMs = 500;
    std::size_t sent = 0;
    while (sent < bytes.size()) {
        const ssize_t result = ::write(fd_, bytes.data() + sent, bytes.size() - sent);
        if (result > 0) {
            sent += static_cast<std::size_t>(result);
            continue;
        }
        if (result < 0 && errno == EINTR) continue;
        pollfd writable{fd_, POLLOUT, 0};
        if (result < 0 && errno == EAGAIN && poll(&writable, 1, kWriteTimeoutMs) > 0 && (writable.revents & POLLOUT))
            continue;
        // As on the original line: a failed write that leaves the port usable is swallowed, and the
        // caller notices only that no reply comes. A port that is gone is an error.
        const int error = errno;
        termios state{};
        if (tcgetattr(fd_, &state) != 0) Raise(ECommError::kWrite, error);
        return;
    }
}

std::size_t TCommPort::BytesWaiting() {
    RequireOpen();
    int count = 0;
    if (ioctl(fd_, FIONREAD, &count) != 0) Raise(ECommError::kBytesWaiting);
    return count > 0 ? static_cast<std::size_t>(count) : 0;
}

std::uint8_t TCommPort::ReadByte() {
    RequireOpen();
    std::uint8_t byte = 0;
    ssize_t result;
    do {
        result = ::read(fd_, &byte, 1);
    } while (result < 0 && errno == EINTR);
    if (result < 0 && errno != EAGAIN) Raise(ECommError::kRead);
    return byte;
}

void TCommPort::WaitForInput(std::chrono::milliseconds limit) {
    RequireOpen();
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + limit;
    for (;;) {
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0) return;
        pollfd readable{fd_, POLLIN, 0};
        const int result = poll(&readable, 1, static_cast<int>(left.count()));
        if (result < 0 && errno == EINTR) continue;
        if (result > 0 && (readable.revents & (POLLHUP | POLLERR | POLLNVAL)) && !(readable.revents & POLLIN)) {
            // A line that hung up wakes poll at once and for ever: sleep out the poll interval, so the
            // caller's count of empty polls still measures time.
            SleepFor(std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()));
        }
        return;
    }
}

void TCommPort::Pause(std::chrono::milliseconds duration) { SleepFor(duration); }

std::vector<bool> WaitForAnyInput(std::span<CommPort* const> ports, std::chrono::milliseconds limit) {
    std::vector<bool> hungUp(ports.size(), false);
    std::vector<pollfd> descriptors;
    for (CommPort* port : ports) descriptors.push_back({port->InputDescriptor(), POLLIN, 0});
    const bool pollable = std::ranges::all_of(descriptors, [](const pollfd& d) { return d.fd >= 0; });
    if (!pollable) {
        // A port without a descriptor (a scripted line) keeps its own clock: let the first one wait.
        if (!ports.empty()) ports.front()->WaitForInput(limit);
        return hungUp;
    }
    if (poll(descriptors.data(), descriptors.size(), static_cast<int>(std::max<long long>(limit.count(), 0))) <= 0)
        return hungUp;
    for (std::size_t i = 0; i < descriptors.size(); ++i) {
        const short events = descriptors[i].revents;
        hungUp[i] = (events & (POLLHUP | POLLERR | POLLNVAL)) != 0 && (events & POLLIN) == 0;
    }
    return hungUp;
}

}  // namespace zr

#endif
