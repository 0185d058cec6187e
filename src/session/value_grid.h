// The editor's in-memory copy of the rules file: one 8-bit text per in-use
// cell (section i, row j, column s). Only the 12,450 in-use cells are stored.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "catalogue/catalogue.h"

namespace quorvane {

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

inline constexpr const char* kNotSet = "Not Set";
inline constexpr const char* kValueNotFound = "Value Not Found";

class ValueGrid {
public:
    ValueGrid();

    // Every in-use cell receives "Not Set".
    void Initialise();

    // The cell's text; an empty text for a cell outside the catalogue.
    const std::string& GetArrayValue(int i, int j, int s) const;
    // Replaces the cell's text with a copy; ignored outside the catalogue.
    void SetArrayValue(int i, int j, int s, std::string_view text);

    // The same, by cell index in file order.
    void SetCell(int index, std::string_view text) {
        std::string& cell = cells_[static_cast<std::size_t>(index)];
        if (cell == text) return;
        cell.assign(text.data(), text.size());
        ++changes_;
    }

    // Grows by one every time a stored text differs from the one it replaces.
    std::uint64_t ChangeCount() const { return changes_; }

    // Remembers every cell's text as the one last extracted or loaded.
    void TakeBaseline() { baseline_ = cells_; }
    // True when the cell's text differs from the one remembered by the last
    // TakeBaseline; false before any, and outside the catalogue.
    bool ChangedSinceBaseline(int i, int j, int s) const;

private:
    std::vector<std::string> cells_;
    std::vector<std::string> baseline_;
    std::uint64_t changes_ = 0;
};

}  // namespace quorvane
