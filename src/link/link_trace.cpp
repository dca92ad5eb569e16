#include "link_trace.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "frames.h"

namespace zr {

namespace {

using Clock = std::chrono::steady_clock;

constexpr std::size_t kWritePiece = 8;

unsigned AddressOf(const std::vector<std::uint8_t>& frame) { return frame[13] << 8 | frame[14]; }

bool IsRequest(const std::vector<std::uint8_t>& frame) {
    return frame.size() >= kReadRequestSize && (frame[11] == kReadLetter || frame[11] == kWriteLetter);
}

// "read '3' address 0 count 128", "write '3' address 32 count 8, piece 5".
std::string DescribeRequest(const std::vector<std::uint8_t>& frame) {
    if (!IsRequest(frame)) return {};
    const std::string command = std::string("'") + static_cast<char>(frame[10]) + "'";
    const unsigned address = AddressOf(frame);
    if (frame[11] == kReadLetter)
        return "read " + command + " address " + std::to_string(address) + " count " + std::to_string(frame[15]);
    const unsigned count = frame[12] >= 2 ? frame[12] - 2u : 0u;
    std::string text = "write " + command + " address " + std::to_string(address) + " count " + std::to_string(count);
    if (count == kWritePiece) text += ", piece " + std::to_string(address / kWritePiece + 1);
    return text;
}

// The length of the reply the request asks for; 0 when unknown.
std::size_t ExpectedReplySize(const std::vector<std::uint8_t>& request) {
    if (!IsRequest(request)) return 0;
    return request[11] == kWriteLetter ? kWriteReplySize : request[15] + kReplyOverhead;
}

// What the reply means for the request it answers.
std::string JudgeReply(const std::vector<std::uint8_t>& request, const std::vector<std::uint8_t>& reply) {
    if (!IsRequest(request)) return {};
    if (request[11] == kWriteLetter) {
        if (std::ranges::equal(reply, kWriteAcknowledgeReply)) return "acknowledged";
        if (reply.size() == kWriteReplySize) return "NOT acknowledged (payload " + HexBytes(std::span(reply).subspan(13, 1)) + ")";
        return "not the acknowledge frame";
    }
    const std::size_t expected = ExpectedReplySize(request);
    if (reply.size() < expected) return std::to_string(reply.size()) + " of " + std::to_string(expected) + " bytes";
    if (reply.size() > expected) return std::to_string(reply.size() - expected) + " bytes more than the reply's";
    return ReadReplyIsSound(reply, request[15]) ? "checksum right" : "checksum WRONG";
}

std::string Milliseconds(double ms) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f ms", ms);
    return text;
}

}  // namespace

LinkTrace::LinkTrace(const std::filesystem::path& file) : file_(file), start_(Clock::now()) {
    if (TraceTargetRefusal(file).empty()) out_.open(file, std::ios::trunc);
}

std::string TraceTargetRefusal(const std::filesystem::path& file) {
    std::error_code error;
    const auto status = std::filesystem::status(file, error);
    switch (status.type()) {
        case std::filesystem::file_type::not_found:
        case std::filesystem::file_type::regular: return {};
        case std::filesystem::file_type::directory: return "it is a folder, not a file";
        case std::filesystem::file_type::fifo: return "it is a FIFO, not a file";
        case std::filesystem::file_type::block:
        case std::filesystem::file_type::character: return "it is a device, not a file";
        case std::filesystem::file_type::socket: return "it is a socket, not a file";
        default: return error ? error.message() : "it is not a file";
    }
}

std::string TraceFileFailure(const std::string& traceFile) {
    const int reason = errno;
    const std::string refusal = TraceTargetRefusal(traceFile);
    return refusal.empty() ? std::strerror(reason) : refusal;
}

double LinkTrace::At(Clock::time_point when) const {
    return std::chrono::duration<double, std::milli>(when - start_).count();
}

double LinkTrace::Now() const { return At(Clock::now()); }

void LinkTrace::Event(std::string_view port, std::string_view event, std::string_view detail,
                      std::optional<Clock::time_point> at) {
    char stamp[32];
    std::snprintf(stamp, sizeof stamp, "%12.3f ms", at ? At(*at) : Now());
    out_ << stamp << "  " << port << "  " << event;
    if (!detail.empty()) out_ << std::string(event.size() < 8 ? 8 - event.size() : 1, ' ') << detail;
    out_ << '\n';
    out_.flush();
    if (out_.good() || failureSaid_) return;
    failureSaid_ = true;
    std::fprintf(stderr, "the trace %s cannot be written (%s); the work goes on without it\n", file_.string().c_str(),
                 std::strerror(errno));
}

std::string HexBytes(std::span<const std::uint8_t> bytes) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string text;
    text.reserve(bytes.size() * 3);
    for (const std::uint8_t byte : bytes) {
        if (!text.empty()) text += ' ';
        text += kDigits[byte >> 4];
        text += kDigits[byte & 0x0F];
    }
    return text;
}

TracedPort::TracedPort(std::unique_ptr<CommPort> inner, std::shared_ptr<LinkTrace> trace)
    : inner_(std::move(inner)), trace_(std::move(trace)) {}

TracedPort::~TracedPort() { FlushReply(); }

template <class Step>
void TracedPort::Traced(std::string_view event, Step step) {
    try {
        step();
    } catch (const ECommError& error) {
        trace_->Event(port_, event, std::string("failed: ") + error.what());
        throw;
    }
}

void TracedPort::Configure(std::uint32_t baudRate, std::string_view portName, int mode) {
    FlushReply();
    port_ = std::string(portName);
    Traced("open", [&] { inner_->Configure(baudRate, portName, mode); });
    trace_->Event(port_, "open", "ok, " + std::to_string(baudRate) + " baud, mode " + std::to_string(mode));
}

void TracedPort::Close() {
    if (!inner_->IsOpen()) return inner_->Close();
    FlushReply();
    Traced("close", [&] { inner_->Close(); });
    trace_->Event(port_, "close", "ok");
}

void TracedPort::Purge() {
    FlushReply();
    Traced("purge", [&] { inner_->Purge(); });
    trace_->Event(port_, "purge");
}

void TracedPort::Write(std::span<const std::uint8_t> bytes) {
    FlushReply();
    request_.assign(bytes.begin(), bytes.end());
    lastByte_ = Clock::now();
    // The frame goes out first: tracing must not delay the line.
    Traced("->", [&] { inner_->Write(bytes); });
    std::string detail = HexBytes(bytes) + "  (" + std::to_string(bytes.size()) + " bytes";
    if (const std::string meaning = DescribeRequest(request_); !meaning.empty()) detail += ": " + meaning;
    trace_->Event(port_, "->", detail + ")", lastByte_);
}

std::uint8_t TracedPort::ReadByte() {
    std::uint8_t byte = 0;
    Traced("<-", [&] { byte = inner_->ReadByte(); });
    lastByte_ = Clock::now();
    if (reply_.empty()) replyStart_ = lastByte_;
    reply_.push_back(byte);
    // A whole reply is written at once, so that lines of ports probed together keep their order.
    if (reply_.size() == ExpectedReplySize(request_)) FlushReply();
    return byte;
}

void TracedPort::NoteReplyTimeOut(std::size_t received, std::size_t expected) {
    FlushReply();
    trace_->Event(port_, "timeout",
                  "no byte for " + Milliseconds(trace_->Now() - trace_->At(lastByte_)) + ", " +
                      std::to_string(received) + " of " + std::to_string(expected) + " bytes received");
}

void TracedPort::FlushReply() {
    if (reply_.empty()) return;
    std::string detail = HexBytes(reply_) + "  (" + std::to_string(reply_.size()) + " bytes in " +
                         Milliseconds(trace_->At(lastByte_) - trace_->At(replyStart_));
    if (const std::string judgement = JudgeReply(request_, reply_); !judgement.empty()) detail += ": " + judgement;
    // Stamped when written, not when the reply began: ports probed together write between its first
    // and last byte, and the trace must read in time order.
    trace_->Event(port_, "<-", detail + ")");
    reply_.clear();
}

std::unique_ptr<CommPort> MakeProgramPort(const std::string& traceFile) {
    auto port = std::make_unique<TCommPort>();
    if (traceFile.empty()) return port;
    auto trace = std::make_shared<LinkTrace>(traceFile);
    if (!trace->IsOpen()) return nullptr;
    return std::make_unique<TracedPort>(std::move(port), std::move(trace));
}

std::unique_ptr<CommPort> TracedPort::NewPort() const {
    return std::make_unique<TracedPort>(inner_->NewPort(), trace_);
}

}  // namespace zr
