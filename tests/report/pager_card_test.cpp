// The pager card holds what `show` gives for the same table file, as the window shows it.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "cli_run.h"
#include "pdf_text.h"
#include "temp_dir.h"

namespace {

using zr::testing::Cli;

TEST(PagerCard, HoldsEveryValueShowGivesWithEachTonesPlaceInTheTable) {
    zr::testing::TempDir dir;
    const auto table = (dir / "unit.tbl").string(), card = (dir / "card.pdf").string();
    ASSERT_EQ(Cli("default -o " + table).status, 0);
    // An off-standard tone (in a call switched off: the load of Open takes the tones of a call it
    // switches on to the standard table), a switched-on call and a list item with blanks in it.
    ASSERT_EQ(Cli("set --user-mode " + table + " call2.on=true call3.tone1=612.3 call3.tone2=1500.0 "
                  "record_sections=\"4 sections (30 second)\" battery_save=42")
                  .status,
              0);
    // On the narrower A4 page too, the longest list item is shown whole beside the longest label.
    for (const char* paper : {"letter", "A4"}) {
        SCOPED_TRACE(paper);
        ASSERT_EQ(Cli("card " + table + " -o " + card + " --page-size " + paper).status, 0);
        const auto pages = zr::testing::PdfPages(card);
        ASSERT_EQ(pages.size(), 1u);
        const std::string text = zr::testing::Squeezed(pages[0]);

        std::istringstream show(Cli("show " + table).out);
        std::size_t checked = 0;
        for (std::string line; std::getline(show, line);) {
            const auto colon = line.find(": ");
            const std::string key = line.substr(0, colon), value = line.substr(colon + 2);
            // Switches read yes/no on paper; the tone codes are the pager's, not the window's.
            if (value == "true" || value == "false" || key.ends_with("_code")) continue;
            EXPECT_NE(text.find(value == "null" ? "none" : value), std::string::npos) << key << " " << value;
            ++checked;
        }
        EXPECT_GT(checked, 40u);

        for (const char* expected : {"Frequency 1590000 x 100 Hz", "CALL #1 yes 669.9 Mot 2, 3 707.3 Mot 2, 4",
                                     "CALL #2 yes 433.7 Mot 1, 5 788.5 Mot 2, 6",
                                     "CALL #3 no 612.3 off-standard 1500.0 off-standard", "Battery Save 42 x 10 ms",
                                     "Table file: unit.tbl", "Technician"})
            EXPECT_NE(text.find(expected), std::string::npos) << expected << "\n" << text;
    }
}

TEST(PagerCard, RendersAsAnImageAndRefusesWhatItCannotRead) {
    zr::testing::TempDir dir;
    const auto table = (dir / "unit.tbl").string();
    const auto png = dir / "card.png";
    ASSERT_EQ(Cli("default -o " + table).status, 0);
    ASSERT_EQ(Cli("card " + table + " -o " + png.string()).status, 0);
    std::ifstream image(png, std::ios::binary);
    char magic[4] = {};
    image.read(magic, 4);
    EXPECT_EQ(std::string(magic + 1, 3), "PNG");

    EXPECT_NE(Cli("card " + (dir / "missing.tbl").string() + " -o " + (dir / "x.pdf").string()).status, 0);
    EXPECT_FALSE(std::filesystem::exists(dir / "x.pdf"));
    EXPECT_NE(Cli("card " + table + " -o " + (dir / "y.pdf").string() + " --page-size A3").status, 0);
}

}  // namespace
