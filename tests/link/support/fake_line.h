// A serial line on a make-believe clock: replies arrive at set times, and every wait advances the
// clock instead of sleeping, so time-outs of seconds take no time at all.
#pragma once

#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <limits>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "comm_port.h"

namespace zr::testing {

class FakeLine : public CommPort {
public:
    using Ms = std::chrono::milliseconds;

    // Queues bytes from the board: the first after `firstDelay` from now, the rest `gap` apart.
    void Arrive(std::span<const std::uint8_t> bytes, Ms firstDelay = Ms(0), Ms gap = Ms(0)) {
        Ms when = now + firstDelay;
        for (std::size_t i = 0; i < bytes.size(); ++i) {
            if (i > 0) when += gap;
            incoming.push_back({when, bytes[i]});
        }
    }

    void Configure(std::uint32_t, std::string_view portName, int) override {
        open = true;
        name = std::string(portName);
    }
    void Close() override { open = false; }
    bool IsOpen() const override { return open; }
    void Purge() override {
        RequireOpen();
        ++purges;
        while (!incoming.empty() && incoming.front().when <= now) incoming.pop_front();
    }
    void Write(std::span<const std::uint8_t> bytes) override {
        RequireOpen();
        written.insert(written.end(), bytes.begin(), bytes.end());
        writeTimes.push_back(now);
        if (answer) answer(bytes);
    }
    std::size_t BytesWaiting() override {
        RequireOpen();
        std::size_t count = 0;
        for (const auto& byte : incoming)
            if (byte.when <= now) ++count;
        return count;
    }
    std::uint8_t ReadByte() override {
        RequireOpen();
        const std::uint8_t byte = incoming.front().value;
        incoming.pop_front();
        return byte;
    }
    void WaitForInput(std::chrono::milliseconds limit) override {
        ++waits;
        const Ms next = incoming.empty() ? Ms::max() : incoming.front().when;
        if (next <= now) return;
        now = next - now < limit ? next : now + limit;
    }
    void Pause(std::chrono::milliseconds duration) override { now += duration; }
    std::unique_ptr<CommPort> NewPort() const override { return std::make_unique<FakeLine>(); }

    struct Incoming {
        Ms when;
        std::uint8_t value;
    };
    Ms now{0};
    bool open = true;
    std::string name;
    std::vector<std::uint8_t> written;
    // The clock at each frame written, and the board's part: it may queue a reply to each frame.
    std::vector<Ms> writeTimes;
    std::function<void(std::span<const std::uint8_t> frame)> answer;
    std::deque<Incoming> incoming;
    int purges = 0;
    long waits = 0;

private:
    void RequireOpen() const {
        if (!open) throw ECommError(ECommError::kPortClosed, 0);
    }
};

}  // namespace zr::testing
