#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <vector>

#include "actions/actions.h"
#include "catalogue/catalogue.h"
#include "rules/format.h"
#include "rules/load.h"
#include "rules/save.h"
#include "test_util.h"

namespace quorvane {
namespace {

using test::Fixture;
using test::TempDir;

TEST(Format, FieldsArePaddedToTheirWidths) {
    std::string out;
    AppendNameField(out, "Heal Amount");
    EXPECT_EQ(out, "\"Heal Amount\"" + std::string(39, ' '));
    out.clear();
    AppendNameField(out, std::string(50, 'x'));
    EXPECT_EQ(out.size(), 52u);
    out.clear();
    AppendNameField(out, std::string(60, 'y'));
    EXPECT_EQ(out, "\"" + std::string(60, 'y') + "\"");
    out.clear();
    AppendValueField(out, "5", 4);
    EXPECT_EQ(out, "   5");
    out.clear();
    AppendValueField(out, "-128", 4);
    EXPECT_EQ(out, "-128");
    out.clear();
    AppendValueField(out, "Value Not Found", 6);
    EXPECT_EQ(out, "Value Not Found");
}

TEST(Grid, StartsNotSetAndKeepsCopies) {
    Fixture f;
    EXPECT_EQ(f.session.grid.GetArrayValue(42, 4, 1), "Not Set");
    EXPECT_EQ(f.session.grid.GetArrayValue(2, 214, 15), "Not Set");
    EXPECT_EQ(f.session.grid.GetArrayValue(23, 1, 1), "");  // outside the catalogue
    std::string buffer = "12";
    f.session.grid.SetArrayValue(23, 0, 1, buffer);
    buffer = "99";
    EXPECT_EQ(f.session.grid.GetArrayValue(23, 0, 1), "12");
}

TEST(Grid, RemembersTheValuesLastLoadedOrExtracted) {
    Fixture f;
    ValueGrid& grid = f.session.grid;
    grid.SetArrayValue(23, 0, 1, "12");
    EXPECT_FALSE(grid.ChangedSinceBaseline(23, 0, 1));  // nothing loaded yet
    grid.TakeBaseline();
    grid.SetArrayValue(23, 0, 1, "13");
    EXPECT_TRUE(grid.ChangedSinceBaseline(23, 0, 1));
    EXPECT_EQ(grid.BaselineValue(23, 0, 1), "12");
    EXPECT_FALSE(grid.ChangedSinceBaseline(23, 1, 1));  // outside the catalogue
    EXPECT_FALSE(grid.ChangedSinceBaseline(24, 0, 1));
    grid.SetArrayValue(23, 0, 1, "12");  // typed back
    EXPECT_FALSE(grid.ChangedSinceBaseline(23, 0, 1));
    EXPECT_EQ(grid.BaselineValue(24, 0, 1), "Not Set");  // unchanged: the cell itself

    // A load that cannot open its file keeps the old baseline; one that
    // reads takes a new one, and so does an extraction.
    TempDir dir;
    grid.SetArrayValue(23, 0, 1, "14");
    f.session.rulesPath = dir.File("missing.txt");
    EXPECT_FALSE(RunCommandWithStatus(f.session, FileAction::Load).gridReplaced);
    EXPECT_TRUE(grid.ChangedSinceBaseline(23, 0, 1));
    f.session.rulesPath = dir.File("rules.txt");
    ASSERT_TRUE(RunCommandWithStatus(f.session, FileAction::Save).saved);
    EXPECT_TRUE(grid.ChangedSinceBaseline(23, 0, 1));  // saving is not loading
    EXPECT_TRUE(RunCommandWithStatus(f.session, FileAction::Load).gridReplaced);
    EXPECT_FALSE(grid.ChangedSinceBaseline(23, 0, 1));
    test::MakeSampleGame(dir.File("game"));
    f.session.gameFolder = dir.File("game");
    ASSERT_TRUE(RunCommandWithStatus(f.session, FileAction::Extract).gridReplaced);
    const std::string extracted(grid.GetArrayValue(23, 0, 1));
    grid.SetArrayValue(23, 0, 1, extracted == "14" ? "15" : "14");
    EXPECT_TRUE(grid.ChangedSinceBaseline(23, 0, 1));
    EXPECT_EQ(grid.BaselineValue(23, 0, 1), extracted);
    EXPECT_EQ(GroupedNumber(12450), "12,450");
    EXPECT_EQ(GroupedNumber(999), "999");
    EXPECT_EQ(GroupedNumber(1000000), "1,000,000");
}

// Cell texts are views into storage the grid owns: a text read from the grid
// stays as it was while other cells change, copying a cell into another (the
// source viewing the grid's own storage) works across a full block, and a
// Replace takes over a whole buffer at once.
TEST(Grid, TextsStayValidWhileCellsChange) {
    ValueGrid grid;
    grid.SetArrayValue(2, 0, 0, "Fireball");
    const std::string_view kept = grid.GetArrayValue(2, 0, 0);
    const std::string longText(40000, 'z');  // longer than a storage block
    for (int k = 0; k < 3000; ++k) grid.SetArrayValue(2, k % 215, 1, std::to_string(k) + "abcdefgh");
    grid.SetArrayValue(2, 1, 0, longText);
    for (int k = 1; k <= 50; ++k) grid.SetArrayValue(2, 2, 0, grid.GetArrayValue(2, k % 2, 0));  // copies of copies
    EXPECT_EQ(kept, "Fireball");
    EXPECT_EQ(grid.GetArrayValue(2, 2, 0), "Fireball");
    EXPECT_EQ(grid.GetArrayValue(2, 1, 0), longText);
    EXPECT_EQ(grid.GetArrayValue(2, 2999 % 215, 1), "2999abcdefgh");
    grid.SetArrayValue(2, 3, 0, "");
    EXPECT_EQ(grid.GetArrayValue(2, 3, 0), "");

    grid.TakeBaseline();
    auto buffer = std::make_unique<std::string>("ab");
    std::vector<std::string_view> cells(static_cast<std::size_t>(kInUseCells), kValueNotFound);
    cells[1] = std::string_view(*buffer).substr(1);
    grid.Replace(std::move(buffer), std::move(cells));
    EXPECT_EQ(grid.GetArrayValue(0, 0, 1), "b");  // cell 1 in file order
    EXPECT_EQ(grid.GetArrayValue(2, 1, 0), kValueNotFound);
    EXPECT_FALSE(grid.ChangedSinceBaseline(0, 0, 1));  // a replacement drops the baseline
    grid.TakeBaseline();
    grid.SetArrayValue(0, 0, 1, "c");
    EXPECT_TRUE(grid.ChangedSinceBaseline(0, 0, 1));
    EXPECT_FALSE(grid.ChangedSinceBaseline(0, 0, 2));
}

class RulesFileTest : public ::testing::Test {
protected:
    void SetUp() override { f.session.rulesPath = dir.File("rules.txt"); }

    // A canonical file made from a grid of valid values.
    std::vector<std::string> CanonicalLines() {
        Fixture source;
        test::FillValidGrid(source.session);
        return test::SplitLines(FormatGrid(source.session, false));
    }
    void Load(const std::vector<std::string>& lines) {
        test::WriteFile(f.session.rulesPath, test::JoinLines(lines));
        f.errors.Clear();
        LoadDataFileToArray(f.session);
    }
    std::string Cell(int i, int j, int s) { return std::string(f.session.grid.GetArrayValue(i, j, s)); }

    TempDir dir;
    Fixture f;
};

TEST_F(RulesFileTest, SaveWritesTheCanonicalFile) {
    test::FillValidGrid(f.session);
    f.session.grid.SetArrayValue(23, 0, 1, "5");
    f.session.grid.SetArrayValue(23, 0, 0, "Heal Amount");
    ASSERT_TRUE(SaveCommand(f.session));
    EXPECT_TRUE(f.errors.texts.empty());
    const std::string content = test::ReadFile(f.session.rulesPath);
    const auto lines = test::SplitLines(content);
    ASSERT_EQ(lines.size(), 876u);
    EXPECT_EQ(lines[0], "\"%version=0.2500000\"");
    EXPECT_EQ(lines[1], "");
    EXPECT_EQ(lines[2], "[ITEM POWERS]");
    EXPECT_EQ(lines.back(), "");
    EXPECT_EQ(lines[lines.size() - 2], "[END]");
    EXPECT_EQ(content.substr(content.size() - 9), "[END]\r\n\r\n");
    const int heal = test::RecordLineNumber(23, 0) - 1;
    EXPECT_EQ(lines[static_cast<std::size_t>(heal - 1)], "[HEALING SPELLS]");
    EXPECT_EQ(lines[static_cast<std::size_t>(heal)], "\"Heal Amount\"" + std::string(39, ' ') + ",   5;");
    // A spell row: 52 + 13 x 5 + 2 x 7 + 1 characters.
    EXPECT_EQ(lines[static_cast<std::size_t>(test::RecordLineNumber(2, 0) - 1)].size(), 132u);
    EXPECT_EQ(f.progress.begins, 1);
    EXPECT_EQ(f.progress.steps, 43);
    EXPECT_EQ(f.progress.hi, 43);
    EXPECT_EQ(f.progress.position, 0);
}

TEST_F(RulesFileTest, SaveBeforeAnyLoadWritesNotSetEverywhere) {
    ASSERT_TRUE(SaveCommand(f.session));
    const auto lines = test::SplitLines(test::ReadFile(f.session.rulesPath));
    EXPECT_EQ(lines[3].substr(0, 9), "\"Not Set\"");
    EXPECT_NE(lines[3].find(",Not Set,Not Set,"), std::string::npos);
}

TEST_F(RulesFileTest, LoadThenSaveReproducesTheFile) {
    const std::string original = test::JoinLines(CanonicalLines());
    test::WriteFile(f.session.rulesPath, original);
    LoadCommand(f.session);
    EXPECT_TRUE(f.errors.texts.empty()) << f.errors.texts.front();
    EXPECT_EQ(f.session.dataLoaded, 1);
    EXPECT_EQ(Cell(0, 0, 0), "Row 0 0");
    EXPECT_EQ(Cell(0, 0, 1), "00000101");
    f.session.rulesPath = dir.File("again.txt");
    ASSERT_TRUE(SaveCommand(f.session));
    EXPECT_EQ(test::ReadFile(f.session.rulesPath), original);
}

TEST_F(RulesFileTest, SaveFailuresLeaveTheOldFileAlone) {
    // An empty path, a folder, a read-only file, a file in a missing folder.
    const std::string readOnly = dir.File("ro.txt");
    test::WriteFile(readOnly, "keep me");
    std::filesystem::permissions(readOnly, std::filesystem::perms::owner_read);
    // Each report names the system's reason; a missing folder's is in the
    // system's own words, which differ between systems.
#ifdef _WIN32
    const std::string missingFolder;
#else
    const std::string missingFolder = "No such file or directory";
#endif
    const std::pair<std::string, std::string> cases[] = {{std::string(), "no file name was given"},
                                                         {dir.path(), "Is a directory"},
                                                         {readOnly, "Permission denied"},
                                                         {dir.File("missing/rules.txt"), missingFolder}};
    for (const auto& [path, reason] : cases) {
        Fixture g;
        g.session.rulesPath = path;
        EXPECT_FALSE(RunCommandWithStatus(g.session, FileAction::Save).saved);
        ASSERT_EQ(g.errors.texts.size(), 1u) << path;
        const std::string& text = g.errors.texts[0];
        const std::string start = "Save to " + path + " failed: ";
        if (!reason.empty()) {
            EXPECT_EQ(text, start + reason + ".");
        } else {
            EXPECT_EQ(text.substr(0, start.size()), start);
            EXPECT_TRUE(text.size() > start.size() + 1 && text.back() == '.') << text;
        }
        EXPECT_EQ(g.progress.position, 0);
    }
    EXPECT_EQ(test::ReadFile(readOnly), "keep me");
    // No temporary file is left behind.
    int files = 0;
    for (auto& e : std::filesystem::directory_iterator(dir.path())) files += e.is_regular_file() ? 1 : 0;
    EXPECT_EQ(files, 1);
}

// A save replaces the file whole: its permission bits stay, and temporary
// files that killed saves left beside it are cleared away.
TEST_F(RulesFileTest, SaveKeepsPermissionsAndClearsLeftovers) {
    namespace fs = std::filesystem;
    test::WriteFile(f.session.rulesPath, "old");
    fs::permissions(f.session.rulesPath, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    // As the system keeps them (Windows keeps only whether the file is read-only).
    const fs::perms before = fs::status(f.session.rulesPath).permissions() & fs::perms::mask;
    const std::string leftover = dir.File(".rules.txt.123456.qvtmp");
    const std::string other = dir.File(".other.txt.123456.qvtmp");
    test::WriteFile(leftover, "half");
    test::WriteFile(other, "someone else's");
    ASSERT_TRUE(SaveCommand(f.session));
    EXPECT_EQ(fs::status(f.session.rulesPath).permissions() & fs::perms::mask, before);
    EXPECT_FALSE(fs::exists(leftover));
    EXPECT_TRUE(fs::exists(other));
    EXPECT_NE(test::ReadFile(f.session.rulesPath), "old");
}

// The scan window after a comma: a one-byte value may start at most six
// characters after it (five blanks), a word eight, a flag byte eleven.
TEST_F(RulesFileTest, ScanWindowEdges) {
    const auto lines = CanonicalLines();
    const std::size_t heal = static_cast<std::size_t>(test::RecordLineNumber(23, 0) - 1);
    const std::size_t cost = static_cast<std::size_t>(test::RecordLineNumber(31, 0) - 1);
    const std::size_t power = static_cast<std::size_t>(test::RecordLineNumber(0, 0) - 1);
    struct Case {
        std::size_t line;
        std::string text;
        std::string cell;  // "" when the value is out of the window
    };
    const std::string powerTail = lines[power].substr(lines[power].find(',', lines[power].find(',') + 1));
    for (const Case& c : {Case{heal, "\"Heal Amount\",     5;", "5"}, Case{heal, "\"Heal Amount\",      5;", ""},
                          Case{cost, "\"Dagger\",       7;", "7"}, Case{cost, "\"Dagger\",        7;", ""},
                          Case{power, "\"Sword\",          00000001" + powerTail, "00000001"},
                          Case{power, "\"Sword\",           00000001" + powerTail, ""}}) {
        auto edited = lines;
        edited[c.line] = c.text;
        Load(edited);
        const int i = c.line == heal ? 23 : c.line == cost ? 31 : 0;
        EXPECT_EQ(Cell(i, 0, 1), c.cell.empty() ? "Value Not Found" : c.cell) << c.text;
        EXPECT_EQ(f.errors.texts.empty(), !c.cell.empty()) << c.text;
    }
}

// With the debug log closed a row whose values are all in their exact form
// is read in one pass; with it open every cell is read alone. On rules files
// with random faults both must load the same texts and report the same.
TEST_F(RulesFileTest, RowsReadAtOnceLoadWhatTheCellByCellReadLoads) {
    std::uint32_t seed = 77;
    const auto next = [&seed] { return seed = seed * 1664525u + 1013904223u; };
    const auto canonical = CanonicalLines();
    int faulty = 0;
    for (int round = 0; round < 30; ++round) {
        Load(test::Mutated(canonical, next));
        const std::vector<std::string> quick = f.errors.texts;
        std::vector<std::string> quickCells;
        for (int i = 0; i < kSectionCount; ++i)
            for (int j = 0; j < Rows(i); ++j)
                for (int s = 0; s < Columns(i); ++s) quickCells.push_back(Cell(i, j, s));
        ASSERT_TRUE(f.session.log.Open(dir.File("trace.txt")));
        f.errors.texts.clear();
        LoadDataFileToArray(f.session);  // closes the log
        EXPECT_EQ(f.errors.texts, quick) << round;
        std::size_t k = 0;
        for (int i = 0; i < kSectionCount; ++i)
            for (int j = 0; j < Rows(i); ++j)
                for (int s = 0; s < Columns(i); ++s) ASSERT_EQ(Cell(i, j, s), quickCells[k++]) << round << ' ' << i << ' ' << j << ' ' << s;
        faulty += !quick.empty();
    }
    EXPECT_GT(faulty, 10);
}

TEST_F(RulesFileTest, MissingFileIsReportedOnceAndStillCountsAsLoaded) {
    f.session.rulesPath = dir.File("nothing.txt");
    LoadCommand(f.session);
    ASSERT_EQ(f.errors.texts.size(), 1u);
    EXPECT_EQ(f.errors.texts[0], "Load of " + dir.File("nothing.txt") + " Failed.");
    EXPECT_EQ(f.errors.problems[0].code, ProblemCode::LoadFailed);
    EXPECT_TRUE(f.session.IsLoaded());
    EXPECT_EQ(Cell(0, 0, 0), "Not Set");
}

TEST_F(RulesFileTest, EmptyFileReportsEveryValueCell) {
    Load({});
    EXPECT_EQ(f.errors.texts.size(), 11705u);
    EXPECT_EQ(f.errors.texts.front(), "Line Number : 0. 1st Comma Not Found.");
    EXPECT_EQ(Cell(2, 100, 0), "Value Not Found");
    EXPECT_EQ(Cell(2, 100, 3), "Value Not Found");
}

TEST_F(RulesFileTest, ValueFormsAndWindows) {
    auto lines = CanonicalLines();
    const std::size_t row = static_cast<std::size_t>(test::RecordLineNumber(0, 0) - 1);  // line 4
    // Item powers: flags, flags, word, word, word, then four flags. A value
    // not in its kind's form is reported, and keeps its text when that starts
    // as a value does; its neighbours are read from their own fields.
    lines[row] = "\"Sword\",  x00000001,  -12,  12ab, -5,     7,00000001 ,00000010,00000100,00001000;";
    Load(lines);
    EXPECT_EQ(Cell(0, 0, 0), "Sword");
    EXPECT_EQ(Cell(0, 0, 1), "Value Not Found");
    EXPECT_EQ(Cell(0, 0, 2), "-12");
    EXPECT_EQ(Cell(0, 0, 3), "12ab");
    EXPECT_EQ(Cell(0, 0, 4), "-5");
    EXPECT_EQ(Cell(0, 0, 5), "7");
    EXPECT_EQ(Cell(0, 0, 6), "00000001");  // blanks around a value are dropped
    EXPECT_EQ(Cell(0, 0, 9), "00001000");
    EXPECT_EQ(f.errors.texts, (std::vector<std::string>{"Line Number : 4. Binary string expected.",
                                                        "Line Number : 4. Binary string expected.",
                                                        "Line Number : 4. Number Value Empty."}));
    // Each report names its value.
    EXPECT_EQ(test::PlacesOf(f.errors),
              (std::vector<test::ProblemPlace>{{4, 0, 0, 1}, {4, 0, 0, 2}, {4, 0, 0, 3}}));
}

TEST_F(RulesFileTest, FaultsAreReportedByLine) {
    auto lines = CanonicalLines();
    const std::size_t heal = static_cast<std::size_t>(test::RecordLineNumber(23, 0) - 1);
    // Seven spaces push the digit out of the window of a one-byte value.
    lines[heal] = "\"Heal Amount\",       5;";
    Load(lines);
    ASSERT_EQ(f.errors.texts.size(), 1u);
    EXPECT_EQ(f.errors.texts[0], "Line Number : " + std::to_string(heal + 1) + ". Number Value Empty.");
    EXPECT_EQ(Cell(23, 0, 1), "Value Not Found");
    EXPECT_EQ(Cell(23, 0, 0), "Heal Amount");

    // A last value without its semicolon: one report per digit, then empty.
    lines = CanonicalLines();
    lines[heal] = "\"Heal Amount\",  12";
    Load(lines);
    ASSERT_EQ(f.errors.texts.size(), 3u);
    EXPECT_EQ(f.errors.texts[0], "Line Number : " + std::to_string(heal + 1) + ". SemiColon Not Found.");
    EXPECT_EQ(f.errors.texts[2], "Line Number : " + std::to_string(heal + 1) + ". Number Value Empty.");

    // A name without quotes fails silently.
    lines = CanonicalLines();
    lines[heal] = "Heal Amount,   5;";
    Load(lines);
    EXPECT_TRUE(f.errors.texts.empty());
    EXPECT_EQ(Cell(23, 0, 0), "Value Not Found");
    EXPECT_EQ(Cell(23, 0, 1), "5");
}

TEST_F(RulesFileTest, RowWithOneValueTooFewReadsNoValue) {
    auto lines = CanonicalLines();
    const std::size_t unit = static_cast<std::size_t>(test::RecordLineNumber(4, 0) - 1);
    std::string row = lines[unit];
    const std::size_t lastComma = row.rfind(',');
    row = row.substr(0, lastComma) + ";";  // 31 values, column 31 now ends the line
    lines[unit] = row;
    Load(lines);
    // Every value would sit one column off: the line is reported once, and
    // none of its values is read.
    ASSERT_EQ(f.errors.texts.size(), 1u);
    EXPECT_EQ(f.errors.texts[0], "Line Number : " + std::to_string(unit + 1) +
                                     ". The line holds 31 values, 32 expected: none of them was read.");
    EXPECT_EQ(test::PlacesOf(f.errors), (std::vector<test::ProblemPlace>{{static_cast<int>(unit) + 1, 4, 0, -1}}));
    EXPECT_EQ(Cell(4, 0, 0), "Row 4 0");
    EXPECT_EQ(Cell(4, 0, 1), "Value Not Found");
    EXPECT_EQ(Cell(4, 0, 32), "Value Not Found");
    EXPECT_EQ(Cell(4, 1, 32), "37");  // the next row reads as usual
}

TEST_F(RulesFileTest, MissingAndExtraRowsAndLooseLayout) {
    auto lines = CanonicalLines();
    // One record line too few in HEALING SPELLS' neighbour BOOK AND RETORT MAX:
    // its [END] becomes its last row.
    const std::size_t book = static_cast<std::size_t>(test::RecordLineNumber(24, 2) - 1);
    lines.erase(lines.begin() + static_cast<long>(book));
    // One line too many in MANA AND GOLD CAP (after the erase, indices shift by one).
    const std::size_t gold = static_cast<std::size_t>(test::RecordLineNumber(25, 1) - 1) - 1;
    lines.insert(lines.begin() + static_cast<long>(gold + 1), "\"Extra\",  99;");
    // The version line is gone and a directive has lost its brackets.
    lines[0] = "";
    const std::size_t picks = static_cast<std::size_t>(test::RecordLineNumber(26, 0) - 1);
    lines[picks - 1] = "WIZARDS PICK POINTS and a note";
    Load(lines);
    ASSERT_EQ(f.errors.texts.size(), 1u);
    EXPECT_EQ(f.errors.texts[0], "Line Number : " + std::to_string(book + 1) + ". 1st Comma Not Found.");
    EXPECT_EQ(Cell(24, 2, 0), "Value Not Found");
    EXPECT_EQ(Cell(24, 2, 1), "Value Not Found");
    EXPECT_EQ(Cell(25, 1, 0), "Row 25 1");
    EXPECT_EQ(Cell(26, 0, 0), "Row 26 0");
    EXPECT_EQ(Cell(42, 4, 0), "Row 42 4");
}

TEST_F(RulesFileTest, MissingSectionIsReadFromAMatchingLaterDirective) {
    auto lines = CanonicalLines();
    // Remove the whole SPELLS section: its rows are then read after
    // [HEALING SPELLS], and every later section runs off the file's end.
    const std::size_t first = static_cast<std::size_t>(test::RecordLineNumber(2, 0) - 2);
    lines.erase(lines.begin() + static_cast<long>(first), lines.begin() + static_cast<long>(first + 215 + 3));
    Load(lines);
    EXPECT_EQ(Cell(2, 0, 0), "Row 23 0");
    EXPECT_EQ(Cell(3, 0, 0), "Value Not Found");
    EXPECT_FALSE(f.errors.texts.empty());
    EXPECT_EQ(f.errors.texts.back().substr(0, 14), "Line Number : ");
}

TEST_F(RulesFileTest, LoadClosesTheDebugLog) {
    const std::string logPath = dir.File("debug.txt");
    ASSERT_TRUE(f.session.log.Open(logPath));
    Load(CanonicalLines());
    EXPECT_FALSE(f.session.log.IsOpen());
    const auto size = test::ReadFile(logPath).size();
    EXPECT_GT(size, 0u);
    EXPECT_NE(test::ReadFile(logPath).find("LoadDataFileToArray_i"), std::string::npos);
    SaveCommand(f.session);
    EXPECT_EQ(test::ReadFile(logPath).size(), size);
}

}  // namespace
}  // namespace quorvane
