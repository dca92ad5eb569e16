// Rosters as spreadsheets write them, and the faults that must stop a fleet before any pager.
#include <gtest/gtest.h>

#include "roster.h"

namespace zr {
namespace {

Roster Parsed(std::string_view text) {
    auto roster = ParseRoster(text);
    if (const auto* error = std::get_if<TableError>(&roster))
        ADD_FAILURE() << "line " << error->line << ", column " << error->column << ": " << error->text;
    return std::get<Roster>(roster);
}

TEST(Roster, TakesWhatSpreadsheetsWrite) {
    // A byte order mark, CRLF, quoted cells with a separator and a line break, empty rows.
    const Roster roster = Parsed(
        "\xEF\xBB\xBF" "call1.tone1,unit,reminder\r\n"
        "349.0,\"Engine, 1\",\r\n"
        "\r\n"
        ",,\r\n"
        "\"368.5\",\"Chief A\",\"60  Second\"\n"
        "433.7,Duty,\"two\nlines\"\n"
        "410.8,Spare,\n");
    EXPECT_EQ(roster.keys, (std::vector<std::string>{"call1.tone1", "reminder"}));
    EXPECT_EQ(roster.keyColumns, (std::vector<std::size_t>{1, 3}));
    ASSERT_EQ(roster.units.size(), 4u);
    EXPECT_EQ(roster.units[0].name, "Engine, 1");
    EXPECT_EQ(roster.units[0].values, (std::vector<std::string>{"349.0", ""}));
    EXPECT_EQ(roster.units[1].name, "Chief A");
    EXPECT_EQ(roster.units[1].line, 5u);
    EXPECT_EQ(roster.units[1].values, (std::vector<std::string>{"368.5", "60  Second"}));
    EXPECT_EQ(roster.units[2].values[1], "two\nlines");
    EXPECT_EQ(roster.units[3].line, 8u);
}

TEST(Roster, MalformedRostersNameTheLineAndColumn) {
    struct Case {
        const char* text;
        std::size_t line, column;
        const char* says;
    };
    const Case cases[] = {
        {"unit,call1.tone1,colour\nA,349.0,red\n", 1, 3, "unknown key colour"},
        // A key typed otherwise than the roster writes it names the key meant.
        {"unit,Call1.Tone1\nA,349.0\n", 1, 2, "unknown key Call1.Tone1; did you mean call1.tone1?"},
        {"Unit,call1.tone1\nA,349.0\n", 1, 1, "unknown key Unit; did you mean unit?"},
        {"unit;Save-Voice\nA;true\n", 1, 2, "unknown key Save-Voice; did you mean save_voice?"},
        {"unit,call 1 tone2\nA,349.0\n", 1, 2, "did you mean call1.tone2?"},
        {"unit,carrier off delay\nA,7\n", 1, 2, "did you mean carrier_off_delay?"},
        {"unit,colour\a\nA,red\n", 1, 2, "unknown key colour\\x07"},
        {"unit, unit \nA,B\n", 1, 2, "the column unit is already column 1"},
        {"unit,call1.tone1_code\nA,8B0B\n", 1, 2, "call1.tone1_code is not edited in the window"},
        {"call1.tone1\n349.0\n", 1, 0, "no unit column"},
        {"unit,call1.on,call1.on\nA,true,false\n", 1, 3, "already column 2"},
        {"unit,call1.tone1\nA,349.0\n\nB,368.5\na,410.8\n", 5, 1, "the unit a is already on line 2"},
        {"unit,call1.tone1\nA,349.0,1\n", 2, 3, "the row has 3 cells, the header 2"},
        {"unit,call1.tone1\nA\n", 2, 2, "the row has 1 cells, the header 2"},
        {"unit,call1.tone1\nA,\"349.0\n", 2, 2, "never closed"},
        {"unit,call1.tone1\nA,\"349\".0\n", 2, 2, "text after the closing quote"},
        {"unit,call1.tone1\nA,34\"9\n", 2, 2, "a quote inside a cell"},
        {"unit,call1.tone1\n../A,349.0\n", 2, 1, "holds '/', which a file name on Windows cannot hold"},
        {"unit,call1.tone1\n,349.0\n", 2, 1, "no name"},
        {"unit,call1.tone1\n\n", 0, 0, "lists no unit"},
        {"\xEF\xBB\xBF", 0, 0, "the roster is empty"},
        {"\xFF\xFEu\0", 0, 0, "UTF-16"},
    };
    for (const auto& c : cases) {
        const auto roster = ParseRoster(c.text);
        ASSERT_TRUE(std::holds_alternative<TableError>(roster)) << c.text;
        const auto& error = std::get<TableError>(roster);
        EXPECT_EQ(error.line, c.line) << c.text;
        EXPECT_EQ(error.column, c.column) << c.text;
        EXPECT_NE(error.text.find(c.says), std::string::npos) << c.text << " -> " << error.text;
    }
}

TEST(Roster, SemicolonRostersWithPaddedColumnNamesAreTaken) {
    // As spreadsheets save CSV where the comma is the decimal mark: ";" between the cells, found from
    // the header line; a comma is then text like any other.
    const Roster roster = Parsed(
        "\xEF\xBB\xBF" " unit ; call1.tone1\t;\"reminder\"\r\n"
        "Engine, 1;349.0;\r\n"
        "\"A;B\";368.5;60  Second\r\n");
    EXPECT_EQ(roster.keys, (std::vector<std::string>{"call1.tone1", "reminder"}));
    ASSERT_EQ(roster.units.size(), 2u);
    EXPECT_EQ(roster.units[0].name, "Engine, 1");
    EXPECT_EQ(roster.units[0].values, (std::vector<std::string>{"349.0", ""}));
    EXPECT_EQ(roster.units[1].name, "A;B");
    EXPECT_EQ(roster.units[1].values, (std::vector<std::string>{"368.5", "60  Second"}));
}

// A unit's name is the name of its table file on Linux and on Windows: the roster refuses any
// other, at the unit's cell (column 2 here), saying why, with the name's control bytes escaped.
TEST(Roster, UnitNamesThatCannotNameAFileEverywhereAreRefused) {
    using namespace std::string_literals;
    const std::string longest(251, 'x');
    struct Case {
        std::string name;
        const char* says;  // nothing: the name is taken
    };
    const Case cases[] = {
        {"CON", "is the Windows device CON"},
        {"nul.tbl", "is the Windows device NUL"},
        {"Com7.backup.old", "is the Windows device COM7"},
        {"lpt1 .x", "is the Windows device LPT1"},
        {"aux ", "ends with a blank"},
        {"P-01.", "ends with a dot, which Windows drops"},
        {" P-01", "begins with a blank"},
        {"Engine:1", "holds ':', which a file name on Windows cannot hold"},
        {"a\\b", "holds '\\'"},
        {"Who?", "holds '?'"},
        {"A\0B"s, "the unit name \"A\\x00B\" holds the control byte \\x00"},
        {"A\x1b[2J", "the unit name \"A\\x1b[2J\" holds the control byte \\x1b"},
        {"..", "names a folder"},
        {longest + "y", "is 252 bytes long; a file name takes 255 bytes, so with \".tbl\" a unit name 251 at most"},
        {[] {  // bytes count, not letters: 126 letters of two bytes each
             std::string name;
             for (int i = 0; i < 126; ++i) name += "\xC3\xA9";
             return name;
         }(),
         "\"\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9...\" is 252 bytes long"},
        {longest, nullptr},
        {"CONSOLE", nullptr},
        {"COM10", nullptr},
        {"NULL.tbl", nullptr},
        {"Engine 1 (Süd)", nullptr},
    };
    for (const auto& c : cases) {
        const auto roster = ParseRoster("call1.tone1,unit\n349.0,\"" + c.name + "\"\n");
        if (c.says == nullptr) {
            EXPECT_TRUE(std::holds_alternative<Roster>(roster)) << c.name;
            continue;
        }
        ASSERT_TRUE(std::holds_alternative<TableError>(roster)) << c.name;
        const auto& error = std::get<TableError>(roster);
        EXPECT_EQ(error.line, 2u) << c.name;
        EXPECT_EQ(error.column, 2u) << c.name;
        EXPECT_NE(error.text.find(c.says), std::string::npos) << c.name << " -> " << error.text;
        EXPECT_EQ(error.text.find('\0'), std::string::npos) << "a control byte is never echoed raw";
    }
}

TEST(Roster, LogLinesReadBackAsWritten) {
    const std::vector<std::string> cells{"P-01", "a,b", "say \"hi\"", "two\nlines", ""};
    const auto rows = ParseCsv(CsvLine(cells) + "\r\n");
    ASSERT_TRUE(std::holds_alternative<std::vector<CsvRow>>(rows));
    EXPECT_EQ(std::get<std::vector<CsvRow>>(rows).at(0).cells, cells);
}

}  // namespace
}  // namespace zr
