#include "rules/value_grid.h"

#include <array>

#include "catalogue/catalogue.h"

namespace quorvane {

namespace {

// First cell index of each section, in file order.
const std::array<int, kSectionCount + 1>& SectionStarts() {
    static const std::array<int, kSectionCount + 1> starts = [] {
        std::array<int, kSectionCount + 1> s{};
        for (int i = 0; i < kSectionCount; ++i) s[static_cast<std::size_t>(i) + 1] = s[static_cast<std::size_t>(i)] + Rows(i) * Columns(i);
        return s;
    }();
    return starts;
}

const std::string kOutside;

}  // namespace

int CellIndex(int i, int j, int s) {
    if (!InUse(i, j, s)) return -1;
    return SectionStarts()[static_cast<std::size_t>(i)] + j * Columns(i) + s;
}

ValueGrid::ValueGrid() : cells_(static_cast<std::size_t>(kInUseCells)) {}

void ValueGrid::Initialise() {
    for (auto& c : cells_) c = kNotSet;
}

const std::string& ValueGrid::GetArrayValue(int i, int j, int s) const {
    const int at = CellIndex(i, j, s);
    return at < 0 ? kOutside : cells_[static_cast<std::size_t>(at)];
}

void ValueGrid::SetArrayValue(int i, int j, int s, std::string_view text) {
    const int at = CellIndex(i, j, s);
    if (at < 0) return;
    std::string& cell = cells_[static_cast<std::size_t>(at)];
    if (cell == text) return;
    cell.assign(text.data(), text.size());
    ++changes_;
}

}  // namespace quorvane
