#include "session/value_grid.h"


namespace quorvane {

namespace {
const std::string kOutside;
}  // namespace

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
    if (at >= 0) SetCell(at, text);
}

bool ValueGrid::ChangedSinceBaseline(int i, int j, int s) const {
    const int at = CellIndex(i, j, s);
    if (at < 0 || baseline_.empty()) return false;
    return cells_[static_cast<std::size_t>(at)] != baseline_[static_cast<std::size_t>(at)];
}

}  // namespace quorvane
