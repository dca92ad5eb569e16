// The real serial port with its waits cut short, and with port errors on demand: the line's own
// behaviour stays real while a time-out of 3 s takes a sixth of that.
#pragma once

#include <algorithm>
#include <memory>

#include "comm_port.h"

namespace zr::testing {

class QuickPort : public CommPort {
public:
    void Configure(std::uint32_t baudRate, std::string_view portName, int mode) override {
        if (++configures == failConfigureAt) {
            port.Close();
            throw ECommError(failConfigureCode, 0);
        }
        port.Configure(baudRate, portName, mode);
    }
    void Close() override { port.Close(); }
    bool IsOpen() const override { return port.IsOpen(); }
    void Purge() override { port.Purge(); }
    void Write(std::span<const std::uint8_t> bytes) override {
        ++writes;
        port.Write(bytes);
    }
    std::size_t BytesWaiting() override { return port.BytesWaiting(); }
    std::uint8_t ReadByte() override {
        if (++reads == failReadAt) throw ECommError(ECommError::kRead, 5);
        return port.ReadByte();
    }
    void WaitForInput(std::chrono::milliseconds limit) override {
        port.WaitForInput(std::min(limit, std::chrono::milliseconds(5)));
    }
    void Pause(std::chrono::milliseconds duration) override { port.Pause(duration); }
    std::unique_ptr<CommPort> NewPort() const override { return std::make_unique<QuickPort>(); }
    int InputDescriptor() const override { return port.InputDescriptor(); }

    TCommPort port;
    int configures = 0;
    int failConfigureAt = 0;
    std::uint8_t failConfigureCode = ECommError::kOpen;
    long reads = 0;
    long failReadAt = 0;
    int writes = 0;
};

}  // namespace zr::testing
