// The cell check against the real write: each text is saved into its cell as
// the editor saves it, written, and what the write did must be what the check
// said.
#include <gtest/gtest.h>

#include "actions/actions.h"
#include "catalogue/layout.h"
#include "test_util.h"
#include "writeback/cell_check.h"

namespace quorvane {
namespace {

using test::Fixture;
using test::TempDir;
using Verdict = CellCheck::Verdict;

struct Cell {
    int i, j, step;
};

TEST(CellCheck, AgreesWithTheWrite) {
    TempDir dir;
    test::MakeSampleGame(dir.path());
    Fixture f;
    f.session.gameFolder = dir.path();
    f.session.rulesPath = dir.File("rules.txt");
    ExtractCommand(f.session);

    const Cell byteCell{23, 0, 1}, wordCell{31, 0, 1}, flagCell{0, 0, 1}, destroyed{33, 0, 1}, towers{36, 11, 1},
        unitByte{4, 0, 1};
    struct Case {
        Cell cell;
        std::string text;
        Verdict verdict;
    };
    const std::vector<Case> cases = {
        {byteCell, "7", Verdict::Written},        {byteCell, "-1", Verdict::Written},
        {byteCell, "255", Verdict::Written},      {byteCell, "256", Verdict::Refused},
        {byteCell, "300", Verdict::Refused},      {byteCell, "-0", Verdict::Refused},
        // Text beside the digits: refused, not cut off.
        {byteCell, "12ab", Verdict::Refused},     {byteCell, "x5", Verdict::Refused},
        {byteCell, "Not Set", Verdict::Refused},  {byteCell, "", Verdict::Refused},
        {byteCell, "1,2", Verdict::Refused},      {wordCell, "5597S", Verdict::Refused},
        {wordCell, "1e3", Verdict::Refused},      {wordCell, "--5", Verdict::Refused},
        {wordCell, " 12 ", Verdict::Written},     {byteCell, "\t7", Verdict::Refused},
        // After the row's last value a semicolon ends the line.
        {byteCell, "7;x", Verdict::Warning},      {unitByte, "7;x", Verdict::Refused},
        {wordCell, "65535", Verdict::Written},    {wordCell, "-5535", Verdict::Written},
        {wordCell, "70000", Verdict::Refused},    {wordCell, "99999999999999", Verdict::Refused},
        {flagCell, "00001001", Verdict::Written}, {flagCell, "0000000x", Verdict::Refused},
        {flagCell, "101", Verdict::Refused},      {flagCell, "000000001", Verdict::Refused},
        {flagCell, "0000,0001", Verdict::Refused},
        {destroyed, "25", Verdict::Written},      {destroyed, "40", Verdict::Refused},
        {destroyed, "50x", Verdict::Refused},     {towers, "249", Verdict::Written},
        {towers, "250", Verdict::Refused},
        // Negative texts outside the range extraction shows negative are
        // written as another number.
        {byteCell, "-15", Verdict::Written},      {byteCell, "-20", Verdict::Warning},
        {byteCell, "-256", Verdict::Warning},     {wordCell, "-5536", Verdict::Warning},
        {wordCell, "-65536", Verdict::Warning},   {towers, "-7", Verdict::Written},
    };
    for (const Case& c : cases) {
        const CellCheck check = CheckCell(c.cell.i, c.cell.j, c.cell.step, c.text);
        EXPECT_EQ(check.verdict, c.verdict) << c.text << ' ' << check.message;

        const std::string before(f.session.grid.GetArrayValue(c.cell.i, c.cell.j, c.cell.step));
        f.session.grid.SetArrayValue(c.cell.i, c.cell.j, c.cell.step, c.text);
        ASSERT_TRUE(SaveCommand(f.session));
        f.errors.texts.clear();
        WriteCommand(f.session);
        if (check.verdict == Verdict::Refused) {
            // The write refused it with the same message.
            ASSERT_FALSE(f.errors.texts.empty()) << c.text;
            // A comma or a semicolon spoils the line's count of values: the
            // write reports the line, not the cell.
            if (c.text.find_first_of(",;") == std::string::npos) {
                EXPECT_EQ(f.errors.texts.size(), 1u) << c.text;
                EXPECT_EQ(f.errors.texts[0].substr(f.errors.texts[0].find("section ") + 8), check.message) << c.text;
            }
        } else {
            EXPECT_TRUE(f.errors.texts.empty()) << c.text << ": " << (f.errors.texts.empty() ? "" : f.errors.texts[0]);
            // What reached the game file is what the check said.
            const auto bytes = test::GameBytes(dir.path(), GameFileOf(c.cell.i));
            const auto at = static_cast<std::size_t>(ValueOffset(c.cell.i, c.cell.j, c.cell.step));
            if (c.cell.i == flagCell.i) {
                EXPECT_EQ(bytes[at], 0b00001001);
            } else if (c.cell.i == destroyed.i) {
                EXPECT_EQ(bytes[at] | bytes[at + 1] << 8, check.stored == 25 ? kCode25 : kCode50);
            } else {
                const long long word = GetFieldKind(c.cell.i, c.cell.j, c.cell.step) == FieldKind::Word ? bytes[at] | bytes[at + 1] << 8 : bytes[at];
                EXPECT_EQ(word, check.stored) << c.text;
            }
        }
        f.session.grid.SetArrayValue(c.cell.i, c.cell.j, c.cell.step, before);
    }
    EXPECT_EQ(CheckCell(byteCell.i, 0, 1, "5597").message, " Value out of range.");
    EXPECT_EQ(CheckCell(wordCell.i, 0, 1, "5597S").message, " Decimal Number expected.");
    EXPECT_EQ(CheckCell(unitByte.i, 0, 1, "7;x").message, " The text holds a semicolon, which would end the row's line early.");
    EXPECT_EQ(CheckCell(byteCell.i, 0, 1, "-20").message, "Written as 236.");
    EXPECT_EQ(CheckCell(byteCell.i, 0, 1, "-256").message, "Written as 0.");
    EXPECT_EQ(CheckCell(wordCell.i, 0, 1, "-5536").message, "Written as 60000.");
    EXPECT_EQ(CheckCell(byteCell.i, 0, 1, " 255").message, "");
}

TEST(CellCheck, RangesInWords) {
    EXPECT_EQ(AllowedRange(23, 0, 1), "0 to 255, or -15 to -1 for 241 to 255");
    EXPECT_EQ(AllowedRange(31, 0, 1), "0 to 65535, or -5535 to -1 for 60001 to 65535");
    EXPECT_EQ(AllowedRange(36, 11, 1), "0 to 249, or -15 to -7 for 241 to 249");
    EXPECT_EQ(AllowedRange(33, 0, 1), "25 or 50");
    EXPECT_EQ(AllowedRange(0, 0, 1), "eight characters 0 or 1, bit 7 first");
}

}  // namespace
}  // namespace quorvane
