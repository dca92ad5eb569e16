// Read, Write and Verify of the pager, and the board probes: the operations behind the Pager menu,
// the start-up board check and the interface version. The window, the command line and the tests
// run exactly this code; everything the user sees goes through the `DeviceOperationView`.
//
// Every operation runs to its end on the calling thread. While it waits for the line it calls
// `view.ProcessEvents()` at least every 30 ms, so a window keeps painting; the operation disables
// the window itself (through the view) for Read, Write and Verify.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "board_scan.h"
#include "comm_port.h"
#include "device_view.h"
#include "pager_image.h"
#include "port_list.h"
#include "squelch_levels.h"

namespace zr {

// A Write sends the image in pieces of this many bytes, each acknowledged by the board.
inline constexpr std::size_t kWritePieceSize = 8;
inline constexpr std::size_t kWritePieceCount = kImageSize / kWritePieceSize;

// What a Read, Write or Verify works with: the one port, the port list with the selected item of
// `cboPort`, the current image, the squelch level table and the view.
struct DeviceContext {
    CommPort& port;
    const PortNameTable& ports;
    std::size_t selectedPort;  // the item index of cboPort; past the end means no port is chosen
    PagerImage& image;
    const SquelchLevelTable& squelchLevels;
    DeviceOperationView& view;
};

// Pager > Read (F3). On success the pager's image, after the squelch repair, replaces `image` and
// the view hears `ImageReplaced()`; on any failure the image keeps everything but offsets 1 and 2
// (the firmware version read from the pager). Returns true when "Read Success !" was shown.
bool ReadPager(const DeviceContext& context);
// The same Read; on success `held` receives the 256 bytes exactly as the pager holds them, before the
// squelch repair: what a fleet's verify tells against the plan.
bool ReadPagerKeepingHeld(const DeviceContext& context, PagerImage& held);

// Pager > Write (F4). Repairs and seals the image (it stays sealed in memory, whatever happens on the
// line), sends it in 32 acknowledged pieces of 8 bytes and reads it back. Returns true when
// "Write Sucess !" was shown.
bool WritePager(const DeviceContext& context);

// The Write for a pager that already holds most of the image (a fleet unit, one changed tone): the
// same gates, squelch repair and seal as WritePager, then both halves of the pager's memory are read
// and only the pieces that differ are sent, in address order, each acknowledged and followed by the
// same pause; then the same read-back and messages. When nothing differs nothing is sent, and the
// pager is still read back. When the pager's memory cannot be read first, all 32 pieces are sent as
// WritePager sends them, and the view hears a diagnostic saying so. Returns true when
// "Write Sucess !" was shown.
bool WriteChangedPieces(const DeviceContext& context);

// Pager > Verify (F2). Compares the pager's memory with the image exactly as it is. Returns true when
// "Verify Sucess !" was shown.
bool VerifyPager(const DeviceContext& context);

// What the probe of the selected port found.
struct PortProbe {
    bool answered = false;
    // Why the port could not be opened, when that was the trouble.
    std::vector<PortFailure> unopened;

    explicit operator bool() const { return answered; }
};

// The presence test on the selected port only. When the board answered the port is left open.
PortProbe ProbeSelectedPort(const DeviceContext& context);

// A quiet look behind the board on the selected port, for a technician going from pager to pager:
// `count` bytes (1..128) of the pager's memory at `address` land in the context's image. Shows
// nothing and closes the port.
enum class PeekResult { Read, NoBoard, NoPager };
PeekResult PeekPagerMemory(const DeviceContext& context, std::uint16_t address, std::uint8_t count);

// A glance behind the board while a technician swaps pagers: as PeekPagerMemory, but the read (best
// a few bytes) comes first and a seated pager answers it in tens of milliseconds, so its reply is
// given up after 0.15 s without a byte instead of the Read's 3 s; only when it goes unanswered does
// a presence test, as short, tell an empty cradle (NoPager) from a board that does not answer. An
// empty cradle leaves the port open for the glance that follows at once (`again`), which takes the
// port as it is; every other end closes it.
PeekResult GlancePagerMemory(const DeviceContext& context, std::uint16_t address, std::uint8_t count,
                             bool again = false);

// The check at start-up: the scan, and the no-board box when no port answers, followed by what kept
// ports from being opened. Returns the index to
// select in cboPort. The window shows its board-testing notice around this call.
std::optional<std::size_t> StartupBoardCheck(CommPort& port, const PortNameTable& ports, DeviceOperationView& view);

// The interface board's own version, "major.minor" ("2.15"); empty when it does not answer or the port
// cannot be opened. Shows nothing. The port stays open after a reply.
std::string QueryInterfaceVersion(CommPort& port, const PortNameTable& ports, std::size_t selectedPort,
                                  DeviceOperationView& view);

}  // namespace zr
