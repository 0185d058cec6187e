// The fixed description of the editable game data: 43 sections, their
// headers, display names, shapes, column names and row labels.
#pragma once

#include <array>
#include <string>

namespace quorvane {

constexpr int kSectionCount = 43;   // sections 0 .. 42
constexpr int kHeaderEnd = 43;      // Header(43) is "END"
constexpr int kHeaderVersion = 44;  // Header(44) is "%version=0.2500000"
constexpr int kInUseCells = 12450;  // 745 names and 11,705 values
// The section ranges: 0 .. 2 the records of the three LBX files, 3 .. 19 the
// units of each race (20 the races, whose names are read like theirs), 21 and
// 22 further record tables; 0 .. 22 have column names, 23 .. 42 are the
// groups of single constants, whose rows have fixed labels.
constexpr int kLastUnitSection = 19;
constexpr int kLastNamedFromGameSection = 20;  // rows of 0 .. 20 take their names from the game files
constexpr int kLastRecordSection = 22;
constexpr int kFirstConstantSection = 23;
inline bool IsConstantSection(int i) { return i >= kFirstConstantSection && i < kSectionCount; }

inline constexpr std::array<int, kSectionCount> kRowCounts = {
    66, 36, 215, 35, 4, 7, 11, 9, 10, 7, 6, 6, 9, 10, 6, 7, 10, 10, 7, 44, 14, 82,
    35, 1,  3,   2,  8, 2, 1,  8, 1, 10, 2, 1, 1, 1,  18, 15, 5, 5, 1,  9, 5};
inline constexpr std::array<int, kSectionCount> kColumnCounts = {
    10, 17, 16, 33, 33, 33, 33, 33, 33, 33, 33, 33, 33, 33, 33, 33, 33, 33, 33, 33, 12, 2,
    19, 2,  2,  2,  2,  2,  2,  2,  2,  2,  2,  2,  11, 2,  2,  2,  2,  2,  2,  2,  2};

// Rows and columns of section i (columns include column 0, the name); 0
// outside 0 .. 42.
inline int Rows(int i) {
    return static_cast<unsigned>(i) < static_cast<unsigned>(kSectionCount) ? kRowCounts[static_cast<std::size_t>(i)] : 0;
}
inline int Columns(int i) {
    return static_cast<unsigned>(i) < static_cast<unsigned>(kSectionCount) ? kColumnCounts[static_cast<std::size_t>(i)] : 0;
}

// The directive text of section i; Header(43) is "END" and Header(44) the
// version text.
const std::string& Header(int i);

// The text shown in the section chooser and as the caption of the section's
// window.
const std::string& DisplayName(int i);

// Column name of a record section (0 .. 22); "Error" for every other section
// or for a column the section does not have.
const std::string& ColumnName(int i, int step);

// Fixed label of row j of sections 21 .. 42; empty for other sections.
const std::string& RowLabel(int i, int j);

// True when (i, j, step) is a cell of the catalogue.
inline bool InUse(int i, int j, int step) {
    return j >= 0 && j < Rows(i) && step >= 0 && step < Columns(i);
}

// First cell index of each section, in file order (and the total at the end).
inline constexpr std::array<int, kSectionCount + 1> kSectionCellStart = [] {
    std::array<int, kSectionCount + 1> s{};
    for (std::size_t i = 0; i < static_cast<std::size_t>(kSectionCount); ++i)
        s[i + 1] = s[i] + kRowCounts[i] * kColumnCounts[i];
    return s;
}();
static_assert(kSectionCellStart[kSectionCount] == kInUseCells);

// Index of an in-use cell in file order (0 .. 12,449), or -1.
inline int CellIndex(int i, int j, int s) {
    if (!InUse(i, j, s)) return -1;
    return kSectionCellStart[static_cast<std::size_t>(i)] + j * Columns(i) + s;
}

}  // namespace quorvane
