// The dry run against the real write: on copies of one folder, the same
// reports in the same order, and exactly the bytes and cells the write
// changes; and the dry run itself writes nothing.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "actions/actions.h"
#include "catalogue/catalogue.h"
#include "catalogue/layout.h"
#include "io/file_io.h"
#include "test_util.h"
#include "writeback/dry_run.h"
#include "writeback/pipeline.h"

namespace quorvane {
namespace {

namespace fs = std::filesystem;
using test::Fixture;
using test::TempDir;

std::vector<std::string> FolderFiles(const std::string& dir) {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(dir)) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

class DryRunTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::MakeSampleGame(dir.File("a"));
        Fixture f;
        f.session.gameFolder = dir.File("a");
        f.session.rulesPath = dir.File("rules.txt");
        ExtractCommand(f.session);
        lines = test::SplitLines(test::ReadFile(dir.File("rules.txt")));
    }

    void SetValue(int i, int j, int column, const std::string& text) {
        std::string& row = lines[static_cast<std::size_t>(test::RecordLineNumber(i, j) - 1)];
        std::size_t start = 0;
        for (int k = 0; k < column; ++k) start = row.find(',', start) + 1;
        std::size_t end = row.find(column + 1 == Columns(i) ? ';' : ',', start);
        row.replace(start, end - start, text);
    }

    // Runs the dry run on folder a and the real write on a copy b; both must
    // agree on reports, bytes and cells.
    void ExpectAgreement(const std::function<void(const std::string&)>& prepare = {}) {
        fs::remove_all(dir.File("b"));
        fs::copy(dir.File("a"), dir.File("b"));
        if (prepare) {
            prepare(dir.File("a"));
            prepare(dir.File("b"));
        }
        test::WriteFile(dir.File("rules.txt"), test::JoinLines(lines));
        const auto aFiles = FolderFiles(dir.File("a"));
        std::vector<std::string> aBytes;
        for (int g = 0; g < kGameFileCount; ++g)
            aBytes.push_back(test::ReadFile(GamePath(dir.File("a"), GameFileName(static_cast<GameFile>(g)))));

        Fixture dry;
        dry.session.gameFolder = dir.File("a");
        dry.session.rulesPath = dir.File("rules.txt");
        const DryRunResult result = DryRunWrite(dry.session);
        ASSERT_TRUE(result.ran);

        Fixture real;
        real.session.gameFolder = dir.File("b");
        real.session.rulesPath = dir.File("rules.txt");
        WriteRulesToGameFiles(real.session);

        // The same reports, but for the folder's name in "Error opening".
        ASSERT_EQ(dry.errors.texts.size(), real.errors.texts.size());
        for (std::size_t k = 0; k < dry.errors.texts.size(); ++k) {
            std::string d = dry.errors.texts[k];
            const std::size_t at = d.find(dir.File("a"));
            if (at != std::string::npos) d.replace(at, dir.File("a").size(), dir.File("b"));
            EXPECT_EQ(d, real.errors.texts[k]);
        }
        // Folder a is untouched: no byte, no backup, no lock file.
        EXPECT_EQ(FolderFiles(dir.File("a")), aFiles);
        for (int g = 0; g < kGameFileCount; ++g)
            EXPECT_EQ(test::ReadFile(GamePath(dir.File("a"), GameFileName(static_cast<GameFile>(g)))), aBytes[static_cast<std::size_t>(g)]);
        // Every changed byte, and only those, in file order then by offset.
        std::size_t next = 0;
        for (int g = 0; g < kGameFileCount; ++g) {
            const std::string before = aBytes[static_cast<std::size_t>(g)];
            const std::string after = test::ReadFile(GamePath(dir.File("b"), GameFileName(static_cast<GameFile>(g))));
            ASSERT_EQ(before.size(), after.size());
            for (std::size_t k = 0; k < after.size(); ++k) {
                if (before[k] == after[k]) continue;
                ASSERT_LT(next, result.bytes.size());
                const ByteChange& b = result.bytes[next++];
                EXPECT_EQ(static_cast<int>(b.file), g);
                EXPECT_EQ(b.offset, k);
                EXPECT_EQ(b.before, static_cast<std::uint8_t>(before[k]));
                EXPECT_EQ(b.after, static_cast<std::uint8_t>(after[k]));
            }
        }
        EXPECT_EQ(next, result.bytes.size());
        // Cells: exactly those whose extracted text differs afterwards.
        Fixture x, y;
        x.session.gameFolder = dir.File("a");
        x.session.rulesPath = dir.File("xa.txt");
        y.session.gameFolder = dir.File("b");
        y.session.rulesPath = dir.File("xb.txt");
        ExtractCommand(x.session);
        ExtractCommand(y.session);
        std::size_t cell = 0;
        for (int i = 0; i < kSectionCount; ++i)
            for (int j = 0; j < Rows(i); ++j)
                for (int s = 1; s < Columns(i); ++s) {
                    const std::string_view was = x.session.grid.GetArrayValue(i, j, s);
                    const std::string_view is = y.session.grid.GetArrayValue(i, j, s);
                    if (was == is) continue;
                    ASSERT_LT(cell, result.cells.size());
                    const CellChange& c = result.cells[cell++];
                    EXPECT_EQ(std::tie(c.i, c.j, c.step), std::tie(i, j, s));
                    EXPECT_EQ(c.gameText, was);
                    EXPECT_EQ(c.newText, is);
                    EXPECT_EQ(c.recordName, x.session.grid.GetArrayValue(i, j, 0));
                }
        EXPECT_EQ(cell, result.cells.size());
        fs::remove(dir.File("xa.txt"));
        fs::remove(dir.File("xb.txt"));
        fs::remove(dir.File("a/" + std::string(FolderLock::kLockFileName)));
    }

    TempDir dir;
    std::vector<std::string> lines;
};

TEST_F(DryRunTest, AgreesWithTheWrite) {
    // The clean round trip: only the sample's unequal second copies change.
    ExpectAgreement();
    // One change of each kind, a code word, the tower count and a copied cell.
    SetValue(0, 0, 1, "11110000");     // flags
    SetValue(0, 0, 3, "  1234");       // word
    SetValue(23, 0, 1, "  -3");        // byte, negative form
    SetValue(33, 0, 1, "    25");      // code word
    SetValue(36, 11, 1, "  12");       // towers and their copy
    SetValue(31, 4, 1, "   777");      // second copy in WIZARDS.EXE
    ExpectAgreement();
    // Refused values, a garbled section and a cut game file.
    SetValue(23, 0, 1, " 300");
    SetValue(0, 1, 2, "0000000x");
    SetValue(33, 0, 1, "    40");
    lines.erase(lines.begin() + test::RecordLineNumber(2, 10) - 1);
    ExpectAgreement([](const std::string& g) { fs::resize_file(g + "/MAGIC.EXE", 0x36D73); });
}

TEST_F(DryRunTest, ReadsTheEditorsTextAndRefusesABusyFolder) {
    Fixture f;
    f.session.gameFolder = dir.File("a");
    f.session.rulesPath = dir.File("no such file");
    SetValue(23, 0, 1, "  42");
    const std::string text = test::JoinLines(lines);
    DryRunResult r = DryRunWrite(f.session, &text);
    EXPECT_TRUE(f.errors.texts.empty());
    ASSERT_FALSE(r.cells.empty());
    EXPECT_EQ(r.cells.back().newText, "42");
    EXPECT_EQ(r.cells.back().recordName, "Heal Amount");

    FolderLock held;
    ASSERT_TRUE(held.TryAcquire(dir.File("a")));
    r = DryRunWrite(f.session, &text);
    EXPECT_FALSE(r.ran);
    ASSERT_EQ(f.errors.texts.size(), 1u);
    EXPECT_EQ(f.errors.texts[0], "Another run is using the game folder " + dir.File("a") + "; nothing was done.");
}

}  // namespace
}  // namespace quorvane
