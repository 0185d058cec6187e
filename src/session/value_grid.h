// The editor's in-memory copy of the rules file: one 8-bit text per in-use
// cell (section i, row j, column s). Only the 12,450 in-use cells are stored.
//
// Cell texts are views into storage the grid owns: the bytes of the rules
// file last loaded (a load keeps the file's bytes whole and points every cell
// into them, copying nothing), blocks that edited texts are copied into, and
// the two fixed texts "Not Set" and "Value Not Found". Storage is freed only
// when every cell is replaced at once (a load, Initialise), so a text read
// from the grid stays valid across any number of SetCell calls until then.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "catalogue/catalogue.h"

namespace quorvane {

inline constexpr const char* kNotSet = "Not Set";
inline constexpr const char* kValueNotFound = "Value Not Found";

class ValueGrid {
public:
    ValueGrid();

    // Every in-use cell receives "Not Set"; all stored texts are freed.
    void Initialise();

    // The cell's text; an empty text for a cell outside the catalogue. The
    // view stays valid until the next Initialise or Replace.
    std::string_view GetArrayValue(int i, int j, int s) const;
    // Replaces the cell's text with a copy; ignored outside the catalogue.
    void SetArrayValue(int i, int j, int s, std::string_view text);

    // The same, by cell index in file order.
    std::string_view Cell(int index) const { return cells_[static_cast<std::size_t>(index)]; }
    void SetCell(int index, std::string_view text);

    // Replaces every cell at once: the grid takes buffer and cells (one text
    // per in-use cell, in file order), each of which must lie inside *buffer
    // or be one of the fixed texts above. The texts stored before are freed.
    void Replace(std::unique_ptr<const std::string> buffer, std::vector<std::string_view> cells);

    // Remembers every cell's text as the one last extracted or loaded.
    void TakeBaseline();
    // True when the cell's text differs from the one remembered by the last
    // TakeBaseline; false before any (or after an Initialise or Replace), and
    // outside the catalogue.
    bool ChangedSinceBaseline(int i, int j, int s) const;
    // The cell's text as the last TakeBaseline remembered it: the cell's own
    // text where ChangedSinceBaseline is false.
    std::string_view BaselineValue(int i, int j, int s) const;

private:
    // Copies text into the edit blocks and returns the copy.
    std::string_view Keep(std::string_view text);
    void FreeStorage();

    std::vector<std::string_view> cells_;
    // The baseline's texts, which view the same storage. While
    // baselineIsCurrent_ the baseline is the cells themselves and is not
    // copied out until the first change after TakeBaseline.
    std::vector<std::string_view> baseline_;
    bool baselineIsCurrent_ = false;
    std::unique_ptr<const std::string> loaded_;
    std::vector<std::unique_ptr<char[]>> blocks_;
    std::size_t blockUsed_ = 0;
    std::size_t blockSize_ = 0;
};

}  // namespace quorvane
