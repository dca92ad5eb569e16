// The status texts and message boxes of the device operations, exactly as the pager's users know
// them (odd spelling and blanks included).
#pragma once

#include <string>
#include <optional>
#include <string_view>
#include <vector>

#include "message.h"
#include "port_failure.h"

namespace zr {

inline constexpr std::string_view kTestingStatus = "  Target board testing ......";
inline constexpr std::string_view kReadingStatus = "  Reading Now ......";
inline constexpr std::string_view kWritingStatus = "  Write Now ......";
inline constexpr std::string_view kVerifyingStatus = "  Verify Now ......";
inline constexpr std::string_view kReadyStatus = " Ready";
inline constexpr std::string_view kWriteReadyStatus = "  Ready .....";

// Read reports a missing board with its own line breaks and the other model's caption.
inline Message NoBoardOnReadMessage() {
    return {"ZR200Pro",
            "The Board is not responding ! \nPlease check your programer ready\n and COM port connect properly !",
            MessageIcon::Warning, MessageButtons::Ok};
}
// Write, Verify and the start-up board check.
inline Message NoBoardMessage() {
    return WarningMessage(
        "The Board is not responding ! \nPlease check your programer ready \nand COM port connect properly !");
}
inline Message PortInUseMessage() { return PlainMessage("Error opening comm port. Port already in use?"); }
inline Message PortErrorMessage() { return PlainMessage("Error opening comm port."); }
inline Message OldFirmwareMessage() {
    return WarningMessage(
        "The new functions will not work for ZR250Pro with firmware version older than 5.10! Please re-program "
        "the ZR250Pro.");
}
inline Message WrongModelMessage(std::string_view pagerModelName) {
    std::string text = "This model is not ZR250Pro. This model is ";
    text += pagerModelName;
    text += ".";
    return PlainMessage(text);
}
inline Message ReadErrorMessage() { return StopMessage("Read Error !"); }
inline Message ChecksumErrorMessage() { return StopMessage("CheckSum error !"); }
inline Message ReadDoneMessage() { return InformationMessage("Read Success !"); }
inline Message WriteErrorMessage() { return StopMessage("Write Error !"); }
inline Message VerifyErrorMessage() { return StopMessage("Verify Error !"); }
inline Message WriteDoneMessage() { return InformationMessage("Write Sucess !"); }
inline Message VerifyDoneMessage() { return InformationMessage("Verify Sucess !"); }

// The box that follows a device message when ports could not be opened: only the failures the user
// can act on (permission, another program holding the port, a device gone), nothing when none is.
inline std::optional<Message> PortFailureMessage(const std::vector<PortFailure>& failures) {
    std::string text;
    for (const auto& failure : failures) {
        if (!failure.Actionable()) continue;
        if (!text.empty()) text += "\n\n";
        text += failure.Text();
    }
    if (text.empty()) return std::nullopt;
    return WarningMessage(text);
}

// A Write of changed pieces only that could not read the pager's memory first sends all of them; a
// diagnostic, not a message box.
inline constexpr std::string_view kChangedOnlyFallbackNote =
    "the pager's memory could not be read before writing: sending all 32 pieces";

}  // namespace zr
