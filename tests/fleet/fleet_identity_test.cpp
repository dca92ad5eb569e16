// Which roster unit a pager is, and the roster of a fleet read back, without a port.
#include <gtest/gtest.h>

#include <fstream>

#include "fleet_identity.h"
#include "image_offsets.h"
#include "keyed_edits.h"
#include "temp_dir.h"

namespace zr {
namespace {

Roster RosterOf(const std::string& csv) { return std::get<Roster>(ParseRoster(csv)); }

// What a pager holds once written with the unit's image: the sent image with its own firmware.
PagerImage WrittenPager(const UnitImage& unit) {
    PagerImage pager = ImageAsSent(unit.image);
    pager[kFirmwareMajorOffset] = 5;
    pager[kFirmwareMinorOffset] = 10;
    return pager;
}

const EditorSession& Base() {
    static const EditorSession base = StartupEditorSession();
    return base;
}

std::vector<UnitImage> Units(const std::string& csv) {
    return BuildUnitImages(Base(), RosterOf(csv), ToneEntryMode::Standard);
}

const std::string kFleet = "unit,call1.tone1,call1.tone2\nEngine 1,349.0,600.9\nEngine 2,368.5,600.9\n"
                           "Engine 3,389.0,600.9\n";

TEST(FleetIdentity, APagerIsItsUnitTheNearestWithExactlyTheChangedFieldOrNoneOfTheRoster) {
    const FleetMatcher matcher(Units(kFleet));
    // The same units written by a roster that strayed: Engine 2 with another call 1 tone 2, and a
    // pager of another fleet whose call 1 tone 1 is no unit's.
    const auto strayed = Units("unit,call1.tone1,call1.tone2\nEngine 2,368.5,569.1\nOther,330.5,600.9\n");
    const auto asPlanned = matcher.Identify(WrittenPager(Units(kFleet)[2]));
    EXPECT_EQ(asPlanned.match, PagerMatch::AsPlanned);
    EXPECT_EQ(asPlanned.unit, 2u);

    const auto changed = matcher.Identify(WrittenPager(strayed[0]));
    EXPECT_EQ(changed.match, PagerMatch::Differs);
    EXPECT_EQ(changed.unit, 1u);
    EXPECT_EQ(MismatchText(changed.fields), "call1.tone2: planned 600.9, pager 569.1");

    EXPECT_EQ(matcher.Identify(WrittenPager(strayed[1])).match, PagerMatch::NotInRoster);
    // The image as built, never sealed, is not what a Write sends.
    EXPECT_NE(matcher.Identify(Units(kFleet)[0].image).match, PagerMatch::AsPlanned);
}

// The roster made of the pagers read, written over the base, sends every pager's image again.
void ExpectRoundTrip(const std::vector<UnitImage>& units, const std::optional<EditorSession>& base,
                     const std::vector<std::string>& expectedKeys) {
    std::vector<KeptPager> pagers;
    for (std::size_t i = 0; i < units.size(); ++i) pagers.push_back({NumberedPagerName(i + 1), WrittenPager(units[i])});
    const RosterOfFleet made = MakeRosterOfFleet(pagers, base);
    EXPECT_TRUE(made.problems.empty()) << made.problems.front();
    const Roster roster = RosterOf(made.csv);
    if (!expectedKeys.empty()) {
        EXPECT_EQ(roster.keys, expectedKeys);
    }
    const auto rebuilt = BuildUnitImages(base ? *base : StartupEditorSession(), roster, ToneEntryMode::Standard);
    ASSERT_EQ(rebuilt.size(), pagers.size());
    for (std::size_t i = 0; i < pagers.size(); ++i) {
        EXPECT_EQ(rebuilt[i].name, pagers[i].name);
        EXPECT_TRUE(rebuilt[i].refusals.empty()) << rebuilt[i].name << " " << rebuilt[i].refusals.front().key;
        EXPECT_TRUE(SameAsSent(ImageAsSent(rebuilt[i].image), pagers[i].image)) << pagers[i].name;
    }
}

TEST(FleetIdentity, TheRosterOfAFleetReadProgramsTheSameImagesOverTheBaseOrWithoutOne) {
    const auto units = Units("unit,call1.tone1,call2.on,call2.tone1,call2.tone2,privacy,reset_delay\n"
                             "A,349.0,,,,,\nB,368.5,true,330.5,569.1,true,\nC,389.0,,,,,2.5\n");
    ExpectRoundTrip(units, Base(), {"call1.tone1", "call2.on", "call2.tone1", "call2.tone2", "reset_delay",
                                    "privacy"});
    ExpectRoundTrip(units, std::nullopt, {});
    std::size_t editable = 0;
    for (const auto& field : ImageFields()) editable += IsEditableKey(field.key);
    std::vector<KeptPager> one{{"A", WrittenPager(units[0])}};
    EXPECT_EQ(RosterOf(MakeRosterOfFleet(one, std::nullopt).csv).keys.size(), editable);
}

TEST(FleetIdentity, FileNamesNeverTakeAnExistingFile) {
    testing::TempDir dir;
    EXPECT_EQ(UnusedTablePath(dir.path(), "Engine 2"), dir / "Engine 2.tbl");
    std::ofstream(dir / "Engine 2.tbl") << "";
    std::ofstream(dir / "Engine 2-2.tbl") << "";
    EXPECT_EQ(UnusedTablePath(dir.path(), "Engine 2"), dir / "Engine 2-3.tbl");
    EXPECT_EQ(NumberedPagerName(7), "pager-007");
    EXPECT_EQ(NumberedPagerName(1234), "pager-1234");
}

}  // namespace
}  // namespace zr
