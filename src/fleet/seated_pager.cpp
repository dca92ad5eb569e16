#include "seated_pager.h"

#include "device_view.h"
#include "image_identity.h"
#include "image_offsets.h"
#include "squelch_levels.h"

namespace zr {

SeatedPager LookBehindBoard(CommPort& port, const PortNameTable& ports, const FleetLog& log,
                            DeviceOperationView& view, bool again) {
    SeatedPager seated;
    PagerImage held{};
    EventsOnlyView quiet(view);
    const SquelchLevelTable levels = BuiltInSquelchLevelTable();
    const DeviceContext context{port, ports, 0, held, levels, quiet};
    seated.result = GlancePagerMemory(context, kChecksumOffset, 2, again);
    if (!seated.Present() || !log.MayHold(GetWord16(held, kChecksumOffset))) return seated;
    constexpr auto kHalf = static_cast<std::uint8_t>(kImageSize / 2);
    for (std::uint16_t address = 0; address < kImageSize; address += kHalf) {
        seated.result = PeekPagerMemory(context, address, kHalf);
        if (!seated.Present()) return seated;
    }
    if (const auto found = log.byImage.find(ImageIdentity(held)); found != log.byImage.end())
        seated.holder = found->second;
    return seated;
}

}  // namespace zr
