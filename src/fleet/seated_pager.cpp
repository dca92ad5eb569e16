#include "seated_pager.h"

#include "device_view.h"
#include "image_identity.h"
#include "squelch_levels.h"

namespace zr {

SeatedPager LookBehindBoard(CommPort& port, const PortNameTable& ports, DeviceOperationView& view) {
    SeatedPager seated;
    EventsOnlyView quiet(view);
    const SquelchLevelTable levels = BuiltInSquelchLevelTable();
    const DeviceContext context{port, ports, 0, seated.held, levels, quiet};
    constexpr auto kHalf = static_cast<std::uint8_t>(kImageSize / 2);
    for (std::uint16_t address = 0; address < kImageSize; address += kHalf) {
        seated.result = PeekPagerMemory(context, address, kHalf);
        if (!seated.Present()) break;
    }
    return seated;
}

std::optional<LoggedWrite> HolderOf(const FleetLog& log, const PagerImage& held) {
    const auto found = log.byImage.find(ImageIdentity(held));
    if (found == log.byImage.end()) return std::nullopt;
    return found->second;
}

}  // namespace zr
