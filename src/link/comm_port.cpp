// The parts of the serial port that do not depend on the operating system.
#include <cstring>

#include "comm_port.h"

namespace zr {

namespace {

std::string CommErrorText(std::uint8_t code, std::uint32_t systemError) {
    std::string text = "serial port error " + std::to_string(code);
    if (systemError != 0) {
#ifdef _WIN32
        text += " (system error " + std::to_string(systemError) + ")";
#else
        text += " (" + std::string(std::strerror(static_cast<int>(systemError))) + ")";
#endif
    }
    return text;
}

}  // namespace

ECommError::ECommError(std::uint8_t code, std::uint32_t systemError)
    : Code(code), SystemError(systemError), text_(CommErrorText(code, systemError)) {}

void CloseQuietly(CommPort& port) {
    try {
        port.Close();
    } catch (const ECommError&) {
    }
}

void TCommPort::Configure(std::uint32_t baudRate, std::string_view portName, int mode) {
    switch (mode) {
    case 0:
        byteSize_ = 7, parity_ = 2, stopBits_ = 2;
        break;
    case 1:
        byteSize_ = 8, parity_ = 0, stopBits_ = 0;
        break;
    default:
        byteSize_ = 8, parity_ = 0, stopBits_ = 2;
        break;
    }
    Close();
    SetBaudRate(baudRate);
    SetPortName(portName);
    Open();
}

void TCommPort::SetPortName(std::string_view name) {
    if (open_) throw ECommError(ECommError::kPortIsOpen, 0);
    portName_ = std::string(name);
}

void TCommPort::RequireOpen() const {
    if (!open_) throw ECommError(ECommError::kPortClosed, 0);
}

}  // namespace zr
