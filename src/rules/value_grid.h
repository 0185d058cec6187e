// The editor's in-memory copy of the rules file: one 8-bit text per in-use
// cell (section i, row j, column s). Only the 12,450 in-use cells are stored.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quorvane {

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

    // Grows by one every time a stored text differs from the one it replaces.
    std::uint64_t ChangeCount() const { return changes_; }

private:
    std::vector<std::string> cells_;
    std::uint64_t changes_ = 0;
};

// Index of an in-use cell in file order (0 .. 12,449), or -1.
int CellIndex(int i, int j, int s);

}  // namespace quorvane
