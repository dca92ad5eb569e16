// What the pager behind the board holds, looked at quietly before a unit is written: whether a pager
// is there at all, and whose image it holds by the fleet log.
#pragma once

#include <optional>

#include "device_operations.h"
#include "device_view.h"
#include "fleet_log.h"

namespace zr {

struct SeatedPager {
    PeekResult result = PeekResult::NoBoard;
    // The unit whose image it holds by the log: the last unit written with exactly that image.
    std::optional<LoggedWrite> holder;

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

// Looks at the pager behind the board on `port` for `log`'s sake: a glance at its two checksum bytes
// tells whether a pager is there, and its whole memory is read only when that checksum is one an
// image the log records as written carries. Shows nothing but keeps `view`'s events flowing. `again`
// after a look that found the cradle empty takes the port as that look left it, open.
SeatedPager LookBehindBoard(CommPort& port, const PortNameTable& ports, const FleetLog& log,
                            DeviceOperationView& view, bool again = false);

}  // namespace zr
