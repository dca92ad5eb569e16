// The framed request/reply protocol spoken with the programming interface board and the pager
// behind it. Every exchange is one request frame and one reply of known length.
//
// Request: the preamble "Vantorelix", a command ('3' the pager's memory, '5' the board itself), an
// operation letter ('R' read, 'S' write), a payload length, a big-endian address, then the count
// (read) or the data (write), and a 16-bit sum of everything after the preamble, high byte first.
//
// Block operations report failure by their result and never show anything; an `ECommError` of the
// port passes through to the caller.
#pragma once

#include <array>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "comm_port.h"
#include "device_view.h"
#include "pager_image.h"

namespace zr {

// Every exchange runs at 9600 baud, 8 data bits, no parity, one stop bit (Configure's mode 1).
inline constexpr std::uint32_t kLineBaudRate = 9600;
inline constexpr int kLineMode = 1;

inline constexpr std::string_view kPreamble = "Vantorelix";
inline constexpr std::uint8_t kPagerMemoryCommand = 51;  // '3'
inline constexpr std::uint8_t kBoardCommand = 53;        // '5'
inline constexpr std::uint8_t kReadLetter = 'R';
inline constexpr std::uint8_t kWriteLetter = 'S';
inline constexpr std::uint8_t kAcknowledge = 6;
// Requests are built and replies received in one buffer of this size, so a read asks for at most
// kFrameBufferSize - kReplyOverhead bytes.
inline constexpr std::size_t kFrameBufferSize = 146;
inline constexpr std::size_t kReadRequestSize = 18;
inline constexpr std::size_t kReplyOverhead = 15;  // preamble, three header bytes, checksum
inline constexpr std::size_t kWriteRequestOverhead = 17;
inline constexpr std::size_t kWriteReplySize = 16;
// What the board answers to a write it took: the frame shape with the one payload byte 6.
inline constexpr std::array<std::uint8_t, kWriteReplySize> kWriteAcknowledgeReply = {
    'V', 'a', 'n', 't', 'o', 'r', 'e', 'l', 'i', 'x', 51, 83, 1, 6, 0, 141};

// An empty poll sleeps this long on the port, and this many empty polls in a row end a reply:
// about 3 s without a new byte.
inline constexpr std::chrono::milliseconds kPollInterval{30};
inline constexpr int kEmptyPollLimit = 100;
// The same limit in time, for a wait that watches several ports at once.
inline constexpr std::chrono::milliseconds kReplyTimeOut = kPollInterval * (kEmptyPollLimit + 1);

// Sum of the bytes modulo 65536.
std::uint16_t FrameChecksum(std::span<const std::uint8_t> bytes);

// The read request for `count` bytes at `address`: 18 bytes.
std::array<std::uint8_t, kReadRequestSize> BuildReadRequest(std::uint8_t command, std::uint16_t address,
                                                            std::uint8_t count);

// A read reply carrying `count` data bytes: count + 15 bytes whose checksum over the three header
// bytes and the data is right. The preamble is never compared.
bool ReadReplyIsSound(std::span<const std::uint8_t> reply, std::size_t count);

// The firmware gate of Read and Write: the version brought to hundredths must reach 5.10.
bool FirmwareIsRecent(float version);

enum class ModelCode { Unrecognised = 0, Recognised = 1, EmptyTag = 2 };
struct ModelQuery {
    ModelCode code = ModelCode::Unrecognised;
    // The tag found when it was not recognised (up to its first NUL, at most 14 characters).
    std::string pagerModelName;
};

// The frame layer over the one port. The view is asked to process its events while a reply is
// awaited; the progress bar is reset when a reply times out.
class FrameLink {
public:
    FrameLink(CommPort& port, DeviceOperationView& view) : port_(port), view_(view) {}

    // Writes the frame if the port is open; sends nothing when it is closed.
    void SendFrame(std::span<const std::uint8_t> frame);
    // Collects exactly `length` bytes into the front of the frame buffer. Fails at once on a closed
    // port; fails after more than 100 empty polls of `pollFactor` x 10 ms for one byte, purging the
    // port and resetting the progress bar.
    bool ReceiveBytes(std::size_t length, int pollFactor = 3);
    // Waits `duration` while the window keeps processing its events.
    void PumpWait(std::chrono::milliseconds duration);

    // One read of `count` bytes at `address`; the data land at destination[address + i].
    bool ReadBlock(std::uint8_t command, std::span<std::uint8_t> destination, std::uint16_t address,
                   std::uint8_t count);
    // As ReadBlock, but the data land at destination[i].
    bool ReadIntoBuffer(std::uint8_t command, std::span<std::uint8_t> destination, std::uint16_t address,
                        std::uint8_t count);
    // One read of the pager's memory, compared with image[address + i]; the image is not changed.
    bool VerifyBlock(const PagerImage& image, std::uint16_t address, std::uint8_t count);
    // Sends image[address] .. image[address + count - 1]; true when the board acknowledges.
    bool WriteBlock(const PagerImage& image, std::uint16_t address, std::uint8_t count);

    // Replies time out after `emptyPolls` empty polls instead of kEmptyPollLimit: for a quick look
    // behind the board that a seated pager answers at once, never for Read, Write or Verify.
    void LimitEmptyPolls(int emptyPolls) { emptyPollLimit_ = emptyPolls; }

    // The pager's firmware version, 0 when the query fails. On success the two version bytes are
    // stored at image offsets 1 and 2 and the view shows the version ("%0.2f"). The minor byte is
    // read as the digits after the point: 5 and 10 give 5.1, 5 and 9 give 5.9.
    float QueryFirmwareVersion(PagerImage& image);
    // The pager's model/version tag: recognised when it begins "ZR250Pro" or "ZR200Pro".
    ModelQuery QueryModelTag();

private:
    bool ExchangeRead(std::uint8_t command, std::uint16_t address, std::uint8_t count);
    bool ReceiveOneByte(std::size_t index, std::chrono::milliseconds pollWait);

    CommPort& port_;
    DeviceOperationView& view_;
    std::array<std::uint8_t, kFrameBufferSize> buffer_{};
    int emptyPollLimit_ = kEmptyPollLimit;
};

}  // namespace zr
