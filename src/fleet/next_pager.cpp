#include "next_pager.h"

#include <chrono>
#include <thread>

#include "fleet_identity.h"
#include "image_offsets.h"
#include "seated_pager.h"
#include "squelch_levels.h"

namespace zr {

namespace {

constexpr std::chrono::milliseconds kWaitSlice{50};
constexpr int kSlicesBetweenLooks = 10;

}  // namespace

NextPagerWait::NextPagerWait(CommPort& port, const PortNameTable& ports, DeviceOperationView& view)
    : port_(port), ports_(ports), view_(view) {}

void NextPagerWait::Handled(const std::optional<PagerImage>& memory) {
    handledAny_ = true;
    last_ = memory;
    sawNoPager_ = false;
}

bool NextPagerWait::Wait(const std::function<bool()>& stopRequested,
                         const std::function<void(std::string_view)>& showWaiting) {
    const auto stop = [this] {
        CloseQuietly(port_);  // an empty cradle's look leaves it open for the next
        return false;
    };
    for (;;) {
        if (stopRequested()) return stop();
        const auto why = WhyNotTaken();
        if (!why) return true;
        showWaiting(*why);
        // An empty cradle is looked at again at once: each glance waits on the line a moment.
        for (int slice = 0; slice < (emptyCradle_ ? 0 : kSlicesBetweenLooks); ++slice) {
            if (stopRequested()) return stop();
            std::this_thread::sleep_for(kWaitSlice);
            view_.ProcessEvents();
        }
    }
}

std::optional<std::string> NextPagerWait::WhyNotTaken() {
    PagerImage seen{};
    EventsOnlyView quiet(view_);
    const SquelchLevelTable levels = BuiltInSquelchLevelTable();
    const DeviceContext context{port_, ports_, 0, seen, levels, quiet};
    // The checksum first, at a glance: two bytes tell a different pager at once; the whole memory
    // only when they match.
    if (const auto why = Absence(GlancePagerMemory(context, kChecksumOffset, 2, emptyCradle_))) return why;
    if (sawNoPager_ || !handledAny_) return std::nullopt;
    if (!last_) return "the pager whose read failed is still behind the board";
    if (GetWord16(seen, kChecksumOffset) != GetWord16(*last_, kChecksumOffset)) return std::nullopt;
    for (std::uint16_t address = 0; address < kImageSize; address += kImageSize / 2)
        if (const auto why = Absence(PeekPagerMemory(context, address, kImageSize / 2))) return why;
    if (!SameAsSent(*last_, seen)) return std::nullopt;
    return "the pager behind the board is the one just read";
}

std::optional<std::string> NextPagerWait::Absence(PeekResult result) {
    emptyCradle_ = result == PeekResult::NoPager;
    if (result == PeekResult::Read) return std::nullopt;
    sawNoPager_ = true;
    if (result == PeekResult::NoBoard) return "no board answers on " + ports_.front();
    return std::string("no pager behind the board");
}

}  // namespace zr
