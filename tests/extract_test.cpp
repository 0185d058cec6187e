#include <gtest/gtest.h>

#include <filesystem>

#include "actions/actions.h"
#include "catalogue/catalogue.h"
#include "catalogue/layout.h"
#include "io/path_text.h"
#include "rules/save.h"
#include "test_util.h"

namespace quorvane {
namespace {

using test::Fixture;
using test::TempDir;

class ExtractTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::MakeSampleGame(dir.path());
        f.session.gameFolder = dir.path();
        f.session.rulesPath = dir.File("rules.txt");
    }
    std::string Cell(int i, int j, int s) { return std::string(f.session.grid.GetArrayValue(i, j, s)); }
    void Poke(GameFile file, int offset, std::vector<std::uint8_t> bytes) {
        auto all = test::GameBytes(dir.path(), file);
        for (std::size_t k = 0; k < bytes.size(); ++k) all[static_cast<std::size_t>(offset) + k] = bytes[k];
        test::WriteFile(dir.File(GameFileName(file)), std::string(all.begin(), all.end()));
    }
    void Truncate(GameFile file, std::size_t size) {
        std::filesystem::resize_file(dir.File(GameFileName(file)), size);
    }
    TempDir dir;
    Fixture f;
};

TEST_F(ExtractTest, WritesTheCanonicalFileAndFillsTheGrid) {
    ExtractCommand(f.session);
    EXPECT_TRUE(f.errors.texts.empty());
    EXPECT_EQ(f.session.dataLoaded, 1);
    EXPECT_EQ(f.progress.steps, 43);
    EXPECT_EQ(f.progress.position, 0);
    const std::string content = test::ReadFile(f.session.rulesPath);
    const auto lines = test::SplitLines(content);
    ASSERT_EQ(lines.size(), 875u);
    EXPECT_EQ(lines[0], "\"%version=0.2500000\"");
    EXPECT_EQ(lines[1], "");
    EXPECT_EQ(lines[2], "[ITEM POWERS]");
    EXPECT_EQ(lines.back(), "[END]");
    EXPECT_EQ(content.substr(content.size() - 7), "[END]\r\n");
    // The grid holds exactly what the file holds: a save adds one line end.
    EXPECT_EQ(FormatGrid(f.session, false), content + "\r\n");
    EXPECT_EQ(Cell(23, 0, 0), "Heal Amount");
    EXPECT_EQ(Cell(31, 9, 0), "Plate");
    // Every name has room in its field.
    for (int i = 0; i < kSectionCount; ++i)
        for (int j = 0; j < Rows(i); ++j) EXPECT_LE(Cell(i, j, 0).size(), 41u);
}

TEST_F(ExtractTest, NegativeFormsAndTheDestroyedItemsCode) {
    Poke(GameFile::SpellDat, ValueOffset(2, 0, 8), {0x60, 0xEA});  // 60000
    Poke(GameFile::SpellDat, ValueOffset(2, 0, 9), {0x61, 0xEA});  // 60001
    Poke(GameFile::SpellDat, ValueOffset(2, 0, 1), {240});
    Poke(GameFile::SpellDat, ValueOffset(2, 0, 2), {241});
    Poke(GameFile::SpellDat, ValueOffset(2, 0, 3), {255});
    Poke(GameFile::SpellDat, ValueOffset(2, 1, 8), {0xFF, 0xFF});
    Poke(GameFile::ItemPow, ValueOffset(0, 0, 1), {16});
    Poke(GameFile::Wizards, ValueOffset(33, 0, 1), {0xD1, 0xF8});
    ExtractCommand(f.session);
    EXPECT_EQ(Cell(2, 0, 8), "60000");
    EXPECT_EQ(Cell(2, 0, 9), "-5535");
    EXPECT_EQ(Cell(2, 0, 1), "240");
    EXPECT_EQ(Cell(2, 0, 2), "-15");
    EXPECT_EQ(Cell(2, 0, 3), "-1");
    EXPECT_EQ(Cell(2, 1, 8), "-1");
    EXPECT_EQ(Cell(0, 0, 1), "00010000");
    EXPECT_EQ(Cell(33, 0, 1), "25");
    const auto lines = test::SplitLines(test::ReadFile(f.session.rulesPath));
    const std::string destroyed = lines[static_cast<std::size_t>(test::RecordLineNumber(33, 0) - 1)];
    EXPECT_EQ(destroyed, "\"25% or 50% Mana From Items\"" + std::string(24, ' ') + ",    25;");

    Poke(GameFile::Wizards, ValueOffset(33, 0, 1), {0x2B, 0xC2});
    ExtractCommand(f.session);
    EXPECT_EQ(Cell(33, 0, 1), "50");
    Poke(GameFile::Wizards, ValueOffset(33, 0, 1), {0xD0, 0xF8});  // 63696: shown plain
    ExtractCommand(f.session);
    EXPECT_EQ(Cell(33, 0, 1), "63696");
}

TEST_F(ExtractTest, MissingGameFileIsReportedAndItsCellsAreNotFound) {
    std::filesystem::remove(dir.File("WIZARDS.EXE"));
    ExtractCommand(f.session);
    ASSERT_EQ(f.errors.texts.size(), 1u);
    EXPECT_EQ(f.errors.texts[0], "Error opening " + dir.File("WIZARDS.EXE"));
    EXPECT_EQ(Cell(5, 0, 0), "Value Not Found");
    EXPECT_EQ(Cell(5, 0, 9), "Value Not Found");
    EXPECT_EQ(Cell(23, 0, 0), "Heal Amount");
    EXPECT_EQ(Cell(23, 0, 1), "Value Not Found");
    EXPECT_NE(Cell(2, 0, 8), "Value Not Found");
    EXPECT_EQ(test::SplitLines(test::ReadFile(f.session.rulesPath)).size(), 875u);
}

TEST_F(ExtractTest, BytesPastTheEndAreNotFound) {
    // The spells end inside record 100; its cost word is cut in half. The
    // item powers and the buildings lose their last records.
    Truncate(GameFile::SpellDat, static_cast<std::size_t>(ValueOffset(2, 100, 8) + 1));
    Truncate(GameFile::BuildDat, static_cast<std::size_t>(ValueOffset(1, 35, 0)));
    Truncate(GameFile::ItemPow, static_cast<std::size_t>(ValueOffset(0, 65, 0)));
    ExtractCommand(f.session);
    // One report for each cut file, in the order their values are read,
    // counting every cell (names included) that its end left unread: for the
    // spells the rest of row 100 and the 114 rows after it.
    ASSERT_EQ(f.errors.texts.size(), 3u);
    EXPECT_EQ(f.errors.texts[0], dir.File("ITEMPOW.LBX") + " ends before 10 of its values; they read Value Not Found.");
    EXPECT_EQ(f.errors.texts[1], dir.File("BUILDDAT.LBX") + " ends before 17 of its values; they read Value Not Found.");
    EXPECT_EQ(f.errors.texts[2], dir.File("SPELLDAT.LBX") + " ends before 1832 of its values; they read Value Not Found.");
    EXPECT_EQ(f.errors.problems[2].code, ProblemCode::FileEndsEarly);
    EXPECT_EQ(f.errors.problems[2].count, 1832);
    EXPECT_NE(Cell(2, 100, 7), "Value Not Found");
    EXPECT_EQ(Cell(2, 100, 8), "Value Not Found");
    EXPECT_EQ(Cell(2, 101, 0), "Value Not Found");
    EXPECT_EQ(Cell(2, 214, 15), "Value Not Found");
}

// Extraction only reads: game files marked read-only extract as any others.
TEST_F(ExtractTest, ReadOnlyGameFilesExtract) {
    for (int g = 0; g < kGameFileCount; ++g)
        std::filesystem::permissions(dir.File(GameFileName(static_cast<GameFile>(g))), std::filesystem::perms::owner_read);
    ExtractCommand(f.session);
    EXPECT_TRUE(f.errors.texts.empty());
    EXPECT_EQ(test::ReadFile(f.session.rulesPath).find("Value Not Found"), std::string::npos);
}

TEST_F(ExtractTest, GameFolderOrWorkingDirectoryAndFailingRulesFile) {
    f.session.gameFolder.clear();
    f.session.rulesPath.clear();
    const auto cwd = std::filesystem::current_path();
    std::filesystem::current_path(dir.path());
    ExtractCommand(f.session);
    std::filesystem::current_path(cwd);
    // Bare names in the working directory; an empty rules path is reported
    // but the grid is filled all the same.
    ASSERT_EQ(f.errors.texts.size(), 1u);
    EXPECT_EQ(f.errors.texts[0], "Error opening ");
    EXPECT_NE(Cell(0, 0, 0), "Not Set");
    EXPECT_NE(Cell(0, 0, 0), "Value Not Found");

    // Not one game file: the rules file and the grid keep what they hold.
    Fixture g;
    g.session.gameFolder = dir.File("nowhere");
    g.session.rulesPath = dir.File("r.txt");
    test::WriteFile(g.session.rulesPath, "good");
    g.session.grid.SetArrayValue(0, 0, 0, "Kept");
    EXPECT_FALSE(ExtractCommand(g.session));
    ASSERT_EQ(g.errors.texts.size(), 7u);
    EXPECT_EQ(g.errors.texts[0], "Error opening " + dir.File("nowhere/BUILDDAT.LBX"));
    EXPECT_EQ(g.errors.texts[5], "Error opening " + dir.File("nowhere/ITEMMAKE.EXE"));
    EXPECT_EQ(g.errors.texts[6], "No game file could be opened; " + dir.File("r.txt") + " was left unchanged.");
    EXPECT_EQ(test::ReadFile(g.session.rulesPath), "good");
    EXPECT_EQ(g.session.grid.GetArrayValue(0, 0, 0), "Kept");
    EXPECT_FALSE(g.session.IsLoaded());
}

// The status line counts the game files that were read, and says when the
// rules file could not be written.
TEST_F(ExtractTest, StatusLineCountsTheFilesRead) {
    EXPECT_EQ(RunCommandWithStatus(f.session, FileAction::Extract).status,
              "Extracted 12,450 values from 6 game files into rules.txt.");
    std::filesystem::remove(dir.File("WIZARDS.EXE"));
    const std::string status = RunCommandWithStatus(f.session, FileAction::Extract).status;
    EXPECT_EQ(status.substr(0, 10), "Extracted ");
    EXPECT_EQ(status.substr(status.find(" from ")), " from 5 game files into rules.txt. 1 problem was found.");
    std::filesystem::create_directory(dir.File("folder"));
    f.session.rulesPath = dir.File("folder");
    EXPECT_EQ(RunCommandWithStatus(f.session, FileAction::Extract).status,
              "Extraction found 2 problems; folder was not written.");
}

TEST_F(ExtractTest, ExistingRulesFileIsReplacedOnlyWhenComplete) {
    test::WriteFile(f.session.rulesPath, "old");
    std::filesystem::permissions(f.session.rulesPath, std::filesystem::perms::owner_read);
    ExtractCommand(f.session);
    ASSERT_EQ(f.errors.texts.size(), 1u);
    EXPECT_EQ(f.errors.texts[0], "Error opening " + PathText(f.session.rulesPath));
    EXPECT_EQ(test::ReadFile(f.session.rulesPath), "old");
    EXPECT_EQ(Cell(23, 0, 0), "Heal Amount");
}

}  // namespace
}  // namespace quorvane
