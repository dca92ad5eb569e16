#include "frames.h"

#include <algorithm>
#include <cmath>
#include <numeric>

#include "image_offsets.h"
#include "encodings.h"

namespace zr {

namespace {

constexpr std::size_t kHeaderOffset = 10;  // command, letter, length: the first bytes summed
constexpr std::size_t kDataOffset = 13;
constexpr std::size_t kFirmwareAddress = 1;
constexpr std::size_t kModelNameSize = 8;
// The other model of the family, whose tag the pager may also carry.
constexpr std::string_view kSisterModelName = "ZR200Pro";

void PutPreamble(std::span<std::uint8_t> frame) { std::copy(kPreamble.begin(), kPreamble.end(), frame.begin()); }

void PutWord(std::span<std::uint8_t> frame, std::size_t offset, std::uint16_t value) {
    frame[offset] = static_cast<std::uint8_t>(value >> 8);
    frame[offset + 1] = static_cast<std::uint8_t>(value & 0xFF);
}

bool FitsIn(std::span<const std::uint8_t> destination, std::size_t first, std::size_t count) {
    return first <= destination.size() && count <= destination.size() - first;
}

}  // namespace

std::uint16_t FrameChecksum(std::span<const std::uint8_t> bytes) {
    return static_cast<std::uint16_t>(std::accumulate(bytes.begin(), bytes.end(), 0u));
}

std::array<std::uint8_t, kReadRequestSize> BuildReadRequest(std::uint8_t command, std::uint16_t address,
                                                            std::uint8_t count) {
    std::array<std::uint8_t, kReadRequestSize> frame{};
    PutPreamble(frame);
    frame[10] = command;
    frame[11] = kReadLetter;
    frame[12] = 3;
    PutWord(frame, 13, address);
    frame[15] = count;
    PutWord(frame, 16, FrameChecksum(std::span(frame).subspan(kHeaderOffset, 6)));
    return frame;
}

bool ReadReplyIsSound(std::span<const std::uint8_t> reply, std::size_t count) {
    const std::size_t checksumOffset = kDataOffset + count;
    if (reply.size() < checksumOffset + 2) return false;
    const std::uint16_t expected =
        FrameChecksum(reply.subspan(kHeaderOffset, checksumOffset - kHeaderOffset));
    return expected == (reply[checksumOffset] << 8 | reply[checksumOffset + 1]);
}

bool FirmwareIsRecent(float version) {
    // Brought to whole hundredths first, halves to even, so that 5.1 held in single precision passes.
    return std::nearbyint(static_cast<double>(version) / 0.01) >= 510.0;
}

void FrameLink::SendFrame(std::span<const std::uint8_t> frame) {
    if (port_.IsOpen()) port_.Write(frame);
}

bool FrameLink::ReceiveOneByte(std::size_t index, std::chrono::milliseconds pollWait) {
    for (int emptyPolls = 0;;) {
        if (port_.BytesWaiting() > 0) {
            buffer_[index] = port_.ReadByte();
            return true;
        }
        view_.ProcessEvents();
        port_.WaitForInput(pollWait);
        view_.ProcessEvents();
        if (++emptyPolls > emptyPollLimit_) return false;
    }
}

bool FrameLink::ReceiveBytes(std::size_t length, int pollFactor) {
    if (!port_.IsOpen() || length > buffer_.size()) return false;
    const std::chrono::milliseconds pollWait = pollFactor * std::chrono::milliseconds(10);
    for (std::size_t index = 0; index < length; ++index) {
        if (!ReceiveOneByte(index, pollWait)) {
            port_.NoteReplyTimeOut(index, length);
            port_.Purge();
            view_.SetProgressPosition(0);
            return false;
        }
    }
    return true;
}

void FrameLink::PumpWait(std::chrono::milliseconds duration) {
    view_.ProcessEvents();
    port_.Pause(duration);
    view_.ProcessEvents();
}

bool FrameLink::ExchangeRead(std::uint8_t command, std::uint16_t address, std::uint8_t count) {
    if (count > kFrameBufferSize - kReplyOverhead) return false;
    buffer_.fill(0);
    const auto request = BuildReadRequest(command, address, count);
    std::copy(request.begin(), request.end(), buffer_.begin());
    SendFrame(request);
    return ReceiveBytes(count + kReplyOverhead) && ReadReplyIsSound(buffer_, count);
}

bool FrameLink::ReadBlock(std::uint8_t command, std::span<std::uint8_t> destination, std::uint16_t address,
                          std::uint8_t count) {
    if (!FitsIn(destination, address, count)) return false;
    view_.ProcessEvents();
    if (!ExchangeRead(command, address, count)) return false;
    std::copy_n(buffer_.begin() + kDataOffset, count, destination.begin() + address);
    return true;
}

bool FrameLink::ReadIntoBuffer(std::uint8_t command, std::span<std::uint8_t> destination, std::uint16_t address,
                               std::uint8_t count) {
    if (!FitsIn(destination, 0, count)) return false;
    view_.ProcessEvents();
    if (!ExchangeRead(command, address, count)) return false;
    std::copy_n(buffer_.begin() + kDataOffset, count, destination.begin());
    return true;
}

bool FrameLink::VerifyBlock(const PagerImage& image, std::uint16_t address, std::uint8_t count) {
    if (!FitsIn(image.bytes, address, count) || !ExchangeRead(kPagerMemoryCommand, address, count)) return false;
    return std::equal(buffer_.begin() + kDataOffset, buffer_.begin() + kDataOffset + count,
                      image.bytes.begin() + address);
}

bool FrameLink::WriteBlock(const PagerImage& image, std::uint16_t address, std::uint8_t count) {
    if (!FitsIn(image.bytes, address, count) || count + kWriteRequestOverhead > kFrameBufferSize) return false;
    view_.ProcessEvents();
    buffer_.fill(0);
    PutPreamble(buffer_);
    buffer_[10] = kPagerMemoryCommand;
    buffer_[11] = kWriteLetter;
    buffer_[12] = static_cast<std::uint8_t>(count + 2);
    PutWord(buffer_, 13, address);
    std::copy_n(image.bytes.begin() + address, count, buffer_.begin() + 15);
    const std::size_t checksumOffset = 15 + std::size_t{count};
    PutWord(buffer_, checksumOffset,
            FrameChecksum(std::span(buffer_).subspan(kHeaderOffset, checksumOffset - kHeaderOffset)));
    SendFrame(std::span(buffer_).first(checksumOffset + 2));
    return ReceiveBytes(kWriteReplySize) &&
           std::equal(kWriteAcknowledgeReply.begin(), kWriteAcknowledgeReply.end(), buffer_.begin());
}

float FrameLink::QueryFirmwareVersion(PagerImage& image) {
    std::array<std::uint8_t, 4> version{};
    if (!ReadIntoBuffer(kPagerMemoryCommand, version, kFirmwareAddress, 2)) return 0.0f;
    image[kFirmwareMajorOffset] = version[0];
    image[kFirmwareMinorOffset] = version[1];
    view_.ShowFirmwareVersion(FirmwareVersionText(version[0], version[1]));
    return FirmwareVersionNumber(version[0], version[1]);
}

ModelQuery FrameLink::QueryModelTag() {
    std::array<std::uint8_t, kTagSize> tag{};
    if (!ReadIntoBuffer(kPagerMemoryCommand, tag, kTagOffset, kTagSize)) return {};
    const std::string_view start(reinterpret_cast<const char*>(tag.data()), kModelNameSize);
    if (start == kModelName || start == kSisterModelName) return {ModelCode::Recognised, {}};
    const auto end = std::find(tag.begin(), tag.end(), 0);
    std::string name(tag.begin(), end);
    const ModelCode code = name.empty() ? ModelCode::EmptyTag : ModelCode::Unrecognised;
    return {code, std::move(name)};
}

}  // namespace zr
