#include "mods/restore.h"

#include <utility>

#include "actions/actions.h"
#include "catalogue/game_file.h"
#include "io/file_io.h"
#include "io/path_text.h"
#include "mods/original_game.h"

namespace quorvane {

int RestoreResult::Values() const {
    int n = 0;
    for (const RestoreFile& f : files) n += f.values;
    return n;
}

namespace {

// The runs of bytes in which two texts of one length differ.
std::vector<std::pair<std::size_t, std::size_t>> DifferingRuns(const std::string& a, const std::string& b) {
    std::vector<std::pair<std::size_t, std::size_t>> runs;
    for (std::size_t at = 0; at < a.size(); ++at) {
        if (a[at] == b[at]) continue;
        if (!runs.empty() && runs.back().second == at) ++runs.back().second;
        else runs.emplace_back(at, at + 1);
    }
    return runs;
}

}  // namespace

RestoreResult RestoreOriginalGame(const std::filesystem::path& folder, ErrorSink& errors, bool dryRun) {
    RestoreResult result;
    // A dry run reads only and makes no lock file; a restore locks every
    // folder a game file resolves into, as a write does.
    FolderLock readLock;
    GameFolderLocks writeLocks;
    if (dryRun ? !readLock.TryAcquire(folder, /*create=*/false)
               : !writeLocks.TryAcquire(folder, GameFilePaths(folder), /*writes=*/true)) {
        errors.Report(dryRun ? FolderInUse(folder) : writeLocks.Refusal());
        return result;
    }
    result.ran = true;
    GameBytes now, backups;
    std::array<bool, kGameFileCount> present{};
    for (GameFile f : GameFileOpenOrder()) {
        const auto k = static_cast<std::size_t>(f);
        RestoreFile& file = result.files.emplace_back();
        file.file = f;
        const std::filesystem::path path = GamePath(folder, GameFileName(f));
        const std::filesystem::path backup = BackupPathOf(folder, f);
        present[k] = ReadWholeFile(path, &now[k]);
        file.hasBackup = HasBackup(folder, f);
        backups[k] = now[k];
        if (!file.hasBackup) continue;
        // Only a regular file is a backup, as for a write: a link there may
        // name anything, and a folder holds no copy of the old bytes.
        if (EntryKindOf(backup) != EntryKind::RegularFile) {
            file.backupNotRegular = true;
            errors.Report(PathText(backup) + " is not a regular file; " + PathText(path) + " was not written.");
            continue;
        }
        file.backupRead = ReadWholeFile(backup, &backups[k]);
        if (!file.backupRead) {
            errors.ReportProblem(Problem::OpenFailed(backup));
            backups[k] = now[k];
        }
    }
    const std::array<int, kGameFileCount> changed = ChangedValues(now, backups);
    // A file with other names (a mod manager's hard links) is written in
    // place, so that every name gets the original bytes back; that write can
    // be left half done, so it comes last, after every replacement.
    std::vector<RestoreFile*> inPlace;
    for (RestoreFile& file : result.files) {
        const auto k = static_cast<std::size_t>(file.file);
        if (!file.backupRead) continue;
        file.values = changed[k];
        file.identical = present[k] && now[k] == backups[k];
        if (file.identical || dryRun) continue;
        const std::filesystem::path path = GamePath(folder, GameFileName(file.file));
        if (present[k] && NameCount(path) > 1) {
            if (now[k].size() == backups[k].size()) {
                inPlace.push_back(&file);
                continue;
            }
            file.failed = true;
            errors.Report(PathText(path) + " has other names and another length than " +
                          PathText(BackupPathOf(folder, file.file)) + "; it was left unchanged.");
            continue;
        }
        // A new file (the game file was gone) takes the backup's permission bits.
        AtomicFileWriter writer;
        if (writer.Begin(path) && writer.Commit(backups[k], FilePermissions(BackupPathOf(folder, file.file)))) {
            file.restored = true;
            if (!writer.Lost().empty()) errors.Report(LostAttributesReport(path, writer.Lost()));
        } else {
            file.failed = true;
            errors.Report(NotWrittenReport(path, writer.errorString(), present[k]));
        }
    }
    for (RestoreFile* file : inPlace) {
        const auto k = static_cast<std::size_t>(file->file);
        const std::filesystem::path path = GamePath(folder, GameFileName(file->file));
        std::string reason;
        if (WriteRangesInPlace(path, backups[k], DifferingRuns(now[k], backups[k]), &reason)) {
            file->restored = true;
        } else {
            file->failed = file->partly = true;
            errors.Report(PathText(path) + " could not be written: " + reason + "; it may be partly written.");
        }
    }
    return result;
}

std::string RestoreLine(const RestoreFile& file, bool dryRun) {
    const std::string name = GameFileName(file.file);
    const std::string backup = name + ".bak";
    const std::string values = GroupedNumber(file.values) + (file.values == 1 ? " value" : " values");
    if (!file.hasBackup) return name + " has no backup; left alone.";
    if (file.backupNotRegular) return name + ": " + backup + " is not a regular file; left alone.";
    if (!file.backupRead) return name + ": " + backup + " could not be read; left alone.";
    if (file.identical) return name + " already holds the bytes of " + backup + "; nothing to restore.";
    if (dryRun)
        return name + " would be restored from " + backup + ": " + values + (file.values == 1 ? " changes" : " change") +
               " back.";
    if (file.failed)
        return name + " could not be restored; " + (file.partly ? "it may be partly written." : "it was left as it was.");
    return "Restored " + name + " from " + backup + ": " + values + " changed back.";
}

}  // namespace quorvane
