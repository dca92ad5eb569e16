// The serial port the programming interface board hangs on.
//
// `CommPort` is what the frame layer and the device operations talk to; `TCommPort` is the one real
// port of the program. Tests put a scripted line or a time-compressing wrapper behind the same
// interface, so the time-out rules can be shown without waiting for them.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <exception>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace zr {

// Every failure of the port is raised as this, with the code of the operation that failed.
class ECommError : public std::exception {
public:
    // The codes, by the operation that raises them.
    static constexpr std::uint8_t kBaudRate = 1;       // SetBaudRate on an open port could not apply it
    static constexpr std::uint8_t kPortIsOpen = 6;     // SetPortName while the port is open
    static constexpr std::uint8_t kPortClosed = 7;     // Purge, Write, BytesWaiting, ReadByte on a closed port
    static constexpr std::uint8_t kOpen = 8;           // no such port, or another program holds it
    static constexpr std::uint8_t kWrite = 9;          // a write failed and the port could not be recovered
    static constexpr std::uint8_t kRead = 10;          // reading a byte failed
    static constexpr std::uint8_t kClose = 11;         // closing failed
    static constexpr std::uint8_t kPurge = 12;         // discarding the buffers failed
    static constexpr std::uint8_t kGetState = 14;      // the device is not a serial line
    static constexpr std::uint8_t kSetState = 15;      // the line settings were refused
    static constexpr std::uint8_t kBuffers = 16;       // the driver's buffers could not be set up
    static constexpr std::uint8_t kBytesWaiting = 18;  // counting the received bytes failed

    ECommError(std::uint8_t code, std::uint32_t systemError);

    std::uint8_t Code;
    // The operating system's error number when the error was made (errno, or GetLastError on
    // Windows); only for diagnosis.
    std::uint32_t SystemError;

    const char* what() const noexcept override { return text_.c_str(); }

private:
    std::string text_;
};

class CommPort {
public:
    virtual ~CommPort() = default;

    // Closes the port, takes the baud rate and the port name, and opens it with the frame format of
    // `mode` (0: 7 data bits, even parity, two stop bits; 1: 8N1; any other: 8 data bits, two stop bits).
    virtual void Configure(std::uint32_t baudRate, std::string_view portName, int mode) = 0;
    // Harmless on a closed port.
    virtual void Close() = 0;
    virtual bool IsOpen() const = 0;
    // Discards every received byte not yet read and every byte not yet sent.
    virtual void Purge() = 0;
    // Hands the whole buffer to the driver; an empty buffer sends nothing.
    virtual void Write(std::span<const std::uint8_t> bytes) = 0;
    // Received bytes waiting to be read; never blocks.
    virtual std::size_t BytesWaiting() = 0;
    // One received byte; call only after BytesWaiting reported one.
    virtual std::uint8_t ReadByte() = 0;
    // Sleeps until a received byte is waiting, the line reports a hang-up, or `limit` has passed.
    virtual void WaitForInput(std::chrono::milliseconds limit) = 0;
    // Sleeps for `duration`: the pause the line needs between two written pieces.
    virtual void Pause(std::chrono::milliseconds duration) = 0;

    // Another port of the same kind, closed: the start-up check opens one per listed port and waits
    // on all of them at once.
    virtual std::unique_ptr<CommPort> NewPort() const = 0;
    // What poll() waits on for received bytes of the open port; -1 when closed, or where the
    // platform's ports cannot be waited on together.
    virtual int InputDescriptor() const { return -1; }
    // The receive loop gave up on a reply after `received` of `expected` bytes; a trace records it.
    virtual void NoteReplyTimeOut(std::size_t /*received*/, std::size_t /*expected*/) {}
};

// Closes the port once the outcome of an operation is known; a port that fails to close is closed
// again by the next operation.
void CloseQuietly(CommPort& port);

// Sleeps until a received byte waits on one of the open ports, one of them reports a hang-up, or
// `limit` has passed. Returns, port by port, whether its line hung up (it will never answer).
std::vector<bool> WaitForAnyInput(std::span<CommPort* const> ports, std::chrono::milliseconds limit);

// The program's one serial port. Construction touches no hardware; the port is closed, named "COM1"
// on Windows and "ttyS0" elsewhere, 9600 baud 8N1.
//
// On POSIX systems a port name without "/" names a device in /dev ("ttyUSB0" opens /dev/ttyUSB0); a
// name with "/" is a path and is used as it stands. The open is exclusive: a port held by this or
// another program (root included, through an advisory lock beside the terminal's own exclusive
// mode) is refused with code 8. The line is raw 8N1 with no flow control, DTR and RTS asserted where
// the device has modem lines.
class TCommPort final : public CommPort {
public:
    TCommPort();
    ~TCommPort() override;
    TCommPort(const TCommPort&) = delete;
    TCommPort& operator=(const TCommPort&) = delete;

    void Configure(std::uint32_t baudRate, std::string_view portName, int mode) override;
    // Opens the named port with the stored settings; does nothing when it is open already.
    void Open();
    void Close() override;
    bool IsOpen() const override { return open_; }
    // Stored for the next Open; applied at once to an open port (code 1 and the old rate kept when
    // the device refuses it).
    void SetBaudRate(std::uint32_t baudRate);
    // Code 6 while the port is open.
    void SetPortName(std::string_view name);
    const std::string& PortName() const { return portName_; }

    void Purge() override;
    void Write(std::span<const std::uint8_t> bytes) override;
    std::size_t BytesWaiting() override;
    std::uint8_t ReadByte() override;
    void WaitForInput(std::chrono::milliseconds limit) override;
    void Pause(std::chrono::milliseconds duration) override;
    std::unique_ptr<CommPort> NewPort() const override { return std::make_unique<TCommPort>(); }
#ifndef _WIN32
    int InputDescriptor() const override { return fd_; }
#endif

private:
    void RequireOpen() const;

    bool open_ = false;
    std::string portName_;
    std::uint32_t baudRate_ = 9600;
    std::uint8_t byteSize_ = 8;
    std::uint8_t parity_ = 0;    // 0 none, 2 even
    std::uint8_t stopBits_ = 0;  // 0 one, 2 two
#ifdef _WIN32
    void* handle_ = nullptr;
#else
    int fd_ = -1;
#endif
};

}  // namespace zr
