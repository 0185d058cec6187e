#include "mods/original_game.h"

#include <system_error>

#include "catalogue/readers.h"
#include "extract/extract.h"
#include "io/debug_log.h"
#include "io/file_io.h"

namespace quorvane {

std::filesystem::path BackupPathOf(const std::filesystem::path& folder, GameFile f) {
    std::filesystem::path path = GamePath(folder, GameFileName(f));
    path += ".bak";
    return path;
}

bool HasBackup(const std::filesystem::path& folder, GameFile f) {
    std::error_code ec;
    // A dangling link, or a folder of that name, is still there: it is
    // reported as a backup that cannot be read rather than passed over.
    return std::filesystem::exists(std::filesystem::symlink_status(BackupPathOf(folder, f), ec));
}

OriginalGame ReadOriginalGame(const std::filesystem::path& folder, ErrorSink& errors) {
    OriginalGame game;
    // Reads only, so no lock file is made; but a write in progress may be
    // replacing a file or making its backup, and is waited for by no one.
    FolderLock lock;
    if (!lock.TryAcquire(folder, /*create=*/false)) {
        errors.Report(FolderInUse(folder));
        return game;
    }
    for (GameFile f : GameFileOpenOrder()) {
        const auto k = static_cast<std::size_t>(f);
        game.fromBackup[k] = HasBackup(folder, f);
        game.sources[k] = game.fromBackup[k] ? BackupPathOf(folder, f) : GamePath(folder, GameFileName(f));
    }
    GameImages images;
    OpenGameImages(
        images, GameFileImage::Access::ReadOnly,
        [&](GameFile f) { return game.sources[static_cast<std::size_t>(f)]; }, &errors);
    DebugLog quiet;
    ExtractedText text = ExtractImages(images, errors, quiet, nullptr);
    game.values.Replace(std::move(text.rules), std::move(text.cells));
    game.ran = true;
    return game;
}

}  // namespace quorvane
