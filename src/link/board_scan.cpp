#include "board_scan.h"

#include <algorithm>
#include <memory>
#include <vector>

namespace zr {

namespace {

using Clock = std::chrono::steady_clock;

// One port's presence test, run alongside the others.
struct PresenceProbe {
    enum class State { Waiting, Answered, Failed };

    std::unique_ptr<CommPort> port;
    State state = State::Failed;
    std::optional<PortFailure> unopened;
    std::vector<std::uint8_t> reply;
    Clock::time_point lastProgress{};
};

void Fail(PresenceProbe& probe) {
    probe.state = PresenceProbe::State::Failed;
    if (probe.port) CloseQuietly(*probe.port);
}

// Opens the port, purges it and sends the presence request; a port that cannot be opened has failed.
PresenceProbe StartProbe(const CommPort& kind, const std::string& name) {
    PresenceProbe probe;
    probe.port = kind.NewPort();
    try {
        probe.port->Configure(kLineBaudRate, name, kLineMode);
    } catch (const ECommError& error) {
        probe.unopened = DiagnosePortFailure(name, error);
        Fail(probe);
        return probe;
    }
    try {
        probe.port->Purge();
        const auto request = BuildReadRequest(kPagerMemoryCommand, 0, 0);
        probe.port->Write(request);
        probe.state = PresenceProbe::State::Waiting;
        probe.lastProgress = Clock::now();
    } catch (const ECommError&) {
        Fail(probe);
    }
    return probe;
}

// Takes the bytes that have arrived; the reply is judged once its 15 bytes are in, or when the line
// stayed silent too long.
void Collect(PresenceProbe& probe, std::chrono::milliseconds replyTimeOut) {
    try {
        bool progressed = false;
        while (probe.reply.size() < kReplyOverhead && probe.port->BytesWaiting() > 0) {
            probe.reply.push_back(probe.port->ReadByte());
            progressed = true;
        }
        if (probe.reply.size() == kReplyOverhead) {
            if (ReadReplyIsSound(probe.reply, 0))
                probe.state = PresenceProbe::State::Answered;
            else
                Fail(probe);
        } else if (progressed) {
            probe.lastProgress = Clock::now();
        } else if (Clock::now() - probe.lastProgress >= replyTimeOut) {
            probe.port->NoteReplyTimeOut(probe.reply.size(), kReplyOverhead);
            Fail(probe);
        }
    } catch (const ECommError&) {
        Fail(probe);
    }
}

std::vector<PresenceProbe> StartProbes(const CommPort& kind, const PortNameTable& ports) {
    std::vector<PresenceProbe> probes;
    for (const auto& name : ports) probes.push_back(StartProbe(kind, name));
    return probes;
}

void CollectAll(std::vector<PresenceProbe>& probes, std::chrono::milliseconds replyTimeOut) {
    for (auto& probe : probes)
        if (probe.state == PresenceProbe::State::Waiting) Collect(probe, replyTimeOut);
}

bool AnyWaiting(const std::vector<PresenceProbe>& probes) {
    return std::ranges::any_of(probes, [](const PresenceProbe& p) { return p.state == PresenceProbe::State::Waiting; });
}

// Sleeps until one of the waiting probes has news or the next of them times out, at most one poll
// interval; the view processes its events before and after, so that the window keeps painting.
void WaitForProbes(std::vector<PresenceProbe>& probes, std::chrono::milliseconds replyTimeOut,
                   DeviceOperationView& view) {
    view.ProcessEvents();
    std::vector<CommPort*> ports;
    std::vector<PresenceProbe*> waiting;
    auto limit = kPollInterval;
    for (auto& probe : probes) {
        if (probe.state != PresenceProbe::State::Waiting) continue;
        ports.push_back(probe.port.get());
        waiting.push_back(&probe);
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(probe.lastProgress + replyTimeOut - Clock::now());
        limit = std::clamp(left, std::chrono::milliseconds(0), limit);
    }
    const std::vector<bool> hungUp = WaitForAnyInput(ports, limit);
    for (std::size_t i = 0; i < waiting.size(); ++i)
        if (hungUp[i]) Fail(*waiting[i]);
    view.ProcessEvents();
}

}  // namespace

BoardScan ScanPortsForBoard(CommPort& port, const PortNameTable& ports, DeviceOperationView& view,
                            std::chrono::milliseconds replyTimeOut) {
    view.SetProgressRange(0);
    view.SetProgressPosition(0);
    CloseQuietly(port);
    std::vector<PresenceProbe> probes = StartProbes(port, ports);
    const auto finish = [&probes](std::optional<std::size_t> found) {
        BoardScan scan{found, {}};
        for (auto& probe : probes) {
            if (probe.port) CloseQuietly(*probe.port);
            if (probe.unopened) scan.unopened.push_back(*probe.unopened);
        }
        return scan;
    };
    for (;;) {
        CollectAll(probes, replyTimeOut);
        // The first port in list order decides, once every port before it is done.
        for (std::size_t index = 0; index < probes.size(); ++index) {
            PresenceProbe& probe = probes[index];
            if (probe.state == PresenceProbe::State::Waiting) break;
            if (probe.state == PresenceProbe::State::Failed) continue;
            // The board answered: the line is handed over to the program's own port.
            CloseQuietly(*probe.port);
            try {
                port.Configure(kLineBaudRate, ports[index], kLineMode);
                return finish(index);
            } catch (const ECommError& error) {
                CloseQuietly(port);
                probe.unopened = DiagnosePortFailure(ports[index], error);
                Fail(probe);
            }
        }
        if (!AnyWaiting(probes)) return finish(std::nullopt);
        WaitForProbes(probes, replyTimeOut, view);
    }
}

BoardCensus BoardsOnPorts(const CommPort& kind, const PortNameTable& ports, DeviceOperationView& view,
                          std::chrono::milliseconds replyTimeOut) {
    std::vector<PresenceProbe> probes = StartProbes(kind, ports);
    for (CollectAll(probes, replyTimeOut); AnyWaiting(probes); CollectAll(probes, replyTimeOut))
        WaitForProbes(probes, replyTimeOut, view);
    BoardCensus census;
    for (auto& probe : probes) {
        if (probe.port) CloseQuietly(*probe.port);
        census.answered.push_back(probe.state == PresenceProbe::State::Answered);
        census.unopened.push_back(probe.unopened);
    }
    return census;
}

}  // namespace zr
