#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "actions/actions.h"
#include "catalogue/catalogue.h"
#include "catalogue/layout.h"
#include "rules/format.h"
#include "writeback/lookup.h"
#include "writeback/pipeline.h"
#include "catalogue/readers.h"
#include "exchange/section_csv.h"
#include "test_util.h"

namespace quorvane {
namespace {

using test::Fixture;
using test::TempDir;

// Runs the lookup over a rules text for every cell of sections 0 .. last, in
// order, and keeps the results of one section.
class LookupTest : public ::testing::Test {
protected:
    std::vector<LookupResult> Section(const std::string& text, int section) {
        LineSource src(text, true);
        std::vector<LookupResult> kept;
        for (int i = 0; i <= section; ++i)
            for (int j = 0; j < Rows(i); ++j)
                for (int s = 0; s < Columns(i); ++s) {
                    LookupResult r = FindRulesNumber(f.session, i, j, s, src);
                    if (i == section && s > 0) kept.push_back(r);
                }
        return kept;
    }
    Fixture f;
};

std::string OneSection(int i, const std::vector<std::string>& rows, const std::string& end = "[END]") {
    std::string text = "[" + Header(i) + "]\r\n";
    for (const auto& r : rows) text += r + "\r\n";
    return text + end + "\r\n";
}

std::string Name(const std::string& n) {
    std::string out;
    AppendNameField(out, n);
    return out;
}

TEST_F(LookupTest, SignsWindowsAndFlags) {
    // Section 0: flags, flags, word, word, word, flags x4.
    std::vector<std::string> rows(66, Name("x") + ", 00000000, 00000000,     1,     2,     3, 00000000, 00000000, 00000000, 00000000;");
    rows[0] = Name("Sword") + ",00001001, 101,    -1,     -0,  12ab,  00000001,00000000,00000000,00000000;";
    const auto r = Section(OneSection(0, rows), 0);
    EXPECT_EQ(r[0].value, "00001001");
    EXPECT_FALSE(r[0].valueProblem);
    EXPECT_EQ(r[1].value, "101");
    EXPECT_TRUE(r[1].valueProblem);
    EXPECT_EQ(r[2].value, "65535");
    EXPECT_EQ(r[3].value, "65536");
    EXPECT_EQ(r[4].value, "0");  // not a number: nothing is written
    EXPECT_TRUE(r[4].valueProblem);
    EXPECT_EQ(r[5].value, "00000001");
    EXPECT_EQ(f.errors.texts, (std::vector<std::string>{"Line: 2 In [ITEM POWERS] section  Binary string expected.",
                                                        "Line: 2 In [ITEM POWERS] section  Decimal Number expected."}));
}

TEST_F(LookupTest, ByteValuesAndTheScanWindow) {
    // Section 23 holds one byte; its lookups run on a file of that section only.
    auto run = [&](const std::string& row) {
        Fixture g;
        LineSource src(OneSection(23, {row}), true);
        // Position on section 23 directly: its lookups run alone.
        FindRulesNumber(g.session, 23, 0, 0, src);
        LookupResult r = FindRulesNumber(g.session, 23, 0, 1, src);
        return std::make_pair(r, g.errors.texts);
    };
    EXPECT_EQ(run(Name("h") + ",   5;").first.value, "5");
    EXPECT_EQ(run(Name("h") + ",  -1;").first.value, "255");
    EXPECT_EQ(run(Name("h") + ", -15;").first.value, "241");
    EXPECT_EQ(run(Name("h") + ",  -0;").first.value, "256");
    EXPECT_EQ(run(Name("h") + ",     5;").first.value, "5");   // five blanks
    EXPECT_EQ(run(Name("h") + ",    -5;").first.value, "251");  // four blanks and a minus
    auto far = run(Name("h") + ",      5;");                     // six blanks
    EXPECT_EQ(far.first.value, "0");
    EXPECT_TRUE(far.first.valueProblem);
    ASSERT_EQ(far.second.size(), 1u);
    EXPECT_EQ(far.second[0], "Line: 2 In [HEALING SPELLS] section  Decimal Number expected.");
    auto noSemicolon = run(Name("h") + ",  12");
    ASSERT_EQ(noSemicolon.second.size(), 3u);
    EXPECT_EQ(noSemicolon.second[0], "Line: 2 In [HEALING SPELLS] section  Semi-colon expected.");
    EXPECT_EQ(noSemicolon.second[2], "Line: 2 In [HEALING SPELLS] section  Decimal Number expected.");
    auto notSet = run(Name("h") + ",Not Set;");
    EXPECT_EQ(notSet.second.at(0), "Line: 2 In [HEALING SPELLS] section  Decimal Number expected.");
    auto noComma = run(Name("h"));
    EXPECT_EQ(noComma.second.at(0), "Line: 2 In [HEALING SPELLS] section  Comma expected.");
    auto noEnd = [&] {
        Fixture g;
        LineSource src(OneSection(23, {Name("h") + ",   7;"}, "[FINISH]"), true);
        FindRulesNumber(g.session, 23, 0, 0, src);
        LookupResult r = FindRulesNumber(g.session, 23, 0, 1, src);
        EXPECT_EQ(r.value, "7");
        EXPECT_FALSE(r.valueProblem);
        EXPECT_EQ(r.recordLine, 2);
        return g.errors.texts;
    }();
    ASSERT_EQ(noEnd.size(), 1u);
    EXPECT_EQ(noEnd[0], "Line: 3 In [HEALING SPELLS] section  [END] expected.");
}

TEST_F(LookupTest, MissingSectionsAndFilesEndingWithoutLineEnd) {
    // No directive at all: the search runs to the end silently, then every
    // value reports a missing comma.
    LineSource src("nothing here\r\n", true);
    FindRulesNumber(f.session, 23, 0, 0, src);
    const LookupResult r = FindRulesNumber(f.session, 23, 0, 1, src);
    EXPECT_EQ(r.value, "0");
    ASSERT_EQ(f.errors.texts.size(), 1u);
    EXPECT_EQ(f.errors.texts[0], "Line: 1 In [HEALING SPELLS] section  Comma expected.");
}

class WriteBackTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::MakeSampleGame(dir.path());
        f.session.gameFolder = dir.path();
        f.session.rulesPath = dir.File("rules.txt");
        ExtractCommand(f.session);
        ASSERT_TRUE(f.errors.texts.empty());
        lines = test::SplitLines(test::ReadFile(f.session.rulesPath));
        for (int g = 0; g < kGameFileCount; ++g) before[static_cast<std::size_t>(g)] = Bytes(static_cast<GameFile>(g));
    }
    std::vector<std::uint8_t> Bytes(GameFile g) { return test::GameBytes(dir.path(), g); }
    // The line of row j of section i: the extracted file puts its empty line
    // before each section, so its record lines stand where a saved file's do.
    std::string& Row(int i, int j) { return lines[static_cast<std::size_t>(test::RecordLineNumber(i, j) - 1)]; }
    void SetValue(int i, int j, const std::string& field) {
        std::string& row = Row(i, j);
        row = row.substr(0, row.find(',')) + "," + field + ";";
    }
    void Write() {
        test::WriteFile(f.session.rulesPath, test::JoinLines(lines));
        f.errors.Clear();
        WriteCommand(f.session);
    }
    int ByteAt(GameFile g, int offset) { return Bytes(g)[static_cast<std::size_t>(offset)]; }

    TempDir dir;
    Fixture f;
    std::vector<std::string> lines;
    std::array<std::vector<std::uint8_t>, kGameFileCount> before;
};

TEST_F(WriteBackTest, ExtractThenWriteKeepsFirstPlacesAndFillsCopies) {
    Write();
    EXPECT_TRUE(f.errors.texts.empty()) << f.errors.texts.front();
    EXPECT_EQ(f.progress.steps, 43 * 2);
    EXPECT_EQ(f.progress.position, 0);
    auto wizards = Bytes(GameFile::Wizards);
    auto magic = Bytes(GameFile::Magic);
    auto itemmake = Bytes(GameFile::ItemMake);
    for (int g = 0; g < kGameFileCount; ++g) EXPECT_EQ(Bytes(static_cast<GameFile>(g)).size(), before[static_cast<std::size_t>(g)].size());
    EXPECT_EQ(Bytes(GameFile::SpellDat), before[static_cast<std::size_t>(GameFile::SpellDat)]);
    EXPECT_EQ(Bytes(GameFile::ItemPow), before[static_cast<std::size_t>(GameFile::ItemPow)]);
    EXPECT_EQ(Bytes(GameFile::BuildDat), before[static_cast<std::size_t>(GameFile::BuildDat)]);
    EXPECT_EQ(itemmake, before[static_cast<std::size_t>(GameFile::ItemMake)]);
    // Item base costs: twenty bytes from 0x29B46 in ITEMMAKE.EXE, copied to 0x2F078.
    for (int k = 0; k < 20; ++k) EXPECT_EQ(wizards[static_cast<std::size_t>(0x2F078 + k)], itemmake[static_cast<std::size_t>(0x29B46 + k)]);
    EXPECT_EQ(wizards[0x63405], wizards[0x633E6]);
    EXPECT_EQ(wizards[0x633FA], wizards[0x633E0]);
    EXPECT_EQ(wizards[0x95A25], wizards[0x95A14]);
    EXPECT_EQ(wizards[0x95A26], wizards[0x95A15]);
    EXPECT_EQ(wizards[0x95A05], wizards[0x959F4]);
    EXPECT_EQ(wizards[0x8C0E4], itemmake[0x72A0]);
    EXPECT_EQ(magic[kTowersCopyOffset], magic[kTowersOffset] + 6);
    // Outside the copies WIZARDS.EXE is unchanged.
    auto w0 = before[static_cast<std::size_t>(GameFile::Wizards)];
    int changed = 0;
    for (std::size_t k = 0; k < wizards.size(); ++k) changed += wizards[k] != w0[k];
    EXPECT_LE(changed, 27);
    // Backups hold the files as they were before the first write.
    EXPECT_EQ(test::ReadBytes(dir.File("WIZARDS.EXE.bak")), w0);
}

TEST_F(WriteBackTest, ChangedValuesAndCodes) {
    SetValue(23, 0, "  12");
    SetValue(33, 0, "    50");
    SetValue(36, 11, "   4");
    SetValue(31, 0, "  1234");
    Write();
    EXPECT_TRUE(f.errors.texts.empty()) << f.errors.texts.front();
    EXPECT_EQ(ByteAt(GameFile::Wizards, 0x82C9F), 12);
    EXPECT_EQ(ByteAt(GameFile::Wizards, 0x5863D), 0x2B);
    EXPECT_EQ(ByteAt(GameFile::Wizards, 0x5863E), 0xC2);
    EXPECT_EQ(ByteAt(GameFile::Magic, 0x36D73), 4);
    EXPECT_EQ(ByteAt(GameFile::Magic, 0x393E3), 10);
    EXPECT_EQ(ByteAt(GameFile::ItemMake, 0x29B46), 0xD2);
    EXPECT_EQ(ByteAt(GameFile::ItemMake, 0x29B47), 0x04);
    EXPECT_EQ(ByteAt(GameFile::Wizards, 0x2F078), 0xD2);
    EXPECT_EQ(ByteAt(GameFile::Wizards, 0x2F079), 0x04);
    SetValue(33, 0, "    25");
    Write();
    EXPECT_EQ(ByteAt(GameFile::Wizards, 0x5863D), 0xD1);
    EXPECT_EQ(ByteAt(GameFile::Wizards, 0x5863E), 0xF8);
}

TEST_F(WriteBackTest, FaultyCellsAreReportedAndWrittenNowhere) {
    const int heal = test::RecordLineNumber(23, 0);
    const int destroyed = test::RecordLineNumber(33, 0);
    const int towers = test::RecordLineNumber(36, 11);
    const int cost = test::RecordLineNumber(31, 2);
    const int book = test::RecordLineNumber(24, 0);
    SetValue(23, 0, "Not Set");   // no digit: the "0" is not written
    SetValue(33, 0, "    40");    // only 25 or 50
    SetValue(36, 11, " 250");     // the copy would not fit its byte
    SetValue(31, 2, " 70000");    // word out of range, copy untouched too
    SetValue(24, 0, "  -0");      // 256 after the sign
    Write();
    const auto at = [](int line) { return "Line: " + std::to_string(line); };
    ASSERT_EQ(f.errors.texts.size(), 5u);
    EXPECT_EQ(f.errors.texts[0], at(heal) + " In [HEALING SPELLS] section  Decimal Number expected.");
    EXPECT_EQ(f.errors.texts[1], at(book) + " In [BOOK AND RETORT MAX] section  Value out of range.");
    EXPECT_EQ(f.errors.texts[2], at(cost) + " In [CREATE BASE ITEM COSTS] section  Value out of range.");
    EXPECT_EQ(f.errors.texts[3], at(destroyed) + " In [MANA FROM DESTROYED ITEMS] section  Value Must Be Either 25 or 50.");
    EXPECT_EQ(f.errors.texts[4], at(towers) + " In [MAP GENERATION] section  Value out of range.");
    EXPECT_EQ(test::PlacesOf(f.errors), (std::vector<test::ProblemPlace>{{heal, 23, 0, 1},
                                                                         {book, 24, 0, 1},
                                                                         {cost, 31, 2, 1},
                                                                         {destroyed, 33, 0, 1},
                                                                         {towers, 36, 11, 1}}));
    const auto& w0 = before[static_cast<std::size_t>(GameFile::Wizards)];
    const auto& m0 = before[static_cast<std::size_t>(GameFile::Magic)];
    const auto& i0 = before[static_cast<std::size_t>(GameFile::ItemMake)];
    EXPECT_EQ(ByteAt(GameFile::Wizards, 0x82C9F), w0[0x82C9F]);
    EXPECT_EQ(ByteAt(GameFile::Wizards, 0x5863D), w0[0x5863D]);
    EXPECT_EQ(ByteAt(GameFile::Wizards, 0x633E6), w0[0x633E6]);
    EXPECT_EQ(ByteAt(GameFile::Wizards, 0x63405), w0[0x63405]);
    EXPECT_EQ(ByteAt(GameFile::Magic, 0x36D73), m0[0x36D73]);
    EXPECT_EQ(ByteAt(GameFile::Magic, 0x393E3), m0[0x393E3]);
    EXPECT_EQ(ByteAt(GameFile::ItemMake, 0x29B4A), i0[0x29B4A]);
    EXPECT_EQ(ByteAt(GameFile::Wizards, 0x2F07C), w0[0x2F07C]);
}

TEST_F(WriteBackTest, LastRowRangeReportNamesTheRecordLine) {
    // Row 1 is the last of MANA AND GOLD CAP: its lookup has already read the
    // end line when the range is checked.
    SetValue(25, 1, "-70000");
    Write();
    ASSERT_EQ(f.errors.texts.size(), 1u);
    EXPECT_EQ(f.errors.texts[0], "Line: " + std::to_string(test::RecordLineNumber(25, 1)) +
                                     " In [MANA AND GOLD CAP] section  Value out of range.");
}

// An editor may drop the line end after the file's last [END]: the last
// section is still written and loaded whole, with nothing reported.
TEST_F(WriteBackTest, LastEndLineWithoutLineEnd) {
    const int last = kSectionCount - 1;
    const int j = Rows(last) - 1;
    SetValue(last, j, " 112");
    std::string content = test::JoinLines(lines);
    ASSERT_EQ(content.substr(content.size() - 7), "[END]\r\n");
    content.resize(content.size() - 2);
    test::WriteFile(f.session.rulesPath, content);
    f.errors.Clear();
    WriteCommand(f.session);
    EXPECT_TRUE(f.errors.texts.empty()) << f.errors.texts.front();
    EXPECT_EQ(ByteAt(GameFileOf(last), ValueOffset(last, j, 1)), 112);
    f.session.grid.SetArrayValue(last, j, 1, "0");
    EXPECT_TRUE(LoadCommand(f.session));
    EXPECT_TRUE(f.errors.texts.empty()) << f.errors.texts.front();
    EXPECT_EQ(f.session.grid.GetArrayValue(last, j, 1), "112");

    std::string csv;
    ASSERT_TRUE(ExportSectionCsv(f.errors, content, "rules.txt", last, &csv));
    const std::size_t at = csv.rfind(",112\r\n");
    ASSERT_EQ(at + 6, csv.size());
    csv.replace(at, 4, ",113");
    const CsvImportResult imported = ImportSectionCsv(f.errors, content, "rules.txt", last, csv, "in.csv");
    EXPECT_TRUE(f.errors.texts.empty()) << f.errors.texts.front();
    EXPECT_EQ(imported.changedRows, 1);
    EXPECT_EQ(imported.rules.substr(imported.rules.size() - 13), ", 113;\r\n[END]");
}

TEST_F(WriteBackTest, ShortFlagTextIsNotWritten) {
    std::string& row = Row(0, 0);
    const std::size_t first = row.find(',');
    row = row.substr(0, first) + ",      101" + row.substr(row.find(',', first + 1));
    Write();
    ASSERT_EQ(f.errors.texts.size(), 1u);
    EXPECT_EQ(f.errors.texts[0], "Line: 4 In [ITEM POWERS] section  Binary string expected.");
    EXPECT_EQ(Bytes(GameFile::ItemPow), before[static_cast<std::size_t>(GameFile::ItemPow)]);
}

TEST_F(WriteBackTest, PlacesPastTheEndAreReportedAndFilesKeepTheirLength) {
    std::filesystem::resize_file(dir.File("WIZARDS.EXE"), 0x8C0E4);  // cuts the spell-charge copy
    // Its first place, in ITEMMAKE.EXE, is whole.
    SetValue(30, 0, " " + std::to_string((before[static_cast<std::size_t>(GameFile::ItemMake)][0x72A0] + 1) % 240));
    Write();
    // A cell is written at all its places or nowhere.
    EXPECT_EQ(Bytes(GameFile::ItemMake), before[static_cast<std::size_t>(GameFile::ItemMake)]);
    // Every WIZARDS.EXE place past the new end is reported; the spell-charge
    // cost is not written to ITEMMAKE.EXE either, since its copy is cut off.
    ASSERT_FALSE(f.errors.texts.empty());
    EXPECT_EQ(f.errors.texts[0], "Line: " + std::to_string(test::RecordLineNumber(25, 0)) +
                                     " In [MANA AND GOLD CAP] section  Place beyond end of game file.");
    EXPECT_EQ(test::PlacesOf(f.errors)[0], test::ProblemPlace(test::RecordLineNumber(25, 0), 25, 0, 1));
    bool spellCharge = false;
    for (const auto& t : f.errors.texts)
        spellCharge = spellCharge || t == "Line: " + std::to_string(test::RecordLineNumber(30, 0)) +
                                             " In [CREATE SPELL CHARGE COSTS] section  Place beyond end of game file.";
    EXPECT_TRUE(spellCharge);
    EXPECT_EQ(std::filesystem::file_size(dir.File("WIZARDS.EXE")), 0x8C0E4u);
}

TEST_F(WriteBackTest, RefusalsAndOpeningFailures) {
    // Nothing loaded: refused, nothing opened.
    Fixture fresh;
    fresh.session.rulesPath = f.session.rulesPath;
    fresh.session.gameFolder = dir.path();
    WriteCommand(fresh.session);
    ASSERT_EQ(fresh.errors.texts.size(), 1u);
    EXPECT_EQ(fresh.errors.texts[0], "You Must Load Or Extract A File Before Writting.");
    EXPECT_EQ(fresh.progress.begins, 0);
    EXPECT_FALSE(std::filesystem::exists(dir.File("WIZARDS.EXE.bak")));

    // A rules file that cannot be opened stops the run before any game file.
    f.session.rulesPath = dir.File("missing.txt");
    f.errors.texts.clear();
    WriteCommand(f.session);
    ASSERT_EQ(f.errors.texts.size(), 1u);
    EXPECT_EQ(f.errors.texts[0], "Error opening " + dir.File("missing.txt"));
    EXPECT_FALSE(std::filesystem::exists(dir.File("WIZARDS.EXE.bak")));

    // Game files not in the folder: one report each, in opening order.
    f.session.rulesPath = dir.File("rules.txt");
    f.session.gameFolder = dir.File("elsewhere");
    f.errors.texts.clear();
    WriteCommand(f.session);
    ASSERT_EQ(f.errors.texts.size(), 6u);
    EXPECT_EQ(f.errors.texts[3], "Error opening " + dir.File("elsewhere/WIZARDS.EXE"));
}

// Rules files whose lines do not line up with the catalogue's rows write
// nothing of the sections they garble: not a value lands in another cell's
// place, and every other section is written as usual.
TEST_F(WriteBackTest, GarbledSectionsAreWrittenNowhere) {
    const auto unchanged = [&](GameFile g) { return Bytes(g) == before[static_cast<std::size_t>(g)]; };
    const std::string text = test::JoinLines(lines);

    // Cut right after the first BARBARIAN UNITS record line, without its line
    // end: that line is read once, every later lookup finds an empty line.
    const std::size_t cut = text.find("\r\n", text.find("[BARBARIAN UNITS]") + 20);
    test::WriteFile(f.session.rulesPath, text.substr(0, cut));
    f.errors.texts.clear();
    WriteCommand(f.session);
    for (int g = 0; g < kGameFileCount; ++g) EXPECT_TRUE(unchanged(static_cast<GameFile>(g))) << g;
    EXPECT_EQ(f.errors.texts.back().substr(f.errors.texts.back().size() - 17), "  Comma expected.");

    // CR-only line ends: the whole file is one line, read once.
    std::string crOnly = text;
    for (std::size_t k; (k = crOnly.find("\r\n")) != std::string::npos;) crOnly.erase(k + 1, 1);
    test::WriteFile(f.session.rulesPath, crOnly);
    WriteCommand(f.session);
    for (int g = 0; g < kGameFileCount; ++g) EXPECT_TRUE(unchanged(static_cast<GameFile>(g))) << g;

    // SPELLS with one record line deleted, with two lines merged by a stray
    // CR, and with one line doubled; the heal amount is changed each time.
    const std::size_t spell = static_cast<std::size_t>(test::RecordLineNumber(2, 40) - 1);
    const std::string endLine = std::to_string(test::RecordLineNumber(2, Rows(2) - 1) + 1);
    const auto garbled = [&](int kind) {
        std::vector<std::string> l = lines;
        if (kind == 0) l.erase(l.begin() + static_cast<long>(spell));
        if (kind == 1) {
            l[spell] += "\r" + l[spell + 1];
            l.erase(l.begin() + static_cast<long>(spell + 1));
        }
        if (kind >= 2) l.insert(l.begin() + static_cast<long>(spell), l[spell]);
        if (kind == 3) {
            // The last value unreadable: the reader leaves the end line unread.
            std::string& last = l[static_cast<std::size_t>(test::RecordLineNumber(2, Rows(2) - 1) - 1)];
            last = last.substr(0, last.rfind(',')) + ",Not Set;";
        }
        test::WriteFile(f.session.rulesPath, test::JoinLines(l));
        f.errors.texts.clear();
        WriteCommand(f.session);
    };
    const std::string noLineUp = " In [SPELLS] section  Rows do not line up: no value of this section was written.";
    for (int kind = 0; kind < 4; ++kind) {
        SetValue(23, 0, "  " + std::to_string(90 + kind));
        garbled(kind);
        EXPECT_TRUE(unchanged(GameFile::SpellDat)) << kind;
        EXPECT_EQ(ByteAt(GameFile::Wizards, 0x82C9F), 90 + kind) << kind;
        const auto at = std::find_if(f.errors.texts.begin(), f.errors.texts.end(),
                                     [&](const std::string& t) { return t.find("Rows do not") != std::string::npos; });
        ASSERT_NE(at, f.errors.texts.end()) << kind;
        EXPECT_EQ(std::count_if(f.errors.texts.begin(), f.errors.texts.end(),
                                [&](const std::string& t) { return t.find("Rows do not") != std::string::npos; }), 1);
        if (kind == 2) {
            // The reader's own end check fails; the new report follows it at once.
            ASSERT_NE(at, f.errors.texts.begin());
            EXPECT_EQ(*(at - 1), "Line: " + std::to_string(std::stoi(endLine)) + " In [SPELLS] section  [END] expected.");
            EXPECT_EQ(*at, "Line: " + std::to_string(std::stoi(endLine)) + noLineUp);
        } else if (kind == 3) {
            // The line after the last row read is checked all the same.
            EXPECT_EQ(*(at - 1), "Line: " + std::to_string(std::stoi(endLine) - 1) + " In [SPELLS] section  Decimal Number expected.");
            EXPECT_EQ(*at, "Line: " + endLine + noLineUp);
        } else {
            // The last row read the end line: the rows ran out one line early.
            EXPECT_EQ(*at, "Line: " + std::to_string(std::stoi(endLine) - 1) + noLineUp);
            EXPECT_EQ(at + 1, f.errors.texts.end());
        }
    }
}

// A record line moved within its section, or two lines swapped, would put
// the values of every line between into other records: the names the game
// files hold show it, and nothing of the section is written. A name the game
// does not hold at all (a rules file of a release with other names) is no
// move.
TEST_F(WriteBackTest, MovedRecordLinesWriteNothingOfTheirSection) {
    const auto at = [](int j) { return static_cast<std::size_t>(test::RecordLineNumber(2, j) - 1); };
    const auto refused = [&](std::size_t line) {
        return std::vector<std::string>{"Line: " + std::to_string(line + 1) +
                                        " In [SPELLS] section  Rows do not line up: no value of this section was written."};
    };
    SetValue(23, 0, "  77");  // another section, written all the same
    const std::vector<std::string> original = lines;
    lines.insert(lines.begin() + static_cast<long>(at(51)), lines[at(10)]);  // row 10's line below row 50's
    lines.erase(lines.begin() + static_cast<long>(at(10)));
    Write();
    EXPECT_EQ(f.errors.texts, refused(at(10)));
    // The section as a whole: no row, no column.
    EXPECT_EQ(test::PlacesOf(f.errors), (std::vector<test::ProblemPlace>{{static_cast<int>(at(10)) + 1, 2, -1, -1}}));
    EXPECT_EQ(Bytes(GameFile::SpellDat), before[static_cast<std::size_t>(GameFile::SpellDat)]);
    EXPECT_EQ(ByteAt(GameFile::Wizards, 0x82C9F), 77);

    lines = original;
    std::swap(lines[at(3)], lines[at(4)]);
    Write();
    EXPECT_EQ(f.errors.texts, refused(at(3)));
    EXPECT_EQ(Bytes(GameFile::SpellDat), before[static_cast<std::size_t>(GameFile::SpellDat)]);

    lines = original;
    std::string& renamed = lines[at(5)];
    renamed = "\"Feuerball\"" + renamed.substr(renamed.find('"', 1) + 1);
    std::string& raised = lines[at(6)];
    const int last = ValueOffset(2, 6, Columns(2) - 1);
    const int value = (ByteAt(GameFile::SpellDat, last) + 1) % 200;
    raised = raised.substr(0, raised.rfind(',')) + ", " + std::to_string(value) + ";";
    Write();
    EXPECT_EQ(f.errors.texts, std::vector<std::string>{});
    EXPECT_EQ(ByteAt(GameFile::SpellDat, last), value);
}

// A flag byte is written only from eight 0/1 characters (trailing blanks
// aside); each other text is reported once and written nowhere.
TEST_F(WriteBackTest, MalformedFlagTextsAreRefused) {
    std::string& row = Row(0, 0);
    const std::string original = row;
    const std::size_t first = row.find(',');
    const std::size_t second = row.find(',', first + 1);
    for (const char* flag : {" 00000002", " 1111111x", " 123456789", "  0000000", " 0000000 1"}) {
        row = original.substr(0, first) + "," + flag + original.substr(second);
        Write();
        ASSERT_EQ(f.errors.texts.size(), 1u) << flag;
        EXPECT_EQ(f.errors.texts[0], "Line: 4 In [ITEM POWERS] section  Binary string expected.") << flag;
        EXPECT_EQ(Bytes(GameFile::ItemPow), before[static_cast<std::size_t>(GameFile::ItemPow)]) << flag;
    }
    // Trailing blanks are allowed.
    row = original.substr(0, first) + ",11111111 " + original.substr(second);
    Write();
    EXPECT_TRUE(f.errors.texts.empty());
    EXPECT_EQ(ByteAt(GameFile::ItemPow, ValueOffset(0, 0, 1)), 255);
}

// With the debug log closed a row whose values are all clean is read in one
// pass and written whole; with it open every cell goes through the lookup
// alone. On rules files with random faults and changes both must write the
// same bytes and report the same texts, in the same order.
TEST_F(WriteBackTest, RowsReadAtOnceWriteWhatTheCellByCellLookupWrites) {
    std::uint32_t seed = 2024;
    const auto next = [&seed] { return seed = seed * 1664525u + 1013904223u; };
    const auto run = [&](const std::string& text, bool logOpen, std::vector<std::string>* reports) {
        Fixture g;
        g.session.gameFolder = dir.path();
        if (logOpen) {
            EXPECT_TRUE(g.session.log.Open(dir.File("trace.txt")));
        }
        GameImages images;
        WriteRulesIntoImages(g.session, text, images);
        g.session.log.Close();
        *reports = g.errors.texts;
        std::vector<std::string> bytes;
        for (GameFileImage& image : images) {
            bytes.emplace_back(image.Data(), image.Size());
            for (const auto& [from, to] : image.ChangedRanges()) bytes.back() += "|" + std::to_string(from) + "-" + std::to_string(to);
        }
        return bytes;
    };
    std::vector<std::string> unmutatedReports;
    auto unmutated = run(test::JoinLines(lines), false, &unmutatedReports);
    ASSERT_TRUE(unmutatedReports.empty());
    int faulty = 0, changed = 0;
    for (int round = 0; round < 30; ++round) {
        if (round == 20) {
            // From here on places past the end of a shortened game file too.
            const std::string spells = dir.File("SPELLDAT.LBX");
            std::filesystem::resize_file(spells, std::filesystem::file_size(spells) / 2);
            unmutated = run(test::JoinLines(lines), false, &unmutatedReports);
            ASSERT_FALSE(unmutatedReports.empty());
        }
        const std::string text = test::JoinLines(test::Mutated(lines, next));
        std::vector<std::string> quick, byCell;
        const auto a = run(text, false, &quick);
        const auto b = run(text, true, &byCell);
        ASSERT_EQ(quick, byCell) << round;
        for (std::size_t k = 0; k < a.size(); ++k) {
            ASSERT_TRUE(a[k] == b[k]) << round << " file " << k;
        }
        faulty += quick != unmutatedReports;
        changed += a != unmutated;
    }
    // The rounds cover both kinds: files with reports, and files whose
    // changed values reached the game files.
    EXPECT_GT(faulty, 10);
    EXPECT_GT(changed, 5);
}


// Names from the game files holding the rules file's separators, quotes and
// line ends, in each file names are read from (the item powers and spells
// records, the unit names through WIZARDS.EXE's pointers): extraction writes
// each as one field, so neither an unedited write nor a load, save and write
// moves a value; no game byte changes and nothing is reported.
TEST(NamesFromTheGame, NeverMoveAValue) {
    TempDir dir;
    test::MakeSampleGame(dir.path());
    Fixture f;
    f.session.gameFolder = dir.path();
    f.session.rulesPath = dir.File("rules.txt");
    // The first write fills the second copies; from then on a write of what
    // was extracted changes nothing.
    ASSERT_TRUE(ExtractCommand(f.session));
    WriteCommand(f.session);
    const std::vector<std::string> names = {"Yor, 7eth", "a,b", "say \"hi\"", "line\nfeed", "car\rret", "semi;colon",
                                            "\"7,;\n\r"};
    std::array<std::string, kGameFileCount> bytes;
    for (int g = 0; g < kGameFileCount; ++g)
        bytes[static_cast<std::size_t>(g)] = test::ReadFile(dir.File(GameFileName(static_cast<GameFile>(g))));
    GameImages images;
    ASSERT_TRUE(ImageOf(images, GameFile::Wizards).Open(dir.File("WIZARDS.EXE"), GameFileImage::Access::ReadOnly));
    DebugLog quiet;
    for (std::size_t k = 0; k < names.size(); ++k) {
        const int j = static_cast<int>(k);
        const auto put = [&](GameFile g, long long at) {
            std::string& file = bytes[static_cast<std::size_t>(g)];
            ASSERT_LE(static_cast<std::size_t>(at) + names[k].size() + 1, file.size());
            file.replace(static_cast<std::size_t>(at), names[k].size() + 1, names[k] + '\0');
        };
        put(GameFile::ItemPow, ValueOffset(0, j, 0));
        put(GameFile::SpellDat, ValueOffset(2, j, 0));
        put(GameFile::Wizards, UnitNameOffset(3, j, ImageOf(images, GameFile::Wizards), quiet));
    }
    for (int g = 0; g < kGameFileCount; ++g)
        test::WriteFile(dir.File(GameFileName(static_cast<GameFile>(g))), bytes[static_cast<std::size_t>(g)]);
    const auto unchanged = [&] {
        for (int g = 0; g < kGameFileCount; ++g)
            EXPECT_EQ(test::ReadFile(dir.File(GameFileName(static_cast<GameFile>(g)))), bytes[static_cast<std::size_t>(g)]) << g;
    };

    f.errors.texts.clear();
    ASSERT_TRUE(ExtractCommand(f.session));
    EXPECT_EQ(f.session.grid.GetArrayValue(2, 3, 0), "line feed");
    EXPECT_EQ(f.session.grid.GetArrayValue(3, 2, 0), "say 'hi'");
    WriteCommand(f.session);
    unchanged();
    ASSERT_TRUE(LoadCommand(f.session));
    ASSERT_TRUE(SaveCommand(f.session));
    WriteCommand(f.session);
    unchanged();
    EXPECT_EQ(f.errors.texts, std::vector<std::string>{});
}

}  // namespace
}  // namespace quorvane
