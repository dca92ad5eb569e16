// What the about box says about this program and who stands behind it. The program is written
// and kept by the project that builds it; it has no web site and no mailbox of its own, so the
// about box points at the README installed with the program and says plainly that there is no
// e-mail address, rather than naming an address nobody reads.
#pragma once

namespace zr::project {

inline constexpr char kProductName[] = "ZR250 Pro";
inline constexpr char kVersionText[] = "Version 1.0.7 (2012.2.7)";
inline constexpr char kLegalNotice[] =
    "Programming software for the ZR250Pro pager.\nProvided as is, without warranty of any kind.";

// Where the README lies, relative to the folder of the executable: beside it in the build tree,
// and under share/doc/zr250pro of the install prefix once installed. The first that exists is the
// about box's homepage.
inline constexpr const char* kReadmeFromProgramFolder[] = {"README.md", "../share/doc/zr250pro/README.md"};
inline constexpr char kHomepageText[] = "README.md";
inline constexpr char kNoReadmeText[] = "README.md (not found beside the program)";

// Empty: the project has no mailbox. Put an address here to make the e-mail line a link.
inline constexpr char kContactEmail[] = "";
inline constexpr char kNoContactEmailText[] = "none (this project has no mailbox)";

inline constexpr char kLogoResource[] = ":/icons/logo.png";

}  // namespace zr::project
