#include "device_operations.h"

#include <algorithm>
#include <array>

#include "device_texts.h"
#include "frames.h"

namespace zr {

namespace {

constexpr std::uint8_t kPieceSize = kWritePieceSize;
constexpr std::chrono::milliseconds kPieceInterval{10};
constexpr std::uint8_t kHalfImage = kImageSize / 2;
constexpr int kProgressEnd = static_cast<int>(kImageSize);
// A glance's reply is given up after this many empty polls of 30 ms: 0.15 s, some four times what
// the exchange of a few bytes needs on the line.
constexpr int kGlanceEmptyPolls = 4;

enum class Phase { Read, Write, Verify };

void ResetProgress(DeviceOperationView& view) {
    view.SetProgressRange(0);
    view.SetProgressPosition(0);
}

// A board answers a read of nothing at address 0 with a 15-byte reply whose checksum is right.
bool PresenceTest(CommPort& port, FrameLink& link) {
    port.Purge();
    std::array<std::uint8_t, 128> scratch{};
    return link.ReadBlock(kPagerMemoryCommand, scratch, 0, 0);
}

bool PresenceTest(CommPort& port, DeviceOperationView& view) {
    FrameLink link(port, view);
    return PresenceTest(port, link);
}

bool HasSelectedPort(const DeviceContext& context) { return context.selectedPort < context.ports.size(); }

Message PhaseErrorMessage(Phase phase) {
    switch (phase) {
    case Phase::Read: return ReadErrorMessage();
    case Phase::Write: return WriteErrorMessage();
    case Phase::Verify: return VerifyErrorMessage();
    }
    return ReadErrorMessage();
}

// The opening every operation shares: status, window disabled, board probe, port reopened and
// purged. False when the operation ended here, already reported.
bool OpenOperation(const DeviceContext& context, Phase operation) {
    DeviceOperationView& view = context.view;
    view.SetStatusText(kTestingStatus);
    if (operation == Phase::Write) view.ClearFileNamePanel();
    view.SetWindowEnabled(false);
    const PortProbe probe = ProbeSelectedPort(context);
    if (!probe) {
        CloseQuietly(context.port);
        view.ShowMessage(operation == Phase::Read ? NoBoardOnReadMessage() : NoBoardMessage());
        if (!probe.unopened.empty()) view.ExplainPortFailures(probe.unopened);
        view.SetStatusText(kReadyStatus);
        view.SetWindowEnabled(true);
        return false;
    }
    const std::string& name = context.ports[context.selectedPort];
    const auto refuse = [&](const ECommError& error, const std::vector<PortFailure>& unopened) {
        view.ShowMessage(error.Code == ECommError::kOpen ? PortInUseMessage() : PortErrorMessage());
        if (!unopened.empty()) view.ExplainPortFailures(unopened);
        CloseQuietly(context.port);
        view.SetWindowEnabled(true);
        return false;
    };
    try {
        context.port.Close();
        context.port.Configure(kLineBaudRate, name, kLineMode);
    } catch (const ECommError& error) {
        return refuse(error, {DiagnosePortFailure(name, error)});
    }
    try {
        context.port.Purge();
    } catch (const ECommError& error) {
        return refuse(error, {});
    }
    return true;
}

// The closing every operation passes through once the port was reopened, whatever happened.
void CloseOperation(const DeviceContext& context, Phase operation) {
    DeviceOperationView& view = context.view;
    view.SetWindowEnabled(true);
    view.SetProgressPosition(0);
    CloseQuietly(context.port);
    if (operation == Phase::Write) {
        view.SetStatusText(kWriteReadyStatus);
        view.SetDeviceMenuEnabled(true, true, true);
    } else {
        view.SetStatusText(kReadyStatus);
        view.SetDeviceMenuEnabled(true, !view.IsModifyMode(), true);
    }
}

// Runs the body of an operation between its opening and its closing. A port error while frames are
// exchanged fails the block in progress: the error box of the phase then running.
template <typename Body>
bool RunOperation(const DeviceContext& context, Phase operation, Body body) {
    if (!OpenOperation(context, operation)) return false;
    FrameLink link(context.port, context.view);
    Phase phase = operation;
    bool succeeded = false;
    try {
        succeeded = body(link, phase);
    } catch (const ECommError&) {
        context.view.ShowMessage(PhaseErrorMessage(phase));
        succeeded = false;
    }
    CloseOperation(context, operation);
    return succeeded;
}

bool Fail(DeviceOperationView& view, const Message& message) {
    view.ShowMessage(message);
    return false;
}

bool VerifyBothHalves(FrameLink& link, const DeviceContext& context) {
    for (std::uint16_t address = 0; address < kImageSize; address += kHalfImage) {
        if (!link.VerifyBlock(context.image, address, kHalfImage)) return Fail(context.view, VerifyErrorMessage());
        context.view.SetProgressPosition(address + kHalfImage);
    }
    return true;
}

// Reads both halves of the pager's memory into `memory`; `afterHalf` hears where each half ends.
template <typename AfterHalf>
bool ReadBothHalves(FrameLink& link, PagerImage& memory, AfterHalf afterHalf) {
    for (std::uint16_t address = 0; address < kImageSize; address += kHalfImage) {
        if (!link.ReadBlock(kPagerMemoryCommand, memory.bytes, address, kHalfImage)) return false;
        afterHalf(address + kHalfImage);
    }
    return true;
}

// Which of the image's pieces a Write sends, by piece number.
using PieceSelection = std::array<bool, kWritePieceCount>;

PieceSelection AllPieces() {
    PieceSelection all;
    all.fill(true);
    return all;
}

// The pieces of the sealed image that the pager does not hold yet. When its memory cannot be read
// first, all of them, as the full Write sends them, and the technician is told so.
PieceSelection ChangedPieces(FrameLink& link, const DeviceContext& context) {
    PagerImage held{};
    context.port.Purge();
    if (!ReadBothHalves(link, held, [](int) {})) {
        context.view.ShowDiagnostic(kChangedOnlyFallbackNote);
        return AllPieces();
    }
    PieceSelection changed{};
    for (std::size_t piece = 0; piece < kWritePieceCount; ++piece) {
        const auto first = static_cast<std::ptrdiff_t>(piece * kPieceSize);
        changed[piece] = !std::equal(held.bytes.begin() + first, held.bytes.begin() + first + kPieceSize,
                                     context.image.bytes.begin() + first);
    }
    return changed;
}

// Sends the selected pieces in address order, each acknowledged and followed by the pause. Every
// piece of the image, sent or not, moves the bar on by 8. False after the write-error box.
bool SendPieces(FrameLink& link, const DeviceContext& context, const PieceSelection& selected) {
    DeviceOperationView& view = context.view;
    int sent = 0;
    for (std::uint16_t address = 0; address < kImageSize; address += kPieceSize) {
        if (!selected[address / kPieceSize]) {
            view.SetProgressPosition(view.ProgressPosition() + kPieceSize);
            continue;
        }
        bool acknowledged = false;
        try {
            acknowledged = link.WriteBlock(context.image, address, kPieceSize);
        } catch (const ECommError&) {
            // The line broke mid-Write: the pieces acknowledged before it are what the pager took.
            view.ReportPiecesSent(sent);
            throw;
        }
        ++sent;
        view.SetProgressPosition(view.ProgressPosition() + kPieceSize);
        link.PumpWait(kPieceInterval);
        if (!acknowledged) {
            view.ReportPiecesSent(sent);
            return Fail(view, WriteErrorMessage());
        }
    }
    view.ReportPiecesSent(sent);
    return true;
}

enum class WriteScope { Whole, ChangedOnly };

// The Write of the Pager menu; with `ChangedOnly` it sends only what the pager does not hold yet,
// between the same gates, seal and read-back.
bool WriteSealedImage(const DeviceContext& context, WriteScope scope) {
    return RunOperation(context, Phase::Write, [&context, scope](FrameLink& link, Phase& phase) {
        DeviceOperationView& view = context.view;
        view.SetDeviceMenuEnabled(false, false, false);
        view.SetProgressRange(kProgressEnd);
        view.SetStatusText(kWritingStatus);
        if (!FirmwareIsRecent(link.QueryFirmwareVersion(context.image))) return Fail(view, OldFirmwareMessage());
        // A Write goes on whatever tag the pager carries: it is about to get this program's.
        link.QueryModelTag();

        PrepareImageForWrite(context.image, context.squelchLevels);
        const PieceSelection selected = scope == WriteScope::Whole ? AllPieces() : ChangedPieces(link, context);
        context.port.Purge();
        if (!SendPieces(link, context, selected)) return false;

        phase = Phase::Verify;
        view.SetProgressPosition(0);
        view.SetStatusText(kVerifyingStatus);
        if (!VerifyBothHalves(link, context)) return false;
        view.ShowMessage(WriteDoneMessage());
        return true;
    });
}

}  // namespace

PortProbe ProbeSelectedPort(const DeviceContext& context) {
    ResetProgress(context.view);
    try {
        context.port.Close();
        if (!HasSelectedPort(context)) return {};
    } catch (const ECommError&) {
        CloseQuietly(context.port);
        return {};
    }
    const std::string& name = context.ports[context.selectedPort];
    try {
        context.port.Configure(kLineBaudRate, name, kLineMode);
    } catch (const ECommError& error) {
        CloseQuietly(context.port);
        return {false, {DiagnosePortFailure(name, error)}};
    }
    try {
        return {PresenceTest(context.port, context.view), {}};
    } catch (const ECommError&) {
        CloseQuietly(context.port);
        return {};
    }
}

PeekResult PeekPagerMemory(const DeviceContext& context, std::uint16_t address, std::uint8_t count) {
    PeekResult result = PeekResult::NoBoard;
    if (ProbeSelectedPort(context)) {
        try {
            FrameLink link(context.port, context.view);
            const bool read = link.ReadBlock(kPagerMemoryCommand, context.image.bytes, address, count);
            result = read ? PeekResult::Read : PeekResult::NoPager;
        } catch (const ECommError&) {
            result = PeekResult::NoPager;
        }
    }
    CloseQuietly(context.port);
    return result;
}

PeekResult GlancePagerMemory(const DeviceContext& context, std::uint16_t address, std::uint8_t count,
                             bool again) {
    ResetProgress(context.view);
    PeekResult result = PeekResult::NoBoard;
    try {
        // Opening a port costs more than the glance itself when other programs are many.
        if (!again || !context.port.IsOpen()) {
            context.port.Close();
            if (HasSelectedPort(context))
                context.port.Configure(kLineBaudRate, context.ports[context.selectedPort], kLineMode);
        }
        if (context.port.IsOpen()) {
            context.port.Purge();
            FrameLink link(context.port, context.view);
            link.LimitEmptyPolls(kGlanceEmptyPolls);
            if (link.ReadBlock(kPagerMemoryCommand, context.image.bytes, address, count))
                result = PeekResult::Read;
            else if (PresenceTest(context.port, link))
                result = PeekResult::NoPager;
        }
    } catch (const ECommError&) {
        result = PeekResult::NoBoard;
    }
    if (result != PeekResult::NoPager) CloseQuietly(context.port);
    return result;
}

std::optional<std::size_t> StartupBoardCheck(CommPort& port, const PortNameTable& ports, DeviceOperationView& view) {
    const BoardScan scan = ScanPortsForBoard(port, ports, view);
    if (!scan.found) {
        CloseQuietly(port);
        view.ShowMessage(NoBoardMessage());
        if (!scan.unopened.empty()) view.ExplainPortFailures(scan.unopened);
    }
    return scan.found;
}

std::string QueryInterfaceVersion(CommPort& port, const PortNameTable& ports, std::size_t selectedPort,
                                  DeviceOperationView& view) {
    ResetProgress(view);
    try {
        port.Close();
        if (selectedPort >= ports.size()) return {};
        port.Configure(kLineBaudRate, ports[selectedPort], kLineMode);
        port.Purge();
        std::array<std::uint8_t, 128> scratch{};
        FrameLink link(port, view);
        if (!link.ReadBlock(kBoardCommand, scratch, 0, 2)) return {};
        return std::to_string(scratch[0]) + "." + std::to_string(scratch[1]);
    } catch (const ECommError&) {
        CloseQuietly(port);
        return {};
    }
}

bool ReadPager(const DeviceContext& context) {
    PagerImage held{};
    return ReadPagerKeepingHeld(context, held);
}

bool ReadPagerKeepingHeld(const DeviceContext& context, PagerImage& held) {
    return RunOperation(context, Phase::Read, [&context, &held](FrameLink& link, Phase&) {
        DeviceOperationView& view = context.view;
        view.SetDeviceMenuEnabled(false, false, false);
        view.SetStatusText(kReadingStatus);
        view.SetProgressRange(kProgressEnd);
        if (!FirmwareIsRecent(link.QueryFirmwareVersion(context.image))) return Fail(view, OldFirmwareMessage());
        const ModelQuery model = link.QueryModelTag();
        if (model.code == ModelCode::Unrecognised) return Fail(view, WrongModelMessage(model.pagerModelName));

        PagerImage received{};
        context.port.Purge();
        if (!ReadBothHalves(link, received, [&view](int end) { view.SetProgressPosition(end); }))
            return Fail(view, ReadErrorMessage());
        if (!HasValidChecksum(received)) return Fail(view, ChecksumErrorMessage());
        held = received;
        RepairSquelchThresholds(received, context.squelchLevels);
        context.image = received;
        view.ImageReplaced();
        view.ShowMessage(ReadDoneMessage());
        return true;
    });
}

bool WritePager(const DeviceContext& context) { return WriteSealedImage(context, WriteScope::Whole); }

bool WriteChangedPieces(const DeviceContext& context) { return WriteSealedImage(context, WriteScope::ChangedOnly); }

bool VerifyPager(const DeviceContext& context) {
    return RunOperation(context, Phase::Verify, [&context](FrameLink& link, Phase&) {
        DeviceOperationView& view = context.view;
        view.SetDeviceMenuEnabled(false, false, false);
        view.SetStatusText(kVerifyingStatus);
        view.SetProgressRange(kProgressEnd);
        context.port.Purge();
        if (!VerifyBothHalves(link, context)) return false;
        view.ShowMessage(VerifyDoneMessage());
        return true;
    });
}

}  // namespace zr
