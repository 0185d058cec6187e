#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <set>

#include "catalogue/catalogue.h"
#include "catalogue/codec.h"
#include "catalogue/layout.h"

namespace quorvane {
namespace {

TEST(Catalogue, ShapeAddsUpToTheRulesFile) {
    int rows = 0, cells = 0;
    for (int i = 0; i < kSectionCount; ++i) {
        EXPECT_GE(Columns(i), 2) << i;
        rows += Rows(i);
        cells += Rows(i) * Columns(i);
    }
    EXPECT_EQ(rows, 745);
    EXPECT_EQ(cells, kInUseCells);
    EXPECT_EQ(Rows(2), 215);
    EXPECT_EQ(Columns(34), 11);
    EXPECT_EQ(Rows(34), 1);
}

TEST(Catalogue, TextsAsTheProgramSpellsThem) {
    EXPECT_EQ(Header(3), "HER0 UNITS");
    EXPECT_EQ(Header(28), "MINMUM CITY DISTANCE");
    EXPECT_EQ(Header(41), "MISC Settings");
    EXPECT_EQ(Header(43), "END");
    EXPECT_EQ(Header(44), "%version=0.2500000");
    EXPECT_EQ(DisplayName(0), "Item Powers");
    EXPECT_EQ(DisplayName(10), "Gnoll units");
    EXPECT_EQ(DisplayName(42), "Food Buildings");
    EXPECT_EQ(ColumnName(1, 1), "Requierment (1)");
    EXPECT_EQ(ColumnName(7, 19), "# Figure's");
    EXPECT_EQ(ColumnName(22, 5), "Inherent Abilities(1)");
    EXPECT_EQ(ColumnName(23, 0), "Error");
    EXPECT_EQ(ColumnName(0, 10), "Error");
    EXPECT_EQ(RowLabel(21, 28), "Planar Trave");
    EXPECT_EQ(RowLabel(22, 24), "Unknown");
    EXPECT_EQ(RowLabel(37, 7), "Added To Sorcery Books For Research Bonus");
    EXPECT_EQ(RowLabel(38, 4), "Var m");
    EXPECT_EQ(RowLabel(39, 0), "Var i");
    EXPECT_EQ(RowLabel(42, 1), "Grainery");
    // Every constant section has one label per row.
    for (int i = 21; i < kSectionCount; ++i)
        for (int j = 0; j < Rows(i); ++j) EXPECT_FALSE(RowLabel(i, j).empty()) << i << " " << j;
}

TEST(Layout, WorkedOffsets) {
    EXPECT_EQ(ValueOffset(0, 2, 3), 628);
    EXPECT_EQ(ValueOffset(5, 1, 9), 0x29BE6);
    EXPECT_EQ(ValueOffset(37, 4, 1), 0x97387);
    EXPECT_EQ(ValueOffset(34, 0, 3), 0x27142);
    EXPECT_EQ(ValueOffset(30, 0, 1), 0x72A0);
    EXPECT_EQ(ValueOffset(31, 9, 1), 0x29B46 + 18);
    EXPECT_EQ(ValueOffset(23, 0, 1), 0x82C9F);
    EXPECT_EQ(ValueOffset(36, 11, 1), 0x36D73);
    EXPECT_EQ(ValueOffset(22, 0, 1), 0x27AE0);
    EXPECT_EQ(ValueOffset(1, 0, 16), 548 + 50);
    EXPECT_EQ(ValueOffset(2, 1, 8), 548 + 36 + 26);
    EXPECT_EQ(ValueOffset(21, 81, 1), 0x2B3B8 + 162);
    EXPECT_EQ(ValueOffset(20, 13, 11), 0x2B226 + 13 * 24 + 22);
    EXPECT_EQ(ValueOffset(3, 0, 32), 0x2963C + 34);
    EXPECT_EQ(ValueOffset(41, 4, 1), 0xF41AB);
}

TEST(Layout, UnitSectionsTileOneArray) {
    for (int i = 4; i <= 19; ++i) EXPECT_EQ(SectionBase(i), SectionBase(i - 1) + Rows(i - 1) * 36) << i;
    EXPECT_EQ(SectionBase(19) + Rows(19) * 36, 0x2B214);
}

TEST(Layout, NoTwoCellsShareAByte) {
    // Every value place of every cell, first places and second copies, is its
    // own: a write-back never lets one cell overwrite another.
    std::set<std::pair<int, int>> used;
    auto claim = [&](GameFile f, int offset, int bytes, const std::string& what) {
        for (int b = 0; b < bytes; ++b)
            EXPECT_TRUE(used.insert({static_cast<int>(f), offset + b}).second) << what << " at " << offset + b;
    };
    for (int i = 0; i < kSectionCount; ++i)
        for (int j = 0; j < Rows(i); ++j)
            for (int s = 1; s < Columns(i); ++s) {
                const std::string what = std::to_string(i) + "/" + std::to_string(j) + "/" + std::to_string(s);
                const int bytes = FieldBytes(GetFieldKind(i, j, s));
                claim(GameFileOf(i), ValueOffset(i, j, s), bytes, what);
                if (const auto p = SecondCopyOf(i, j, s)) claim(p->file, p->offset, bytes, what + " copy");
            }
}

TEST(Layout, FieldKinds) {
    EXPECT_EQ(FieldKindCode(0, 0, 1), 3);
    EXPECT_EQ(FieldKindCode(0, 0, 3), 1);
    EXPECT_EQ(FieldKindCode(1, 0, 1), 0);
    EXPECT_EQ(FieldKindCode(1, 0, 2), 1);
    EXPECT_EQ(FieldKindCode(2, 0, 8), 1);
    EXPECT_EQ(FieldKindCode(2, 0, 7), 0);
    EXPECT_EQ(FieldKindCode(12, 0, 9), 1);
    EXPECT_EQ(FieldKindCode(12, 0, 22), 3);
    EXPECT_EQ(FieldKindCode(12, 0, 23), 0);
    EXPECT_EQ(FieldKindCode(20, 3, 5), 1);
    EXPECT_EQ(FieldKindCode(21, 3, 1), 0);
    EXPECT_EQ(FieldKindCode(22, 3, 8), 3);
    EXPECT_EQ(FieldKindCode(33, 0, 1), 1);
    EXPECT_EQ(FieldKindCode(34, 0, 10), 1);
    EXPECT_EQ(FieldKindCode(36, 14, 1), 0);
    EXPECT_EQ(FieldKindCode(36, 15, 1), 1);
    EXPECT_EQ(FieldKindCode(37, 13, 1), 1);
    EXPECT_EQ(FieldKindCode(37, 12, 1), 0);
    EXPECT_EQ(FieldKindCode(41, 0, 1), 0);
    EXPECT_EQ(ColumnWidth(FieldKind::Byte), 4);
    EXPECT_EQ(ColumnWidth(FieldKind::Word), 6);
    EXPECT_EQ(ColumnWidth(FieldKind::BitFlags), 9);
}

// Every cell's file, offset and kind, and every further place, against a
// table written out once and checked in: a changed digit anywhere in the
// layout fails here.
TEST(Layout, EveryCellMatchesTheGoldenTable) {
    std::ifstream golden(QUORVANE_TEST_DATA "/layout_golden.txt");
    ASSERT_TRUE(golden.is_open());
    std::string line;
    std::getline(golden, line);  // the header
    int cells = 0;
    for (int i = 0; i < kSectionCount; ++i)
        for (int j = 0; j < Rows(i); ++j)
            for (int s = 0; s < Columns(i); ++s) {
                ASSERT_TRUE(std::getline(golden, line));
                char offset[16], expected[160];
                std::snprintf(offset, sizeof offset, "0x%X", ValueOffset(i, j, s));
                std::string text = std::to_string(i) + ' ' + std::to_string(j) + ' ' + std::to_string(s) + ' ' +
                                   GameFileName(GameFileOf(i)) + ' ' + offset + ' ' + std::to_string(FieldKindCode(i, j, s));
                if (const auto copy = SecondCopyOf(i, j, s)) {
                    std::snprintf(expected, sizeof expected, " %s 0x%X %d", GameFileName(copy->file), copy->offset, CodecOf(copy->codec).add);
                    text += expected;
                }
                EXPECT_EQ(text, line);
                ++cells;
            }
    EXPECT_EQ(cells, kInUseCells);
    EXPECT_FALSE(std::getline(golden, line));
}

TEST(Layout, GameFilesAndCopies) {
    EXPECT_EQ(GameFileOf(30), GameFile::ItemMake);
    EXPECT_EQ(GameFileOf(26), GameFile::Magic);
    EXPECT_EQ(GameFileOf(23), GameFile::Wizards);
    EXPECT_STREQ(GameFileName(GameFileOpenOrder().front()), "BUILDDAT.LBX");
    EXPECT_STREQ(GameFileName(GameFileOpenOrder().back()), "ITEMMAKE.EXE");
    ASSERT_TRUE(SecondCopyOf(31, 9, 1).has_value());
    EXPECT_EQ(SecondCopyOf(31, 9, 1)->offset, 0x2F078 + 18);
    EXPECT_FALSE(SecondCopyOf(24, 2, 1).has_value());
    EXPECT_EQ(SecondCopyOf(30, 0, 1)->offset, 0x8C0E4);
    EXPECT_EQ(SecondCopyOf(kMapGenerationSection, kTowersRow, 1)->codec, Codec::TowersCopy);
}

}  // namespace
}  // namespace quorvane
