#include <gtest/gtest.h>

#include <string>

#include "advance_access.h"

namespace zr {
namespace {

TEST(AdvanceAccess, TheCodeIsReadInAnyCaseAndWithoutSurroundingBlanks) {
    for (const std::string entry : {"KQ482ZEN", "kq482zen", "Kq482zEn", "  KQ482ZEN", "kq482zen   ", "\tKQ482ZEN \t"}) {
        AdvanceAccess access;
        EXPECT_EQ(access.Check(entry), AdvanceVerdict::Unlocked) << '"' << entry << '"';
        EXPECT_EQ(access.Failures(), 0);
    }
}

TEST(AdvanceAccess, NearMissesAreWrong) {
    for (const std::string entry : {"", "   ", "KQ482ZE", "KQ482ZENN", "KQ48 2ZEN", "KQ482ZEN0", "KQ482ZEM"}) {
        AdvanceAccess access;
        EXPECT_EQ(access.Check(entry), AdvanceVerdict::TryAgain) << '"' << entry << '"';
        EXPECT_EQ(access.Failures(), 1);
    }
}

TEST(AdvanceAccess, TheThirdWrongCodeOfAnOpeningLocks) {
    AdvanceAccess access;
    access.StartOpening();
    EXPECT_EQ(access.Check("one"), AdvanceVerdict::TryAgain);
    EXPECT_EQ(access.Check("two"), AdvanceVerdict::TryAgain);
    EXPECT_EQ(access.Check("three"), AdvanceVerdict::Locked);
    EXPECT_EQ(access.Failures(), 3);
}

TEST(AdvanceAccess, EachOpeningGivesThreeFreshTries) {
    AdvanceAccess access;
    access.StartOpening();
    access.Check("one");
    access.Check("two");
    access.StartOpening();  // the dialog was left with Exit and opened again
    EXPECT_EQ(access.Failures(), 0);
    EXPECT_EQ(access.Check("one"), AdvanceVerdict::TryAgain);
    EXPECT_EQ(access.Check("two"), AdvanceVerdict::TryAgain);
    EXPECT_EQ(access.Check("kq482zen"), AdvanceVerdict::Unlocked);
}

TEST(AdvanceAccess, OnlyAsciiLettersAreUpperCased) {
    EXPECT_EQ(UpperCaseEntry(" kq482zen "), " KQ482ZEN ");
    EXPECT_EQ(UpperCaseEntry("a-z_09\xC3\xA9"), "A-Z_09\xC3\xA9");  // UTF-8 é stays as typed
}

TEST(AdvanceAccess, AWrongCodeIsAWarningOfTheProduct) {
    EXPECT_EQ(AdvanceCodeRefusedMessage(), WarningMessage("Password is Error !"));
    EXPECT_EQ(AdvanceCodeRefusedMessage().caption, "ZR250Pro");
}

}  // namespace
}  // namespace zr
