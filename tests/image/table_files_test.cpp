#include <gtest/gtest.h>

#include <unistd.h>

#include "table_files.h"
#include "temp_dir.h"

namespace zr {
namespace {

using testing::ReadAll;
using testing::TempDir;
using testing::WriteAll;

std::vector<std::uint8_t> Bytes(const PagerImage& image) { return {image.bytes.begin(), image.bytes.end()}; }

PagerImage NumberedImage() {
    PagerImage image;
    for (std::size_t i = 0; i < kImageSize; ++i) image[i] = static_cast<std::uint8_t>(i * 7 + 3);
    image[79] = 82;  // a pair of level 1, so Open keeps it
    image[76] = 84;
    return image;
}

TEST(TableFiles, SaveThenOpenGivesTheSameBytes) {
    TempDir dir;
    const PagerImage saved = NumberedImage();
    ASSERT_FALSE(SaveTableFile(dir / "site.tbl", saved));
    EXPECT_EQ(ReadAll(dir / "site.tbl"), Bytes(saved));
    PagerImage opened = StartupImage();
    const auto result = OpenTableFile(dir / "site.tbl", opened, BuiltInSquelchLevelTable());
    EXPECT_FALSE(result.error);
    EXPECT_EQ(result.bytesRead, 256u);
    EXPECT_EQ(opened, saved);
}

TEST(TableFiles, OpenRepairsTheSquelchPairAndNothingElse) {
    TempDir dir;
    PagerImage file = NumberedImage();
    file[79] = 100;
    file[76] = 100;
    file[254] = 0xDE;  // a wrong checksum is no reason to refuse a file
    WriteAll(dir / "a.tbl", Bytes(file));
    PagerImage image;
    ASSERT_FALSE(OpenTableFile(dir / "a.tbl", image, BuiltInSquelchLevelTable()).error);
    file[79] = 68;
    file[76] = 82;
    EXPECT_EQ(image, file);
}

TEST(TableFiles, ShortFileReplacesOnlyItsLeadingBytesAndLongFileIsCut) {
    TempDir dir;
    WriteAll(dir / "short.tbl", std::vector<std::uint8_t>(100, 0xAA));
    PagerImage image = StartupImage();
    const auto result = OpenTableFile(dir / "short.tbl", image, BuiltInSquelchLevelTable());
    EXPECT_EQ(result.bytesRead, 100u);
    EXPECT_EQ(image[99], 0xAA);
    for (std::size_t i = 100; i < kImageSize; ++i) ASSERT_EQ(image[i], StartupImage()[i]) << i;

    WriteAll(dir / "long.tbl", std::vector<std::uint8_t>(1000, 0x11));
    EXPECT_EQ(OpenTableFile(dir / "long.tbl", image, BuiltInSquelchLevelTable()).bytesRead, 256u);
}

TEST(TableFiles, OpenErrorLeavesTheImage) {
    TempDir dir;
    PagerImage image = StartupImage();
    for (const auto& path : {dir / "missing.tbl", dir.path()}) {
        const auto result = OpenTableFile(path, image, BuiltInSquelchLevelTable());
        ASSERT_TRUE(result.error) << path;
        EXPECT_EQ(result.error->text, "Open Error!");
        EXPECT_EQ(result.error->caption, "ZR250Pro");
        EXPECT_EQ(result.error->icon, MessageIcon::Warning);
        EXPECT_EQ(image, StartupImage());
    }
}

TEST(TableFiles, SaveBacksUpOnceBesideTheFile) {
    TempDir dir;
    std::filesystem::create_directories(dir / "sub");
    const auto path = dir / "sub" / "default.tbl";
    WriteAll(path, std::vector<std::uint8_t>(256, 1));
    PagerImage first;
    first.bytes.fill(2);
    PagerImage second;
    second.bytes.fill(3);
    ASSERT_FALSE(SaveTableFile(path, first));
    ASSERT_FALSE(SaveTableFile(path, second));
    EXPECT_EQ(ReadAll(dir / "sub" / "default.BAK"), std::vector<std::uint8_t>(256, 1));
    EXPECT_EQ(ReadAll(path), Bytes(second));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir / "sub"), {}), 2) << "no stray files";
}

TEST(TableFiles, SaveAsReplacesALongerFileWhole) {
    TempDir dir;
    WriteAll(dir / "old.tbl", std::vector<std::uint8_t>(1000, 9));
    const PagerImage image = NumberedImage();
    ASSERT_FALSE(SaveTableFileAs(dir / "old.tbl", image));
    EXPECT_EQ(ReadAll(dir / "old.tbl"), Bytes(image));
    EXPECT_FALSE(std::filesystem::exists(dir / "old.BAK"));
}

TEST(TableFiles, FailedSaveIsReportedAndThePreviousFileSurvives) {
    TempDir dir;
    WriteAll(dir / "site.tbl", std::vector<std::uint8_t>(256, 4));
    // A path below a regular file cannot be written, even by root.
    const auto blocked = dir / "site.tbl" / "inner.tbl";
    for (auto save : {&SaveTableFile, &SaveTableFileAs}) {
        const auto failure = save(blocked, NumberedImage());
        ASSERT_TRUE(failure);
        EXPECT_EQ(failure->message.text, "Save Error!");
        EXPECT_EQ(failure->message.caption, "ZR250Pro");
        EXPECT_EQ(failure->message.icon, MessageIcon::Warning);
        EXPECT_EQ(failure->reason, "Not a directory");
    }
    EXPECT_EQ(ReadAll(dir / "site.tbl"), std::vector<std::uint8_t>(256, 4));
}

TEST(TableFiles, FailedSaveIntoAReadOnlyFolderKeepsTheFile) {
    TempDir dir;
    WriteAll(dir / "site.tbl", std::vector<std::uint8_t>(256, 4));
    std::filesystem::permissions(dir.path(), std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
    EXPECT_TRUE(SaveTableFile(dir / "site.tbl", NumberedImage()));
    std::filesystem::permissions(dir.path(), std::filesystem::perms::owner_all);
    EXPECT_EQ(ReadAll(dir / "site.tbl"), std::vector<std::uint8_t>(256, 4));
}

TEST(TableFiles, OnlyTheBareDefaultNameAsksFirst) {
    EXPECT_TRUE(SaveNeedsDefaultTableQuestion("default.tbl"));
    EXPECT_FALSE(SaveNeedsDefaultTableQuestion("Default.tbl"));
    EXPECT_FALSE(SaveNeedsDefaultTableQuestion("/home/tech/default.tbl"));
    const Message question = DefaultTableQuestion();
    EXPECT_EQ(question.buttons, MessageButtons::YesNo);
    EXPECT_EQ(question.text.substr(0, 52), "Click OK will save all changes to the default file.\n");
}

TEST(TableFiles, SaveAsStatusTextIsRelativeToTheStartDirectory) {
    EXPECT_EQ(SaveAsStatusText("/work/site1.tbl", "/work"), "File Name:site1.tbl");
    EXPECT_EQ(SaveAsStatusText("/work/site1.tbl", "/work/"), "File Name:site1.tbl");
    EXPECT_EQ(SaveAsStatusText("/other/site1.tbl", "/work"), "File Name:/other/site1.tbl");
    EXPECT_EQ(SaveAsStatusText("/work/sub/x.tbl", "/work"), "File Name:sub/x.tbl");
    EXPECT_EQ(SaveAsStatusText("/work/sub/deeper/x.tbl", "/work/"), "File Name:sub/deeper/x.tbl");
    EXPECT_EQ(SaveAsStatusText("/workshop/x.tbl", "/work"), "File Name:/workshop/x.tbl");
    EXPECT_EQ(SaveAsStatusText("/x.tbl", "/work"), "File Name:/x.tbl");
}

TEST(TableFiles, SaveAsOpensInTheFolderOfTheSaveTarget) {
    TempDir start, elsewhere;
    EXPECT_EQ(SaveAsFolder("default.tbl", start.path()), start.path());
    EXPECT_EQ(SaveAsFolder(elsewhere / "site1.tbl", start.path()), elsewhere.path());
    EXPECT_EQ(SaveAsFolder(elsewhere / "gone" / "site1.tbl", start.path()), start.path());
}

TEST(DefaultTable, LoadsOnlyATableWithThisModelsTag) {
    TempDir dir;
    PagerImage image = StartupImage();
    EXPECT_EQ(LoadDefaultTable(dir.path(), image).outcome, DefaultTableOutcome::Missing);

    PagerImage table = NumberedImage();
    WriteSystemTag(table);
    table[79] = 82;
    table[76] = 70;    // not repaired at start
    table[255] ^= 1;   // nor checksum-tested
    WriteAll(dir / "default.tbl", Bytes(table));
    auto result = LoadDefaultTable(dir.path(), image);
    EXPECT_EQ(result.outcome, DefaultTableOutcome::Loaded);
    EXPECT_EQ(image, table);

    WriteAll(dir / "default.tbl", std::vector<std::uint8_t>(247, 'Z'));
    image = StartupImage();
    result = LoadDefaultTable(dir.path(), image);
    EXPECT_EQ(result.outcome, DefaultTableOutcome::Refused);
    ASSERT_TRUE(result.message);
    EXPECT_EQ(result.message->text, "This default table is not ZR250Pro.");
    EXPECT_EQ(result.message->caption, "ZR250Pro V1.0.7");
    EXPECT_EQ(image, StartupImage());
}

TEST(DefaultTable, UnreadableTableIsReported) {
    TempDir dir;
    std::filesystem::create_directories(dir / "default.tbl");  // present but not a readable file
    PagerImage image = StartupImage();
    const auto result = LoadDefaultTable(dir.path(), image);
    EXPECT_EQ(result.outcome, DefaultTableOutcome::Refused);
    ASSERT_TRUE(result.message);
    EXPECT_EQ(result.message->text, "Open default.tbl error!");
    EXPECT_EQ(image, StartupImage());
}

}  // namespace
}  // namespace zr
