#include "advance_access.h"

namespace zr {

namespace {

// Blanks and control characters around the entry do not count, as a trim of the typed text.
std::string_view TrimBlanks(std::string_view text) {
    auto isBlank = [](char c) { return static_cast<unsigned char>(c) <= ' '; };
    while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
    return text;
}

}  // namespace

std::string UpperCaseEntry(std::string_view entry) {
    std::string upper(entry);
    for (auto& c : upper) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    return upper;
}

Message AdvanceCodeRefusedMessage() { return WarningMessage("Password is Error !"); }

AdvanceVerdict AdvanceAccess::Check(std::string_view entry) {
    const std::string upper = UpperCaseEntry(entry);
    if (TrimBlanks(upper) == kAdvanceAccessCode) return AdvanceVerdict::Unlocked;
    ++failures_;
    return failures_ >= kAdvanceTriesPerOpening ? AdvanceVerdict::Locked : AdvanceVerdict::TryAgain;
}

}  // namespace zr
