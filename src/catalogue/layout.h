// Where every value lives in the game files: file, absolute offset, width and
// text form. Game files are flat byte arrays to the editor.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace quorvane {

enum class FieldKind : int { Byte = 0, Word = 1, BitFlags = 3 };

// The code of the field kind of a cell: 0, 1 or 3.
FieldKind GetFieldKind(int i, int j, int step);
inline int FieldKindCode(int i, int j, int step) { return static_cast<int>(GetFieldKind(i, j, step)); }

// Column width in the rules file: Byte 4, Word 6, BitFlags 9.
constexpr int ColumnWidth(FieldKind kind) {
    return kind == FieldKind::Word ? 6 : kind == FieldKind::BitFlags ? 9 : 4;
}
// Bytes a value of this kind occupies in its game file.
constexpr int FieldBytes(FieldKind kind) { return kind == FieldKind::Word ? 2 : 1; }

enum class GameFile : int { ItemPow = 0, BuildDat, SpellDat, Wizards, Magic, ItemMake };
constexpr int kGameFileCount = 6;

// Bare file name, for example "WIZARDS.EXE".
const char* GameFileName(GameFile f);
// The order in which extraction and write-back open (and close) the files:
// BUILDDAT.LBX, ITEMPOW.LBX, SPELLDAT.LBX, WIZARDS.EXE, MAGIC.EXE, ITEMMAKE.EXE.
const std::vector<GameFile>& GameFileOpenOrder();

GameFile GameFileOf(int i);

int RecordSize(int i);
int SectionBase(int i);
int FieldOffset(int i, int j, int step);
int Get_Hex_Offset(int i, int j, int step);
int ValueOffset(int i, int j, int step);

// Offset added to a unit or race name pointer to find its text in WIZARDS.EXE.
constexpr int kNameTextBase = 169120;  // 0x294A0
constexpr int kNameBytes = 18;
constexpr int kLbxRecordStart = 548;

// Section 33: the code words that stand for 50 and 25.
constexpr int kDestroyedItemsSection = 33;
constexpr int kCode50 = 49707;
constexpr int kCode25 = 63697;
// The only values section 33 takes: they are stored as the code words.
constexpr bool IsDestroyedItemsValue(long long n) { return n == 25 || n == 50; }

// Section 36 row 11: the tower count, and its copy (a further place, see
// SecondCopyOf) that holds the count plus 6.
constexpr int kMapGenerationSection = 36;
constexpr int kTowersRow = 11;
constexpr int kTowersOffset = 0x36D73;
constexpr int kTowersCopyOffset = 0x393E3;
constexpr int kTowersCopyAdd = 6;

// A further place of a value: write-back stores the value there too, plus
// add (the tower count's copy holds the count plus 6).
struct Place {
    GameFile file;
    int offset;
    int add = 0;
};

// The further place of cell (i, j, step), with the same field kind; at most
// one exists per cell.
std::optional<Place> SecondCopyOf(int i, int j, int step);

// What the file actions need of an in-use cell, computed once from the
// functions above: its kind, its first place, and its further place if any.
// The loader, extraction and write-back visit every cell and look it up by
// cell index (see CellIndex) instead of walking the layout each time.
struct CellSpot {
    FieldKind kind;
    GameFile file;
    int offset;
    bool hasCopy;
    Place copy;
};
const CellSpot* CellSpots();  // kInUseCells spots, in file order
inline const CellSpot& SpotOf(int cellIndex) { return CellSpots()[cellIndex]; }

}  // namespace quorvane
