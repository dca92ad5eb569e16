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
        {"unit,call1.tone1_code\nA,8B0B\n", 1, 2, "call1.tone1_code is not edited in the window"},
        {"call1.tone1\n349.0\n", 1, 0, "no unit column"},
        {"unit,call1.on,call1.on\nA,true,false\n", 1, 3, "already column 2"},
        {"unit,call1.tone1\nA,349.0\n\nB,368.5\na,410.8\n", 5, 1, "the unit a is already on line 2"},
        {"unit,call1.tone1\nA,349.0,1\n", 2, 3, "the row has 3 cells, the header 2"},
        {"unit,call1.tone1\nA\n", 2, 2, "the row has 1 cells, the header 2"},
        {"unit,call1.tone1\nA,\"349.0\n", 2, 2, "never closed"},
        {"unit,call1.tone1\nA,\"349\".0\n", 2, 2, "text after the closing quote"},
        {"unit,call1.tone1\nA,34\"9\n", 2, 2, "a quote inside a cell"},
        {"unit,call1.tone1\n../A,349.0\n", 2, 1, "a file name cannot"},
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

TEST(Roster, LogLinesReadBackAsWritten) {
    const std::vector<std::string> cells{"P-01", "a,b", "say \"hi\"", "two\nlines", ""};
    const auto rows = ParseCsv(CsvLine(cells) + "\r\n");
    ASSERT_TRUE(std::holds_alternative<std::vector<CsvRow>>(rows));
    EXPECT_EQ(std::get<std::vector<CsvRow>>(rows).at(0).cells, cells);
}

}  // namespace
}  // namespace zr
