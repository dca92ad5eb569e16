// Pager after pager behind one board: waiting until the pager there is not the one handled last.
// The fleet's read and verify learn of a new pager here alone.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "device_operations.h"

namespace zr {

class NextPagerWait {
public:
    NextPagerWait(CommPort& port, const PortNameTable& ports, DeviceOperationView& view);

    // The pager just handled: its memory when it was read, nothing when the read failed (then only
    // its removal tells the next pager).
    void Handled(const std::optional<PagerImage>& memory);

    // Looks behind the board until a pager is there that was not handled last (no pager answered in
    // between, or its memory differs): an empty cradle again at once, a pager not taken every half
    // second; `showWaiting` hears why a look did not take the pager. False when `stopRequested` said so first.
    bool Wait(const std::function<bool()>& stopRequested, const std::function<void(std::string_view)>& showWaiting);

private:
    std::optional<std::string> WhyNotTaken();
    std::optional<std::string> Absence(PeekResult result);

    CommPort& port_;
    const PortNameTable& ports_;
    DeviceOperationView& view_;
    bool handledAny_ = false;
    std::optional<PagerImage> last_;
    bool sawNoPager_ = false;
    bool emptyCradle_ = false;  // the last look found the board but no pager behind it
};

}  // namespace zr
