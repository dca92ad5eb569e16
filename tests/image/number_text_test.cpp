#include <gtest/gtest.h>

#include <clocale>

#include "number_text.h"

namespace zr {
namespace {

TEST(NumberText, FormatsLikePrintfInTheCLocale) {
    EXPECT_EQ(FormatFixed(669.9, 1, 4), "669.9");
    EXPECT_EQ(FormatFixed(5.0, 1, 4), "05.0");
    EXPECT_EQ(FormatFixed(5.1, 2), "5.10");
    EXPECT_EQ(FormatFixed(60 * 3.0 / 255.0, 2, 1), "0.71");
    EXPECT_EQ(FormatFixed(127.5, 1, 1), "127.5");
    EXPECT_EQ(FormatHex(0x158000, 8), "00158000");
    EXPECT_EQ(FormatHex(0x8b0b, 4), "8B0B");
}

TEST(NumberText, DecimalPointIsAPointInEveryLocale) {
    if (std::setlocale(LC_NUMERIC, "de_DE.UTF-8") == nullptr) GTEST_SKIP() << "no German locale here";
    EXPECT_EQ(FormatFixed(0.5, 2), "0.50");
    EXPECT_EQ(ParseDecimal("0.5"), 0.5);
    std::setlocale(LC_NUMERIC, "C");
}

TEST(NumberText, ParsesWhatATechnicianTypes) {
    EXPECT_EQ(ParseDecimal("669.9"), 669.9);
    EXPECT_EQ(ParseDecimal(" 3 "), 3.0);
    EXPECT_EQ(ParseDecimal(".5"), 0.5);
    EXPECT_EQ(ParseDecimal("5."), 5.0);
    EXPECT_EQ(ParseDecimal("-1"), -1.0);
    for (const char* bad : {"", " ", ".", "abc", "1.2.3", "1e3", "inf", "nan", "0x10", "12a", "1,5"})
        EXPECT_FALSE(ParseDecimal(bad).has_value()) << bad;
    EXPECT_EQ(ParseInteger("65535"), 65535);
    EXPECT_EQ(ParseInteger("-3"), -3);
    for (const char* bad : {"", "1.0", "x", "99999999999999999999999"})
        EXPECT_FALSE(ParseInteger(bad).has_value()) << bad;
}

}  // namespace
}  // namespace zr
