// Units built from a roster as `set` builds them, and the tone plan problems each fleet must show.
#include <gtest/gtest.h>

#include "fleet_check.h"
#include "keyed_edits.h"

namespace zr {
namespace {

std::vector<UnitImage> Fleet(std::string_view roster, ToneEntryMode mode = ToneEntryMode::Standard) {
    const auto parsed = ParseRoster(roster);
    EXPECT_TRUE(std::holds_alternative<Roster>(parsed)) << roster;
    return BuildUnitImages(StartupEditorSession(), std::get<Roster>(parsed), mode);
}

std::vector<std::string> ProblemTexts(const std::vector<UnitImage>& units) {
    std::vector<std::string> texts;
    for (const auto& problem : CheckTonePlan(units)) texts.push_back(problem.text);
    return texts;
}

TEST(TonePlan, EachFleetShowsItsProblems) {
    struct Case {
        const char* what;
        const char* roster;
        std::vector<std::string> problems;
        ToneEntryMode mode = ToneEntryMode::Standard;
    };
    const Case cases[] = {
        {"distinct calls", "unit,call1.tone1,call1.tone2\nA,349.0,600.9\nB,368.5,600.9\n", {}},
        {"a common first tone", "unit,call1.tone1,call1.tone2\nA,349.0,600.9\nB,349.0,634.5\n", {}},
        {"the same call twice", "unit,call1.tone1,call1.tone2\nA,349.0,600.9\nB,349.0,600.9\n",
         {"A call1 and B call1 are the same individual call 349.0/600.9 Hz"}},
        {"the same call in another slot",
         "unit,call1.tone1,call1.tone2,call2.tone1,call2.tone2,call2.on\nA,349.0,600.9,,,\nB,368.5,,349.0,600.9,true\n",
         {"A call1 and B call2 are the same individual call 349.0/600.9 Hz"}},
        {"the same call in a slot switched off, another slot on",
         "unit,call1.tone1,call1.tone2,call2.tone1,call2.tone2,call2.on\nA,349.0,600.9,,,\nB,368.5,,349.0,600.9,false\n",
         {}},
        {"the same call in a slot switched on, the slot of its number off",
         "unit,call1.on,call2.tone1,call2.tone2,call2.on\nA,,,,\nB,false,669.9,707.3,true\n",
         {"A call1 and B call2 are the same individual call 669.9/707.3 Hz"}},
        {"tones the other way round", "unit,call1.tone1,call1.tone2\nA,349.0,600.9\nB,600.9,349.0\n", {}},
        {"a duplicate switched off", "unit,call1.tone1,call1.tone2,call1.on\nA,349.0,600.9,\nB,349.0,600.9,false\n", {}},
        {"neighbouring standard tones each unit decodes",
         "unit,call1.tone1,call1.tone2\nA,562.3,600.9\nB,562.5,600.9\n",
         {"A call1 562.3/600.9 Hz answers the page of B call1 562.5/600.9 Hz: 562.5 Hz and 562.3 Hz are 0.04 % "
          "apart; A decodes ± 1.5 %",
          "B call1 562.5/600.9 Hz answers the page of A call1 562.3/600.9 Hz: 562.3 Hz and 562.5 Hz are 0.04 % "
          "apart; B decodes ± 1.5 %"}},
        {"only the wider decoder answers, both tones near",
         "unit,decoder_bandwidth,call1.tone1,call1.tone2\nA,0.1,600.9,1500.0\nB,1.5,602.0,1502.0\n",
         {"B call1 602.0/1502.0 Hz answers the page of A call1 600.9/1500.0 Hz: 600.9 Hz and 602.0 Hz are 0.18 % "
          "apart, 1500.0 Hz and 1502.0 Hz are 0.13 % apart; B decodes ± 1.5 %"},
         ToneEntryMode::User},
        {"tones on the edge of the decoder bandwidth, and just beyond it",
         "unit,decoder_bandwidth,call1.tone1,call1.tone2\nA,0.1,1000.0,1500.0\nB,0.1,1001.0,1500.0\n"
         "C,0.1,1002.1,1500.0\n",
         {"A call1 1000.0/1500.0 Hz answers the page of B call1 1001.0/1500.0 Hz: 1001.0 Hz and 1000.0 Hz are 0.10 % "
          "apart; A decodes ± 0.1 %",
          "B call1 1001.0/1500.0 Hz answers the page of A call1 1000.0/1500.0 Hz: 1000.0 Hz and 1001.0 Hz are 0.10 % "
          "apart; B decodes ± 0.1 %"},
         ToneEntryMode::User},
        {"a call on the group tone",
         "unit,call1.tone1,call1.tone2,group1.tone,group1.on\nA,349.0,600.9,600.9,true\nB,368.5,600.9,,\n",
         {"A call1.tone2 and B call1.tone2 600.9 Hz are the tone of A group call 1"}},
        {"a call near another unit's group tone",
         "unit,call1.tone1,call1.tone2,group1.tone,group1.on\nA,602.0,1500.0,,\nB,349.0,900.0,600.9,true\n",
         {"A call1.tone1 602.0 Hz sounds B group call 1 600.9 Hz: 602.0 Hz and 600.9 Hz are 0.18 % apart; B decodes "
          "± 1.5 %"},
         ToneEntryMode::User},
        {"two equal tones in a call", "unit,call1.tone2\nA,670\n", {"A call1 has two equal tones 669.9 Hz"}},
        {"calls too near within a unit",
         "unit,call1.tone1,call2.tone1,call2.tone2,call2.on\nA,592.5,600.9,879.0,true\n",
         {"A call1.tone1 592.5 Hz and call2.tone1 600.9 Hz are closer than 1.5 %"}},
        {"a narrower spacing rule",
         "unit,decoder_bandwidth,call1.tone1,call2.tone1,call2.tone2,call2.on\nA,0.5,592.5,600.9,879.0,true\n", {}},
    };
    for (const auto& c : cases) {
        const auto units = Fleet(c.roster, c.mode);
        for (const auto& unit : units) EXPECT_TRUE(unit.refusals.empty()) << c.what << ": " << unit.name;
        EXPECT_EQ(ProblemTexts(units), c.problems) << c.what;
    }
}

TEST(TonePlan, ACallSharedByManyUnitsIsOneProblemNamingThemAll) {
    std::string roster = "unit,call1.tone1,call1.tone2\n";
    for (int n = 1; n <= 300; ++n) roster += "U" + std::to_string(n) + ",349.0,600.9\n";
    roster += "Odd,562.3,600.9\n";
    const auto units = Fleet(roster);
    const auto problems = CheckTonePlan(units);
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_EQ(problems[0].units.size(), 300u);
    EXPECT_EQ(problems[0].units.front(), "U1");
    EXPECT_EQ(problems[0].units.back(), "U300");
    EXPECT_EQ(problems[0].text.substr(0, 25), "U1 call1, U2 call1, U3 ca");
    EXPECT_NE(problems[0].text.find("U299 call1 and U300 call1 are the same individual call 349.0/600.9 Hz"),
              std::string::npos);
    EXPECT_EQ(problems[0].brief, "U1 call1, U2 call1, U3 call1 and 297 more are the same individual call 349.0/600.9 Hz");
    EXPECT_EQ(problems[0].tones.size(), 600u);  // both tones of each unit's call
}

TEST(TonePlan, EveryRefusedCellIsReportedAndTheOthersStillApply) {
    const auto units = Fleet("unit,call1.tone1,call2.on,call1.tone2,reminder\nA,9999,yes,600.9,30  Second\n");
    ASSERT_EQ(units.size(), 1u);
    const auto& refusals = units[0].refusals;
    ASSERT_EQ(refusals.size(), 2u);
    EXPECT_EQ(refusals[0].key, "call1.tone1");
    EXPECT_EQ(refusals[0].column, 2u);
    EXPECT_EQ(refusals[0].messages, std::vector<Message>{StandardToneRangeMessage()});
    EXPECT_EQ(refusals[1].key, "call2.on");
    EXPECT_EQ(refusals[1].line, 2u);
    EXPECT_EQ(refusals[1].complaint, "call2.on: a switch is set to true or false");
    EXPECT_EQ(CallTonesText(units[0].image, 1), "669.9/600.9");
    EXPECT_EQ(CallTonesText(units[0].image, 2), "off");

    // User Mode takes what Standard Mode refuses, and refuses what the spacing rule forbids.
    const auto user = Fleet("unit,call1.tone1,call2.tone1,call2.on\nA,3000.0,3010.0,true\n", ToneEntryMode::User);
    ASSERT_EQ(user[0].refusals.size(), 1u);
    EXPECT_EQ(user[0].refusals[0].key, "call2.tone1");
    EXPECT_EQ(user[0].refusals[0].messages, std::vector<Message>{ToneSpacingMessage(15)});
}

TEST(TonePlan, ACellDoesWhatSetDoes) {
    // The same edits through a roster and through set's own code give the same bytes.
    const auto units = Fleet("unit,frequency,spacing,privacy\nA,1590125,Auto,true\n");
    KeyedEditSession session = StartKeyedEdits(StartupEditorSession(), ToneEntryMode::Standard);
    for (const auto& [key, value] : {std::pair{"frequency", "1590125"}, {"spacing", "Auto"}, {"privacy", "true"}})
        ApplyKeyedEdit(session, key, value);
    EXPECT_EQ(units[0].image, session.image);
    EXPECT_NE(units[0].image, StartupEditorSession().image);
}

}  // namespace
}  // namespace zr
