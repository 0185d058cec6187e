#include "catalogue/game_file.h"

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "rules/file_io.h"

namespace quorvane {

bool GameFileImage::Open(const std::string& path) {
    Close();
    path_ = path;
    if (!IsWritableFile(path)) return false;
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

void GameFileImage::PutByte(long long offset, std::uint8_t value) {
    if (!Holds(offset, 1)) return;
    touched_ = true;
    const auto at = static_cast<std::size_t>(offset);
    const char byte = static_cast<char>(value);
    // Rewriting a byte with its own value changes nothing on disk; leaving it
    // out keeps the writes (one seek and write per run) to the real changes.
    if (bytes_[at] == byte) return;
    bytes_[at] = byte;
    if (!dirty_.empty() && dirty_.back().second == at) dirty_.back().second = at + 1;
    else dirty_.emplace_back(at, at + 1);
}

bool GameFileImage::Commit(std::string* failedPath) {
    if (!open_ || !touched_) return true;
    namespace fs = std::filesystem;
    std::error_code ec;
    const std::string backup = path_ + ".bak";
    if (!fs::exists(backup, ec)) {
        // The file on disk is still untouched: every change so far lives in memory.
        if (!fs::copy_file(path_, backup, ec) || ec) {
            if (failedPath) *failedPath = backup;
            return false;
        }
    }
    touched_ = false;
    if (dirty_.empty()) return true;
    std::sort(dirty_.begin(), dirty_.end());
    std::vector<std::pair<std::size_t, std::size_t>> runs;
    for (const auto& r : dirty_) {
        if (!runs.empty() && r.first <= runs.back().second) runs.back().second = std::max(runs.back().second, r.second);
        else runs.push_back(r);
    }
    std::fstream out(path_, std::ios::in | std::ios::out | std::ios::binary);
    if (!out.is_open()) {
        if (failedPath) *failedPath = path_;
        return false;
    }
    for (const auto& r : runs) {
        out.seekp(static_cast<std::streamoff>(r.first));
        out.write(bytes_.data.get() + r.first, static_cast<std::streamsize>(r.second - r.first));
    }
    out.flush();
    const bool ok = out.good();
    out.close();
    dirty_.clear();
    if (!ok && failedPath) *failedPath = path_;
    return ok;
}

void GameFileImage::Close() {
    open_ = false;
    touched_ = false;
    bytes_.clear();
    dirty_.clear();
}

}  // namespace quorvane
