// What the pager behind the board holds, looked at quietly before a unit is written or verified:
// its whole memory, and whose image that is by the fleet log.
#pragma once

#include <optional>

#include "device_operations.h"
#include "device_view.h"
#include "fleet_log.h"

namespace zr {

struct SeatedPager {
    PeekResult result = PeekResult::NoBoard;
    PagerImage held{};  // its whole memory, when result is Read

    bool Present() const { return result == PeekResult::Read; }
};

// A look behind the board shows nothing but keeps the front end's events flowing.
class EventsOnlyView final : public QuietView {
public:
    explicit EventsOnlyView(DeviceOperationView& shown) : shown_(shown) {}
    void ProcessEvents() override { shown_.ProcessEvents(); }

private:
    DeviceOperationView& shown_;
};

// Reads the whole memory of the pager behind the board on `port`; shows nothing but keeps `view`'s
// events flowing.
SeatedPager LookBehindBoard(CommPort& port, const PortNameTable& ports, DeviceOperationView& view);

// The unit whose pager holds `held` by the log: the last unit written with exactly that image.
std::optional<LoggedWrite> HolderOf(const FleetLog& log, const PagerImage& held);

}  // namespace zr
