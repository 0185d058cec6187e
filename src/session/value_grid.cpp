#include "session/value_grid.h"

#include <algorithm>
#include <cstring>

namespace quorvane {

namespace {
// Edited texts are copied into blocks of this size; a longer text gets a
// block of its own.
constexpr std::size_t kBlockSize = 16 * 1024;
}  // namespace

ValueGrid::ValueGrid() : cells_(static_cast<std::size_t>(kInUseCells), kNotSet) {}

void ValueGrid::FreeStorage() {
    baseline_.clear();
    baselineIsCurrent_ = false;
    loaded_.reset();
    blocks_.clear();
    blockUsed_ = blockSize_ = 0;
}

void ValueGrid::Initialise() {
    std::fill(cells_.begin(), cells_.end(), std::string_view(kNotSet));
    FreeStorage();
}

std::string_view ValueGrid::GetArrayValue(int i, int j, int s) const {
    const int at = CellIndex(i, j, s);
    return at < 0 ? std::string_view() : cells_[static_cast<std::size_t>(at)];
}

void ValueGrid::SetArrayValue(int i, int j, int s, std::string_view text) {
    const int at = CellIndex(i, j, s);
    if (at >= 0) SetCell(at, text);
}

std::string_view ValueGrid::Keep(std::string_view text) {
    if (text.empty()) return {};
    if (text.size() > blockSize_ - blockUsed_) {
        // The text may view the current block: the old block stays, so the
        // copy below still reads valid bytes.
        blockSize_ = std::max(kBlockSize, text.size());
        blocks_.push_back(std::make_unique<char[]>(blockSize_));
        blockUsed_ = 0;
    }
    char* at = blocks_.back().get() + blockUsed_;
    std::memcpy(at, text.data(), text.size());
    blockUsed_ += text.size();
    return {at, text.size()};
}

void ValueGrid::SetCell(int index, std::string_view text) {
    std::string_view& cell = cells_[static_cast<std::size_t>(index)];
    if (cell == text) return;
    if (baselineIsCurrent_) {
        baseline_ = cells_;
        baselineIsCurrent_ = false;
    }
    cell = Keep(text);
}

void ValueGrid::Replace(std::unique_ptr<const std::string> buffer, std::vector<std::string_view> cells) {
    if (cells.size() != cells_.size()) return;
    cells_ = std::move(cells);
    FreeStorage();
    loaded_ = std::move(buffer);
}

void ValueGrid::TakeBaseline() {
    baseline_.clear();
    baselineIsCurrent_ = true;
}

bool ValueGrid::ChangedSinceBaseline(int i, int j, int s) const {
    const int at = CellIndex(i, j, s);
    if (at < 0 || baselineIsCurrent_ || baseline_.empty()) return false;
    return cells_[static_cast<std::size_t>(at)] != baseline_[static_cast<std::size_t>(at)];
}

std::string_view ValueGrid::BaselineValue(int i, int j, int s) const {
    const int at = CellIndex(i, j, s);
    if (at < 0) return {};
    const auto index = static_cast<std::size_t>(at);
    return baselineIsCurrent_ || baseline_.empty() ? cells_[index] : baseline_[index];
}

}  // namespace quorvane
