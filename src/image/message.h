// A message box as this program shows it: the window, the command line and the tests share these.
#pragma once

#include <string>
#include <string_view>

namespace zr {

// Caption of validation, file and device messages.
inline constexpr std::string_view kProductCaption = "ZR250Pro";
// The application title, the caption of the plain message boxes.
inline constexpr std::string_view kApplicationTitle = "ZR250Pro V1.0.7";

enum class MessageIcon { None, Warning, Stop, Information };
enum class MessageButtons { Ok, YesNo };
enum class MessageAnswer { Ok, Yes, No };

struct Message {
    std::string caption;
    std::string text;
    MessageIcon icon = MessageIcon::None;
    MessageButtons buttons = MessageButtons::Ok;

    bool operator==(const Message&) const = default;
};

inline Message WarningMessage(std::string_view text) {
    return {std::string(kProductCaption), std::string(text), MessageIcon::Warning, MessageButtons::Ok};
}
inline Message StopMessage(std::string_view text) {
    return {std::string(kProductCaption), std::string(text), MessageIcon::Stop, MessageButtons::Ok};
}
inline Message InformationMessage(std::string_view text) {
    return {std::string(kProductCaption), std::string(text), MessageIcon::Information, MessageButtons::Ok};
}
// A box with the application title as caption and no icon.
inline Message PlainMessage(std::string_view text) {
    return {std::string(kApplicationTitle), std::string(text), MessageIcon::None, MessageButtons::Ok};
}

}  // namespace zr
