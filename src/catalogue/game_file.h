// One game file held in memory for one file action. Extraction reads values
// out of it; write-back changes bytes in it and then replaces the file whole
// (a temporary file renamed over it), so the file never changes its length
// and is always either entirely old or entirely new.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "io/error_report.h"

namespace quorvane {

class GameFileImage {
public:
    enum class Access { ReadOnly, ReadWrite };

    // Reads the file whole. With ReadWrite it must also be writable (and not
    // marked read-only). Returns false, leaving the image closed, otherwise.
    bool Open(const std::filesystem::path& path, Access access = Access::ReadWrite);
    bool IsOpen() const { return open_; }
    const std::filesystem::path& Path() const { return path_; }
    std::size_t Size() const { return bytes_.size(); }

    // The byte at offset, 0 .. 255, or -1 when it cannot be read (closed file,
    // or past the end).
    int ByteAt(long long offset) const {
        if (!open_ || offset < 0 || static_cast<unsigned long long>(offset) >= bytes_.size()) return -1;
        return static_cast<unsigned char>(bytes_[static_cast<std::size_t>(offset)]);
    }
    // True when the count bytes from offset all lie inside the open file.
    bool Holds(long long offset, int count) const {
        return open_ && offset >= 0 && count >= 0 &&
               static_cast<unsigned long long>(offset) + static_cast<unsigned long long>(count) <= bytes_.size();
    }

    // Changes one byte in memory; ignored when closed or past the end. A byte
    // that already holds the value is not written back by Commit, but the put
    // still counts as a write for the backup.
    void PutByte(long long offset, std::uint8_t value) {
        if (!Holds(offset, 1)) return;
        touched_ = true;
        const auto at = static_cast<std::size_t>(offset);
        // Rewriting a byte with its own value changes nothing on disk;
        // leaving it out keeps the file untouched when nothing really changed.
        if (bytes_[at] != static_cast<char>(value)) Change(at, static_cast<char>(value));
    }
    bool Dirty() const { return !dirty_.empty(); }

    // Staging: puts after BeginStage can be taken back whole with
    // RollbackStage, or kept with EndStage.
    void BeginStage();
    void EndStage();
    void RollbackStage();

    // The changed ranges, [begin, end), sorted and merged.
    std::vector<std::pair<std::size_t, std::size_t>> ChangedRanges() const;
    const char* Data() const { return bytes_.data.get(); }

    // Makes the changes real. Before the first write ever (any PutByte since
    // the last Commit), copies the file as it is on disk now to path + ".bak"
    // unless a regular file of that name exists; the copy goes through a
    // temporary file, so a .bak is either whole or absent, and it takes the
    // file's owner, permission bits and extended attributes. Anything else at
    // that name (a link, a folder) is no backup: the file is then not written.
    // Then, when bytes changed, the file as it is on disk now with the changed
    // ranges put in is written whole to a temporary file and renamed over the
    // file; a file with several names (hard links) is written in place
    // instead, so that every name sees the new bytes. Returns false when the
    // backup or the write fails: the file is then left unchanged (or, written
    // in place, its backup holds the old bytes). Every problem, and every
    // attribute a new file could not keep, is reported to reports.
    bool Commit(ErrorSink& reports);
    // The same with the reports joined, one a line, into *problem.
    bool Commit(std::string* problem);
    void Close();

private:
    // Puts a byte that differs from the one at at, keeping what a rollback
    // and the commit need.
    void Change(std::size_t at, char byte);

    std::filesystem::path path_;
    // The file's bytes, read straight into place (not zero-filled first).
    struct Bytes {
        std::unique_ptr<char[]> data;
        std::size_t count = 0;
        std::size_t size() const { return count; }
        char& operator[](std::size_t k) { return data[k]; }
        char operator[](std::size_t k) const { return data[k]; }
        void clear() { data.reset(); count = 0; }
    } bytes_;
    std::vector<std::pair<std::size_t, std::size_t>> dirty_;  // [begin, end) ranges of changed bytes, in write order
    bool touched_ = false;  // PutByte was called since the last Commit
    bool open_ = false;

    // What RollbackStage restores.
    bool staging_ = false;
    bool stageTouched_ = false;
    std::size_t stageDirtyCount_ = 0;
    std::size_t stageLastEnd_ = 0;
    std::vector<std::pair<std::size_t, char>> undo_;
};

// The six game files of a game folder (the folder's own names, links not
// resolved), in the order extraction and write-back open them.
std::vector<std::filesystem::path> GameFilePaths(const std::filesystem::path& folder);

// True when target is one of the six game files of folder or a backup of one,
// by name or as the same file once links are resolved: such a file must never
// be replaced by a rules or CSV file.
bool IsGameFileOrBackup(const std::filesystem::path& folder, const std::filesystem::path& target);
// The report of a refused target: "TARGET is a game file; nothing was
// written.".
std::string GameFileTargetRefusal(const std::filesystem::path& target);

}  // namespace quorvane
