#include "catalogue/layout.h"

#include <array>
#include <span>

#include "catalogue/catalogue.h"

namespace quorvane {

namespace {

constexpr FieldKind B = FieldKind::Byte;
constexpr FieldKind W = FieldKind::Word;
constexpr FieldKind F = FieldKind::BitFlags;

// Where a section's values stand. A cell (j, step) is at
//   base + j * recordSize + columnOffsets[step] + rowOffsets[j]
// (an empty list adds 0) and has the kind columnKinds[step], else
// rowKinds[j], else kind.
struct SectionLayout {
    GameFile file;
    int base;
    int recordSize;
    std::span<const int> columnOffsets;
    std::span<const int> rowOffsets;
    std::span<const FieldKind> columnKinds;
    std::span<const FieldKind> rowKinds;
    FieldKind kind;
};

// Records: field offsets and kinds by column.
constexpr std::array<int, 10> kItemPowerColumns = {0, 18, 19, 20, 22, 24, 26, 27, 28, 29};
constexpr std::array<FieldKind, 10> kItemPowerKinds = {B, F, F, W, W, W, F, F, F, F};
constexpr std::array<int, 17> kBuildingColumns = {0, 20, 22, 24, 26, 28, 30, 32, 34, 36, 38, 40, 42, 44, 46, 48, 50};
constexpr std::array<FieldKind, 17> kBuildingKinds = {W, B, W, W, W, B, B, B, W, W, W, W, W, W, W, W, W};
constexpr std::array<int, 16> kSpellColumns = {0, 19, 20, 21, 22, 23, 24, 25, 26, 28, 30, 31, 32, 33, 34, 35};
constexpr std::array<FieldKind, 16> kSpellKinds = {B, B, B, B, B, B, B, B, W, W, B, B, B, B, B, B};
// Units: the name pointer, eight bytes, the 2-byte cost, then single bytes.
constexpr std::array<int, 33> kUnitColumns = {0,  2,  3,  4,  5,  6,  7,  8,  9,  10, 12, 13, 14, 15, 16, 17, 18,
                                              19, 20, 21, 22, 23, 24, 25, 26, 27, 28, 29, 30, 31, 32, 33, 34};
constexpr std::array<FieldKind, 33> kUnitKinds = {W, B, B, B, B, B, B, B, B, W, B, B, B, B, B, B, B,
                                                  B, B, B, B, B, F, B, F, F, F, B, F, F, F, F, B};
constexpr std::array<int, 12> kRaceColumns = {0, 2, 4, 6, 8, 10, 12, 14, 16, 18, 20, 22};
constexpr std::array<int, 19> kUpkeepColumns = {0, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17};
constexpr std::array<FieldKind, 19> kUpkeepKinds = {B, B, B, B, B, F, F, F, F, B, B, B, B, B, B, B, B, B, B};
constexpr std::array<int, 11> kHeroStatColumns = {0, 0, 2, 4, 6, 8, 10, 12, 14, 16, 18};

// Constants: absolute offsets by row.
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
constexpr std::array<FieldKind, 18> kMapGenerationKinds = {B, B, B, B, B, B, B, B, B, B, B, B, B, B, B, W, W, W};
constexpr std::array<int, 15> kBookResearch = {0x97339, 0x9734A, 0x9734D, 0x97376, 0x97387,
                                               0x9738A, 0x973B3, 0x973C4, 0x973C7, 0x973DC,
                                               0x973ED, 0x973F0, 0x97405, 0x97416, 0x97419};
constexpr std::array<FieldKind, 15> kBookResearchKinds = {B, W, B, B, W, B, B, W, B, B, W, B, B, W, B};
constexpr std::array<int, 5> kHireHero = {0xBE57B, 0xBE581, 0xBE59D, 0xBE5A1, 0xBE5A9};
constexpr std::array<int, 5> kHireMerc = {0xBE38E, 0xBE3A7, 0xBE3B1, 0xBE3B5, 0xBE3BD};
constexpr std::array<int, 9> kMisc = {0x99F4B, 0x99F51, 0x9A651, 0xBCB2F, 0xF41AB,
                                      0x90D99, 0xBDB00, 0xC01EA, 0xB550E};
constexpr std::array<int, 5> kFoodBonuses = {0xC0078, 0xC02CC, 0xC02F7, 0xC026E, 0xC0228};

constexpr GameFile kWizards = GameFile::Wizards;
constexpr GameFile kMagic = GameFile::Magic;

constexpr SectionLayout Records(GameFile file, int base, int size, std::span<const int> columns,
                                std::span<const FieldKind> kinds) {
    return {file, base, size, columns, {}, kinds, {}, B};
}
constexpr SectionLayout Unit(int base) { return Records(kWizards, base, 36, kUnitColumns, kUnitKinds); }
constexpr SectionLayout RowTable(GameFile file, std::span<const int> rows, FieldKind kind,
                             std::span<const FieldKind> kinds = {}) {
    return {file, 0, 0, {}, rows, {}, kinds, kind};
}
constexpr SectionLayout At(GameFile file, int base, FieldKind kind, int recordSize = 0,
                           std::span<const int> columns = {}) {
    return {file, base, recordSize, columns, {}, {}, {}, kind};
}

constexpr std::array<SectionLayout, kSectionCount> kLayout = {{
    /* 0 ITEM POWERS */ Records(GameFile::ItemPow, kLbxRecordStart, 30, kItemPowerColumns, kItemPowerKinds),
    /* 1 BUILDINGS */ Records(GameFile::BuildDat, kLbxRecordStart, 52, kBuildingColumns, kBuildingKinds),
    /* 2 SPELLS */ Records(GameFile::SpellDat, kLbxRecordStart, 36, kSpellColumns, kSpellKinds),
    /* 3 .. 19 units */ Unit(0x2963C), Unit(0x29B28), Unit(0x29BB8), Unit(0x29CB4), Unit(0x29E40), Unit(0x29F84),
    Unit(0x2A0EC), Unit(0x2A1E8), Unit(0x2A2C0), Unit(0x2A398), Unit(0x2A4DC), Unit(0x2A644), Unit(0x2A71C),
    Unit(0x2A818), Unit(0x2A980), Unit(0x2AAE8), Unit(0x2ABE4),
    /* 20 races */ At(kWizards, 0x2B226, W, 24, kRaceColumns),
    /* 21 */ At(kWizards, 0x2B3B8, B, 2),
    /* 22 upkeep */ Records(kMagic, 0x27AE0, 18, kUpkeepColumns, kUpkeepKinds),
    /* 23 */ At(kWizards, 0x82C9F, B),
    /* 24 */ RowTable(kWizards, kBookRetort, B),
    /* 25 */ RowTable(kWizards, kManaGold, W),
    /* 26 */ RowTable(kMagic, kPicks, B),
    /* 27 */ RowTable(kWizards, kItemRewards, W),
    /* 28 */ At(kWizards, 0x5C02D, B),
    /* 29 */ RowTable(kWizards, kRetortEffects, B),
    /* 30 */ At(GameFile::ItemMake, 0x72A0, B),
    /* 31 */ At(GameFile::ItemMake, 0x29B46, W, 2),
    /* 32 */ RowTable(kWizards, kItemMaximum, W),
    /* 33 */ At(kWizards, 0x5863D, W),
    /* 34 */ At(kMagic, 0x2713E, W, 0, kHeroStatColumns),
    /* 35 */ At(kMagic, 0x47C35, B),
    /* 36 */ RowTable(kMagic, kMapGeneration, B, kMapGenerationKinds),
    /* 37 */ RowTable(kWizards, kBookResearch, B, kBookResearchKinds),
    /* 38 */ RowTable(kWizards, kHireHero, B),
    /* 39 */ RowTable(kWizards, kHireMerc, B),
    /* 40 */ At(kWizards, 0xBE2D4, B),
    /* 41 */ RowTable(kWizards, kMisc, B),
    /* 42 */ RowTable(kWizards, kFoodBonuses, B),
}};

// The further places write-back stores a value to (column 1 only). A row of
// -1 means every row, each rowStride bytes after the one before. A place
// keeps the value in the codec of its cell's first place unless its own
// codec is given.
struct CopyRule {
    int section;
    int row;
    GameFile file;
    int offset;
    int rowStride;
    bool ownCodec = false;
    Codec codec = Codec::Byte;
};
constexpr std::array<CopyRule, 7> kCopies = {{
    {24, 0, kWizards, 0x63405, 0},
    {24, 1, kWizards, 0x633FA, 0},
    {25, 0, kWizards, 0x95A25, 0},
    {25, 1, kWizards, 0x95A05, 0},
    {30, 0, kWizards, 0x8C0E4, 0},
    {31, -1, kWizards, 0x2F078, 2},
    // The tower count's copy holds the count plus 6.
    {kMapGenerationSection, kTowersRow, kMagic, kTowersCopyOffset, 0, true, Codec::TowersCopy},
}};

const SectionLayout* LayoutOf(int i) {
    return static_cast<unsigned>(i) < static_cast<unsigned>(kSectionCount) ? &kLayout[static_cast<std::size_t>(i)] : nullptr;
}

template <typename T>
T Item(std::span<const T> list, int k, T otherwise) {
    return k >= 0 && static_cast<std::size_t>(k) < list.size() ? list[static_cast<std::size_t>(k)] : otherwise;
}

}  // namespace

FieldKind GetFieldKind(int i, int j, int step) {
    const SectionLayout* l = LayoutOf(i);
    if (!l) return FieldKind::Byte;
    if (!l->columnKinds.empty()) return Item(l->columnKinds, step, l->kind);
    if (!l->rowKinds.empty()) return Item(l->rowKinds, j, l->kind);
    return l->kind;
}

Codec CodecAt(int i, int j, int step) {
    switch (GetFieldKind(i, j, step)) {
    case FieldKind::Word: return i == kDestroyedItemsSection ? Codec::DestroyedItems : Codec::Word;
    case FieldKind::BitFlags: return Codec::Flags;
    case FieldKind::Byte: break;
    }
    return Codec::Byte;
}

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
    const SectionLayout* l = LayoutOf(i);
    return l ? l->file : GameFile::Wizards;
}

int RecordSize(int i) {
    const SectionLayout* l = LayoutOf(i);
    return l ? l->recordSize : 0;
}

int SectionBase(int i) {
    const SectionLayout* l = LayoutOf(i);
    return l ? l->base : 0;
}

int FieldOffset(int i, int j, int step) {
    const SectionLayout* l = LayoutOf(i);
    return l ? Item(l->columnOffsets, step, 0) + Item(l->rowOffsets, j, 0) : 0;
}

int OffsetInSection(int i, int j, int step) { return FieldOffset(i, j, step) + j * RecordSize(i); }

int ValueOffset(int i, int j, int step) { return OffsetInSection(i, j, step) + SectionBase(i); }

std::optional<Place> SecondCopyOf(int i, int j, int step) {
    // Sections that have further places at all, as bits.
    static constexpr std::uint64_t kWithCopies = [] {
        std::uint64_t bits = 0;
        for (const CopyRule& c : kCopies) bits |= std::uint64_t{1} << c.section;
        return bits;
    }();
    if (step != 1 || i < 0 || i >= kSectionCount || !(kWithCopies >> i & 1)) return std::nullopt;
    for (const CopyRule& c : kCopies) {
        if (c.section != i || (c.row != -1 && c.row != j)) continue;
        return Place{c.file, c.offset + (c.row == -1 ? j * c.rowStride : 0), c.ownCodec ? c.codec : CodecAt(i, j, step)};
    }
    return std::nullopt;
}

const CellSpot* CellSpots() {
    static const std::vector<CellSpot> spots = [] {
        std::vector<CellSpot> all;
        all.reserve(static_cast<std::size_t>(kInUseCells));
        for (int i = 0; i < kSectionCount; ++i)
            for (int j = 0; j < Rows(i); ++j)
                for (int step = 0; step < Columns(i); ++step) {
                    const std::optional<Place> copy = SecondCopyOf(i, j, step);
                    all.push_back({GetFieldKind(i, j, step), CodecAt(i, j, step), GameFileOf(i), ValueOffset(i, j, step),
                                   copy.has_value(), copy.value_or(Place{})});
                }
        return all;
    }();
    return spots.data();
}

std::string KeptInStepText(int i, int j, int step) {
    std::string text = "kept in step with its second copy";
    const std::optional<Place> copy = SecondCopyOf(i, j, step);
    if (!copy) return text;
    text += " in ";
    text += GameFileName(copy->file);
    if (copy->codec == Codec::TowersCopy) text += " (the value plus " + std::to_string(kTowersCopyAdd) + ")";
    return text;
}

}  // namespace quorvane
