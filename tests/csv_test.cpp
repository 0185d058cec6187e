#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#ifndef _WIN32
#include <sys/wait.h>
#endif

#include "catalogue/catalogue.h"
#include "exchange/csv.h"
#include "exchange/section_csv.h"
#include "test_util.h"

namespace quorvane {
namespace {

using test::TempDir;

struct CliRun {
    int status;
    std::string err;
};

// Runs quorvane-cli with the arguments in folder cwd; standard output goes to
// cwd/stdout.txt.
CliRun Cli(const std::string& cwd, const std::string& args) {
#ifdef _WIN32
    // The arguments are quoted for a POSIX shell; the tests that run the
    // program are skipped on Windows (see CSV_CLI_TEST).
    (void)cwd, (void)args;
    return {-1, {}};
#else
    const std::string cmd =
        "cd '" + cwd + "' && '" + QUORVANE_CLI_PATH + "' " + args + " >stdout.txt 2>stderr.txt";
    const int raw = std::system(cmd.c_str());
    return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, test::ReadFile(cwd + "/stderr.txt")};
#endif
}

// The command-line CSV tests quote their arguments for a POSIX shell; the
// CSV code itself is covered on Windows by the tests that call it directly.
#ifdef _WIN32
#define CSV_CLI_TEST(name) TEST(CsvCli, name) { GTEST_SKIP() << "runs the program through a POSIX shell"; } [[maybe_unused]] void Unused##name()
#else
#define CSV_CLI_TEST(name) TEST(CsvCli, name)
#endif

// A sample game with its extracted rules file r.txt, in dir/g.
std::string ExtractedGame(const TempDir& dir) {
    const std::string g = dir.File("g");
    test::MakeSampleGame(g);
    EXPECT_EQ(Cli(g, "extract --rules r.txt").status, 0);
    return g;
}

void SetLine(const std::string& path, int line, const std::string& text) {
    auto lines = test::SplitLines(test::ReadFile(path));
    lines[static_cast<std::size_t>(line - 1)] = text;
    test::WriteFile(path, test::JoinLines(lines));
}

TEST(CsvText, QuotingLineEndsAndEncodings) {
    const CsvRow fields = {"plain", "a,b", "say \"hi\"", "two\r\nlines", " padded ", ""};
    std::string text;
    AppendCsvRow(text, fields);
    EXPECT_EQ(text, "plain,\"a,b\",\"say \"\"hi\"\"\",\"two\r\nlines\",\" padded \",\r\n");
    std::vector<CsvRow> rows;
    std::string problem;
    // A byte order mark, LF and CR LF line ends and empty lines at the end.
    ASSERT_TRUE(ParseCsv("\xEF\xBB\xBF" + text + "x,\"1\"\n\r\n\n", &rows, &problem)) << problem;
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0], fields);
    EXPECT_EQ(rows[1], (CsvRow{"x", "1"}));
    EXPECT_FALSE(ParseCsv("a,b\r\n\"open,c\r\n", &rows, &problem));
    EXPECT_EQ(problem, "line 2: a quoted field is not closed.");
    EXPECT_FALSE(ParseCsv("a\n\"q\"x,b\n", &rows, &problem));
    EXPECT_EQ(problem, "line 2: text follows the closing quote of a field.");

    std::string every;
    for (int b = 1; b < 256; ++b) every += static_cast<char>(b);
    const std::string utf8 = Latin1ToUtf8(every);
    EXPECT_EQ(Latin1ToUtf8("\xE9"), "\xC3\xA9");
    EXPECT_EQ(FindInvalidUtf8(utf8), std::string::npos);
    std::string back, outside;
    ASSERT_TRUE(Utf8ToLatin1(utf8, &back, &outside));
    EXPECT_EQ(back, every);
    EXPECT_FALSE(Utf8ToLatin1("cost \xE2\x82\xAC", &back, &outside));
    EXPECT_EQ(outside, "\xE2\x82\xAC");
    EXPECT_EQ(FindInvalidUtf8("ab\xE9z"), 2u);         // Latin-1, not UTF-8
    EXPECT_EQ(FindInvalidUtf8("a\xC0\x80"), 1u);       // overlong
    EXPECT_EQ(FindInvalidUtf8("\xED\xA0\x80"), 0u);    // surrogate
}

TEST(CsvSections, NamesHeadersAndFileNames) {
    EXPECT_EQ(FindSectionByName("spells"), 2);
    EXPECT_EQ(FindSectionByName("Hero Units"), 3);
    EXPECT_EQ(FindSectionByName("her0 units"), 3);
    EXPECT_EQ(FindSectionByName("Spell"), -1);
    EXPECT_EQ(CsvHeader(23), (CsvRow{"Name", "Value"}));
    EXPECT_EQ(CsvHeader(34).size(), 11u);
    EXPECT_EQ(CsvHeader(34)[1], "2 Books");
    EXPECT_EQ(CsvHeader(2)[8], "Cost");
    EXPECT_EQ(CsvFileName(2), "SPELLS.csv");
    for (int i = 0; i < kSectionCount; ++i)
        EXPECT_EQ(CsvFileName(i).find_first_of("<>:\"/\\|?*"), std::string::npos) << i;
}

// Every section, exported and imported unchanged through the command line,
// leaves the rules file byte-identical, hand-edited lines included.
CSV_CLI_TEST(RoundTripOfEverySectionIsByteIdentical) {
    TempDir dir;
    const std::string g = ExtractedGame(dir);
    const std::string rules = g + "/r.txt";
    // A hand-edited row: odd spacing, LF alone, a name with a comma and 0xE9.
    SetLine(rules, test::RecordLineNumber(2, 1), "\"Fire, Bolt \xE9t\xE9\",1,2 ,3,4,5,6,7,8,9,10,11,12,13,14,15;");
    std::string before = test::ReadFile(rules);
    before.erase(before.find("14,15;\r\n") + 6, 1);
    test::WriteFile(rules, before);
    CliRun r = Cli(g, "export-csv --rules r.txt --section all --out csv");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    const std::string spells = test::ReadFile(g + "/csv/SPELLS.csv");
    EXPECT_NE(spells.find("\r\n\"Fire, Bolt \xC3\xA9t\xC3\xA9\",1,2,3,"), std::string::npos) << spells;
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(g + "/csv")) {
        ++files;
        const std::string name = entry.path().stem().string();
        r = Cli(g, "import-csv --rules r.txt --section '" + name + "' 'csv/" + name + ".csv'");
        EXPECT_EQ(r.status, 0) << name << ": " << r.err;
    }
    EXPECT_EQ(files, kSectionCount);
    EXPECT_EQ(test::ReadFile(rules), before);
}

// What a spreadsheet does to a file (byte order mark, LF, quoted numbers, an
// empty last line) is accepted; the changed row is written as a save writes
// it and reaches the game file.
CSV_CLI_TEST(ChangedValueReachesTheRulesFileAndTheGame) {
    TempDir dir;
    const std::string g = ExtractedGame(dir);
    ASSERT_EQ(Cli(g, "export-csv --rules r.txt --section Spells --out s.csv").status, 0);
    auto rows = test::SplitLines(test::ReadFile(g + "/s.csv"));
    const std::string row3 = rows[3];
    std::string edited = "\xEF\xBB\xBF";
    for (std::size_t k = 0; k < rows.size(); ++k) {
        std::string row = rows[k];
        if (k == 3) row = row.substr(0, row.find(',')) + ",\"7\"" + row.substr(row.find(',', row.find(',') + 1));
        edited += row + "\n";
    }
    test::WriteFile(g + "/s.csv", edited + "\n");
    const std::string before = test::ReadFile(g + "/r.txt");
    CliRun r = Cli(g, "import-csv --rules r.txt --section SPELLS s.csv --dry-run");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(test::ReadFile(g + "/r.txt"), before);
    r = Cli(g, "import-csv --rules r.txt --section SPELLS s.csv");
    EXPECT_EQ(r.status, 0) << r.err;
    auto lines = test::SplitLines(before);
    std::string& line = lines[static_cast<std::size_t>(test::RecordLineNumber(2, 2) - 1)];
    const std::size_t comma = line.find(',');
    line = line.substr(0, comma) + ",   7" + line.substr(line.find(',', comma + 1));
    EXPECT_EQ(test::ReadFile(g + "/r.txt"), test::JoinLines(lines));

    // A renamed row is reported; the rules file keeps its name.
    const std::string imported = test::ReadFile(g + "/r.txt");
    test::WriteFile(g + "/s.csv", edited.replace(edited.find("\n" + row3.substr(0, row3.find(',')) + ",") + 1, row3.find(','), "Renamed"));
    r = Cli(g, "import-csv --rules r.txt --section SPELLS s.csv");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "Row 3 (" + row3.substr(0, row3.find(',')) +
                         "): the name \"Renamed\" in s.csv differs from the rules file's; the rules file's name is kept.\n");
    EXPECT_EQ(test::ReadFile(g + "/r.txt"), imported);

    ASSERT_EQ(Cli(g, "write --rules r.txt").status, 0);
    ASSERT_EQ(Cli(g, "extract --rules again.txt").status, 0);
    ASSERT_EQ(Cli(g, "export-csv --rules again.txt --section spells").status, 0);
    EXPECT_EQ(test::SplitLines(test::ReadFile(g + "/stdout.txt"))[3],
              row3.substr(0, row3.find(',')) + ",7" + row3.substr(row3.find(',', row3.find(',') + 1)));
}

// Each refusal is reported and leaves the rules file byte-identical.
CSV_CLI_TEST(RefusalsLeaveTheRulesFileUnchanged) {
    TempDir dir;
    const std::string g = ExtractedGame(dir);
    ASSERT_EQ(Cli(g, "export-csv --rules r.txt --section spells --out s.csv").status, 0);
    const std::string good = test::ReadFile(g + "/s.csv");
    const std::string before = test::ReadFile(g + "/r.txt");
    auto rows = test::SplitLines(good);
    const std::string name = rows[12].substr(0, rows[12].find(','));
    const auto withRow = [&](std::size_t k, const std::string& row) {
        auto copy = rows;
        copy[k] = row;
        return test::JoinLines(copy);
    };
    // Replaces field f of a CSV row.
    const auto field = [](std::string row, int f, const std::string& text) {
        std::size_t start = 0;
        for (int k = 0; k < f; ++k) start = row.find(',', start) + 1;
        return row.substr(0, start) + text + row.substr(std::min(row.find(',', start), row.size()));
    };
    struct Case {
        std::string csv, report;
    };
    const std::string unchanged = "Nothing was imported; r.txt was left unchanged.\n";
    const std::vector<Case> cases = {
        {withRow(0, field(rows[0], 8, "Kost")),
         "Column 9 of the header row of in.csv is \"Kost\"; section \"Spells\" has \"Cost\" there.\n"},
        {good.substr(0, good.rfind("\r\n", good.size() - 3) + 2),
         "in.csv has 214 rows below its header; section \"Spells\" has 215.\n"},
        {withRow(12, field(rows[12], 8, "70000")), "Row 12 (" + name + "), column \"Cost\": Value out of range.\n"},
        {withRow(12, field(rows[12], 8, "\"1,2\"")),
         "Row 12 (" + name + "), column \"Cost\": The text holds a comma or line end, which would shift the row's "
                              "later values.\n"},
        {withRow(12, field(rows[12], 3, "\xE2\x82\xAC")),
         "Row 12 (" + name + "), column \"Unknown\": \"\xE2\x82\xAC\" is not a Latin-1 character; the rules file "
                              "holds Latin-1 text only.\n"},
        {withRow(5, field(rows[5], 0, "caf\xE9")),
         "in.csv is not UTF-8 text (line 6); save it from the spreadsheet as CSV in UTF-8.\n"},
    };
    for (const Case& c : cases) {
        test::WriteFile(g + "/in.csv", c.csv);
        const CliRun r = Cli(g, "import-csv --rules r.txt --section Spells in.csv");
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.err, c.report + unchanged);
        EXPECT_EQ(test::ReadFile(g + "/r.txt"), before);
    }

    // A rules file whose section has lost a row: its rows no longer line up.
    auto lines = test::SplitLines(before);
    lines.erase(lines.begin() + test::RecordLineNumber(2, 4));
    test::WriteFile(g + "/short.txt", test::JoinLines(lines));
    CliRun r = Cli(g, "import-csv --rules short.txt --section Spells s.csv");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("Section \"Spells\" ([SPELLS]) in short.txt is not followed by [END] after its 215 rows"),
              std::string::npos)
        << r.err;
    EXPECT_EQ(test::ReadFile(g + "/short.txt"), test::JoinLines(lines));
    EXPECT_EQ(Cli(g, "export-csv --rules short.txt --section Spells").status, 1);

    EXPECT_EQ(Cli(g, "import-csv --rules r.txt --section Spels s.csv").status, 2);
    EXPECT_EQ(Cli(g, "export-csv --rules r.txt --section all").status, 2);
}

}  // namespace
}  // namespace quorvane
