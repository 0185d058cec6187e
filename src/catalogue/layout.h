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
// The offset of cell (i, j, step) from its section's base: the field's offset
// in its record plus j records.
int OffsetInSection(int i, int j, int step);
// The same under the name the editor's design gives it.
inline int Get_Hex_Offset(int i, int j, int step) { return OffsetInSection(i, j, step); }
// The absolute offset of the value in its game file.
int ValueOffset(int i, int j, int step);

// Offset added to a unit or race name pointer to find its text in WIZARDS.EXE.
constexpr int kNameTextBase = 169120;  // 0x294A0
constexpr int kNameBytes = 18;
constexpr int kLbxRecordStart = 548;

// Section 33: the code words that stand for 50 and 25, the only values it
// takes.
constexpr int kDestroyedItemsSection = 33;
constexpr int kCode50 = 49707;
constexpr int kCode25 = 63697;

// Section 36 row 11: the tower count, and its copy (a further place, see
// SecondCopyOf) that holds the count plus 6.
constexpr int kMapGenerationSection = 36;
constexpr int kTowersRow = 11;
constexpr int kTowersOffset = 0x36D73;
constexpr int kTowersCopyOffset = 0x393E3;
constexpr int kTowersCopyAdd = 6;

// How a place keeps its value; each has its FieldCodec (catalogue/codec.h).
enum class Codec : std::uint8_t {
    Byte,            // one byte
    Word,            // two bytes, the low one first
    Flags,           // one byte shown as its eight bits
    DestroyedItems,  // section 33's word: a code word for 50 or 25
    TowersCopy,      // the tower count's copy: the count plus 6 in a byte
};
constexpr int kCodecCount = 5;

// The codec of the first place of cell (i, j, step): the one of its field
// kind, or the destroyed-items code words.
Codec CodecAt(int i, int j, int step);

// A further place of a value: write-back stores the value there too, in the
// place's own codec (the tower count's copy holds the count plus 6).
struct Place {
    GameFile file;
    int offset;
    Codec codec = Codec::Byte;
};

// The further place of cell (i, j, step), of the same field kind; at most
// one exists per cell.
std::optional<Place> SecondCopyOf(int i, int j, int step);

// How a review names a value that changes only because its second copy
// differs: "kept in step with its second copy in WIZARDS.EXE", and what the
// copy holds when it is not the value itself.
std::string KeptInStepText(int i, int j, int step);

// What the file actions need of an in-use cell, computed once from the
// functions above: its kind and codec, its first place, and its further
// place if any. The loader, extraction and write-back visit every cell and
// look it up by cell index (see CellIndex) instead of walking the layout each
// time.
struct CellSpot {
    FieldKind kind;
    Codec codec;
    GameFile file;
    int offset;
    bool hasCopy;
    Place copy;
};
const CellSpot* CellSpots();  // kInUseCells spots, in file order
inline const CellSpot& SpotOf(int cellIndex) { return CellSpots()[cellIndex]; }

}  // namespace quorvane
