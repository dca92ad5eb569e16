// The access code that guards the "Advance Setting" page: three tries per opening of the code
// dialog, the entry read case-insensitively and without surrounding blanks.
#pragma once

#include <string>
#include <string_view>

#include "message.h"

namespace zr {

inline constexpr std::string_view kAdvanceAccessCode = "KQ482ZEN";
inline constexpr int kAdvanceTriesPerOpening = 3;

enum class AdvanceVerdict {
    Unlocked,  // the right code: show the page and retire the menu item
    TryAgain,  // a wrong code with tries left in this opening
    Locked,    // the last try of this opening was wrong: hide the page
};

// The entry as the dialog shows it after OK: ASCII letters upper-cased, nothing else changed.
std::string UpperCaseEntry(std::string_view entry);

// "Password is Error !" after every wrong code.
Message AdvanceCodeRefusedMessage();

// The tries of one opening of the code dialog.
class AdvanceAccess {
public:
    // A fresh count of tries; the dialog starts one each time it is shown.
    void StartOpening() { failures_ = 0; }
    // Judges one entry (any case, blanks around it allowed; an empty entry is wrong).
    AdvanceVerdict Check(std::string_view entry);
    int Failures() const { return failures_; }

private:
    int failures_ = 0;
};

}  // namespace zr
