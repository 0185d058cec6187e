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

GameFileSources OriginalGameSources(const std::filesystem::path& folder) {
    GameFileSources sources;
    for (GameFile f : GameFileOpenOrder())
        sources[static_cast<std::size_t>(f)] =
            HasBackup(folder, f) ? BackupPathOf(folder, f) : GamePath(folder, GameFileName(f));
    return sources;
}

namespace {

// Reads the original game's files into game's sources and *text; false,
// leaving *text empty, when another run held the folder.
bool ReadOriginalText(const std::filesystem::path& folder, ErrorSink& errors, OriginalGame& game,
                      ExtractedText* text, bool* anyOpen) {
    // Reads only, so no lock file is made; but a write in progress may be
    // replacing a file or making its backup, and is waited for by no one.
    FolderLock lock;
    if (!lock.TryAcquire(folder, /*create=*/false)) {
        errors.Report(FolderInUse(folder));
        return false;
    }
    game.sources = OriginalGameSources(folder);
    for (GameFile f : GameFileOpenOrder()) {
        const auto k = static_cast<std::size_t>(f);
        game.fromBackup[k] = game.sources[k] != GamePath(folder, GameFileName(f));
    }
    GameImages images;
    *anyOpen = OpenGameImages(
                   images, GameFileImage::Access::ReadOnly,
                   [&](GameFile f) { return game.sources[static_cast<std::size_t>(f)]; }, &errors) > 0;
    DebugLog quiet;
    *text = ExtractImages(images, errors, quiet, nullptr);
    game.ran = true;
    return true;
}

}  // namespace

OriginalGame ReadOriginalGame(const std::filesystem::path& folder, ErrorSink& errors) {
    OriginalGame game;
    ExtractedText text;
    bool anyOpen = false;
    if (ReadOriginalText(folder, errors, game, &text, &anyOpen))
        game.values.Replace(std::move(text.rules), std::move(text.cells));
    return game;
}

bool LoadOriginalGame(Session& s) {
    OriginalGame game;
    ExtractedText text;
    bool anyOpen = false;
    if (!ReadOriginalText(s.gameFolder, s.errors(), game, &text, &anyOpen) || !anyOpen) return false;
    s.grid.Replace(std::move(text.rules), std::move(text.cells));
    s.grid.TakeBaseline();
    s.MarkLoaded();
    return true;
}

Review ReviewAgainstOriginalGame(Session& s) {
    const GameFileSources sources = OriginalGameSources(s.gameFolder);
    return ReviewGrid(s, &sources);
}

}  // namespace quorvane
