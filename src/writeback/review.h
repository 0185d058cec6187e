// The review of the editor's data against the game files: every cell that
// saving the grid and writing it would change, and every cell (or line, or
// file) the write would refuse, with the write's own report. Computed by the
// dry run over the text "Save to Text File" would write, so it agrees with
// what Save and Write will do; nothing is written anywhere.
#pragma once

#include <string>
#include <vector>

#include "session/session.h"
#include "writeback/dry_run.h"

namespace quorvane {

struct ReviewRow {
    // The cell; -1 where the row names no section, record or column (a
    // report about a file, or about a line that is not one cell).
    int i = -1, j = -1, step = -1;
    std::string gameText;    // the cell's text as extraction reads it now (from the files compared with)
    std::string newText;     // after the write; for a refused cell, the grid's text
    std::string recordName;  // the row's name as extraction reads it now (the grid's when unreadable)
    // Empty for a change. Otherwise the write's report: for a report on a
    // record line its message without the leading blank ("Value out of
    // range."), else the whole report ("Error opening game/MAGIC.EXE").
    std::string problem;
    bool gameReadable = false;  // gameText was read from the game files (or the files compared with)
    // The text stays as it is, but the write changes the cell's further
    // place, which differs from its first place today.
    bool furtherPlaceOnly = false;

    bool IsProblem() const { return !problem.empty(); }
};

struct Review {
    bool loaded = true;  // false: the grid holds no data yet; nothing was run
    std::vector<ReviewRow> rows;  // sections, rows, columns in write order; rows naming no cell first
    int changes = 0;
    int problems = 0;
};

// Formats the grid as a save would, runs the dry run of writing that text into
// the game files in s.gameFolder and gathers its changed cells and reports.
// With compareWith, the game texts are those of the files given (the
// original game, say) and a change is any cell the write leaves different
// from them. The session's sinks and reader state are as before afterwards;
// the reports are not passed on.
Review ReviewGrid(Session& s, const GameFileSources* compareWith = nullptr);

// Line numbers, in the text FormatGrid gives for the grid as it is now, of
// the record line of each row: [first, last] of row j of section i (last >
// first when a value text holds a line feed). Indexed by section, then row.
std::vector<std::vector<std::pair<int, int>>> RecordLines(const Session& s);

}  // namespace quorvane
