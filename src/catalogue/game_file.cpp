#include "catalogue/game_file.h"

#include <algorithm>
#include <cstring>
#include <cwctype>
#include <filesystem>

#include "catalogue/layout.h"
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

bool GameFileImage::Commit(ErrorSink& reports) {
    if (!open_ || !touched_) return true;
    const auto fail = [&](const std::string& text) {
        reports.Report(text);
        return false;
    };
    std::filesystem::path backup = path_;
    backup += ".bak";
    const EntryKind backupKind = EntryKindOf(backup);
    const auto runs = ChangedRanges();
    if (runs.empty() && backupKind != EntryKind::Missing) {
        // Every byte put was the one the file held, and the backup exists
        // (or cannot be made): nothing to do on disk.
        touched_ = false;
        dirty_.clear();
        return true;
    }
    // Only a regular file is a backup: a link there may name nothing, or
    // anything, and a folder holds no copy of the old bytes.
    if (backupKind == EntryKind::Other)
        return fail(PathText(backup) + " is not a regular file; " + PathText(path_) + " was not written.");
    // The file as it is now: a byte this run did not change keeps whatever
    // the file holds, and the backup is the file before this first write.
    std::string disk;
    if (!ReadWholeFile(path_, &disk)) return fail(NotWrittenReport(path_, {}, true));
    if (backupKind == EntryKind::Missing) {
        AtomicFileWriter copy;
        copy.TakeAttributesFrom(path_);
        if (!copy.Begin(backup, AtomicFileWriter::Links::Replace) || !copy.Commit(disk, FilePermissions(path_)))
            return fail(NotWrittenReport(backup, copy.errorString(), false));
        if (!copy.Lost().empty()) reports.Report(LostAttributesReport(backup, copy.Lost()));
    }
    touched_ = false;
    dirty_.clear();
    if (runs.empty()) return true;
    // The length never changes: a file that changed its length since it was
    // read is not written.
    if (disk.size() != bytes_.size()) return fail(NotWrittenReport(path_, {}, true));
    bool differs = false;
    for (const auto& r : runs) {
        const std::size_t n = r.second - r.first;
        if (std::memcmp(disk.data() + r.first, bytes_.data.get() + r.first, n) != 0) {
            differs = true;
            std::memcpy(disk.data() + r.first, bytes_.data.get() + r.first, n);
        }
    }
    if (!differs) return true;
    // A file with other names (a mod manager's hard links) is written in
    // place: a replacement would leave the old bytes under the other names.
    // Its backup is already on disk.
    if (NameCount(path_) > 1) {
        std::string reason;
        if (!WriteRangesInPlace(path_, disk, runs, &reason))
            return fail(PathText(path_) + " could not be written: " + reason + "; it may be partly written.");
        return true;
    }
    AtomicFileWriter writer;
    if (!writer.Begin(path_) || !writer.Commit(disk)) return fail(NotWrittenReport(path_, writer.errorString(), true));
    if (!writer.Lost().empty()) reports.Report(LostAttributesReport(path_, writer.Lost()));
    return true;
}

bool GameFileImage::Commit(std::string* problem) {
    RecordingErrorSink reports;
    const bool ok = Commit(reports);
    if (problem) {
        problem->clear();
        for (const std::string& text : reports.texts) *problem += (problem->empty() ? "" : "\n") + text;
    }
    return ok;
}

void GameFileImage::Close() {
    open_ = false;
    touched_ = false;
    staging_ = false;
    bytes_.clear();
    dirty_.clear();
    undo_.clear();
}

std::vector<std::filesystem::path> GameFilePaths(const std::filesystem::path& folder) {
    std::vector<std::filesystem::path> paths;
    for (GameFile f : GameFileOpenOrder()) paths.push_back(GamePath(folder, GameFileName(f)));
    return paths;
}

namespace {

// The same name in a folder; letter case does not tell names apart on
// Windows.
bool SameName(const std::filesystem::path& a, const std::filesystem::path& b) {
#ifdef _WIN32
    const std::wstring x = a.native(), y = b.native();
    return x.size() == y.size() && std::equal(x.begin(), x.end(), y.begin(), [](wchar_t p, wchar_t q) {
               return std::towupper(p) == std::towupper(q);
           });
#else
    return a == b;
#endif
}

}  // namespace

bool IsGameFileOrBackup(const std::filesystem::path& folder, const std::filesystem::path& target) {
    if (target.empty()) return false;
    namespace fs = std::filesystem;
    std::error_code ec;
    // Where the name leads: the file a link names, or the name itself for
    // a file not made yet.
    const fs::path resolved = fs::weakly_canonical(target, ec);
    for (fs::path game : GameFilePaths(folder)) {
        for (int backup = 0; backup < 2; ++backup) {
            if (backup) game += ".bak";
            std::error_code same;
            if (fs::equivalent(target, game, same)) return true;
            const fs::path where = fs::weakly_canonical(game, same);
            if (!ec && !same && SameName(resolved, where)) return true;
        }
    }
    return false;
}

std::string GameFileTargetRefusal(const std::filesystem::path& target) {
    return PathText(target) + " is a game file; nothing was written.";
}

}  // namespace quorvane
