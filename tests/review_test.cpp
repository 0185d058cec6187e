// The review of the grid against the game files: refused cells found again
// from the write's line reports (also with several in one row, and after a
// text holding a line feed), exactly the cells a real write changes, and
// nothing reviewed before data is loaded.
#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <set>
#include <tuple>

#include "actions/actions.h"
#include "catalogue/catalogue.h"
#include "catalogue/layout.h"
#include "test_util.h"
#include "writeback/review.h"

namespace quorvane {
namespace {

using test::Fixture;
using test::TempDir;

constexpr int kSpells = 2;

class ReviewTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::MakeSampleGame(dir.File("game"));
        s.gameFolder = dir.File("game");
        s.rulesPath = dir.File("rules.txt");
        ASSERT_TRUE(ExtractCommand(s));
        ASSERT_TRUE(f.errors.texts.empty());
    }

    // The first two Byte columns of the spells written at one place only.
    static std::vector<int> ByteColumns() {
        std::vector<int> out;
        for (int step = 1; step < Columns(kSpells) && out.size() < 2; ++step)
            if (GetFieldKind(kSpells, 0, step) == FieldKind::Byte && !SecondCopyOf(kSpells, 0, step)) out.push_back(step);
        return out;
    }

    TempDir dir;
    Fixture f;
    Session& s = f.session;
};

TEST_F(ReviewTest, RefusedCellsAreFoundAgainFromTheWritesReports) {
    const std::vector<int> bytes = ByteColumns();
    ASSERT_EQ(bytes.size(), 2u);
    const std::string game0(s.grid.GetArrayValue(kSpells, 9, bytes[0]));
    s.grid.SetArrayValue(kSpells, 9, bytes[0], "300");
    s.grid.SetArrayValue(kSpells, 9, bytes[1], "999");
    // Below a value with a line feed, in a later section: still the right
    // row. A name is saved without its line feed.
    s.grid.SetArrayValue(kSpells, 1, 0, "Two\nLines");
    s.grid.SetArrayValue(kSpells, 4, 3, "3\n4");
    s.grid.SetArrayValue(20, 3, 1, "x");
    s.grid.SetArrayValue(20, 4, 1, "12a4");  // refused, not written as 12
    const std::size_t before = f.errors.texts.size();
    const Review review = ReviewGrid(s);
    EXPECT_EQ(f.errors.texts.size(), before);  // the reports stay in the review

    std::vector<const ReviewRow*> refused;
    for (const ReviewRow& row : review.rows)
        if (row.IsProblem() && row.step > 0) refused.push_back(&row);
    ASSERT_EQ(refused.size(), 4u);
    EXPECT_EQ(std::tie(refused[0]->i, refused[0]->j, refused[0]->step), std::make_tuple(kSpells, 9, bytes[0]));
    EXPECT_EQ(refused[0]->problem, "Value out of range.");
    EXPECT_EQ(refused[0]->gameText, game0);
    EXPECT_TRUE(refused[0]->gameReadable);
    EXPECT_EQ(refused[0]->newText, "300");
    EXPECT_EQ(std::tie(refused[1]->i, refused[1]->j, refused[1]->step), std::make_tuple(kSpells, 9, bytes[1]));
    EXPECT_EQ(refused[1]->newText, "999");
    EXPECT_EQ(std::tie(refused[2]->i, refused[2]->j, refused[2]->step), std::make_tuple(20, 3, 1));
    EXPECT_EQ(refused[2]->problem, "Decimal Number expected.");
    EXPECT_EQ(std::tie(refused[3]->i, refused[3]->j, refused[3]->step, refused[3]->problem),
              std::make_tuple(20, 4, 1, std::string("Decimal Number expected.")));
    EXPECT_EQ(review.problems + review.changes, static_cast<int>(review.rows.size()));
    // Nothing of a section whose lines no longer line up is counted as a change.
    for (const ReviewRow& row : review.rows)
        if (!row.IsProblem()) {
            EXPECT_NE(row.i, kSpells);
        }
}

// A problem only the write finds (a place past the end of a cut game file)
// names its record and column as well.
TEST_F(ReviewTest, WriteTimeProblemsNameTheirCell) {
    std::filesystem::resize_file(test::Native(dir.File("game/WIZARDS.EXE")), 0x959F4);  // MANA AND GOLD CAP is cut off
    const Review review = ReviewGrid(s);
    std::vector<const ReviewRow*> cut;
    for (const ReviewRow& row : review.rows)
        if (row.i == 25) cut.push_back(&row);
    ASSERT_EQ(cut.size(), 2u);
    for (int j = 0; j < 2; ++j) {
        const ReviewRow& row = *cut[static_cast<std::size_t>(j)];
        EXPECT_EQ(row.problem, "Place beyond end of game file.");
        EXPECT_EQ(std::tie(row.j, row.step), std::make_tuple(j, 1));
        EXPECT_EQ(row.recordName, j == 0 ? "Mana Max" : "Gold Max");
        EXPECT_EQ(row.newText, s.grid.GetArrayValue(25, j, 1));
        EXPECT_FALSE(row.gameReadable);
    }
}

// The review lists exactly the cells a real write of the same data changes,
// among them those whose only change is a further place that differs from
// its first place (the sample game has a few such second copies).
TEST_F(ReviewTest, ListsExactlyTheCellsARealWriteChanges) {
    s.grid.SetArrayValue(kSpells, 3, ByteColumns()[0], "77");
    s.grid.SetArrayValue(23, 0, 1, "12");
    const Review review = ReviewGrid(s);
    std::set<std::tuple<int, int, int>> listed;
    int furtherOnly = 0;
    for (const ReviewRow& row : review.rows) {
        EXPECT_FALSE(row.IsProblem()) << row.problem;
        listed.insert({row.i, row.j, row.step});
        if (row.furtherPlaceOnly) {
            ++furtherOnly;
            EXPECT_EQ(row.gameText, row.newText);
        }
    }
    EXPECT_GT(furtherOnly, 0);
    EXPECT_EQ(review.changes, static_cast<int>(review.rows.size()));

    std::array<std::vector<std::uint8_t>, kGameFileCount> before;
    for (int g = 0; g < kGameFileCount; ++g) before[static_cast<std::size_t>(g)] = test::GameBytes(s.gameFolder, static_cast<GameFile>(g));
    ASSERT_TRUE(SaveCommand(s));
    WriteCommand(s);
    ASSERT_TRUE(f.errors.texts.empty());
    std::array<std::vector<std::uint8_t>, kGameFileCount> after;
    for (int g = 0; g < kGameFileCount; ++g) after[static_cast<std::size_t>(g)] = test::GameBytes(s.gameFolder, static_cast<GameFile>(g));
    const auto changed = [&](GameFile g, int offset, FieldKind kind) {
        const auto k = static_cast<std::size_t>(g);
        for (int b = 0; b < FieldBytes(kind); ++b)
            if (before[k][static_cast<std::size_t>(offset + b)] != after[k][static_cast<std::size_t>(offset + b)]) return true;
        return false;
    };
    std::set<std::tuple<int, int, int>> written;
    for (int i = 0; i < kSectionCount; ++i)
        for (int j = 0; j < Rows(i); ++j)
            for (int step = 1; step < Columns(i); ++step) {
                const CellSpot& spot = SpotOf(CellIndex(i, j, step));
                if (changed(spot.file, spot.offset, spot.kind) || (spot.hasCopy && changed(spot.copy.file, spot.copy.offset, spot.kind)))
                    written.insert({i, j, step});
            }
    EXPECT_EQ(listed, written);
}

TEST_F(ReviewTest, NothingIsReviewedBeforeDataIsLoaded) {
    Fixture fresh;
    fresh.session.gameFolder = dir.File("game");
    const Review review = ReviewGrid(fresh.session);
    EXPECT_FALSE(review.loaded);
    EXPECT_TRUE(review.rows.empty());
    EXPECT_TRUE(fresh.errors.texts.empty());
}

}  // namespace
}  // namespace quorvane
