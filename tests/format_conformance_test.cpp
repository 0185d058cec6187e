// One table of record-line fields run through both readers of the rules file
// (the loader and the write-back lookup) and the cell check, and both writers
// (extraction and save): each reader's field rule, scan window and sign rule,
// the count of a line's fields, and the writers' identical record lines.
#include <gtest/gtest.h>

#include <regex>

#include "actions/actions.h"
#include "catalogue/catalogue.h"
#include "catalogue/layout.h"
#include "rules/format.h"
#include "rules/load.h"
#include "rules/record_reader.h"
#include "rules/save.h"
#include "test_util.h"
#include "writeback/cell_check.h"
#include "writeback/lookup.h"

namespace quorvane {
namespace {

using test::Fixture;
using test::TempDir;
using Verdict = CellCheck::Verdict;

constexpr const char* kMissing = " Decimal Number expected.";
constexpr const char* kBinary = " Binary string expected.";
constexpr const char* kEmpty = ". Number Value Empty.";
constexpr const char* kBinaryLoad = ". Binary string expected.";
const std::string kSpellsTooMany = "The line holds 16 values, 15 expected";

struct FieldCase {
    int section, step;         // the field is column step of row 0
    std::string field;         // the text between the column's comma and the next separator
    std::string loaded;        // the loader's cell text
    std::string lookedUp;      // the lookup's value text ("0" when none)
    std::string lookupReport;  // the lookup's message for the field ("" for none)
    std::string loadReport;    // the loader's
    Verdict check;             // the cell check of the field's text
    bool lineRefused = false;  // no value of the line is read
};

// Section 23 is one byte (window of six characters after the comma), 31 one
// word (eight), 0 a flag byte (eleven); in the spells (2) column 7 is a byte
// and 8, the cost, a word between two neighbours; 15 is the row's last. The
// loader keeps a refused text that starts as a value does (a digit or '-').
const std::vector<FieldCase> kCases = {
    {23, 1, "     5", "5", "5", "", "", Verdict::Written},
    {23, 1, "      5", kValueNotFound, "0", kMissing, kEmpty, Verdict::Refused},
    {23, 1, "    -5", "-5", "251", "", "", Verdict::Written},
    {23, 1, "     -5", kValueNotFound, "0", kMissing, kEmpty, Verdict::Refused},  // the digit lies past the window
    {23, 1, "   -0", "-0", "256", "", "", Verdict::Refused},  // out of range, which the pipeline refuses
    {23, 1, " x", kValueNotFound, "0", kMissing, kEmpty, Verdict::Refused},
    {23, 1, "  5 ", "5", "5", "", "", Verdict::Written},  // blanks around a value are dropped
    {31, 1, "       7", "7", "7", "", "", Verdict::Written},
    {31, 1, "        7", kValueNotFound, "0", kMissing, kEmpty, Verdict::Refused},
    {31, 1, "    -1", "-1", "65535", "", "", Verdict::Written},
    {0, 1, "          00000001", "00000001", "00000001", "", "", Verdict::Written},
    {0, 1, "           00000001", kValueNotFound, "0", kMissing, kEmpty, Verdict::Refused},
    {0, 1, " 101", "101", "101", kBinary, kBinaryLoad, Verdict::Refused},
    {0, 1, " 0000000x", "0000000x", "0000000x", kBinary, kBinaryLoad, Verdict::Refused},
    {0, 1, " 00000001 1", "00000001 1", "00000001 1", kBinary, kBinaryLoad, Verdict::Refused},
    // A value is read from its own field only: nothing of it reaches the
    // neighbours, and nothing of theirs reaches it.
    {2, 8, "   x", kValueNotFound, "0", kMissing, kEmpty, Verdict::Refused},
    {2, 8, "  xy", kValueNotFound, "0", kMissing, kEmpty, Verdict::Refused},
    {2, 8, "      ", kValueNotFound, "0", kMissing, kEmpty, Verdict::Refused},
    {2, 8, "\t", kValueNotFound, "0", kMissing, kEmpty, Verdict::Refused},
    {2, 8, "     -", kValueNotFound, "0", kMissing, kEmpty, Verdict::Refused},
    {2, 8, "  12a4", "12a4", "0", kMissing, kEmpty, Verdict::Refused},
    {2, 8, "  3O40", "3O40", "0", kMissing, kEmpty, Verdict::Refused},
    {2, 8, "   l00", kValueNotFound, "0", kMissing, kEmpty, Verdict::Refused},
    {2, 8, "   1e3", "1e3", "0", kMissing, kEmpty, Verdict::Refused},
    {2, 8, "  12.5", "12.5", "0", kMissing, kEmpty, Verdict::Refused},
    {2, 8, "  0x10", "0x10", "0", kMissing, kEmpty, Verdict::Refused},
    {2, 8, "   --5", "--5", "0", kMissing, kEmpty, Verdict::Refused},
    {2, 8, "    +7", kValueNotFound, "0", kMissing, kEmpty, Verdict::Refused},
    {2, 8, "  \t12", kValueNotFound, "0", kMissing, kEmpty, Verdict::Refused},
    {2, 7, "  1 2", "1 2", "0", kMissing, kEmpty, Verdict::Refused},
    {2, 15, " 12a", "12a", "0", kMissing, kEmpty, Verdict::Refused},
    // One comma too many (or too few) puts every later value one column off:
    // the line is reported once and none of its values is read.
    {2, 8, "3,040", kValueNotFound, "0", " " + kSpellsTooMany + ": none of them was written.",
     ". " + kSpellsTooMany + ": none of them was read.", Verdict::Refused, true},
    {2, 15, "  1,2", kValueNotFound, "0", " " + kSpellsTooMany + ": none of them was written.",
     ". " + kSpellsTooMany + ": none of them was read.", Verdict::Refused, true},
};

// A grid of valid values ("Row i j" names) and the rules file it saves to.
struct Canonical {
    Canonical() {
        test::FillValidGrid(source.session);
        lines = test::SplitLines(FormatGrid(source.session, false));
    }
    std::string Text(int i, int j, int step) const { return std::string(source.session.grid.GetArrayValue(i, j, step)); }
    Fixture source;
    std::vector<std::string> lines;
};

// The line with the field of column step replaced.
std::string WithField(const std::string& line, int section, int step, const std::string& field) {
    std::size_t comma = line.find('"', 1);
    for (int s = 0; s < step; ++s) comma = line.find(',', comma + 1);
    const std::size_t after = line.find(step == Columns(section) - 1 ? ';' : ',', comma + 1);
    return line.substr(0, comma + 1) + field + line.substr(after);
}

// The lookup over every cell of sections 0 .. last of text; the results of
// row 0 of section last, and the reports.
std::vector<LookupResult> LookUpFirstRow(const std::string& text, int last, std::vector<std::string>* reports) {
    Fixture look;
    LineSource src(text, true);
    std::vector<LookupResult> row;
    for (int i = 0; i <= last; ++i)
        for (int j = 0; j < Rows(i); ++j)
            for (int s = 0; s < Columns(i); ++s) {
                LookupResult r = FindRulesNumber(look.session, i, j, s, src);
                if (i == last && j == 0) row.push_back(r);
            }
    *reports = look.errors.texts;
    return row;
}

TEST(FormatConformance, BothReadersAndTheCheckOnOneTable) {
    TempDir dir;
    const Canonical canonical;
    for (const FieldCase& c : kCases) {
        auto lines = canonical.lines;
        const auto row = static_cast<std::size_t>(test::RecordLineNumber(c.section, 0) - 1);
        const std::string number = std::to_string(row + 1);
        lines[row] = WithField(lines[row], c.section, c.step, c.field);
        const std::string text = test::JoinLines(lines);
        const std::string& header = Header(c.section);
        SCOPED_TRACE(lines[row]);

        Fixture load;
        load.session.rulesPath = dir.File("rules.txt");
        test::WriteFile(load.session.rulesPath, text);
        ASSERT_TRUE(LoadCommand(load.session));
        EXPECT_EQ(load.session.grid.GetArrayValue(c.section, 0, c.step), c.loaded);
        EXPECT_EQ(load.errors.texts, c.loadReport.empty() ? std::vector<std::string>{}
                                                          : std::vector<std::string>{"Line Number : " + number + c.loadReport});

        std::vector<std::string> reports;
        const auto found = LookUpFirstRow(text, c.section, &reports);
        EXPECT_EQ(found[static_cast<std::size_t>(c.step)].value, c.lookedUp);
        EXPECT_EQ(found[static_cast<std::size_t>(c.step)].valueProblem, !c.lookupReport.empty());
        EXPECT_EQ(reports, c.lookupReport.empty()
                               ? std::vector<std::string>{}
                               : std::vector<std::string>{"Line: " + number + " In [" + header + "] section " + c.lookupReport});

        // The other values of the row are read from their own fields, or,
        // on a refused line, not at all.
        for (int s = 1; s < Columns(c.section); ++s) {
            if (s == c.step) continue;
            const auto k = static_cast<std::size_t>(s);
            const std::string own = canonical.Text(c.section, 0, s);
            EXPECT_EQ(load.session.grid.GetArrayValue(c.section, 0, s), c.lineRefused ? kValueNotFound : own) << s;
            EXPECT_EQ(found[k].value, c.lineRefused ? "0" : own) << s;
            EXPECT_EQ(found[k].valueProblem, c.lineRefused) << s;
        }
        EXPECT_EQ(CheckCell(c.section, 0, c.step, c.field).verdict, c.check);
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

// The field read compares sixteen characters at a time where it can: on
// random lines (bytes from 0x80 up, signs, separators and blanks at every
// distance from the line's end) it must find what the rule says, read
// plainly: the field up to the separator, blanks dropped, its first digit
// within the window, and a number or flag text in its exact form.
TEST(FormatConformance, ScanMatchesThePlainRule) {
    const std::regex number("-?[0-9]+"), flagText("[01]{8}");
    const auto reference = [&](std::string_view line, std::size_t comma, int width, bool last, bool flags,
                               int* missing) {
        ValueScan scan;
        const std::size_t end = line.find(last ? ';' : ',', comma + 1);
        if (end == std::string_view::npos) {
            for (std::size_t k = comma + 1; k <= comma + static_cast<std::size_t>(width) + 2 && k < line.size(); ++k)
                *missing += line[k] >= '0' && line[k] <= '9';
            return scan;
        }
        scan.separator = end;
        const std::string field(line.substr(comma + 1, end - comma - 1));
        const std::size_t first = field.find_first_not_of(' ');
        const std::size_t digit = field.find_first_of("0123456789");
        if (first == std::string::npos || digit == std::string::npos || digit > static_cast<std::size_t>(width) + 1)
            return scan;
        const std::string value = field.substr(first, field.find_last_not_of(' ') + 1 - first);
        scan.start = comma + 1 + first;
        scan.end = scan.start + value.size();
        scan.negative = value[0] == '-';
        scan.read = std::regex_match(value, flags ? flagText : number) ? FieldRead::Value : FieldRead::Malformed;
        return scan;
    };
    const char alphabet[] = {' ', ' ', ' ', '1', '7', '0', '9', '-', ',', ';', 'x', '/', ':', '\xB9', '\xB0', '\xAD'};
    std::uint32_t seed = 12345;
    const auto next = [&seed] { return seed = seed * 1664525u + 1013904223u; };
    for (int round = 0; round < 20000; ++round) {
        std::string line(next() % 40, ' ');
        // Half the lines hold flag characters only around their separators.
        const std::size_t letters = round % 2 ? sizeof alphabet : 10;
        for (char& c : line) c = alphabet[next() % letters];
        const std::size_t comma = line.empty() ? 0 : next() % line.size();
        const int widths[] = {4, 6, 9};
        const int width = widths[next() % 3];
        const bool last = next() % 2 == 0;
        const bool flags = next() % 2 == 0;
        int wantMissing = 0, gotMissing = 0;
        const ValueScan want = reference(line, comma, width, last, flags, &wantMissing);
        const ValueScan got = ScanValue(line, comma, width, last, flags, [&] { ++gotMissing; });
        ASSERT_EQ(got.read, want.read) << line << " at " << comma;
        ASSERT_EQ(got.separator, want.separator) << line << " at " << comma;
        ASSERT_EQ(gotMissing, wantMissing) << line << " at " << comma;
        if (want.read != FieldRead::Missing) {
            ASSERT_EQ(got.start, want.start) << line << " at " << comma;
            ASSERT_EQ(got.end, want.end) << line << " at " << comma;
            ASSERT_EQ(got.negative, want.negative) << line << " at " << comma;
        }
        const char c = alphabet[next() % sizeof alphabet];
        const std::size_t from = next() % (line.size() + 1);
        ASSERT_EQ(FindChar(line, c, from), line.find(c, from)) << line;
        const std::size_t semicolon = line.find(';', from);
        ASSERT_EQ(CountValueFields(line, from),
                  std::count(line.begin() + static_cast<long>(from),
                             semicolon == std::string::npos ? line.end() : line.begin() + static_cast<long>(semicolon), ','))
            << line;
    }
}

}  // namespace
}  // namespace quorvane
