// The search for the programming interface board at start-up: every listed port is opened and asked
// the presence test at once, and the first port in list order whose board answers is chosen as soon
// as every port before it has answered or failed. A machine with many ports without a board thus
// waits one reply time-out, not one per port.
#pragma once

#include <chrono>
#include <cstddef>
#include <optional>
#include <vector>

#include "comm_port.h"
#include "device_view.h"
#include "frames.h"
#include "port_failure.h"
#include "port_list.h"

namespace zr {

struct BoardScan {
    // The index of the chosen port in the list; its port is then open in the scanning port.
    std::optional<std::size_t> found;
    // The ports that could not be opened, with what stood in the way.
    std::vector<PortFailure> unopened;
};

// Each port gets at most one presence request and nothing else. A port that cannot be opened, hangs
// up, answers wrongly or stays silent for `replyTimeOut` between two bytes has no board. The chosen
// port is reopened in `port` and left open; every other port is closed again. While it waits the
// view processes its events at least every poll interval.
BoardScan ScanPortsForBoard(CommPort& port, const PortNameTable& ports, DeviceOperationView& view,
                            std::chrono::milliseconds replyTimeOut = kReplyTimeOut);

// Which ports have a board: every port asked at once and each to its end (one reply time-out for all
// of them), then closed again. Ports that could not be opened carry what stood in the way.
struct BoardCensus {
    std::vector<bool> answered;
    std::vector<std::optional<PortFailure>> unopened;
};
BoardCensus BoardsOnPorts(const CommPort& kind, const PortNameTable& ports, DeviceOperationView& view,
                          std::chrono::milliseconds replyTimeOut = kReplyTimeOut);

}  // namespace zr
