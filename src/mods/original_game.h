// The original game: for each game file the file as it was before the editor
// first wrote into it, which is its backup (NAME.bak, made by the first write)
// where one exists, else the file itself; and the values extraction reads
// from those files.
#pragma once

#include <array>
#include <filesystem>

#include "catalogue/layout.h"
#include "io/error_report.h"
#include "session/session.h"
#include "session/value_grid.h"
#include "writeback/dry_run.h"
#include "writeback/review.h"

namespace quorvane {

// NAME.bak beside game file f in folder (the working directory when empty).
std::filesystem::path BackupPathOf(const std::filesystem::path& folder, GameFile f);

// True when game file f has a backup: a file (or a link to one) named
// BackupPathOf. Anything else of that name counts as a backup that cannot be
// read.
bool HasBackup(const std::filesystem::path& folder, GameFile f);

// The files of the original game: each game file's backup where it has one,
// else the game file itself.
GameFileSources OriginalGameSources(const std::filesystem::path& folder);

struct OriginalGame {
    bool ran = false;  // false when a run in progress held the game folder; values are then all "Not Set"
    // Every in-use cell's text as extraction reads it from the original
    // files, "Value Not Found" where it cannot be read.
    ValueGrid values;
    // The file read for each game file (indexed by GameFile), and whether it
    // is the backup.
    GameFileSources sources;
    std::array<bool, kGameFileCount> fromBackup{};
};

// Reads the original game of the game folder. Each file that cannot be opened
// ("Error opening " and its path) or that ends too soon is reported, as
// extraction reports it. Nothing is written: no rules file, no grid of the
// caller's, no game file, no lock file.
OriginalGame ReadOriginalGame(const std::filesystem::path& folder, ErrorSink& errors);

// Puts the original game's values of s.gameFolder into the grid, as an
// extraction of the original files would, and makes them the values the
// editor compares its edits with; the rules file is not touched, so the grid
// counts as unsaved. Reports as ReadOriginalGame does; returns false, the
// grid unchanged, when another run held the folder or no file could be read.
bool LoadOriginalGame(Session& s);

// The review of the editor's data against the original game of s.gameFolder:
// every value that, once saved and written, differs from the original game
// (what a mod of the editor's data changes), with the write's problems.
Review ReviewAgainstOriginalGame(Session& s);

}  // namespace quorvane
