#include "unit_name.h"

#include <algorithm>
#include <array>
#include <cctype>

#include "printable_text.h"

namespace zr {

namespace {

constexpr std::string_view kTableSuffix = ".tbl";
constexpr std::string_view kWindowsForbidden = "<>:\"/\\|?*";

// Names Windows keeps for devices: a file called so, with any extension, is the device.
constexpr std::array<std::string_view, 30> kDeviceNames = {
    "CON",  "PRN",  "AUX",  "NUL",  "CONIN$", "CONOUT$", "COM1", "COM2", "COM3", "COM4",
    "COM5", "COM6", "COM7", "COM8", "COM9",   "LPT1",    "LPT2", "LPT3", "LPT4", "LPT5",
    "LPT6", "LPT7", "LPT8", "LPT9", "COM\xC2\xB9", "COM\xC2\xB2", "COM\xC2\xB3",
    "LPT\xC2\xB9", "LPT\xC2\xB2", "LPT\xC2\xB3"};

std::string Uppercase(std::string_view text) {
    std::string upper(text);
    std::transform(upper.begin(), upper.end(), upper.begin(), [](unsigned char c) { return std::toupper(c); });
    return upper;
}

// The device a name stands for on Windows: what comes before its first dot, trailing blanks left
// out, whatever the case ("con", "Nul.tbl", "COM1 .x").
std::optional<std::string_view> DeviceNamed(std::string_view name) {
    std::string_view stem = name.substr(0, name.find('.'));
    while (!stem.empty() && stem.back() == ' ') stem.remove_suffix(1);
    const std::string upper = Uppercase(stem);
    for (const std::string_view device : kDeviceNames)
        if (upper == device) return device;
    return std::nullopt;
}

// The first few characters of a long name, never cut inside a UTF-8 character.
std::string BeginningOf(std::string_view name) {
    std::size_t end = std::min<std::size_t>(name.size(), 24);
    while (end > 0 && end < name.size() && (static_cast<unsigned char>(name[end]) & 0xC0) == 0x80) --end;
    return EscapeControlBytes(name.substr(0, end));
}

}  // namespace

std::optional<std::string> UnitNameFault(std::string_view name) {
    if (name.empty()) return "the unit has no name";
    const std::string shown = "the unit name \"" + EscapeControlBytes(name) + "\"";
    for (const char c : name) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7f)
            return shown + " holds the control byte " + EscapeControlBytes(std::string_view(&c, 1)) +
                   ", which a file name cannot hold";
        if (kWindowsForbidden.find(c) != std::string_view::npos)
            return shown + " holds '" + std::string(1, c) + "', which a file name on Windows cannot hold (none of " +
                   std::string(kWindowsForbidden) + ")";
    }
    if (name == "." || name == "..") return shown + " names a folder, not a file";
    if (name.front() == ' ') return shown + " begins with a blank";
    if (name.back() == ' ' || name.back() == '.')
        return shown + " ends with " + (name.back() == ' ' ? "a blank" : "a dot") +
               ", which Windows drops from a file name";
    if (const auto device = DeviceNamed(name))
        return shown + " is the Windows device " + std::string(*device) +
               ": no file may be called so, with or without an extension";
    if (name.size() + kTableSuffix.size() > kLongestFileName)
        return "the unit name \"" + BeginningOf(name) + "...\" is " + std::to_string(name.size()) +
               " bytes long; a file name takes " +
               std::to_string(kLongestFileName) + " bytes, so with \"" + std::string(kTableSuffix) + "\" a unit name " +
               std::to_string(kLongestFileName - kTableSuffix.size()) + " at most";
    return std::nullopt;
}

}  // namespace zr
