// The frame layer against a scripted line on a make-believe clock.
#include <gtest/gtest.h>

#include <random>

#include "fake_line.h"
#include "frames.h"
#include "image_fields.h"
#include "recording_view.h"

namespace zr {
namespace {

using testing::FakeLine;
using testing::RecordingView;
using Ms = std::chrono::milliseconds;
using Bytes = std::vector<std::uint8_t>;

Bytes WithPreamble(std::initializer_list<std::uint8_t> rest) {
    Bytes frame(kPreamble.size() + rest.size());
    std::copy(rest.begin(), rest.end(), std::copy(kPreamble.begin(), kPreamble.end(), frame.begin()));
    return frame;
}

// A read reply as the board sends it: header echoed, data, checksum of everything after the preamble.
Bytes ReadReply(std::uint8_t command, const Bytes& data) {
    Bytes reply = WithPreamble({command, 'R', 3});
    reply.insert(reply.end(), data.begin(), data.end());
    const std::uint16_t sum = FrameChecksum(std::span(reply).subspan(10));
    reply.push_back(static_cast<std::uint8_t>(sum >> 8));
    reply.push_back(static_cast<std::uint8_t>(sum));
    return reply;
}

class FrameLinkTest : public ::testing::Test {
protected:
    FakeLine line;
    RecordingView view;
    FrameLink link{line, view};
};

TEST(FrameFormat, RequestsCarryPreambleHeaderAndChecksum) {
    const auto presence = BuildReadRequest(51, 0, 0);
    EXPECT_EQ(Bytes(presence.begin(), presence.end()), WithPreamble({51, 82, 3, 0, 0, 0, 0, 136}));
    const auto secondHalf = BuildReadRequest(51, 128, 128);
    EXPECT_EQ(Bytes(secondHalf.begin(), secondHalf.end()), WithPreamble({51, 82, 3, 0, 128, 128, 1, 136}));
    const Bytes acknowledge(kWriteAcknowledgeReply.begin(), kWriteAcknowledgeReply.end());
    EXPECT_EQ(acknowledge, WithPreamble({51, 83, 1, 6, 0, 141}));
}

TEST_F(FrameLinkTest, WriteBlockSendsTwentyFiveBytesAndNeedsTheAcknowledge) {
    PagerImage image;
    for (std::size_t i = 0; i < kImageSize; ++i) image[i] = static_cast<std::uint8_t>(200 + i);
    const Bytes acknowledge = WithPreamble({51, 83, 1, 6, 0, 141});
    line.Arrive(acknowledge);
    ASSERT_TRUE(link.WriteBlock(image, 248, 8));
    // 51 + 83 + 10 + 0 + 248 + (448 .. 455 each mod 256 = 192 .. 199) = 392 + 1564 = 1956 = 7 * 256 + 164.
    EXPECT_EQ(line.written,
              WithPreamble({51, 83, 10, 0, 248, 192, 193, 194, 195, 196, 197, 198, 199, 7, 164}));

    // The reply must equal the acknowledge byte for byte: a right payload byte 6 does not save a
    // reply that differs anywhere else.
    const auto changed = [&acknowledge](std::size_t offset, std::uint8_t value) {
        Bytes reply = acknowledge;
        reply[offset] = value;
        return reply;
    };
    const std::pair<const char*, Bytes> refused[] = {
        {"negative acknowledge", WithPreamble({51, 83, 1, 21, 0, 156})},
        {"checksum high byte", changed(14, 1)},
        {"checksum low byte", changed(15, 140)},
        {"garbled preamble", changed(0, 'v')},
        {"last preamble byte", changed(9, 'X')},
        {"command echo", changed(10, 53)},
        {"letter echo", changed(11, 'R')},
        {"length", changed(12, 2)},
    };
    for (const auto& [name, reply] : refused) {
        SCOPED_TRACE(name);
        ASSERT_EQ(reply.size(), 16u);
        line.Arrive(reply);
        EXPECT_FALSE(link.WriteBlock(image, 0, 8));
        EXPECT_EQ(line.BytesWaiting(), 0u) << "the whole reply was taken";
    }
}

TEST_F(FrameLinkTest, PresenceTestLooksOnlyAtLengthAndChecksum) {
    std::array<std::uint8_t, 128> scratch{};
    Bytes reply = ReadReply(51, {});
    std::fill(reply.begin(), reply.begin() + 10, 'x');  // the preamble of a reply is never compared
    line.Arrive(reply);
    EXPECT_TRUE(link.ReadBlock(51, scratch, 0, 0));
    reply.back() ^= 1;
    line.Arrive(reply);
    EXPECT_FALSE(link.ReadBlock(51, scratch, 0, 0));
}

TEST_F(FrameLinkTest, ReadBlockStoresAtTheAddressAndReadIntoBufferAtTheStart) {
    std::array<std::uint8_t, 8> destination{};
    line.Arrive(ReadReply(51, {7, 8}));
    ASSERT_TRUE(link.ReadBlock(51, destination, 5, 2));
    EXPECT_EQ(destination, (std::array<std::uint8_t, 8>{0, 0, 0, 0, 0, 7, 8, 0}));
    line.Arrive(ReadReply(53, {2, 15}));
    ASSERT_TRUE(link.ReadIntoBuffer(53, destination, 0, 2));
    EXPECT_EQ(destination[0], 2);
    EXPECT_EQ(destination[1], 15);
    // A destination too small for the block is refused before anything is sent.
    line.written.clear();
    EXPECT_FALSE(link.ReadBlock(51, destination, 7, 2));
    EXPECT_TRUE(line.written.empty());
}

TEST_F(FrameLinkTest, ByteGapsOfTwoSecondsAreAcceptedAndMoreThanThreeRefused) {
    std::array<std::uint8_t, 4> buffer{};
    line.Arrive(ReadReply(51, {5, 10}), Ms(2000), Ms(2000));
    EXPECT_TRUE(link.ReadIntoBuffer(51, buffer, 1, 2));
    EXPECT_EQ(line.now, Ms(34000));  // 17 bytes, each after 2 s
    EXPECT_GE(view.eventPumps, 2 * line.waits) << "events are processed around every wait";

    // Ten bytes arrive, then the line goes quiet: 101 empty polls of 30 ms end the reply.
    view.progress = 77;
    const Bytes reply = ReadReply(51, {5, 10});
    line.Arrive(std::span(reply).first(10), Ms(0), Ms(0));
    line.Arrive(std::span(reply).subspan(10), Ms(3100));
    const Ms start = line.now;
    const int purges = line.purges;
    EXPECT_FALSE(link.ReadIntoBuffer(51, buffer, 1, 2));
    EXPECT_EQ(line.now - start, Ms(101 * 30));
    EXPECT_EQ(line.purges, purges + 1);
    EXPECT_EQ(view.progress, 0);
}

TEST_F(FrameLinkTest, TheTimeOutCountsEmptyPollsPerByte) {
    // A gap of exactly 100 polls is still accepted; the 101st empty poll fails, even if the byte
    // has arrived by the end of it.
    std::array<std::uint8_t, 128> scratch{};
    line.Arrive(ReadReply(51, {}), Ms(3000), Ms(3000));
    EXPECT_TRUE(link.ReadBlock(51, scratch, 0, 0));
    line.Arrive(ReadReply(51, {}), Ms(3030));
    EXPECT_FALSE(link.ReadBlock(51, scratch, 0, 0));
}

TEST_F(FrameLinkTest, AClosedPortSendsNothingAndFailsAtOnce) {
    line.open = false;
    view.progress = 40;
    std::array<std::uint8_t, 128> scratch{};
    EXPECT_FALSE(link.ReadBlock(51, scratch, 0, 0));
    EXPECT_TRUE(line.written.empty());
    EXPECT_EQ(line.purges, 0);
    EXPECT_EQ(line.waits, 0);
    EXPECT_EQ(view.progress, 40);
}

TEST_F(FrameLinkTest, VerifyBlockComparesWithoutTouchingTheImage) {
    PagerImage image = StartupImage();
    const PagerImage before = image;
    const Bytes half(image.bytes.begin() + 128, image.bytes.end());
    line.Arrive(ReadReply(51, half));
    EXPECT_TRUE(link.VerifyBlock(image, 128, 128));
    Bytes different = half;
    different[127] ^= 0x80;
    line.Arrive(ReadReply(51, different));
    EXPECT_FALSE(link.VerifyBlock(image, 128, 128));
    EXPECT_EQ(image, before);
}

struct VersionCase {
    std::uint8_t major, minor;
    float version;
    const char* shown;
    bool recent;
};

TEST_F(FrameLinkTest, FirmwareVersionReadsTheMinorByteAsDigitsAfterThePoint) {
    const VersionCase cases[] = {
        {5, 10, 5.1f, "5.10", true}, {5, 1, 5.1f, "5.10", true},   {5, 9, 5.9f, "5.90", true},
        {5, 0, 5.0f, "5.00", false}, {4, 99, 4.99f, "4.99", false}, {1, 83, 1.83f, "1.83", false},
        {6, 0, 6.0f, "6.00", true},
        // Three digits after the point: the text rounds the decimal number, not its float.
        {5, 115, 5.115f, "5.12", true}, {5, 255, 5.255f, "5.25", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.major) + "." + std::to_string(c.minor));
        PagerImage image = StartupImage();
        line.Arrive(ReadReply(51, {c.major, c.minor}));
        const float version = link.QueryFirmwareVersion(image);
        EXPECT_FLOAT_EQ(version, c.version);
        EXPECT_EQ(view.firmwareVersion, c.shown);
        EXPECT_EQ(FirmwareIsRecent(version), c.recent);
        EXPECT_EQ(image[1], c.major);
        EXPECT_EQ(image[2], c.minor);
        // The field the load and show display gives the same text for the same two bytes.
        for (const auto& field : ImageFields())
            if (field.key == "firmware") {
                EXPECT_EQ(FieldValueText(DecodeField(image, field)), c.shown);
            }
    }
    // No answer: 0, which fails the gate, and the image keeps its bytes.
    PagerImage image = StartupImage();
    image[1] = 9;
    EXPECT_EQ(link.QueryFirmwareVersion(image), 0.0f);
    EXPECT_FALSE(FirmwareIsRecent(0.0f));
    EXPECT_EQ(image[1], 9);
}

TEST_F(FrameLinkTest, ModelTagIsRecognisedEmptyOrNamed) {
    const auto tag = [](std::string_view text) {
        Bytes bytes(14, 0);
        std::copy(text.begin(), text.end(), bytes.begin());
        return bytes;
    };
    struct Case {
        Bytes tag;
        ModelCode code;
        std::string name;
    };
    const Case cases[] = {
        {tag("ZR250Pro V107"), ModelCode::Recognised, ""},
        {tag("ZR200Pro V100"), ModelCode::Recognised, ""},
        {tag(""), ModelCode::EmptyTag, ""},
        {tag("XYZ"), ModelCode::Unrecognised, "XYZ"},
        {tag("ABCDEFGHIJKLMN"), ModelCode::Unrecognised, "ABCDEFGHIJKLMN"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        line.Arrive(ReadReply(51, c.tag));
        const ModelQuery query = link.QueryModelTag();
        EXPECT_EQ(query.code, c.code);
        EXPECT_EQ(query.pagerModelName, c.name);
    }
    const ModelQuery failed = link.QueryModelTag();
    EXPECT_EQ(failed.code, ModelCode::Unrecognised);
    EXPECT_EQ(failed.pagerModelName, "");
}

TEST_F(FrameLinkTest, BytesBeyondAReplyStartTheNextOne) {
    std::array<std::uint8_t, 128> scratch{};
    Bytes twice = ReadReply(51, {});
    twice.insert(twice.end(), 3, 0xEE);
    line.Arrive(twice);
    EXPECT_TRUE(link.ReadBlock(51, scratch, 0, 0));
    line.Arrive(ReadReply(51, {}));
    EXPECT_FALSE(link.ReadBlock(51, scratch, 0, 0)) << "three stray bytes shift the next reply";
}

// Random and cut-off replies never make the frame layer read or write outside its buffers, and a
// block succeeds only with a reply whose checksum is right.
TEST_F(FrameLinkTest, RandomAndTruncatedRepliesAreHandledWithoutFault) {
    std::mt19937 random(20261210);
    std::uniform_int_distribution<int> byte(0, 255);
    for (int round = 0; round < 3000; ++round) {
        const std::uint8_t count = static_cast<std::uint8_t>(byte(random) % 140);
        const std::uint16_t address = static_cast<std::uint16_t>(byte(random));
        Bytes data(count);
        for (auto& b : data) b = static_cast<std::uint8_t>(byte(random));
        Bytes reply = round % 3 == 0 ? ReadReply(51, data) : Bytes(static_cast<std::size_t>(byte(random) % 160));
        if (round % 3 != 0)
            for (auto& b : reply) b = static_cast<std::uint8_t>(byte(random));
        if (round % 5 == 1 && !reply.empty()) reply.resize(static_cast<std::size_t>(byte(random)) % reply.size());
        line.incoming.clear();
        line.Arrive(reply, Ms(byte(random) % 50), Ms(byte(random) % 5));

        PagerImage destination;
        destination.bytes.fill(0xA5);
        const PagerImage before = destination;
        std::span<std::uint8_t> target = destination.bytes;
        const bool ok = round % 2 == 0 ? link.ReadBlock(51, target, address, count)
                                       : link.ReadIntoBuffer(51, target, address, count);
        if (!ok) {
            EXPECT_EQ(destination, before);
            continue;
        }
        ASSERT_GE(reply.size(), count + kReplyOverhead);
        const std::size_t first = round % 2 == 0 ? address : 0;
        EXPECT_TRUE(std::equal(reply.begin() + 13, reply.begin() + 13 + count, destination.bytes.begin() + first));
    }
    PagerImage image = StartupImage();
    for (int round = 0; round < 500; ++round) {
        Bytes reply(static_cast<std::size_t>(byte(random) % 20));
        for (auto& b : reply) b = static_cast<std::uint8_t>(byte(random));
        line.incoming.clear();
        line.Arrive(reply);
        link.WriteBlock(image, static_cast<std::uint16_t>(byte(random)), static_cast<std::uint8_t>(byte(random) % 16));
        link.VerifyBlock(image, static_cast<std::uint16_t>(byte(random)), static_cast<std::uint8_t>(byte(random)));
    }
}

}  // namespace
}  // namespace zr
