// The review of the grid against the game files: refused cells found again
// from the write's line reports (also with several in one row, and after a
// text holding a line feed), and nothing reviewed before data is loaded.
#include <gtest/gtest.h>

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
    // Below a text with a line feed, in a later section: still the right row.
    s.grid.SetArrayValue(kSpells, 1, 0, "Two\nLines");
    s.grid.SetArrayValue(20, 3, 1, "x");
    const std::size_t before = f.errors.texts.size();
    const Review review = ReviewGrid(s);
    EXPECT_EQ(f.errors.texts.size(), before);  // the reports stay in the review

    std::vector<const ReviewRow*> refused;
    for (const ReviewRow& row : review.rows)
        if (row.IsProblem() && row.step > 0) refused.push_back(&row);
    ASSERT_EQ(refused.size(), 3u);
    EXPECT_EQ(std::tie(refused[0]->i, refused[0]->j, refused[0]->step), std::make_tuple(kSpells, 9, bytes[0]));
    EXPECT_EQ(refused[0]->problem, "Value out of range.");
    EXPECT_EQ(refused[0]->gameText, game0);
    EXPECT_TRUE(refused[0]->gameReadable);
    EXPECT_EQ(refused[0]->newText, "300");
    EXPECT_EQ(std::tie(refused[1]->i, refused[1]->j, refused[1]->step), std::make_tuple(kSpells, 9, bytes[1]));
    EXPECT_EQ(refused[1]->newText, "999");
    EXPECT_EQ(std::tie(refused[2]->i, refused[2]->j, refused[2]->step), std::make_tuple(20, 3, 1));
    EXPECT_EQ(refused[2]->problem, "Decimal Number expected.");
    EXPECT_EQ(review.problems + review.changes, static_cast<int>(review.rows.size()));
    // Nothing of a section whose lines no longer line up is counted as a change.
    for (const ReviewRow& row : review.rows)
        if (!row.IsProblem()) {
            EXPECT_NE(row.i, kSpells);
        }
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
