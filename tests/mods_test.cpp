#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <filesystem>
#include <string>
#include <tuple>
#include <vector>

#include "actions/actions.h"
#include "catalogue/catalogue.h"
#include "io/file_io.h"
#include "mods/apply.h"
#include "mods/mod_file.h"
#include "mods/original_game.h"
#include "writeback/review.h"
#include "test_util.h"

namespace quorvane {
namespace {

using test::Cli;
using test::CliRun;
using test::TempDir;
namespace fs = std::filesystem;

struct Cell {
    int i, j, step;
    const char* text;
};

// Edits a modder makes: a word, a flag byte, a negative byte, and constants
// with further places (the tower count, a base item cost, the destroyed-items
// code word).
constexpr std::array<Cell, 6> kEdits = {{
    {2, 1, 9, "5000"},
    {3, 0, 22, "10100101"},
    {5, 1, 1, "-3"},
    {36, 11, 1, "4"},
    {31, 3, 1, "123"},
    {33, 0, 1, "50"},
}};

// A sample game extracted to r.txt, edited, saved and written into the game
// files (which makes their .bak backups).
class ModdedGame : public ::testing::Test {
protected:
    void SetUp() override {
        test::MakeSampleGame(g);
        ASSERT_EQ(Cli(g, "extract --rules r.txt", dir).status, 0);
        test::Fixture f;
        f.session.rulesPath = g + "/r.txt";
        ASSERT_TRUE(LoadCommand(f.session));
        for (const Cell& c : kEdits) {
            ASSERT_NE(f.session.grid.GetArrayValue(c.i, c.j, c.step), c.text) << c.i;
            f.session.grid.SetArrayValue(c.i, c.j, c.step, c.text);
        }
        ASSERT_TRUE(SaveCommand(f.session));
        ASSERT_EQ(Cli(g, "write --rules r.txt", dir).status, 0);
    }
    // A fresh sample game with the same seed: the original files.
    std::string FreshGame(const std::string& name) {
        const std::string h = dir.File(name);
        test::MakeSampleGame(h);
        return h;
    }
    void ExpectSameGameFiles(const std::string& a, const std::string& b) {
        for (GameFile f : GameFileOpenOrder())
            EXPECT_EQ(test::GameBytes(a, f), test::GameBytes(b, f)) << GameFileName(f);
    }

    TempDir dir;
    const std::string g = dir.File("g");
};

TEST_F(ModdedGame, AnExportedModRebuildsTheModdedGameFromAFreshCopy) {
    CliRun r = Cli(g, "mod export --rules r.txt --out my.qmod --name Mine", dir);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "6 changes written to my.qmod.\n");
    const std::string mod = test::ReadFile(g + "/my.qmod");
    // No time stamp or anything else that changes between runs.
    ASSERT_EQ(Cli(g, "mod export --rules r.txt --out my.qmod --name Mine", dir).status, 0);
    EXPECT_EQ(test::ReadFile(g + "/my.qmod"), mod);
    EXPECT_NE(mod.find("\"Spells\" [SPELLS] row 1 \"Ashemoth\" column 9 \"Research\" from \"21975\" to \"5000\"\r\n"),
              std::string::npos)
        << mod;

    const std::string h = FreshGame("h");
    test::WriteFile(h + "/my.qmod", mod);
    ASSERT_EQ(Cli(h, "extract --rules r.txt", dir).status, 0);
    r = Cli(h, "mod apply --rules r.txt my.qmod", dir);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "my.qmod: 6 applied, 0 already there, 0 conflicts, 0 overridden by later mods.\n");
    ASSERT_EQ(Cli(h, "write --rules r.txt", dir).status, 0);
    ExpectSameGameFiles(h, g);
}

TEST_F(ModdedGame, RestorePutsBackTheOriginalFilesAndKeepsTheBackups) {
    const std::string original = FreshGame("original");
    std::array<std::vector<std::uint8_t>, kGameFileCount> written;
    for (GameFile f : GameFileOpenOrder()) written[static_cast<std::size_t>(f)] = test::GameBytes(g, f);
    fs::remove(g + "/ITEMMAKE.EXE.bak");
    fs::remove(g + "/BUILDDAT.LBX");  // a lost game file comes back too

    CliRun r = Cli(g, "restore --dry-run", dir);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("BUILDDAT.LBX would be restored from BUILDDAT.LBX.bak: 576 values change back.\n"
                         "ITEMPOW.LBX already holds the bytes of ITEMPOW.LBX.bak; nothing to restore.\n"
                         "SPELLDAT.LBX would be restored from SPELLDAT.LBX.bak: 1 value changes back.\n"
                         "WIZARDS.EXE would be restored from WIZARDS.EXE.bak: "),
              std::string::npos)
        << r.out;
    EXPECT_NE(r.out.find("MAGIC.EXE would be restored from MAGIC.EXE.bak: 1 value changes back.\n"
                         "ITEMMAKE.EXE has no backup; left alone.\n"),
              std::string::npos)
        << r.out;
    for (GameFile f : GameFileOpenOrder()) {
        if (f == GameFile::BuildDat) continue;
        EXPECT_EQ(test::GameBytes(g, f), written[static_cast<std::size_t>(f)]);
    }
    EXPECT_FALSE(fs::exists(g + "/BUILDDAT.LBX"));

    r = Cli(g, "restore", dir);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("Restored SPELLDAT.LBX from SPELLDAT.LBX.bak: 1 value changed back.\n"), std::string::npos);
    for (GameFile f : GameFileOpenOrder()) {
        const auto k = static_cast<std::size_t>(f);
        if (f == GameFile::ItemMake) {
            EXPECT_EQ(test::GameBytes(g, f), written[k]);
            continue;
        }
        EXPECT_EQ(test::GameBytes(g, f), test::GameBytes(original, f)) << GameFileName(f);
        EXPECT_EQ(test::ReadBytes(g + "/" + GameFileName(f) + ".bak"), test::GameBytes(original, f));
    }
}

// Compared with the original game, the review lists every value the editor's
// data changes, also those already written; a value taken back is not one,
// and a value the write refuses leaves what the game files hold.
TEST_F(ModdedGame, TheReviewAgainstTheOriginalGameListsWhatAModOfTheDataChanges) {
    test::Fixture f;
    f.session.gameFolder = g;
    f.session.rulesPath = g + "/r.txt";
    ASSERT_TRUE(LoadCommand(f.session));
    EXPECT_EQ(ReviewGrid(f.session).changes, 0);
    const OriginalGame original = ReadOriginalGame(g, f.errors);
    const auto originalOf = [&](const Cell& c) { return original.values.GetArrayValue(c.i, c.j, c.step); };
    const Cell& refused = kEdits[0];
    const Cell& back = kEdits[1];
    f.session.grid.SetArrayValue(refused.i, refused.j, refused.step, "70000");
    f.session.grid.SetArrayValue(back.i, back.j, back.step, originalOf(back));

    Review review = ReviewAgainstOriginalGame(f.session);
    // The sample's second copies that differed from their first places were
    // put right by the write: they are listed too, as copies only.
    std::erase_if(review.rows, [](const ReviewRow& row) { return row.furtherPlaceOnly; });
    ASSERT_EQ(review.rows.size(), kEdits.size());
    for (const ReviewRow& row : review.rows) {
        const auto c = std::find_if(kEdits.begin(), kEdits.end(), [&](const Cell& e) {
            return std::tie(row.i, row.j, row.step) == std::tie(e.i, e.j, e.step);
        });
        ASSERT_NE(c, kEdits.end()) << row.i;
        ASSERT_NE(c, &back);
        EXPECT_EQ(row.gameText, originalOf(*c));
        if (row.IsProblem()) EXPECT_EQ(std::tie(row.problem, row.newText), std::tie("Value out of range.", "70000"));
        else EXPECT_EQ(row.newText, c->text);  // the refused value keeps what the game files hold
    }
    EXPECT_EQ(review.problems, 1);
    EXPECT_TRUE(f.errors.texts.empty());
}

#ifndef _WIN32
// A restore locks every folder a game file resolves into, takes only a
// regular file as a backup, and writes a file with other names in place.
TEST_F(ModdedGame, RestoreLocksTakesOnlyRegularBackupsAndKeepsOtherNames) {
    const std::string original = FreshGame("original");
    const std::string elsewhere = dir.File("elsewhere");
    fs::create_directory(elsewhere);
    fs::rename(g + "/MAGIC.EXE", elsewhere + "/MAGIC.EXE");
    fs::create_symlink(elsewhere + "/MAGIC.EXE", g + "/MAGIC.EXE");
    std::array<std::vector<std::uint8_t>, kGameFileCount> written;
    for (GameFile f : GameFileOpenOrder()) written[static_cast<std::size_t>(f)] = test::GameBytes(g, f);
    const auto same = [&](GameFile f, const std::vector<std::uint8_t>& bytes) {
        EXPECT_EQ(test::GameBytes(g, f), bytes) << GameFileName(f);
    };
    {
        FolderLock held;
        ASSERT_TRUE(held.TryAcquire(elsewhere));
        const CliRun r = Cli(g, "restore", dir);
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.err, FolderInUse(fs::canonical(elsewhere)) + "\n");
        for (GameFile f : GameFileOpenOrder()) same(f, written[static_cast<std::size_t>(f)]);
    }

    fs::rename(g + "/WIZARDS.EXE.bak", dir.File("wizards copy"));
    fs::create_symlink(dir.File("wizards copy"), g + "/WIZARDS.EXE.bak");
    fs::create_hard_link(g + "/SPELLDAT.LBX", dir.File("second name"));
    const CliRun r = Cli(g, "restore", dir);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "WIZARDS.EXE.bak is not a regular file; WIZARDS.EXE was not written.\n");
    EXPECT_NE(r.out.find("WIZARDS.EXE: WIZARDS.EXE.bak is not a regular file; left alone.\n"), std::string::npos);
    same(GameFile::Wizards, written[static_cast<std::size_t>(GameFile::Wizards)]);
    for (GameFile f : {GameFile::SpellDat, GameFile::Magic}) same(f, test::GameBytes(original, f));
    EXPECT_EQ(test::ReadBytes(dir.File("second name")), test::GameBytes(original, GameFile::SpellDat));
    EXPECT_EQ(fs::hard_link_count(g + "/SPELLDAT.LBX"), 2u);
    EXPECT_TRUE(fs::is_symlink(g + "/MAGIC.EXE"));
}
#endif

// Writes a mod of the given changes (section, row, column, from, to) as
// mod file name in folder.
void WriteMod(const std::string& folder, const std::string& name, const std::vector<std::array<std::string, 2>>& values,
              const std::vector<Cell>& cells) {
    Mod mod;
    mod.name = name;
    for (std::size_t k = 0; k < cells.size(); ++k)
        mod.changes.push_back({cells[k].i, cells[k].j, cells[k].step, RowLabel(cells[k].i, cells[k].j), values[k][0],
                               values[k][1], 0});
    test::WriteFile(folder + "/" + name, FormatMod(mod));
}

TEST_F(ModdedGame, TheCommandLineListsConflictsAndAppliesNothingFromABrokenMod) {
    // The rules file holds 4 towers (the game 66) and a Heal Amount of 71.
    WriteMod(g, "a.qmod", {{"66", "5"}, {"71", "90"}}, {{36, 11, 1, ""}, {23, 0, 1, ""}});
    WriteMod(g, "b.qmod", {{"71", "80"}}, {{23, 0, 1, ""}});
    const std::string rules = test::ReadFile(g + "/r.txt");

    CliRun r = Cli(g, "mod conflicts a.qmod b.qmod", dir);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "Healing Spells\tHeal Amount\tValue\t71\ta.qmod=90\tb.qmod=80\twins: b.qmod\n");
    EXPECT_EQ(Cli(g, "mod conflicts a.qmod a.qmod", dir).status, 0);

    r = Cli(g, "mod apply --rules r.txt --dry-run a.qmod b.qmod", dir);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out,
              "a.qmod: Map Generation / Number of Towers / Value: the rules file holds 4; the mod changes 66 to 5; not "
              "applied.\n"
              "a.qmod: 0 applied, 0 already there, 1 conflicts, 1 overridden by later mods.\n"
              "b.qmod: 1 applied, 0 already there, 0 conflicts, 0 overridden by later mods.\n");
    EXPECT_EQ(test::ReadFile(g + "/r.txt"), rules);

    // A hand-edited mod with a value the write refuses: nothing of it applies.
    std::string bad = test::ReadFile(g + "/b.qmod") +
                      "\"Spells\" [SPELLS] row 1 \"Ashemoth\" column 9 \"Research\" from \"5000\" to \"70000\"\r\n";
    test::WriteFile(g + "/bad.qmod", bad);
    r = Cli(g, "mod apply --rules r.txt bad.qmod", dir);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err,
              "bad.qmod: line 5: the new value \"70000\" is refused: Value out of range.\n"
              "Nothing was applied from bad.qmod.\n");
    EXPECT_EQ(test::ReadFile(g + "/r.txt"), rules);

    // A rules file that does not load cleanly is not saved over.
    test::WriteFile(g + "/bad.txt", rules.substr(0, rules.find("[BOOK AND RETORT MAX]")));
    const std::string cut = test::ReadFile(g + "/bad.txt");
    r = Cli(g, "mod apply --rules bad.txt b.qmod", dir);
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("Nothing was saved to bad.txt: it has problems to mend first.\n"), std::string::npos);
    EXPECT_EQ(test::ReadFile(g + "/bad.txt"), cut);

    r = Cli(g, "mod apply --rules r.txt b.qmod", dir);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(test::ReadFile(g + "/r.txt").find("\"Heal Amount\"                                       ,  80;"),
              std::string::npos);
}

// Grids of the current and the original values, with a record name on row 0
// of the spells.
struct Grids {
    Grids() {
        current.SetArrayValue(2, 0, 0, "Fire Bolt");
        original.SetArrayValue(2, 0, 0, "Fire Bolt");
    }
    ValueGrid current, original;
};

Mod OneChange(int step, const char* from, const char* to, const char* record = "Fire Bolt") {
    Mod mod;
    mod.changes.push_back({2, 0, step, record, from, to, 0});
    return mod;
}

TEST(ModPlan, ComparesEachChangeWithTheCurrentValueAndRecord) {
    struct Case {
        const char* now;
        const char* record;
        const char* from;
        const char* game;  // the original game's value
        ModStatus status;
    };
    const Case cases[] = {
        {"10", "Fire Bolt", "10", "10", ModStatus::Applies},
        // Made from another release: the user never changed the value.
        {"11", "Fire Bolt", "10", "11", ModStatus::Applies},
        {"20", "Fire Bolt", "10", "10", ModStatus::AlreadyThere},
        {"15", "Fire Bolt", "10", "10", ModStatus::ConflictsWithYourValues},
        {"10", "Ice Bolt", "10", "10", ModStatus::ConflictsWithYourValues},
        {kValueNotFound, "Fire Bolt", "10", kValueNotFound, ModStatus::ConflictsWithYourValues},
    };
    for (const Case& c : cases) {
        Grids grids;
        grids.current.SetArrayValue(2, 0, 8, c.now);
        grids.original.SetArrayValue(2, 0, 8, c.game);
        const ModPlan plan = PlanMods({OneChange(8, c.from, "20", c.record)}, grids.current, grids.original);
        ASSERT_EQ(plan.entries.size(), 1u);
        const ModEntry& e = plan.entries[0];
        EXPECT_EQ(e.status, c.status) << c.now << " " << c.record;
        EXPECT_EQ(e.recordDiffers, std::string(c.record) != "Fire Bolt");
        EXPECT_EQ(ApplyPlan(plan, grids.current), c.status == ModStatus::Applies ? 1 : 0);
        EXPECT_EQ(grids.current.GetArrayValue(2, 0, 8), c.status == ModStatus::Applies ? "20" : c.now);
    }
}

TEST(ModPlan, TheLaterModWinsWhereTwoChangeAValueDifferently) {
    struct Case {
        Mod first, second;
        std::array<ModStatus, 2> status;
        bool conflict;
        std::array<const char*, 2> after;  // columns 8 and 9
        const char* column9 = "10";         // column 9 before the mods
    };
    Mod disjoint = OneChange(9, "10", "40");
    const Case cases[] = {
        {OneChange(8, "10", "20"), OneChange(8, "10", "30"),
         {ModStatus::OverriddenByALaterMod, ModStatus::Applies}, true, {"30", "10"}},
        {OneChange(8, "10", "20"), OneChange(8, "10", "20"), {ModStatus::Applies, ModStatus::Applies}, false, {"20", "10"}},
        // The rules file holds the earlier mod's value already: the later mod still wins.
        {OneChange(9, "10", "40"), OneChange(9, "10", "50"),
         {ModStatus::OverriddenByALaterMod, ModStatus::Applies}, true, {"10", "50"}, "40"},
        {OneChange(8, "10", "20"), disjoint, {ModStatus::Applies, ModStatus::Applies}, false, {"20", "40"}},
    };
    for (const Case& c : cases) {
        Grids grids;
        grids.current.SetArrayValue(2, 0, 8, "10");
        grids.current.SetArrayValue(2, 0, 9, c.column9);
        const ModPlan plan = PlanMods({c.first, c.second}, grids.current, grids.original);
        ASSERT_EQ(plan.entries.size(), 2u);
        for (std::size_t k = 0; k < 2; ++k) {
            EXPECT_EQ(plan.entries[k].status, c.status[k]) << k;
            EXPECT_EQ(plan.entries[k].winner, c.conflict && k == 1);
        }
        EXPECT_EQ(plan.conflicts.size(), c.conflict ? 1u : 0u);
        EXPECT_EQ(plan.summaries[0].overridden, c.conflict ? 1 : 0);
        ApplyPlan(plan, grids.current);
        EXPECT_EQ(grids.current.GetArrayValue(2, 0, 8), c.after[0]);
        EXPECT_EQ(grids.current.GetArrayValue(2, 0, 9), c.after[1]);
    }
}

TEST(ModFile, KeepsEveryByteOfItsTexts) {
    Mod mod;
    mod.name = "Caf\xC3\xA9 \"mod\"";
    mod.description = "a\\b";
    mod.changes.push_back({2, 4, 8, "Quo\"te, tab\t\xE9", kValueNotFound, "20", 0});
    mod.changes.push_back({34, 0, 3, "Spells Per Number of Books", "3", "-1", 0});
    const std::string text = FormatMod(mod);
    EXPECT_EQ(text,
              "quorvane-mod 1\r\nname \"Caf\xC3\xA9 \\\"mod\\\"\"\r\ndescription \"a\\\\b\"\r\n\r\n"
              "\"Spells\" [SPELLS] row 4 \"Quo\\\"te, tab\\t\xC3\xA9\" column 8 \"Cost\" from \"Value Not Found\" to "
              "\"20\"\r\n"
              "\"Spells Per Number of Books\" [GRANTED SPELLS PER NUMBER OF BOOKS] row 0 \"Spells Per Number of Books\" "
              "column 3 \"4 Books\" from \"3\" to \"-1\"\r\n");
    const ModRead read = ReadMod(text);
    ASSERT_TRUE(read.Readable()) << read.problems[0];
    EXPECT_EQ(read.mod.name, mod.name);
    EXPECT_EQ(read.mod.description, mod.description);
    ASSERT_EQ(read.mod.changes.size(), 2u);
    EXPECT_EQ(read.mod.changes[0].record, mod.changes[0].record);
    EXPECT_EQ(read.mod.changes[0].original, kValueNotFound);
    EXPECT_EQ(read.mod.changes[1].value, "-1");
    EXPECT_EQ(read.mod.changes[1].line, 6);
}

TEST(ModFile, NamesTheLineOfEveryProblem) {
    const std::string head = "quorvane-mod 1\nname \"m\"\n# a comment\n";
    const std::string good = "\"Spells\" [SPELLS] row 1 \"X\" column 9 \"Research\" from \"1\" to \"2\"\n";
    struct Case {
        std::string text, problem;
    };
    const Case cases[] = {
        {head + good + "\"Spells\" [SPELLS] row 1 \"X\" column 9 \"Research\" from \"1\" to \"70000\"",
         "line 5: the new value \"70000\" is refused: Value out of range."},
        {head + good + "\"Spells\" [SPELLS] row 1 \"X\" column 10 \"Research\" from \"1\" to \"2\"",
         "line 5: column 10 of [SPELLS] is \"Sound\", not \"Research\""},
        {head + good + "\"Spells\" [SPELLS] row 215 \"X\" column 9 \"Research\" from \"1\" to \"2\"",
         "line 5: [SPELLS] has no row 215 (rows 0 to 214)"},
        {head + good + "\"Spells\" [SPELLS] row 1 \"X\" column 0 \"Name\" from \"1\" to \"2\"",
         "line 5: [SPELLS] has no value column 0 (columns 1 to 15)"},
        {head + good + "\"Spells\" [SPELL] row 1 \"X\" column 9 \"Research\" from \"1\" to \"2\"",
         "line 5: no section has the directive [SPELL]"},
        {head + good + "\"Spells\" [SPELLS] row 1 \"X\" column 9 \"Research\" from \"1\" to \"2\" extra",
         "line 5: not a line of a mod file; a change reads \"SECTION\" [DIRECTIVE] row N \"RECORD\" column N "
         "\"COLUMN\" from \"OLD\" to \"NEW\""},
        {head + good + good, "line 5: changes the same value as line 4"},
        {head + good + "\"Spells\" [SPELLS] row 1 \"\xE2\x82\xAC\" column 9 \"Research\" from \"1\" to \"2\"",
         "line 5: \"\xE2\x82\xAC\" is not a character the game's texts can hold"},
        {head + good + "name \"again\"", "line 5: a second name (the first is on line 2)"},
        {"quorvane-mod 2\n" + good, "line 1: mod format 2 is not one this editor reads (it reads 1)"},
        {"quorvane-mod 1\n" + good, "the mod has no name line"},
        {head + "\xFF", "line 4: not UTF-8 text"},
    };
    for (const Case& c : cases) {
        const ModRead read = ReadMod(c.text);
        ASSERT_EQ(read.problems.size(), 1u) << c.problem;
        EXPECT_EQ(read.problems[0], c.problem);
    }
}

}  // namespace
}  // namespace quorvane
