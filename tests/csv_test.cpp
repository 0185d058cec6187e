#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <map>
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

// The rows of a CSV file.
std::vector<CsvRow> ReadCsvFile(const std::string& path) {
    std::vector<CsvRow> rows;
    std::string problem;
    EXPECT_TRUE(ParseCsv(test::ReadFile(path), &rows, &problem)) << problem;
    return rows;
}

// Gives row j of the spells in the rules file at path another name.
void RenameSpell(const std::string& path, int j, const std::string& name) {
    const int n = test::RecordLineNumber(2, j);
    const std::string line = test::SplitLines(test::ReadFile(path))[static_cast<std::size_t>(n - 1)];
    SetLine(path, n, "\"" + name + "\"" + line.substr(line.find('"', 1) + 1));
}

// Every section, exported and imported unchanged through the command line,
// leaves the rules file byte-identical, hand-edited lines included. Names a
// spreadsheet would take for formulas are exported after a single quote.
CSV_CLI_TEST(RoundTripOfEverySectionIsByteIdentical) {
    TempDir dir;
    const std::string g = ExtractedGame(dir);
    const std::string rules = g + "/r.txt";
    const std::vector<std::pair<std::string, std::string>> formulas = {
        {"=1+2", "'=1+2"}, {"@SUM(9)", "'@SUM(9)"}, {"+7-1", "'+7-1"}, {"-2+3", "'-2+3"},
        {"'=x", "''=x"},   {"'Tis", "'Tis"},         {"\t5", "'\t5"}};
    for (std::size_t k = 0; k < formulas.size(); ++k) RenameSpell(rules, 2 + static_cast<int>(k), formulas[k].first);
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
    for (const auto& [name, field] : formulas) EXPECT_NE(spells.find("\r\n" + field + ","), std::string::npos) << field;
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

// Rows are matched to records by name, so a spreadsheet may sort them, and
// what it does to a file (byte order mark, LF, quoted numbers, an empty last
// line, rows of empty fields after the data) is accepted. Rows of a name the
// section holds more than once go to its records of that name in turn. A
// changed row is written as a save writes it, and after a write every record
// holds its own values.
CSV_CLI_TEST(SortedRowsReachTheirOwnRecords) {
    TempDir dir;
    const std::string g = ExtractedGame(dir);
    RenameSpell(g + "/r.txt", 20, "Unknown");
    RenameSpell(g + "/r.txt", 30, "Unknown");
    ASSERT_EQ(Cli(g, "export-csv --rules r.txt --section Spells --out s.csv").status, 0);
    std::vector<CsvRow> rows = ReadCsvFile(g + "/s.csv");
    const std::vector<CsvRow> exported(rows.begin() + 1, rows.end());
    rows[3][1] = rows[3][1] == "7" ? "8" : "7";  // record 2 (rows[0] is the header)
    std::stable_sort(rows.begin() + 1, rows.end(),
                     [](const CsvRow& a, const CsvRow& b) { return std::stoi(a[8]) < std::stoi(b[8]); });
    ASSERT_NE(rows[3][0], exported[2][0]);  // sorted: row 3 holds another record now
    // Each record takes the values of the rows of its name, in turn.
    std::map<std::string, std::vector<CsvRow>> byName;
    for (std::size_t k = 1; k < rows.size(); ++k) byName[rows[k][0]].push_back(rows[k]);
    std::vector<CsvRow> expected;
    for (const CsvRow& record : exported) {
        std::vector<CsvRow>& left = byName[record[0]];
        expected.push_back(left.front());
        left.erase(left.begin());
    }
    ASSERT_NE(expected[20], exported[20]);  // sorted the other way round, the "Unknown" rows swap values
    std::string edited;
    for (const CsvRow& row : rows) AppendCsvRow(edited, row);
    for (std::size_t k; (k = edited.find("\r\n")) != std::string::npos;) edited.erase(k, 1);
    const std::string first = "\n" + rows[1][0] + "," + rows[1][1] + ",";
    ASSERT_NE(edited.find(first), std::string::npos);
    edited.replace(edited.find(first), first.size(), "\n" + rows[1][0] + ",\"" + rows[1][1] + "\",");  // a quoted number
    // Spreadsheets may leave rows of empty fields after the data.
    const std::string emptyRow = std::string(static_cast<std::size_t>(Columns(2) - 1), ',') + "\n";
    test::WriteFile(g + "/s.csv", "\xEF\xBB\xBF" + edited + "\n" + emptyRow + emptyRow);

    const std::string before = test::ReadFile(g + "/r.txt");
    CliRun r = Cli(g, "import-csv --rules r.txt --section SPELLS s.csv --dry-run");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(test::ReadFile(g + "/r.txt"), before);
    r = Cli(g, "import-csv --rules r.txt --section SPELLS s.csv");
    EXPECT_EQ(r.status, 0) << r.err;
    // A changed record's line is written as a save writes it; the others
    // keep their lines.
    const auto lines = test::SplitLines(before);
    const auto after = test::SplitLines(test::ReadFile(g + "/r.txt"));
    ASSERT_EQ(after.size(), lines.size());
    for (int j = 0; j < Rows(2); ++j) {
        const auto k = static_cast<std::size_t>(test::RecordLineNumber(2, j) - 1);
        EXPECT_EQ(after[k] == lines[k], expected[static_cast<std::size_t>(j)] == exported[static_cast<std::size_t>(j)]) << j;
    }
    const std::string& line = lines[static_cast<std::size_t>(test::RecordLineNumber(2, 2) - 1)];
    const std::size_t comma = line.find(',');
    EXPECT_EQ(after[static_cast<std::size_t>(test::RecordLineNumber(2, 2) - 1)],
              line.substr(0, comma) + ",   " + expected[2][1] + line.substr(line.find(',', comma + 1)));

    ASSERT_EQ(Cli(g, "write --rules r.txt").status, 0);
    ASSERT_EQ(Cli(g, "extract --rules again.txt").status, 0);
    ASSERT_EQ(Cli(g, "export-csv --rules again.txt --section spells --out again.csv").status, 0);
    const std::vector<CsvRow> written = ReadCsvFile(g + "/again.csv");
    ASSERT_EQ(written.size(), expected.size() + 1);
    for (std::size_t j = 0; j < expected.size(); ++j)
        EXPECT_EQ(CsvRow(written[j + 1].begin() + 1, written[j + 1].end()), CsvRow(expected[j].begin() + 1, expected[j].end()))
            << j;
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
    const std::string name11 = rows[11].substr(0, rows[11].find(','));
    const std::string missing = "Record 12 (" + name + "): No row of in.csv holds this record.\n";
    const std::vector<Case> cases = {
        {withRow(0, field(rows[0], 8, "Kost")),
         "Column 9 of the header row of in.csv is \"Kost\"; section \"Spells\" has \"Cost\" there.\n"},
        {withRow(12, field(rows[12], 8, "70000")), "CSV line 13 (" + name + "), column \"Cost\": Value out of range.\n"},
        {withRow(12, field(rows[12], 8, "12a4")), "CSV line 13 (" + name + "), column \"Cost\": Decimal Number expected.\n"},
        {withRow(12, field(rows[12], 8, "\"1,2\"")),
         "CSV line 13 (" + name + "), column \"Cost\": The text holds a comma or line end, which would shift the row's "
                                  "later values.\n"},
        {withRow(12, field(rows[12], 3, "\xE2\x82\xAC")),
         "CSV line 13 (" + name + "), column \"Unknown\": \"\xE2\x82\xAC\" is not a Latin-1 character; the rules file "
                                  "holds Latin-1 text only.\n"},
        {withRow(5, field(rows[5], 0, "caf\xE9")),
         "in.csv is not UTF-8 text (line 6); save it from the spreadsheet as CSV in UTF-8.\n"},
        // Rows are matched by name: one no record has, a name given twice, a
        // record without a row, a row too many.
        {withRow(12, field(rows[12], 0, "Renamed")),
         "CSV line 13 (Renamed): No record of section \"Spells\" has this name.\n" + missing},
        {withRow(12, field(rows[12], 0, name11)),
         "CSV line 13 (" + name11 + "): The name is given again; its first row is on CSV line 12.\n" + missing},
        // An empty line names no record: it is passed over, and the record is missing.
        {withRow(12, ""), "in.csv has 214 rows below its header; section \"Spells\" has 215.\n" + missing},
        {test::JoinLines(std::vector<std::string>(rows.begin(), rows.begin() + 12)) +
             test::JoinLines(std::vector<std::string>(rows.begin() + 13, rows.end())),
         "in.csv has 214 rows below its header; section \"Spells\" has 215.\n" + missing},
        {good + rows[12] + "\r\n", "in.csv has 216 rows below its header; section \"Spells\" has 215.\nCSV line 217 (" +
                                       name + "): The name is given again; its first row is on CSV line 13.\n"},
    };
    for (const Case& c : cases) {
        test::WriteFile(g + "/in.csv", c.csv);
        const CliRun r = Cli(g, "import-csv --rules r.txt --section Spells in.csv");
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.err, c.report + unchanged);
        EXPECT_EQ(test::ReadFile(g + "/r.txt"), before);
    }

    // A name the section holds twice, given three times.
    RenameSpell(g + "/r.txt", 20, "Unknown");
    RenameSpell(g + "/r.txt", 30, "Unknown");
    const std::string twice = test::ReadFile(g + "/r.txt");
    ASSERT_EQ(Cli(g, "export-csv --rules r.txt --section spells --out in.csv").status, 0);
    const std::string csv = test::ReadFile(g + "/in.csv");
    const std::size_t unknown = csv.find("\r\nUnknown,") + 2;
    test::WriteFile(g + "/in.csv", csv + csv.substr(unknown, csv.find("\r\n", unknown) + 2 - unknown));
    CliRun r = Cli(g, "import-csv --rules r.txt --section Spells in.csv");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "in.csv has 216 rows below its header; section \"Spells\" has 215.\nCSV line 217 (Unknown): Section "
                     "\"Spells\" has only 2 records of this name, and this is row 3 of that name.\n" + unchanged);
    EXPECT_EQ(test::ReadFile(g + "/r.txt"), twice);
    test::WriteFile(g + "/r.txt", before);

    // A rules file whose section has lost a row: its rows no longer line up.
    auto lines = test::SplitLines(before);
    lines.erase(lines.begin() + test::RecordLineNumber(2, 4));
    test::WriteFile(g + "/short.txt", test::JoinLines(lines));
    r = Cli(g, "import-csv --rules short.txt --section Spells s.csv");
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
