// A trace of everything that happens on the serial lines, for the technician to send when the pager
// will not answer: one line per event with the time since the trace began in milliseconds, the port,
// what happened and the bytes in hex.
//
//      12.480 ms  /dev/ttyUSB0  ->       56 61 ... 00 88  (18 bytes: read '3' address 0 count 0)
//      28.113 ms  /dev/ttyUSB0  <-       56 61 ... 00 36  (15 bytes in 15.6 ms: checksum right)
//
// Events: open and close with their result, purge, request (->), reply (<-, the bytes that came in
// until the next event), time-out.
#pragma once

#include <chrono>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "comm_port.h"

namespace zr {

// The variable that makes the window write a trace: its value is the file.
inline constexpr const char* kTraceVariable = "ZR250PRO_TRACE";

class LinkTrace {
public:
    // Creates or empties the file; IsOpen() tells whether that worked. A path naming anything but a
    // file (TraceTargetRefusal) is not opened at all.
    explicit LinkTrace(const std::filesystem::path& file);
    bool IsOpen() const { return out_.is_open() && out_.good(); }

    // One line, stamped now or at `at`, on disk as it is written, so that the trace is complete up
    // to its last event whatever happens next (a box left open, a crash, the program killed). A
    // line that cannot be written is said once on standard error; the work on the line goes on.
    void Event(std::string_view port, std::string_view event, std::string_view detail = {},
               std::optional<std::chrono::steady_clock::time_point> at = std::nullopt);
    // Milliseconds since the trace began.
    double Now() const;
    // The time of a point on the same clock.
    double At(std::chrono::steady_clock::time_point when) const;

private:
    std::filesystem::path file_;
    std::ofstream out_;
    std::chrono::steady_clock::time_point start_;
    bool failureSaid_ = false;
};

// Why a trace cannot go to this path before anything is opened: a folder, a FIFO (opening one waits
// for a reader), a device or a socket is no file to keep a trace in. Empty for a file or a new name.
std::string TraceTargetRefusal(const std::filesystem::path& file);
// Why MakeProgramPort made no port for this trace file: the refusal, or the system's reason.
std::string TraceFileFailure(const std::string& traceFile);

// The bytes as hex pairs separated by blanks: "56 61 6E".
std::string HexBytes(std::span<const std::uint8_t> bytes);

// A port that writes every event of the port behind it to a trace. Other ports made from it
// (NewPort) write to the same trace.
class TracedPort final : public CommPort {
public:
    TracedPort(std::unique_ptr<CommPort> inner, std::shared_ptr<LinkTrace> trace);
    ~TracedPort() override;

    void Configure(std::uint32_t baudRate, std::string_view portName, int mode) override;
    void Close() override;
    bool IsOpen() const override { return inner_->IsOpen(); }
    void Purge() override;
    void Write(std::span<const std::uint8_t> bytes) override;
    std::size_t BytesWaiting() override { return inner_->BytesWaiting(); }
    std::uint8_t ReadByte() override;
    void WaitForInput(std::chrono::milliseconds limit) override { inner_->WaitForInput(limit); }
    void Pause(std::chrono::milliseconds duration) override { inner_->Pause(duration); }
    std::unique_ptr<CommPort> NewPort() const override;
    int InputDescriptor() const override { return inner_->InputDescriptor(); }
    void NoteReplyTimeOut(std::size_t received, std::size_t expected) override;

private:
    // Writes the reply collected so far, judged against the request it answers.
    void FlushReply();
    template <class Step>
    void Traced(std::string_view event, Step step);

    std::unique_ptr<CommPort> inner_;
    std::shared_ptr<LinkTrace> trace_;
    std::string port_;
    std::vector<std::uint8_t> request_;
    std::vector<std::uint8_t> reply_;
    std::chrono::steady_clock::time_point replyStart_{}, lastByte_{};
};

// The program's serial port, writing every event to `traceFile` when one is named. Null when the trace
// file cannot be written (errno says why).
std::unique_ptr<CommPort> MakeProgramPort(const std::string& traceFile = {});

}  // namespace zr
