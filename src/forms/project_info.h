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

// Where the README lies, relative to the folder of the executable: beside it in the build tree;
// once installed, in the program's own data folder, where `cmake --install` and the package put the
// copy the program may rely on (the build works out the path from the install folders), and under
// share/doc/zr250pro, which a system may leave out. The first that exists is the about box's homepage.
#ifndef ZR250PRO_INSTALLED_README
#define ZR250PRO_INSTALLED_README "../share/zr250pro/README.md"
#endif
inline constexpr const char* kReadmeFromProgramFolder[] = {"README.md", ZR250PRO_INSTALLED_README,
                                                           "../share/doc/zr250pro/README.md"};
inline constexpr char kHomepageText[] = "README.md";
inline constexpr char kNoReadmeText[] = "README.md (not found beside the program)";

// Empty: the project has no mailbox. Put an address here to make the e-mail line a link.
inline constexpr char kContactEmail[] = "";
inline constexpr char kNoContactEmailText[] = "none (this project has no mailbox)";

inline constexpr char kLogoResource[] = ":/icons/logo.png";

}  // namespace zr::project
