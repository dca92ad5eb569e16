// The serial port on the Win32 communications interface.
#ifdef _WIN32

#include <windows.h>

#include <algorithm>

#include "comm_port.h"
#include "port_list.h"

namespace zr {

namespace {

constexpr DWORD kReadWriteTimeoutMs = 500;
constexpr DWORD kInputBufferSize = 32768;
constexpr DWORD kOutputBufferSize = 9216;

[[noreturn]] void Raise(std::uint8_t code) { throw ECommError(code, GetLastError()); }

// Everything but the rate and the frame format is forced: binary, no parity checking, DTR and RTS
// asserted while open, no flow control of any kind.
void ForceLineControl(DCB& dcb, std::uint32_t baudRate, std::uint8_t byteSize, std::uint8_t parity,
                      std::uint8_t stopBits) {
    dcb.DCBlength = sizeof(DCB);
    dcb.BaudRate = baudRate;
    dcb.ByteSize = byteSize;
    dcb.Parity = parity;
    dcb.StopBits = stopBits;
    dcb.fBinary = 1;
    dcb.fParity = 0;
    dcb.fOutxCtsFlow = 0;
    dcb.fOutxDsrFlow = 0;
    dcb.fDtrControl = DTR_CONTROL_ENABLE;
    dcb.fDsrSensitivity = 0;
    dcb.fTXContinueOnXoff = 0;
    dcb.fOutX = 0;
    dcb.fInX = 0;
    dcb.fErrorChar = 0;
    dcb.fNull = 0;
    dcb.fRtsControl = RTS_CONTROL_ENABLE;
    dcb.fAbortOnError = 0;
    dcb.fDummy2 = 0;
    dcb.wReserved = 0;
    dcb.XonLim = 2048;
    dcb.XoffLim = 512;
    dcb.wReserved1 = 0;
}

}  // namespace

TCommPort::TCommPort() : portName_("COM1") {}

TCommPort::~TCommPort() {
    try {
        Close();
    } catch (const ECommError&) {
    }
}

void TCommPort::Open() {
    if (open_) return;
    const std::string path = PortDevicePath(portName_);
    HANDLE handle = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (handle == INVALID_HANDLE_VALUE) Raise(ECommError::kOpen);
    const auto fail = [handle](std::uint8_t code) {
        const DWORD error = GetLastError();
        CloseHandle(handle);
        throw ECommError(code, error);
    };
    DCB dcb{};
    dcb.DCBlength = sizeof(DCB);
    if (!GetCommState(handle, &dcb)) fail(ECommError::kGetState);
    ForceLineControl(dcb, baudRate_, byteSize_, parity_, stopBits_);
    if (!SetCommState(handle, &dcb)) fail(ECommError::kSetState);
    COMMTIMEOUTS timeouts{};
    timeouts.ReadTotalTimeoutConstant = kReadWriteTimeoutMs;
    timeouts.WriteTotalTimeoutConstant = kReadWriteTimeoutMs;
    SetCommTimeouts(handle, &timeouts);
    if (!SetupComm(handle, kInputBufferSize, kOutputBufferSize)) fail(ECommError::kBuffers);
    handle_ = handle;
    open_ = true;
}

void TCommPort::Close() {
    if (!open_) return;
    if (!CloseHandle(static_cast<HANDLE>(handle_))) Raise(ECommError::kClose);
    handle_ = nullptr;
    open_ = false;
}

void TCommPort::SetBaudRate(std::uint32_t baudRate) {
    const std::uint32_t previous = baudRate_;
    baudRate_ = baudRate;
    if (!open_) return;
    DCB dcb{};
    dcb.DCBlength = sizeof(DCB);
    if (!GetCommState(static_cast<HANDLE>(handle_), &dcb)) {
        baudRate_ = previous;
        Raise(ECommError::kBaudRate);
    }
    dcb.BaudRate = baudRate_;
    if (!SetCommState(static_cast<HANDLE>(handle_), &dcb)) {
        const DWORD error = GetLastError();
        baudRate_ = previous;
        throw ECommError(ECommError::kBaudRate, error);
    }
}

void TCommPort::Purge() {
    RequireOpen();
    if (!PurgeComm(static_cast<HANDLE>(handle_), PURGE_RXCLEAR) ||
        !PurgeComm(static_cast<HANDLE>(handle_), PURGE_TXCLEAR))
        Raise(ECommError::kPurge);
}

void TCommPort::Write(std::span<const std::uint8_t> bytes) {
    RequireOpen();
    if (bytes.empty()) return;
    DWORD written = 0;
    if (WriteFile(static_cast<HANDLE>(handle_), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr))
        return;
    // A failed write that clearing the port's error state recovers is swallowed: the caller then
    // notices only that no reply comes.
    DWORD errors = 0;
    if (!ClearCommError(static_cast<HANDLE>(handle_), &errors, nullptr)) Raise(ECommError::kWrite);
}

std::size_t TCommPort::BytesWaiting() {
    RequireOpen();
    DWORD errors = 0;
    COMSTAT status{};
    if (!ClearCommError(static_cast<HANDLE>(handle_), &errors, &status)) Raise(ECommError::kBytesWaiting);
    return status.cbInQue;
}

std::uint8_t TCommPort::ReadByte() {
    RequireOpen();
    std::uint8_t byte = 0;
    DWORD read = 0;
    if (!ReadFile(static_cast<HANDLE>(handle_), &byte, 1, &read, nullptr)) Raise(ECommError::kRead);
    return byte;
}

void TCommPort::WaitForInput(std::chrono::milliseconds limit) {
    // The port is opened for blocking input and output, as the board's line has always been driven,
    // so there is no event to wait on: sleep in short slices until a byte waits or the time is up.
    constexpr DWORD kSliceMs = 2;
    const ULONGLONG deadline = GetTickCount64() + static_cast<ULONGLONG>(limit.count());
    while (BytesWaiting() == 0) {
        const ULONGLONG now = GetTickCount64();
        if (now >= deadline) return;
        Sleep(static_cast<DWORD>(std::min<ULONGLONG>(kSliceMs, deadline - now)));
    }
}

void TCommPort::Pause(std::chrono::milliseconds duration) {
    if (duration.count() > 0) Sleep(static_cast<DWORD>(duration.count()));
}

std::vector<bool> WaitForAnyInput(std::span<CommPort* const> ports, std::chrono::milliseconds limit) {
    // Blocking handles give nothing to wait on together: wait on the first port, then every port is
    // asked for its bytes.
    if (!ports.empty()) ports.front()->WaitForInput(limit);
    return std::vector<bool>(ports.size(), false);
}

}  // namespace zr

#endif
