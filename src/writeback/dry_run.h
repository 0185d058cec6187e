// The dry run: the whole write, on game-file images in memory, reporting what
// a real write would change and report, and touching no file.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "session/session.h"
#include "catalogue/layout.h"
#include "catalogue/readers.h"

namespace quorvane {

// A cell whose text, as extraction would give it, changes with the write.
struct CellChange {
    int i = 0, j = 0, step = 0;
    std::string gameText;  // now
    std::string newText;   // after the write
    std::string recordName;  // the row's name as extraction reads it now
};

// One game byte the write would change.
struct ByteChange {
    GameFile file;
    std::size_t offset = 0;
    std::uint8_t before = 0, after = 0;
};

struct DryRunResult {
    bool ran = false;  // false when the rules file could not be read or the folder was busy
    std::vector<CellChange> cells;  // sections, rows, columns in write order; column 0 never
    // Cells whose text stays as it is but whose further place the write
    // changes (a copy that differs from its first place today); in write
    // order, gameText and newText both the cell's text.
    std::vector<CellChange> furtherPlaces;
    std::vector<ByteChange> bytes;  // ITEMPOW.LBX, BUILDDAT.LBX, ... ITEMMAKE.EXE, then by offset
};

// A file to read for each game file, indexed by GameFile.
using GameFileSources = std::array<std::filesystem::path, kGameFileCount>;

// Opens the game images for reading: the files of s.gameFolder, or, when
// sources is given, those files. A file that cannot be opened stays empty
// and is not reported.
void OpenGameImagesToCompare(const Session& s, const GameFileSources* sources, GameImages& images);

// Runs the write of the rules file at s.rulesPath (or, when rulesText is
// given, of that text, as if it were the rules file) through the write
// pipeline's own code into images of the game files, and compares them with
// the files as they are (or, when compareWith is given, with those files,
// for example the original game). Every report the real write would give
// goes to the session's sink, in the same order and texts. Nothing is
// written: no game file, no backup, no lock file.
DryRunResult DryRunWrite(Session& s, const std::string* rulesText = nullptr,
                         const GameFileSources* compareWith = nullptr);

}  // namespace quorvane
