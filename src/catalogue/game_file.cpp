#include "catalogue/game_file.h"

#include <algorithm>
#include <cstring>
#include <filesystem>

#include "io/file_io.h"
#include "io/path_text.h"

namespace quorvane {

bool GameFileImage::Open(const std::filesystem::path& path, Access access) {
    Close();
    path_ = path;
    if (access == Access::ReadWrite && !IsWritableFile(path)) return false;
    const bool read = ReadWholeFile(path, [this](std::size_t size) {
        // Not zero-filled: every byte is read over at once.
        bytes_.data = std::make_unique_for_overwrite<char[]>(size + 1);
        bytes_.count = size;
        return bytes_.data.get();
    });
    if (!read) {
        bytes_.clear();
        return false;
    }
    open_ = true;
    return true;
}

void GameFileImage::Change(std::size_t at, char byte) {
    if (staging_) undo_.emplace_back(at, bytes_[at]);
    bytes_[at] = byte;
    if (!dirty_.empty() && dirty_.back().second == at) dirty_.back().second = at + 1;
    else dirty_.emplace_back(at, at + 1);
}

void GameFileImage::BeginStage() {
    staging_ = true;
    stageTouched_ = touched_;
    stageDirtyCount_ = dirty_.size();
    stageLastEnd_ = dirty_.empty() ? 0 : dirty_.back().second;
    undo_.clear();
}

void GameFileImage::EndStage() {
    staging_ = false;
    undo_.clear();
}

void GameFileImage::RollbackStage() {
    if (!staging_) return;
    for (auto it = undo_.rbegin(); it != undo_.rend(); ++it) bytes_[it->first] = it->second;
    dirty_.resize(stageDirtyCount_);
    if (!dirty_.empty()) dirty_.back().second = stageLastEnd_;
    touched_ = stageTouched_;
    EndStage();
}

std::vector<std::pair<std::size_t, std::size_t>> GameFileImage::ChangedRanges() const {
    std::vector<std::pair<std::size_t, std::size_t>> sorted = dirty_;
    std::sort(sorted.begin(), sorted.end());
    std::vector<std::pair<std::size_t, std::size_t>> runs;
    for (const auto& r : sorted) {
        if (!runs.empty() && r.first <= runs.back().second) runs.back().second = std::max(runs.back().second, r.second);
        else runs.push_back(r);
    }
    return runs;
}

bool GameFileImage::Commit(std::string* problem) {
    if (!open_ || !touched_) return true;
    const auto fail = [&](std::string text) {
        if (problem) *problem = std::move(text);
        return false;
    };
    const std::string unchanged = PathText(path_) + " could not be written; it was left unchanged.";
    std::filesystem::path backup = path_;
    backup += ".bak";
    std::error_code ec;
    const bool backedUp = std::filesystem::exists(std::filesystem::symlink_status(backup, ec));
    const auto runs = ChangedRanges();
    if (backedUp && runs.empty()) {
        // Every byte put was the one the file held, and the backup exists:
        // nothing to do on disk.
        touched_ = false;
        dirty_.clear();
        return true;
    }
    // The file as it is now: a byte this run did not change keeps whatever
    // the file holds, and the backup is the file before this first write.
    std::string disk;
    if (!ReadWholeFile(path_, &disk)) return fail(unchanged);
    if (!backedUp && !ReplaceFileContents(backup, disk, FilePermissions(path_))) return fail("Error opening " + PathText(backup));
    touched_ = false;
    dirty_.clear();
    if (runs.empty()) return true;
    // The length never changes: a file that changed its length since it was
    // read is not written.
    if (disk.size() != bytes_.size()) return fail(unchanged);
    bool differs = false;
    for (const auto& r : runs) {
        const std::size_t n = r.second - r.first;
        if (std::memcmp(disk.data() + r.first, bytes_.data.get() + r.first, n) != 0) {
            differs = true;
            std::memcpy(disk.data() + r.first, bytes_.data.get() + r.first, n);
        }
    }
    if (!differs) return true;
    if (!ReplaceFileContents(path_, disk)) return fail(unchanged);
    return true;
}

void GameFileImage::Close() {
    open_ = false;
    touched_ = false;
    staging_ = false;
    bytes_.clear();
    dirty_.clear();
    undo_.clear();
}

}  // namespace quorvane
