#include "catalogue/layout.h"

#include <array>

#include "catalogue/catalogue.h"

namespace quorvane {

namespace {

// Record arrays of sections 0 .. 22.
constexpr std::array<int, 23> kRecordBase = {
    548,     548,     548,     0x2963C, 0x29B28, 0x29BB8, 0x29CB4, 0x29E40, 0x29F84, 0x2A0EC, 0x2A1E8, 0x2A2C0,
    0x2A398, 0x2A4DC, 0x2A644, 0x2A71C, 0x2A818, 0x2A980, 0x2AAE8, 0x2ABE4, 0x2B226, 0x2B3B8, 0x27AE0};

// Field offsets inside a record, by column.
constexpr std::array<int, 10> kItemPowerOffsets = {0, 18, 19, 20, 22, 24, 26, 27, 28, 29};
constexpr std::array<int, 16> kSpellOffsets = {0, 19, 20, 21, 22, 23, 24, 25, 26, 28, 30, 31, 32, 33, 34, 35};

// Absolute offsets of the row-table sections, by row.
constexpr std::array<int, 3> kBookRetort = {0x633E6, 0x633E0, 0x63410};
constexpr std::array<int, 2> kManaGold = {0x95A14, 0x959F4};
constexpr std::array<int, 8> kPicks = {0x3394B, 0x469F0, 0x469FC, 0x46A08, 0x467F3, 0x46802, 0x46812, 0x46822};
constexpr std::array<int, 2> kItemRewards = {0x62D82, 0x62E32};
constexpr std::array<int, 8> kRetortEffects = {0x982DE, 0x98290, 0x972DF, 0x97306,
                                               0x97433, 0x9732B, 0x97368, 0x973A5};
constexpr std::array<int, 2> kItemMaximum = {0x8C488, 0x8C481};
constexpr std::array<int, 18> kMapGeneration = {0x3EAF1, 0x3DD83, 0x39A94, 0x39B6F, 0x39988, 0x39671,
                                                0x3966C, 0x39589, 0x39575, 0x396A4, 0x39341, 0x36D73,
                                                0x38433, 0x38424, 0x38412, 0x3835B, 0x38354, 0x3834D};
constexpr std::array<int, 15> kBookResearch = {0x97339, 0x9734A, 0x9734D, 0x97376, 0x97387,
                                               0x9738A, 0x973B3, 0x973C4, 0x973C7, 0x973DC,
                                               0x973ED, 0x973F0, 0x97405, 0x97416, 0x97419};
constexpr std::array<int, 5> kHireHero = {0xBE57B, 0xBE581, 0xBE59D, 0xBE5A1, 0xBE5A9};
constexpr std::array<int, 5> kHireMerc = {0xBE38E, 0xBE3A7, 0xBE3B1, 0xBE3B5, 0xBE3BD};
constexpr std::array<int, 9> kMisc = {0x99F4B, 0x99F51, 0x9A651, 0xBCB2F, 0xF41AB,
                                      0x90D99, 0xBDB00, 0xC01EA, 0xB550E};
constexpr std::array<int, 5> kFoodBonuses = {0xC0078, 0xC02CC, 0xC02F7, 0xC026E, 0xC0228};

template <std::size_t N>
int RowOffset(const std::array<int, N>& table, int j) {
    return (j >= 0 && j < static_cast<int>(N)) ? table[static_cast<std::size_t>(j)] : 0;
}

}  // namespace

FieldKind GetFieldKind(int i, int j, int step) {
    switch (i) {
        case 0:
            if (step == 3 || step == 4 || step == 5) return FieldKind::Word;
            if (step == 1 || step == 2 || (step >= 6 && step <= 9)) return FieldKind::BitFlags;
            return FieldKind::Byte;
        case 1:
            return (step == 1 || step == 5 || step == 6 || step == 7) ? FieldKind::Byte : FieldKind::Word;
        case 2:
            return (step == 8 || step == 9) ? FieldKind::Word : FieldKind::Byte;
        case 20: case 25: case 27: case 31: case 32: case 33: case 34:
            return FieldKind::Word;
        case 22:
            return (step >= 5 && step <= 8) ? FieldKind::BitFlags : FieldKind::Byte;
        case 36:
            return (j == 15 || j == 16 || j == 17) ? FieldKind::Word : FieldKind::Byte;
        case 37:
            return (j == 1 || j == 4 || j == 7 || j == 10 || j == 13) ? FieldKind::Word : FieldKind::Byte;
        default:
            break;
    }
    if (i >= 3 && i <= 19) {
        if (step == 0 || step == 9) return FieldKind::Word;
        switch (step) {
            case 22: case 24: case 25: case 26: case 28: case 29: case 30: case 31:
                return FieldKind::BitFlags;
            default:
                return FieldKind::Byte;
        }
    }
    return FieldKind::Byte;
}

int ColumnWidth(FieldKind kind) {
    switch (kind) {
        case FieldKind::Word: return 6;
        case FieldKind::BitFlags: return 9;
        case FieldKind::Byte: break;
    }
    return 4;
}

int FieldBytes(FieldKind kind) { return kind == FieldKind::Word ? 2 : 1; }

const char* GameFileName(GameFile f) {
    switch (f) {
        case GameFile::ItemPow: return "ITEMPOW.LBX";
        case GameFile::BuildDat: return "BUILDDAT.LBX";
        case GameFile::SpellDat: return "SPELLDAT.LBX";
        case GameFile::Wizards: return "WIZARDS.EXE";
        case GameFile::Magic: return "MAGIC.EXE";
        case GameFile::ItemMake: return "ITEMMAKE.EXE";
    }
    return "";
}

const std::vector<GameFile>& GameFileOpenOrder() {
    static const std::vector<GameFile> order = {GameFile::BuildDat, GameFile::ItemPow, GameFile::SpellDat,
                                                GameFile::Wizards,  GameFile::Magic,   GameFile::ItemMake};
    return order;
}

GameFile GameFileOf(int i) {
    switch (i) {
        case 0: return GameFile::ItemPow;
        case 1: return GameFile::BuildDat;
        case 2: return GameFile::SpellDat;
        case 22: case 26: case 34: case 35: case 36: return GameFile::Magic;
        case 30: case 31: return GameFile::ItemMake;
        default: return GameFile::Wizards;
    }
}

int RecordSize(int i) {
    if (i == 0) return 30;
    if (i == 1) return 52;
    if (i >= 2 && i <= 19) return 36;
    if (i == 20) return 24;
    if (i == 21) return 2;
    if (i == 22) return 18;
    return 0;
}

int SectionBase(int i) {
    if (i >= 0 && i <= 22) return kRecordBase[static_cast<std::size_t>(i)];
    switch (i) {
        case 23: return 0x82C9F;
        case 28: return 0x5C02D;
        case 33: return 0x5863D;
        case 34: return 0x2713E;
        case 35: return 0x47C35;
        case 40: return 0xBE2D4;
        default: return 0;
    }
}

int FieldOffset(int i, int j, int step) {
    if (i == 0) return (step >= 0 && step < 10) ? kItemPowerOffsets[static_cast<std::size_t>(step)] : 0;
    if (i == 1) return step <= 0 ? 0 : 20 + 2 * (step - 1);
    if (i == 2) return (step >= 0 && step < 16) ? kSpellOffsets[static_cast<std::size_t>(step)] : 0;
    if (i >= 3 && i <= 19) {
        if (step <= 0) return 0;
        if (step <= 8) return step + 1;  // columns 1 .. 8 at offsets 2 .. 9
        if (step == 9) return 10;        // the 2-byte cost
        return step + 2;                 // columns 10 .. 32 at offsets 12 .. 34
    }
    if (i == 20) return 2 * step;
    if (i == 21) return 0;
    if (i == 22) return step <= 0 ? 0 : step - 1;
    switch (i) {
        case 24: return RowOffset(kBookRetort, j);
        case 25: return RowOffset(kManaGold, j);
        case 26: return RowOffset(kPicks, j);
        case 27: return RowOffset(kItemRewards, j);
        case 29: return RowOffset(kRetortEffects, j);
        case 32: return RowOffset(kItemMaximum, j);
        case 34: return step >= 1 ? 2 * (step - 1) : 0;
        case 36: return RowOffset(kMapGeneration, j);
        case 37: return RowOffset(kBookResearch, j);
        case 38: return RowOffset(kHireHero, j);
        case 39: return RowOffset(kHireMerc, j);
        case 41: return RowOffset(kMisc, j);
        case 42: return RowOffset(kFoodBonuses, j);
        default: return 0;
    }
}

int Get_Hex_Offset(int i, int j, int step) { return FieldOffset(i, j, step) + j * RecordSize(i); }

int ValueOffset(int i, int j, int step) {
    if (i >= 0 && i <= 2) return Get_Hex_Offset(i, j, step) + kLbxRecordStart;
    if (i == 30) return 0x72A0;
    if (i == 31) return 0x29B46 + 2 * j;
    return Get_Hex_Offset(i, j, step) + SectionBase(i);
}

Place SecondCopy(int i, int j) {
    switch (i) {
        case 24:
            if (j == 0) return {GameFile::Wizards, 0x63405};
            if (j == 1) return {GameFile::Wizards, 0x633FA};
            break;
        case 25:
            if (j == 0) return {GameFile::Wizards, 0x95A25};
            if (j == 1) return {GameFile::Wizards, 0x95A05};
            break;
        case 30:
            return {GameFile::Wizards, 0x8C0E4};
        case 31:
            return {GameFile::Wizards, 0x2F078 + 2 * j};
        default:
            break;
    }
    return {GameFile::Wizards, -1};
}

std::vector<Place> SecondCopies(int i, int j, int step) {
    if (!HasSecondCopy(i, j, step)) return {};
    return {SecondCopy(i, j)};
}

}  // namespace quorvane
