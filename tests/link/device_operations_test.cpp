// Read, Write, Verify and the board probes end to end: the real serial port against the simulated
// board on a pseudo-terminal. Waits are cut short (QuickPort), so time-outs cost a fraction of 3 s.
// The pacing of a Write is timed on the fake line's clock instead.
#include <gtest/gtest.h>

#include <memory>
#include <numeric>

#include "device_operations.h"
#include "device_texts.h"
#include "fake_line.h"
#include "frames.h"
#include "pager_simulator.h"
#include "quick_port.h"
#include "recording_view.h"

namespace zr {
namespace {

using sim::RequestRecord;
using sim::SimulatorOptions;
using sim::SimulatorThread;
using testing::MenuState;
using testing::QuickPort;
using testing::RecordingView;

constexpr RequestRecord kPresence{51, 'R', 0, 0};
constexpr RequestRecord kVersion{51, 'R', 1, 2};
constexpr RequestRecord kTag{51, 'R', 240, 14};
constexpr RequestRecord kFirstHalf{51, 'R', 0, 128};
constexpr RequestRecord kSecondHalf{51, 'R', 128, 128};

// A pager whose memory differs from the program's start-up image, carried bytes included.
PagerImage PagerMemory() {
    PagerImage memory = StartupImage();
    memory[0] = 0x11;
    memory[3] = 4;  // 462.0000 MHz
    memory[4] = 6;
    memory[5] = 2;
    memory[129] = 0x22;
    memory[232] = 0x33;
    SealImageForWrite(memory);
    return memory;
}

class DeviceOperations : public ::testing::Test {
protected:
    void Start(SimulatorOptions options = {}) {
        simulator = std::make_unique<SimulatorThread>(std::move(options));
        ports = {simulator->PortPath()};
    }
    DeviceContext Context() { return {port, ports, 0, image, levels, view}; }
    std::vector<RequestRecord> Requests() const { return simulator->simulator().Requests(); }
    PagerImage Memory() const { return simulator->simulator().Memory(); }
    std::vector<Message> Messages() const { return view.messages; }

    // Every end after the port was reopened: window enabled, bar at 0, port closed.
    void ExpectClosedDown() const {
        EXPECT_TRUE(view.windowEnabled);
        EXPECT_EQ(view.progress, 0);
        EXPECT_FALSE(port.IsOpen());
    }

    std::unique_ptr<SimulatorThread> simulator;
    QuickPort port;
    RecordingView view;
    PortNameTable ports;
    PagerImage image = StartupImage();
    SquelchLevelTable levels = BuiltInSquelchLevelTable();
};

TEST_F(DeviceOperations, ReadTakesThePagersImageInFiveExchanges) {
    SimulatorOptions options;
    options.memory = PagerMemory();
    options.memory[kSpeakerOnOffset] = 20;  // a squelch pair of no level: repaired on the way in
    options.memory[kSpeakerOffOffset] = 10;
    options.memory[15] = 0x44;  // not covered by the checksum
    options.memory[253] = 'X';  // covered: a tag without its NUL
    unsigned sum = 0;
    for (std::size_t offset = 16; offset <= 253; ++offset) sum += options.memory[offset];
    options.memory[254] = static_cast<std::uint8_t>(sum >> 8);
    options.memory[255] = static_cast<std::uint8_t>(sum & 0xFF);
    PagerImage expected = options.memory;
    expected[1] = 5;  // the firmware version the pager reports lives in its memory
    expected[2] = 10;
    RepairSquelchThresholds(expected, levels);
    Start(options);

    EXPECT_TRUE(ReadPager(Context()));
    EXPECT_EQ(image, expected);
    EXPECT_EQ(view.imageReplacements, 1);
    EXPECT_EQ(Messages(), std::vector{ReadDoneMessage()});
    EXPECT_EQ(view.statuses, (std::vector<std::string>{std::string(kTestingStatus), std::string(kReadingStatus),
                                                        std::string(kReadyStatus)}));
    EXPECT_EQ(view.firmwareVersion, "5.10");
    EXPECT_EQ(view.progressMaximum, 256);
    EXPECT_EQ(view.windowDisables, 1);
    EXPECT_EQ(view.menu, (MenuState{true, false, true})) << "Modify Mode keeps Write disabled";
    EXPECT_EQ(Requests(), (std::vector{kPresence, kVersion, kTag, kFirstHalf, kSecondHalf}));
    ExpectClosedDown();

    view.modifyMode = false;
    EXPECT_TRUE(ReadPager(Context()));
    EXPECT_EQ(view.menu, (MenuState{true, true, true}));
}

TEST_F(DeviceOperations, WriteSealsSendsThirtyTwoPiecesAndReadsBack) {
    SimulatorOptions options;
    options.firmwareMinor = 9;
    Start(options);
    image[48] = 0xFF;
    image[104] = 0x80;
    image[200] = 0x5A;
    image[kSpeakerOnOffset] = 1;  // no level: repaired before sealing
    PagerImage expected = image;
    RepairSquelchThresholds(expected, levels);
    expected[1] = 5;
    expected[2] = 9;  // the pager's own version travels with the image
    SealImageForWrite(expected);

    EXPECT_TRUE(WritePager(Context()));
    EXPECT_EQ(image, expected) << "the sealed image stays in memory";
    EXPECT_EQ(Memory(), expected);
    EXPECT_EQ(Messages(), std::vector{WriteDoneMessage()});
    EXPECT_EQ(view.statuses,
              (std::vector<std::string>{std::string(kTestingStatus), std::string(kWritingStatus),
                                        std::string(kVerifyingStatus), std::string(kWriteReadyStatus)}));
    EXPECT_EQ(view.fileNameClears, 1);
    EXPECT_EQ(view.menu, (MenuState{true, true, true}));
    std::vector expectedRequests{kPresence, kVersion, kTag};
    for (std::uint16_t address = 0; address < 256; address += 8) expectedRequests.push_back({51, 'S', address, 8});
    expectedRequests.push_back(kFirstHalf);
    expectedRequests.push_back(kSecondHalf);
    EXPECT_EQ(Requests(), expectedRequests);
    EXPECT_EQ(view.piecesSent, std::vector{32});
    ExpectClosedDown();
}

// A board on the fake line that answers every frame at once from its memory, so the line's clock
// moves only while the program pauses.
void AnswerAsABoard(testing::FakeLine& line, PagerImage& memory) {
    line.answer = [&line, &memory](std::span<const std::uint8_t> frame) {
        const std::size_t address = frame[13] * 256u + frame[14];
        std::vector<std::uint8_t> reply(kPreamble.begin(), kPreamble.end());
        if (frame[11] == 'S') {
            std::copy(frame.begin() + 15, frame.end() - 2, memory.bytes.begin() + address);
            reply.insert(reply.end(), {51, 83, 1, 6, 0, 141});
        } else {
            reply.insert(reply.end(), frame.begin() + 10, frame.begin() + 13);
            reply.insert(reply.end(), memory.bytes.begin() + address, memory.bytes.begin() + address + frame[15]);
            const unsigned sum = std::accumulate(reply.begin() + 10, reply.end(), 0u);
            reply.push_back(static_cast<std::uint8_t>(sum >> 8 & 0xFF));
            reply.push_back(static_cast<std::uint8_t>(sum & 0xFF));
        }
        line.Arrive(reply);
    };
}

TEST(WritePacing, EveryPieceIsFollowedByTenMilliseconds) {
    testing::FakeLine line;
    RecordingView view;
    PagerImage memory = StartupImage();
    memory[1] = 5;
    memory[2] = 10;
    AnswerAsABoard(line, memory);
    PagerImage image = StartupImage();
    const PortNameTable ports{"board"};
    const SquelchLevelTable levels = BuiltInSquelchLevelTable();
    ASSERT_TRUE(WritePager({line, ports, 0, image, levels, view}));

    // Presence, version and tag at 0; piece n at n x 10 ms; the read-back after the last piece's pause.
    std::vector<std::chrono::milliseconds> expected(3, std::chrono::milliseconds(0));
    for (int piece = 0; piece < 32; ++piece) expected.push_back(std::chrono::milliseconds(10 * piece));
    expected.insert(expected.end(), 2, std::chrono::milliseconds(320));
    EXPECT_EQ(line.writeTimes, expected);
    EXPECT_EQ(memory, image);
}

TEST(WritePacing, OnlyChangedPiecesAreSentEachFollowedByTenMilliseconds) {
    testing::FakeLine line;
    RecordingView view;
    PagerImage image = StartupImage();
    PagerImage memory = image;
    memory[1] = 5;
    memory[2] = 10;
    SealImageForWrite(memory);
    memory[100] ^= 1;  // pieces 12 and 20
    memory[167] ^= 1;
    AnswerAsABoard(line, memory);
    const PortNameTable ports{"board"};
    const SquelchLevelTable levels = BuiltInSquelchLevelTable();
    ASSERT_TRUE(WriteChangedPieces({line, ports, 0, image, levels, view}));

    // Presence, version, tag and the two halves at 0; the two pieces 10 ms apart; the read-back after
    // the last piece's pause.
    std::vector<std::chrono::milliseconds> expected(5, std::chrono::milliseconds(0));
    expected.insert(expected.end(), {std::chrono::milliseconds(0), std::chrono::milliseconds(10)});
    expected.insert(expected.end(), 2, std::chrono::milliseconds(20));
    EXPECT_EQ(line.writeTimes, expected);
    EXPECT_EQ(memory, image);
}

// The image a Write leaves in the simulated pager: the start-up image, sealed, with its version.
PagerImage SealedStartupImage() {
    PagerImage sealed = StartupImage();
    sealed[1] = 5;
    sealed[2] = 10;
    SealImageForWrite(sealed);
    return sealed;
}

// A pager holding `sealed` but for one byte in each of `pieces` (never a version byte, which the
// simulator reports from its options).
PagerImage DifferingIn(PagerImage sealed, const std::vector<std::uint16_t>& pieces) {
    for (const std::uint16_t piece : pieces) sealed[piece * 8u + 4] ^= 0x5A;
    return sealed;
}

std::vector<RequestRecord> WritesOf(const std::vector<std::uint16_t>& pieces) {
    std::vector<RequestRecord> writes;
    for (const std::uint16_t piece : pieces) writes.push_back({51, 'S', static_cast<std::uint16_t>(piece * 8), 8});
    return writes;
}

std::vector<std::uint16_t> EveryPiece() {
    std::vector<std::uint16_t> pieces(32);
    std::iota(pieces.begin(), pieces.end(), std::uint16_t{0});
    return pieces;
}

std::vector<RequestRecord> Concatenated(std::initializer_list<std::vector<RequestRecord>> parts) {
    std::vector<RequestRecord> all;
    for (const auto& part : parts) all.insert(all.end(), part.begin(), part.end());
    return all;
}

TEST_F(DeviceOperations, AWriteOfChangedPiecesSendsOnlyThePiecesThatDiffer) {
    const PagerImage sealed = SealedStartupImage();
    const std::vector<std::vector<std::uint16_t>> cases = {{}, {12}, {0, 24, 31}, EveryPiece()};
    for (const auto& pieces : cases) {
        SCOPED_TRACE(std::to_string(pieces.size()) + " differing pieces");
        SimulatorOptions options;
        options.memory = DifferingIn(sealed, pieces);
        Start(options);
        view = RecordingView{};
        image = StartupImage();

        EXPECT_TRUE(WriteChangedPieces(Context()));
        EXPECT_EQ(image, sealed) << "the sealed image stays in memory";
        EXPECT_EQ(Memory(), sealed);
        EXPECT_EQ(Requests(), Concatenated({{kPresence, kVersion, kTag, kFirstHalf, kSecondHalf},
                                            WritesOf(pieces),
                                            {kFirstHalf, kSecondHalf}}));
        EXPECT_EQ(view.piecesSent, std::vector{static_cast<int>(pieces.size())});
        EXPECT_TRUE(view.diagnostics.empty());
        EXPECT_EQ(Messages(), std::vector{WriteDoneMessage()});
        EXPECT_EQ(view.statuses,
                  (std::vector<std::string>{std::string(kTestingStatus), std::string(kWritingStatus),
                                            std::string(kVerifyingStatus), std::string(kWriteReadyStatus)}));
        EXPECT_EQ(view.menu, (MenuState{true, true, true}));
        ExpectClosedDown();
    }
}

TEST_F(DeviceOperations, ARefusedChangedPieceEndsTheWrite) {
    const PagerImage sealed = SealedStartupImage();
    SimulatorOptions options;
    options.memory = DifferingIn(sealed, {3, 9, 20});
    options.negativeAcknowledgeAt = 2;
    Start(options);

    EXPECT_FALSE(WriteChangedPieces(Context()));
    EXPECT_EQ(Messages(), std::vector{WriteErrorMessage()});
    EXPECT_EQ(Requests(), Concatenated({{kPresence, kVersion, kTag, kFirstHalf, kSecondHalf}, WritesOf({3, 9})}))
        << "no further piece, no read-back";
    EXPECT_EQ(view.piecesSent, std::vector{2});
    EXPECT_EQ(Memory(), DifferingIn(sealed, {9, 20})) << "the refused piece and the one after it not written";
    ExpectClosedDown();
}

TEST_F(DeviceOperations, AWriteOfChangedPiecesThatCannotReadThePagerFirstSendsEveryPiece) {
    const PagerImage sealed = SealedStartupImage();
    struct Case {
        const char* name;
        SimulatorOptions options;
        std::vector<RequestRecord> firstRead;
    };
    const auto with = [&sealed](auto change) {
        SimulatorOptions options;
        options.memory = DifferingIn(sealed, {5});
        change(options);
        return options;
    };
    const Case cases[] = {
        {"first half times out", with([](auto& o) { o.dropAt = 4; }), {kFirstHalf}},
        {"second half with a wrong checksum", with([](auto& o) { o.badChecksumAt = 5; }), {kFirstHalf, kSecondHalf}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Start(c.options);
        view = RecordingView{};
        image = StartupImage();

        EXPECT_TRUE(WriteChangedPieces(Context()));
        EXPECT_EQ(view.diagnostics, std::vector{std::string(kChangedOnlyFallbackNote)});
        EXPECT_EQ(Requests(), Concatenated({{kPresence, kVersion, kTag}, c.firstRead, WritesOf(EveryPiece()),
                                            {kFirstHalf, kSecondHalf}}));
        EXPECT_EQ(view.piecesSent, std::vector{32});
        EXPECT_EQ(Messages(), std::vector{WriteDoneMessage()});
        EXPECT_EQ(Memory(), sealed);
        ExpectClosedDown();
    }
}

TEST_F(DeviceOperations, VerifyComparesTheImageExactlyAsItIs) {
    Start();
    image = Memory();
    EXPECT_TRUE(VerifyPager(Context()));
    EXPECT_EQ(Messages(), std::vector{VerifyDoneMessage()});
    EXPECT_EQ(view.statuses.back(), kReadyStatus);

    image[70] ^= 1;
    const PagerImage changed = image;
    view.messages.clear();
    EXPECT_FALSE(VerifyPager(Context()));
    EXPECT_EQ(Messages(), std::vector{VerifyErrorMessage()});
    EXPECT_EQ(image, changed);
    EXPECT_EQ(Requests().size(), 5u) << "no gate: probe and two blocks, then probe and the differing block";
    ExpectClosedDown();
}

TEST_F(DeviceOperations, NoBoardEndsBeforeTheMenuIsTouched) {
    SimulatorOptions options;
    options.silent = true;
    Start(options);
    const PagerImage before = image;
    struct Case {
        bool (*operation)(const DeviceContext&);
        Message message;
    };
    for (const auto& [operation, message] : {Case{ReadPager, NoBoardOnReadMessage()}, Case{WritePager, NoBoardMessage()},
                                             Case{VerifyPager, NoBoardMessage()}}) {
        view = RecordingView{};
        EXPECT_FALSE(operation(Context()));
        EXPECT_EQ(Messages(), std::vector{message});
        EXPECT_EQ(view.Status(), kReadyStatus);
        EXPECT_EQ(view.menuChanges, 0);
        EXPECT_TRUE(view.windowEnabled);
        EXPECT_FALSE(port.IsOpen());
    }
    EXPECT_EQ(image, before);
}

TEST_F(DeviceOperations, APortHeldByAnotherProgramCountsAsNoBoard) {
    Start();
    TCommPort other;
    other.Configure(9600, ports[0], 1);
    EXPECT_FALSE(WritePager(Context()));
    EXPECT_EQ(Messages(), std::vector{NoBoardMessage()});
    EXPECT_TRUE(Requests().empty());
}

TEST_F(DeviceOperations, APortThatCannotBeReopenedAfterTheProbeIsReported) {
    Start();
    for (const auto& [code, message] : {std::pair{ECommError::kOpen, PortInUseMessage()},
                                        std::pair{ECommError::kSetState, PortErrorMessage()}}) {
        view = RecordingView{};
        port.configures = 0;
        port.failConfigureAt = 2;  // the probe's open works, the reopen of the operation fails
        port.failConfigureCode = code;
        EXPECT_FALSE(ReadPager(Context()));
        EXPECT_EQ(Messages(), std::vector{message});
        EXPECT_EQ(view.Status(), kTestingStatus) << "the status keeps the testing text";
        EXPECT_EQ(view.menuChanges, 0);
        EXPECT_TRUE(view.windowEnabled);
        EXPECT_FALSE(port.IsOpen());
    }
}

TEST_F(DeviceOperations, TheFirmwareGateRefusesVersionsBelowFiveTen) {
    struct Case {
        std::uint8_t major, minor;
        bool passes;
    };
    for (const auto& c : {Case{5, 0, false}, Case{4, 99, false}, Case{5, 1, true}, Case{5, 9, true}}) {
        SCOPED_TRACE(std::to_string(c.major) + "." + std::to_string(c.minor));
        SimulatorOptions options;
        options.firmwareMajor = c.major;
        options.firmwareMinor = c.minor;
        Start(options);
        view = RecordingView{};
        image = StartupImage();
        const bool written = WritePager(Context());
        EXPECT_EQ(written, c.passes);
        const auto requests = Requests();
        const auto writes = std::count_if(requests.begin(), requests.end(), [](auto r) { return r.letter == 'S'; });
        EXPECT_EQ(writes, c.passes ? 32 : 0);
        if (!c.passes) {
            EXPECT_EQ(Messages(), std::vector{OldFirmwareMessage()});
            EXPECT_EQ(image[1], c.major);
            EXPECT_EQ(image[2], c.minor);
            EXPECT_FALSE(HasValidChecksum(image)) << "nothing was sealed";
        }
        ExpectClosedDown();
        view = RecordingView{};
        EXPECT_EQ(ReadPager(Context()), c.passes);
    }
}

TEST_F(DeviceOperations, TheModelGateStopsOnlyAReadOfAForeignPager) {
    SimulatorOptions options;
    options.tag = "XYZ";
    Start(options);
    const PagerImage before = image;
    EXPECT_FALSE(ReadPager(Context()));
    EXPECT_EQ(Messages(), std::vector{PlainMessage("This model is not ZR250Pro. This model is XYZ.")});
    EXPECT_EQ(Requests().size(), 3u) << "nothing read after the tag";
    PagerImage onlyVersion = before;
    onlyVersion[1] = image[1];
    onlyVersion[2] = image[2];
    EXPECT_EQ(image, onlyVersion);
    ExpectClosedDown();

    view = RecordingView{};
    EXPECT_TRUE(WritePager(Context()));
    EXPECT_EQ(TagText(Memory()), "ZR250Pro V107");

    options.tag = "";
    Start(options);
    view = RecordingView{};
    EXPECT_TRUE(ReadPager(Context())) << "an empty tag is read";
}

// Failures on the line: each ends with its one message, the window enabled, the port closed, and a
// Read leaves the image as it was (but for the version bytes).
TEST_F(DeviceOperations, LineFailuresEndWithTheBoxOfTheirPhase) {
    PagerImage badChecksum = PagerMemory();
    badChecksum[255] ^= 1;
    struct Case {
        const char* name;
        bool (*operation)(const DeviceContext&);
        SimulatorOptions options;
        Message message;
        int piecesAcknowledged = -1;  // what the Write reports it got through, where it matters
    };
    const auto with = [](auto change) {
        SimulatorOptions options;
        options.memory = PagerMemory();
        change(options);
        return options;
    };
    const Case cases[] = {
        {"time-out in the second block", ReadPager, with([](auto& o) { o.dropAt = 5; }), ReadErrorMessage()},
        {"wrong checksum on the first block", ReadPager, with([](auto& o) { o.badChecksumAt = 4; }), ReadErrorMessage()},
        {"noise before the first block", ReadPager, with([](auto& o) { o.garbageAt = 4; }), ReadErrorMessage()},
        {"wrong image checksum", ReadPager, with([&](auto& o) { o.memory = badChecksum; }), ChecksumErrorMessage()},
        {"line hung up", ReadPager, with([](auto& o) { o.hangUpAt = 4; }), ReadErrorMessage()},
        {"time-out of a write piece", WritePager, with([](auto& o) { o.dropAt = 10; }), WriteErrorMessage()},
        {"line hung up while writing", WritePager, with([](auto& o) { o.hangUpAt = 12; }), WriteErrorMessage(), 8},
        {"time-out while reading back", WritePager, with([](auto& o) { o.dropAt = 37; }), VerifyErrorMessage()},
        {"wrong checksum on verify", VerifyPager, with([](auto& o) { o.badChecksumAt = 3; }), VerifyErrorMessage()},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Start(c.options);
        view = RecordingView{};
        image = StartupImage();
        EXPECT_FALSE(c.operation(Context()));
        EXPECT_EQ(Messages(), std::vector{c.message});
        EXPECT_EQ(view.imageReplacements, 0);
        if (c.piecesAcknowledged >= 0) {
            EXPECT_EQ(view.piecesSent, std::vector{c.piecesAcknowledged});
        }
        if (c.operation == ReadPager) {
            PagerImage expected = StartupImage();
            expected[1] = 5;
            expected[2] = 10;
            EXPECT_EQ(image, expected);
        }
        ExpectClosedDown();
    }
}

TEST_F(DeviceOperations, ARefusedFifthPieceEndsTheWrite) {
    SimulatorOptions options;
    options.negativeAcknowledgeAt = 5;
    Start(options);
    EXPECT_FALSE(WritePager(Context()));
    EXPECT_EQ(Messages(), std::vector{WriteErrorMessage()});
    const auto requests = Requests();
    ASSERT_EQ(requests.size(), 3u + 5u) << "no further piece, no read-back";
    EXPECT_EQ(requests.back(), (RequestRecord{51, 'S', 32, 8}));
    EXPECT_EQ(view.progressHistory[view.progressHistory.size() - 2], 40) << "the bar advanced for the fifth piece";
    EXPECT_TRUE(HasValidChecksum(image)) << "sealed, whatever reached the pager";
    ExpectClosedDown();
}

TEST_F(DeviceOperations, APortErrorDuringTheExchangeFailsTheBlockInProgress) {
    Start();
    port.failReadAt = 50;  // inside the tag reply
    EXPECT_FALSE(WritePager(Context()));
    EXPECT_EQ(Messages(), std::vector{WriteErrorMessage()});
    ExpectClosedDown();
    EXPECT_EQ(view.menu, (MenuState{true, true, true}));

    view = RecordingView{};
    port.reads = 0;
    port.failReadAt = 15 + 17 + 29 + 32 * 16 + 100;  // inside the first block read back
    EXPECT_FALSE(WritePager(Context()));
    EXPECT_EQ(Messages(), std::vector{VerifyErrorMessage()});
    ExpectClosedDown();
}

TEST_F(DeviceOperations, TheProbeBeforeAnOperationTriesTheSelectedPortOnly) {
    SimulatorOptions silent;
    silent.silent = true;
    SimulatorThread empty(silent);
    Start();
    ports = {empty.PortPath(), simulator->PortPath()};
    EXPECT_FALSE(ProbeSelectedPort({port, ports, 0, image, levels, view}));
    EXPECT_TRUE(Requests().empty());
    EXPECT_TRUE(ProbeSelectedPort({port, ports, 1, image, levels, view}));
    EXPECT_TRUE(port.IsOpen());
}

TEST_F(DeviceOperations, TheInterfaceVersionIsShownAsMajorPointMinor) {
    SimulatorOptions options;
    options.boardMajor = 1;
    options.boardMinor = 0;
    Start(options);
    EXPECT_EQ(QueryInterfaceVersion(port, ports, 0, view), "1.0");
    EXPECT_TRUE(port.IsOpen());
    EXPECT_EQ(Requests().back(), (RequestRecord{53, 'R', 0, 2}));
    EXPECT_EQ(QueryInterfaceVersion(port, ports, 1, view), "") << "no port chosen";
    EXPECT_EQ(QueryInterfaceVersion(port, {"/nonexistent/port"}, 0, view), "");
    EXPECT_TRUE(view.messages.empty());
}

TEST_F(DeviceOperations, TheBoardSurvivesThePortClosingAndReopening) {
    Start();
    for (int round = 0; round < 3; ++round) {
        view = RecordingView{};
        EXPECT_TRUE(WritePager(Context()));
        EXPECT_TRUE(VerifyPager(Context()));
        EXPECT_TRUE(ReadPager(Context()));
    }
}

}  // namespace
}  // namespace zr
