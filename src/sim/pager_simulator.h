// A programming interface board with a pager behind it, on a pseudo-terminal: the other end of the
// line for demonstrations, tests and benchmarks. It answers the frames the program sends exactly as
// the board does, keeps the pager's 256-byte memory, and can be told to misbehave in the ways a real
// line does.
#pragma once

#include <array>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "pager_image.h"

namespace zr::sim {

// What the window's Write of its start-up image leaves in a pager: the built-in image as the
// window loads it at start-up, repaired and sealed (offsets 1 and 2 then take the pager's version).
PagerImage WrittenDefaultImage();

struct SimulatorOptions {
    // The pager's memory at start; the firmware version and the tag below are written over it. By
    // default the image a Write of the built-in image leaves in a pager.
    PagerImage memory = WrittenDefaultImage();
    std::uint8_t firmwareMajor = 5;
    std::uint8_t firmwareMinor = 10;
    // The pager's model/version tag at offsets 240..253; empty leaves 14 NUL bytes. Unset keeps the
    // memory's own tag. A new tag gets its checksum, as the pager keeps it.
    std::optional<std::string> tag;
    std::uint8_t boardMajor = 2;
    std::uint8_t boardMinor = 15;
    // A symbolic link to the port, made at start and removed at the end.
    std::filesystem::path link;
    // The line's baud rate: requests count as arrived only when their last byte would have, and
    // replies go out one byte per character time. 0 answers as fast as the terminal goes.
    unsigned pace = 0;

    // A fleet: this many pagers behind the board, each starting with `memory`, taking turns. Pager 1
    // is connected at start; a swap takes the connected pager away and, `swapGap` later, connects
    // the next one (after the last, the first again).
    unsigned pagers = 1;
    std::chrono::milliseconds swapGap{500};
    // Swap by itself once the connected pager has been written whole and read back, as a
    // technician does after each Write.
    bool autoSwap = false;
    // Swap by itself once the connected pager has been read whole, as a fleet's read and verify
    // leave each pager.
    bool swapAfterRead = false;
    // A FIFO made here (and removed at the end) that takes commands, one a line: "swap", "remove"
    // (no pager), "insert" (the next pager) or "insert N" (pager N).
    std::filesystem::path control;

    // Faults. Request and write numbers count from 1, in the order the frames arrive.
    bool silent = false;                   // no board: nothing is ever answered
    std::chrono::milliseconds byteGap{0};  // each reply byte follows the previous one after this gap
    unsigned badChecksumAt = 0;            // the reply to this request carries a wrong checksum
    unsigned negativeAcknowledgeAt = 0;    // this write is answered with a negative acknowledge
    unsigned dropAt = 0;                   // this request gets no reply
    unsigned hangUpAt = 0;                 // the line hangs up when this request arrives
    unsigned garbageAt = 0;                // noise bytes go out before the reply to this request
};

// One request frame as it arrived.
struct RequestRecord {
    std::uint8_t command = 0;
    std::uint8_t letter = 0;
    std::uint16_t address = 0;
    std::size_t count = 0;  // bytes asked for (read) or carried (write)

    bool operator==(const RequestRecord&) const = default;
};

// Options from "5.10"-style text: the major and the minor number, each 0..255.
std::optional<std::pair<std::uint8_t, std::uint8_t>> ParseVersionPair(const std::string& text);

class PagerSimulator {
public:
    // Opens the pseudo-terminal (and the link); throws std::runtime_error when it cannot.
    explicit PagerSimulator(SimulatorOptions options);
    ~PagerSimulator();
    PagerSimulator(const PagerSimulator&) = delete;
    PagerSimulator& operator=(const PagerSimulator&) = delete;

    // The terminal the program opens (/dev/pts/N).
    const std::string& PortPath() const { return portPath_; }

    // Answers requests until Stop() is called or the line is hung up by a fault. The program may close
    // and reopen the port any number of times meanwhile.
    void Run();
    // Ends Run(); safe from another thread and from a signal handler.
    void Stop() const;

    // Swaps the pager behind the board as described in SimulatorOptions; safe from another thread
    // and from a signal handler.
    void SwapPager() const;

    // The memory of the connected pager (of the last one connected while none is).
    PagerImage Memory() const;
    // Every pager's memory, in order.
    std::vector<PagerImage> Pagers() const;
    // The connected pager from 1, or 0 while none is.
    unsigned ConnectedPager() const;
    std::vector<RequestRecord> Requests() const;

private:
    bool Serve();
    void TakeSwapRequests();
    void TakeControlCommands();
    void RunControlCommand(const std::string& command);
    void ConnectDuePager();
    void Disconnect(std::optional<unsigned> next);
    bool HandleFrame(const std::vector<std::uint8_t>& frame);
    std::vector<std::uint8_t> Reply(const std::vector<std::uint8_t>& frame, unsigned requestNumber);
    bool SendReply(const std::vector<std::uint8_t>& reply, std::chrono::steady_clock::time_point start);
    bool WaitUntil(std::chrono::steady_clock::time_point deadline) const;
    void HangUp();

    SimulatorOptions options_;
    int master_ = -1;
    int slave_ = -1;  // held open so that the line survives the program closing its end
    int stopRead_ = -1;
    int stopWrite_ = -1;
    int swapRead_ = -1;
    int swapWrite_ = -1;
    int control_ = -1;
    int controlKeeper_ = -1;  // a writer of our own, so the FIFO never reads as ended
    std::string controlText_;
    bool droppingControlLine_ = false;  // a line longer than any command, read up to its newline
    static constexpr std::size_t kControlLineLimit = 256;
    std::string portPath_;
    bool linkMade_ = false;

    std::vector<std::uint8_t> pending_;
    std::chrono::steady_clock::time_point lineArrival_{};

    mutable std::mutex mutex_;
    std::vector<PagerImage> pagers_;
    std::size_t current_ = 0;
    bool connected_ = true;
    // When the next pager is connected after a swap.
    std::optional<std::chrono::steady_clock::time_point> connectAt_;
    std::size_t connectNext_ = 0;
    // The bytes written to the connected pager since it was connected, for the automatic swap.
    std::array<bool, kImageSize> written_{};
    std::array<bool, kImageSize> read_{};  // the bytes read since it was connected
    bool swapAfterReply_ = false;
    std::vector<RequestRecord> requests_;
    unsigned writes_ = 0;
};

// A simulator answering on its own thread, for tests: started by the constructor, stopped and joined
// by the destructor.
class SimulatorThread {
public:
    explicit SimulatorThread(SimulatorOptions options = {});
    ~SimulatorThread();
    SimulatorThread(const SimulatorThread&) = delete;
    SimulatorThread& operator=(const SimulatorThread&) = delete;

    PagerSimulator& simulator() { return simulator_; }
    const std::string& PortPath() const { return simulator_.PortPath(); }

private:
    PagerSimulator simulator_;
    std::thread thread_;
};

}  // namespace zr::sim
