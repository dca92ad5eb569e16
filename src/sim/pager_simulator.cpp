#include "pager_simulator.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <stdexcept>

#include "editor_load.h"
#include "frames.h"
#include "number_text.h"

namespace zr::sim {

namespace {

using Clock = std::chrono::steady_clock;

constexpr std::size_t kHeaderSize = 13;  // preamble, command, letter, payload length
constexpr std::uint8_t kNegativeAcknowledge = 21;
constexpr std::array<std::uint8_t, 7> kNoise = {0x00, 0xFF, 'n', 'o', 'i', 's', 'e'};

[[noreturn]] void Fail(const std::string& what) {
    throw std::runtime_error(what + ": " + std::strerror(errno));
}

void PutChecksum(std::vector<std::uint8_t>& frame) {
    const std::uint16_t sum = FrameChecksum(std::span(frame).subspan(kPreamble.size()));
    frame.push_back(static_cast<std::uint8_t>(sum >> 8));
    frame.push_back(static_cast<std::uint8_t>(sum & 0xFF));
}

std::vector<std::uint8_t> Frame(std::uint8_t command, std::uint8_t letter, std::uint8_t length,
                                std::span<const std::uint8_t> payload) {
    std::vector<std::uint8_t> frame(kPreamble.begin(), kPreamble.end());
    frame.insert(frame.end(), {command, letter, length});
    frame.insert(frame.end(), payload.begin(), payload.end());
    PutChecksum(frame);
    return frame;
}

Clock::duration CharacterTime(unsigned baud) {
    // Start bit, 8 data bits, stop bit.
    return std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(10.0 / baud));
}

}  // namespace

PagerImage WrittenDefaultImage() {
    EditorSession session = StartupEditorSession();
    PrepareImageForWrite(session.image, session.state.settings.squelchLevels);
    return session.image;
}

std::optional<std::pair<std::uint8_t, std::uint8_t>> ParseVersionPair(const std::string& text) {
    const auto point = text.find('.');
    if (point == std::string::npos) return std::nullopt;
    const auto major = ParseInteger(std::string_view(text).substr(0, point));
    const auto minor = ParseInteger(std::string_view(text).substr(point + 1));
    if (!major || !minor || *major < 0 || *major > 255 || *minor < 0 || *minor > 255) return std::nullopt;
    return std::pair{static_cast<std::uint8_t>(*major), static_cast<std::uint8_t>(*minor)};
}

PagerSimulator::PagerSimulator(SimulatorOptions options) : options_(std::move(options)) {
    PagerImage memory = options_.memory;
    memory[1] = options_.firmwareMajor;
    memory[2] = options_.firmwareMinor;
    if (options_.tag) {
        for (std::size_t i = 0; i < kTagSize; ++i)
            memory[kTagOffset + i] = i < options_.tag->size() ? static_cast<std::uint8_t>((*options_.tag)[i]) : 0;
        SetWord16(memory, kChecksumOffset, ImageChecksum(memory));
    }
    pagers_.assign(std::max(options_.pagers, 1u), memory);

    master_ = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (master_ < 0 || grantpt(master_) != 0 || unlockpt(master_) != 0) Fail("cannot make a pseudo-terminal");
    portPath_ = ptsname(master_);
    slave_ = ::open(portPath_.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (slave_ < 0) Fail("cannot open " + portPath_);
    // Raw from the start: no echo of the replies, no translation, even before the program opens it.
    termios settings{};
    tcgetattr(slave_, &settings);
    cfmakeraw(&settings);
    tcsetattr(slave_, TCSANOW, &settings);

    int pipeEnds[2];
    if (pipe2(pipeEnds, O_CLOEXEC | O_NONBLOCK) != 0) Fail("cannot make a pipe");
    stopRead_ = pipeEnds[0];
    stopWrite_ = pipeEnds[1];
    if (pipe2(pipeEnds, O_CLOEXEC | O_NONBLOCK) != 0) Fail("cannot make a pipe");
    swapRead_ = pipeEnds[0];
    swapWrite_ = pipeEnds[1];

    if (!options_.control.empty()) {
        std::error_code ignored;
        std::filesystem::remove(options_.control, ignored);
        if (mkfifo(options_.control.c_str(), 0600) != 0) Fail("cannot make " + options_.control.string());
        control_ = ::open(options_.control.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        controlKeeper_ = ::open(options_.control.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
        if (control_ < 0 || controlKeeper_ < 0) Fail("cannot open " + options_.control.string());
    }

    if (!options_.link.empty()) {
        std::error_code ignored;
        if (std::filesystem::is_symlink(options_.link, ignored)) std::filesystem::remove(options_.link, ignored);
        std::filesystem::create_symlink(portPath_, options_.link);
        linkMade_ = true;
    }
}

PagerSimulator::~PagerSimulator() {
    for (int fd : {master_, slave_, stopRead_, stopWrite_, swapRead_, swapWrite_, control_, controlKeeper_})
        if (fd >= 0) ::close(fd);
    std::error_code ignored;
    if (linkMade_) std::filesystem::remove(options_.link, ignored);
    if (control_ >= 0) std::filesystem::remove(options_.control, ignored);
}

void PagerSimulator::Stop() const {
    const char byte = 1;
    [[maybe_unused]] const auto written = ::write(stopWrite_, &byte, 1);
}

void PagerSimulator::SwapPager() const {
    const char byte = 1;
    [[maybe_unused]] const auto written = ::write(swapWrite_, &byte, 1);
}

PagerImage PagerSimulator::Memory() const {
    std::lock_guard lock(mutex_);
    return pagers_[current_];
}

std::vector<PagerImage> PagerSimulator::Pagers() const {
    std::lock_guard lock(mutex_);
    return pagers_;
}

unsigned PagerSimulator::ConnectedPager() const {
    std::lock_guard lock(mutex_);
    return connected_ ? static_cast<unsigned>(current_ + 1) : 0;
}

// Takes the connected pager away; `next` is connected after the gap, or at once without one.
void PagerSimulator::Disconnect(std::optional<unsigned> next) {
    std::lock_guard lock(mutex_);
    connected_ = false;
    connectAt_.reset();
    if (!next) return;
    connectNext_ = *next % pagers_.size();
    connectAt_ = Clock::now() + options_.swapGap;
}

void PagerSimulator::ConnectDuePager() {
    std::lock_guard lock(mutex_);
    if (!connectAt_ || Clock::now() < *connectAt_) return;
    connectAt_.reset();
    current_ = connectNext_;
    connected_ = true;
    written_.fill(false);
    read_.fill(false);
}

void PagerSimulator::TakeSwapRequests() {
    char bytes[64];
    bool asked = false;
    while (::read(swapRead_, bytes, sizeof bytes) > 0) asked = true;
    // A swap asked for while no pager is connected changes nothing: the next one is on its way.
    if (asked && ConnectedPager() != 0) Disconnect(static_cast<unsigned>(current_ + 1));
}

// One piece per turn, so that a flood on the control FIFO never keeps the line from being served. A
// command is a short line: a longer one is dropped up to its newline, and nothing of it is kept.
void PagerSimulator::TakeControlCommands() {
    char bytes[4096];
    const ssize_t got = ::read(control_, bytes, sizeof bytes);
    for (ssize_t i = 0; i < got; ++i) {
        const char c = bytes[i];
        if (c == '\n') {
            if (!droppingControlLine_) RunControlCommand(controlText_);
            controlText_.clear();
            droppingControlLine_ = false;
        } else if (droppingControlLine_) {
            continue;
        } else if (controlText_.size() == kControlLineLimit) {
            controlText_.clear();
            droppingControlLine_ = true;
        } else {
            controlText_ += c;
        }
    }
}

void PagerSimulator::RunControlCommand(const std::string& command) {
    if (command == "swap") {
        if (ConnectedPager() != 0) Disconnect(static_cast<unsigned>(current_ + 1));
    } else if (command == "remove") {
        Disconnect(std::nullopt);
    } else if (command == "swap-after-read") {
        // From now on a whole read of the seated pager swaps it: a fleet written first, then read back.
        options_.swapAfterRead = true;
        read_.fill(false);
    } else if (command == "insert" || command.starts_with("insert ")) {
        const auto number = command == "insert" ? std::optional<std::int64_t>((current_ + 1) % pagers_.size() + 1)
                                                : ParseInteger(std::string_view(command).substr(7));
        if (number && *number >= 1 && static_cast<std::size_t>(*number) <= pagers_.size()) {
            std::lock_guard lock(mutex_);
            connectNext_ = static_cast<std::size_t>(*number - 1);
            connectAt_ = Clock::now();
        }
    }
}

std::vector<RequestRecord> PagerSimulator::Requests() const {
    std::lock_guard lock(mutex_);
    return requests_;
}

void PagerSimulator::Run() {
    while (Serve()) {
    }
}

// Waits for bytes from the program or for Stop; false when the simulator should end.
bool PagerSimulator::Serve() {
    if (master_ < 0) return false;
    int timeout = -1;
    {
        std::lock_guard lock(mutex_);
        if (connectAt_) {
            const auto left = std::chrono::ceil<std::chrono::milliseconds>(*connectAt_ - Clock::now()).count();
            timeout = static_cast<int>(std::max<std::int64_t>(left, 0));
        }
    }
    pollfd fds[4] = {{master_, POLLIN, 0}, {stopRead_, POLLIN, 0}, {swapRead_, POLLIN, 0}, {control_, POLLIN, 0}};
    if (poll(fds, control_ >= 0 ? 4 : 3, timeout) < 0) return errno == EINTR;
    if (fds[1].revents & POLLIN) return false;
    if (fds[2].revents & POLLIN) TakeSwapRequests();
    if (control_ >= 0 && (fds[3].revents & POLLIN)) TakeControlCommands();
    ConnectDuePager();
    if (!(fds[0].revents & POLLIN)) return true;

    std::uint8_t chunk[512];
    const ssize_t count = ::read(master_, chunk, sizeof chunk);
    if (count <= 0) return count < 0 && (errno == EINTR || errno == EAGAIN);
    const Clock::time_point now = Clock::now();
    if (options_.pace != 0) lineArrival_ = std::max(lineArrival_, now) + CharacterTime(options_.pace) * count;
    pending_.insert(pending_.end(), chunk, chunk + count);

    // Take every complete frame; anything that is no frame is skipped a byte at a time, so that a
    // frame following noise or a cut-off request is still found.
    for (;;) {
        const auto start = std::search(pending_.begin(), pending_.end(), kPreamble.begin(), kPreamble.end());
        const std::size_t keep = start == pending_.end()
                                     ? std::min(pending_.size(), kPreamble.size() - 1)
                                     : static_cast<std::size_t>(pending_.end() - start);
        pending_.erase(pending_.begin(), pending_.end() - static_cast<std::ptrdiff_t>(keep));
        if (pending_.size() < kHeaderSize) return true;
        const std::size_t size = kHeaderSize + pending_[12] + 2;
        if (size > kFrameBufferSize + 2) {
            pending_.erase(pending_.begin());
            continue;
        }
        if (pending_.size() < size) return true;
        std::vector<std::uint8_t> frame(pending_.begin(), pending_.begin() + static_cast<std::ptrdiff_t>(size));
        const std::uint16_t sum = FrameChecksum(std::span(frame).subspan(kPreamble.size(), size - 12));
        if (sum != (frame[size - 2] << 8 | frame[size - 1])) {
            pending_.erase(pending_.begin());
            continue;
        }
        pending_.erase(pending_.begin(), pending_.begin() + static_cast<std::ptrdiff_t>(size));
        if (!HandleFrame(frame)) return false;
    }
}

bool PagerSimulator::HandleFrame(const std::vector<std::uint8_t>& frame) {
    unsigned requestNumber;
    {
        std::lock_guard lock(mutex_);
        const std::uint8_t letter = frame[11];
        const std::size_t count = letter == kWriteLetter ? std::max(frame[12], std::uint8_t{2}) - 2u
                                  : frame.size() > 15 ? frame[15] : 0;
        requests_.push_back({frame[10], letter, static_cast<std::uint16_t>(frame[13] << 8 | frame[14]), count});
        requestNumber = static_cast<unsigned>(requests_.size());
    }
    if (requestNumber == options_.hangUpAt) {
        HangUp();
        return false;
    }
    if (options_.silent || requestNumber == options_.dropAt) return true;
    const auto reply = Reply(frame, requestNumber);
    if (reply.empty()) return true;
    const Clock::time_point start = options_.pace != 0 ? std::max(lineArrival_, Clock::now()) : Clock::now();
    if (!SendReply(reply, start)) return false;
    if (swapAfterReply_) {
        swapAfterReply_ = false;
        Disconnect(static_cast<unsigned>(current_ + 1));
    }
    return true;
}

std::vector<std::uint8_t> PagerSimulator::Reply(const std::vector<std::uint8_t>& frame, unsigned requestNumber) {
    const std::uint8_t command = frame[10];
    const std::uint8_t letter = frame[11];
    const std::size_t address = static_cast<std::size_t>(frame[13] << 8 | frame[14]);
    std::vector<std::uint8_t> reply;
    std::lock_guard lock(mutex_);
    // Without a pager the board still answers for itself, and its presence test reads nothing of the
    // pager; whatever needs the pager goes unanswered.
    const bool needsPager = command == kPagerMemoryCommand && (letter == kWriteLetter || frame.size() <= 15 || frame[15] > 0);
    if (!connected_ && needsPager) return reply;
    PagerImage& memory = pagers_[current_];
    if (letter == kReadLetter && frame.size() == kReadRequestSize && (command == kPagerMemoryCommand || command == kBoardCommand)) {
        std::vector<std::uint8_t> data(frame[15], 0);
        for (std::size_t i = 0; i < data.size(); ++i) {
            if (command == kBoardCommand)
                data[i] = i == 0 ? options_.boardMajor : i == 1 ? options_.boardMinor : 0;
            else if (address + i < kImageSize)
                data[i] = memory[address + i];
        }
        reply = Frame(command, letter, frame[12], data);
        // The second half read back after the whole pager was written: the Write is done.
        swapAfterReply_ = options_.autoSwap && command == kPagerMemoryCommand && address + data.size() == kImageSize &&
                          std::all_of(written_.begin(), written_.end(), [](bool byte) { return byte; });
        if (command == kPagerMemoryCommand)
            for (std::size_t i = address; i < std::min(address + data.size(), kImageSize); ++i) read_[i] = true;
        swapAfterReply_ = swapAfterReply_ || (options_.swapAfterRead && command == kPagerMemoryCommand &&
                                              std::all_of(read_.begin(), read_.end(), [](bool byte) { return byte; }));
        // Only a pager behind the board is swapped: a presence test while the next one is on its way
        // must not put it off.
        swapAfterReply_ = swapAfterReply_ && connected_;
    } else if (letter == kWriteLetter && command == kPagerMemoryCommand) {
        ++writes_;
        const bool refuse = writes_ == options_.negativeAcknowledgeAt;
        if (!refuse) {
            for (std::size_t i = 0; i + 17 < frame.size(); ++i)
                if (address + i < kImageSize) {
                    memory[address + i] = frame[15 + i];
                    written_[address + i] = true;
                }
        }
        const std::uint8_t answer = refuse ? kNegativeAcknowledge : kAcknowledge;
        reply = Frame(kPagerMemoryCommand, kWriteLetter, 1, std::span(&answer, 1));
    }
    if (reply.empty()) return reply;
    if (requestNumber == options_.badChecksumAt) reply.back() ^= 0x5A;
    if (requestNumber == options_.garbageAt) reply.insert(reply.begin(), kNoise.begin(), kNoise.end());
    return reply;
}

bool PagerSimulator::SendReply(const std::vector<std::uint8_t>& reply, Clock::time_point start) {
    const Clock::duration step =
        options_.byteGap.count() > 0 ? Clock::duration(options_.byteGap)
        : options_.pace != 0         ? CharacterTime(options_.pace)
                                     : Clock::duration::zero();
    if (step == Clock::duration::zero()) {
        if (!WaitUntil(start)) return false;
        [[maybe_unused]] const auto written = ::write(master_, reply.data(), reply.size());
        return true;
    }
    Clock::time_point due = start;
    for (const std::uint8_t byte : reply) {
        due += step;
        if (!WaitUntil(due)) return false;
        [[maybe_unused]] const auto written = ::write(master_, &byte, 1);
    }
    lineArrival_ = std::max(lineArrival_, due);
    return true;
}

// Sleeps until the deadline; false when Stop came first.
bool PagerSimulator::WaitUntil(Clock::time_point deadline) const {
    for (;;) {
        const auto left = deadline - Clock::now();
        if (left <= Clock::duration::zero()) return true;
        const auto nanoseconds = std::chrono::duration_cast<std::chrono::nanoseconds>(left).count();
        const timespec timeout{static_cast<time_t>(nanoseconds / 1000000000), static_cast<long>(nanoseconds % 1000000000)};
        pollfd stop{stopRead_, POLLIN, 0};
        if (ppoll(&stop, 1, &timeout, nullptr) > 0) return false;
    }
}

void PagerSimulator::HangUp() {
    ::close(slave_);
    ::close(master_);
    slave_ = master_ = -1;
}

SimulatorThread::SimulatorThread(SimulatorOptions options)
    : simulator_(std::move(options)), thread_([this] { simulator_.Run(); }) {}

SimulatorThread::~SimulatorThread() {
    simulator_.Stop();
    thread_.join();
}

}  // namespace zr::sim
