// One table of record-line fields run through both readers of the rules file
// (the loader and the write-back lookup) and both writers (extraction and
// save): each reader's scan window, sign rule and separator search, and the
// writers' identical record lines.
#include <gtest/gtest.h>

#include "actions/actions.h"
#include "catalogue/catalogue.h"
#include "catalogue/layout.h"
#include "rules/format.h"
#include "rules/load.h"
#include "rules/record_reader.h"
#include "rules/save.h"
#include "test_util.h"
#include "writeback/lookup.h"

namespace quorvane {
namespace {

using test::Fixture;
using test::TempDir;

struct FieldCase {
    int section;          // the field is column 1 of row 0
    std::string field;    // the text between the name's comma and the separator (';' or ',' added)
    std::string loaded;   // the loader's cell text ("Value Not Found" when none)
    std::string lookedUp; // the lookup's value text ("0" when none)
    bool lookupProblem;   // the lookup reported the value
};

// Section 23 is one byte (window of six characters after the comma), 31 one
// word (eight), 0 a flag byte (eleven).
const std::vector<FieldCase> kCases = {
    {23, "     5", "5", "5", false},
    {23, "      5", "Value Not Found", "0", true},
    {23, "    -5", "-5", "251", false},
    {23, "     -5", "-5", "0", true},  // the loader starts at the '-', the lookup needs the digit in its window
    {23, " 12ab", "12ab", "12ab", false},
    {23, "   -0", "-0", "256", false},
    {23, " x", "Value Not Found", "0", true},
    {31, "       7", "7", "7", false},
    {31, "        7", "Value Not Found", "0", true},
    {31, "    -1", "-1", "65535", false},
    {0, "          00000001", "00000001", "00000001", false},
    {0, "           00000001", "Value Not Found", "0", true},
    {0, " 101", "101", "101", true},
    {0, " 0000000x", "0000000x", "0000000x", true},
};

std::vector<std::string> CanonicalLines() {
    Fixture source;
    test::FillValidGrid(source.session);
    return test::SplitLines(FormatGrid(source.session, false));
}

std::string WithField(const std::string& line, int section, const std::string& field) {
    const std::size_t first = line.find(',');
    const std::size_t after = line.find(Columns(section) == 2 ? ';' : ',', first + 1);
    return line.substr(0, first + 1) + field + line.substr(after);
}

TEST(FormatConformance, BothReadersOnOneTable) {
    TempDir dir;
    const auto canonical = CanonicalLines();
    for (const FieldCase& c : kCases) {
        auto lines = canonical;
        const auto row = static_cast<std::size_t>(test::RecordLineNumber(c.section, 0) - 1);
        lines[row] = WithField(lines[row], c.section, c.field);
        const std::string text = test::JoinLines(lines);

        Fixture load;
        load.session.rulesPath = dir.File("rules.txt");
        test::WriteFile(load.session.rulesPath, text);
        ASSERT_TRUE(LoadCommand(load.session));
        EXPECT_EQ(load.session.grid.GetArrayValue(c.section, 0, 1), c.loaded) << c.field;

        Fixture look;
        LineSource src(text, true);
        LookupResult found;
        for (int i = 0; i <= c.section; ++i)
            for (int j = 0; j < Rows(i); ++j)
                for (int s = 0; s < Columns(i); ++s) {
                    LookupResult r = FindRulesNumber(look.session, i, j, s, src);
                    if (i == c.section && j == 0 && s == 1) found = r;
                }
        EXPECT_EQ(found.value, c.lookedUp) << c.field;
        EXPECT_EQ(found.valueProblem, c.lookupProblem) << c.field;
    }
}

// Extraction and save write the same record lines: a save of what was just
// extracted is the extracted file plus the save's final empty line.
TEST(FormatConformance, BothWritersWriteTheSameLines) {
    TempDir dir;
    test::MakeSampleGame(dir.path());
    Fixture f;
    f.session.gameFolder = dir.path();
    f.session.rulesPath = dir.File("extracted.txt");
    ExtractCommand(f.session);
    f.session.rulesPath = dir.File("saved.txt");
    ASSERT_TRUE(SaveCommand(f.session));
    EXPECT_EQ(test::ReadFile(dir.File("saved.txt")), test::ReadFile(dir.File("extracted.txt")) + "\r\n");
    // Texts at and past their column widths.
    f.session.grid.SetArrayValue(23, 0, 1, "12345");
    f.session.grid.SetArrayValue(0, 0, 0, std::string(55, 'n'));
    std::string line;
    AppendRecordLine(line, 23, 0, [&](int s) { return f.session.grid.GetArrayValue(23, 0, s); });
    EXPECT_EQ(line, "\"Heal Amount\"" + std::string(39, ' ') + ",12345;\r\n");
    ASSERT_TRUE(SaveCommand(f.session));
    const auto saved = test::SplitLines(test::ReadFile(dir.File("saved.txt")));
    EXPECT_EQ(saved[static_cast<std::size_t>(test::RecordLineNumber(0, 0) - 1)].substr(0, 58), "\"" + std::string(55, 'n') + "\",");
}

// The scan compares sixteen characters at a time where it can: on random
// lines (bytes from 0x80 up, signs and separators at every distance from the
// line's end) it must find what a character-by-character scan finds, with the
// same missing-separator reports.
TEST(FormatConformance, ScanMatchesACharacterByCharacterScan) {
    const auto reference = [](std::string_view line, std::size_t comma, int width, bool last, MinusSign minus,
                              int* missing) {
        ValueScan scan;
        const std::size_t stop = comma + static_cast<std::size_t>(width) + 2;
        for (std::size_t k = comma + 1; k <= stop && k < line.size(); ++k) {
            const char c = line[k];
            if (c == '-' && minus == MinusSign::IsFlag) {
                scan.negative = true;
                continue;
            }
            if (!(c >= '0' && c <= '9') && c != '-') continue;
            const std::size_t end = line.find(last ? ';' : ',', k);
            if (end == std::string_view::npos) {
                ++*missing;
                continue;
            }
            scan.found = true;
            scan.start = k;
            scan.end = end;
            return scan;
        }
        return scan;
    };
    const char alphabet[] = {' ', ' ', ' ', '1', '7', '0', '9', '-', ',', ';', 'x', '/', ':', '\xB9', '\xB0', '\xAD'};
    std::uint32_t seed = 12345;
    const auto next = [&seed] { return seed = seed * 1664525u + 1013904223u; };
    for (int round = 0; round < 20000; ++round) {
        std::string line(next() % 40, ' ');
        for (char& c : line) c = alphabet[next() % sizeof alphabet];
        const std::size_t comma = line.empty() ? 0 : next() % line.size();
        const int widths[] = {4, 6, 9};
        const int width = widths[next() % 3];
        const bool last = next() % 2 == 0;
        const MinusSign minus = next() % 2 == 0 ? MinusSign::IsFlag : MinusSign::StartsValue;
        int wantMissing = 0, gotMissing = 0;
        const ValueScan want = reference(line, comma, width, last, minus, &wantMissing);
        const ValueScan got = ScanValue(line, comma, width, last, minus, [&] { ++gotMissing; });
        ASSERT_EQ(got.found, want.found) << line << " at " << comma;
        ASSERT_EQ(got.start, want.start) << line << " at " << comma;
        ASSERT_EQ(got.end, want.end) << line << " at " << comma;
        ASSERT_EQ(got.negative, want.negative) << line << " at " << comma;
        ASSERT_EQ(gotMissing, wantMissing) << line << " at " << comma;
        const char c = alphabet[next() % sizeof alphabet];
        const std::size_t from = next() % (line.size() + 1);
        ASSERT_EQ(FindChar(line, c, from), line.find(c, from)) << line;
    }
}

}  // namespace
}  // namespace quorvane
