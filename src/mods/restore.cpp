#include "mods/restore.h"

#include "actions/actions.h"
#include "io/file_io.h"
#include "io/path_text.h"
#include "mods/original_game.h"

namespace quorvane {

int RestoreResult::Values() const {
    int n = 0;
    for (const RestoreFile& f : files) n += f.values;
    return n;
}

RestoreResult RestoreOriginalGame(const std::filesystem::path& folder, ErrorSink& errors, bool dryRun) {
    RestoreResult result;
    FolderLock lock;
    if (!lock.TryAcquire(folder, /*create=*/!dryRun)) {
        errors.Report(FolderInUse(folder));
        return result;
    }
    result.ran = true;
    GameBytes now, backups;
    std::array<bool, kGameFileCount> present{};
    for (GameFile f : GameFileOpenOrder()) {
        const auto k = static_cast<std::size_t>(f);
        RestoreFile& file = result.files.emplace_back();
        file.file = f;
        present[k] = ReadWholeFile(GamePath(folder, GameFileName(f)), &now[k]);
        file.hasBackup = HasBackup(folder, f);
        if (!file.hasBackup) {
            backups[k] = now[k];
            continue;
        }
        file.backupRead = ReadWholeFile(BackupPathOf(folder, f), &backups[k]);
        if (!file.backupRead) {
            errors.Report("Error opening " + PathText(BackupPathOf(folder, f)));
            backups[k] = now[k];
        }
    }
    const std::array<int, kGameFileCount> changed = ChangedValues(now, backups);
    for (RestoreFile& file : result.files) {
        const auto k = static_cast<std::size_t>(file.file);
        if (!file.backupRead) continue;
        file.values = changed[k];
        file.identical = present[k] && now[k] == backups[k];
        if (file.identical || dryRun) continue;
        // A new file (the game file was gone) takes the backup's permission bits.
        const std::filesystem::path path = GamePath(folder, GameFileName(file.file));
        if (ReplaceFileContents(path, backups[k], FilePermissions(BackupPathOf(folder, file.file)))) {
            file.restored = true;
        } else {
            file.failed = true;
            errors.Report("Error writing " + PathText(path));
        }
    }
    return result;
}

std::string RestoreLine(const RestoreFile& file, bool dryRun) {
    const std::string name = GameFileName(file.file);
    const std::string backup = name + ".bak";
    const std::string values = GroupedNumber(file.values) + (file.values == 1 ? " value" : " values");
    if (!file.hasBackup) return name + " has no backup; left alone.";
    if (!file.backupRead) return name + ": " + backup + " could not be read; left alone.";
    if (file.identical) return name + " already holds the bytes of " + backup + "; nothing to restore.";
    if (dryRun)
        return name + " would be restored from " + backup + ": " + values + (file.values == 1 ? " changes" : " change") +
               " back.";
    if (file.failed) return name + " could not be restored; it was left as it was.";
    return "Restored " + name + " from " + backup + ": " + values + " changed back.";
}

}  // namespace quorvane
