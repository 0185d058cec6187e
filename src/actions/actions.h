// The four file actions as the settings dialog and the command-line tool run
// them: begin the progress at 0 .. 43, run, set the data-loaded flag where the
// action does, reset the progress to 0.
#pragma once

#include <array>
#include <string>

#include "catalogue/layout.h"
#include "session/session.h"

namespace quorvane {

inline constexpr const char* kWriteRefusal = "You Must Load Or Extract A File Before Writting.";
inline constexpr const char* kSectionsRefusal = "You Have Not Loaded A Data File.";

// Every action catches what would otherwise end the program (memory running
// out) and reports it.

// "Extract From Quorvane Files": game files to rules file and grid. Returns
// false, having changed neither, when it did not run: another run held the
// game folder, the rules file is a game file or a backup of one, or no game
// file could be opened.
bool ExtractCommand(Session& s);
// "Load Text File": rules file to grid. Returns false when the rules file
// could not be opened (the grid is then unchanged).
bool LoadCommand(Session& s);
// "Save to Text File": grid to rules file. Returns true when the file was
// written whole; a rules file that is a game file is refused.
bool SaveCommand(Session& s);
// "Write to Quorvane Files": rules file to game files. Refuses, with the
// report kWriteRefusal, while grid cell (0, 0, 0) still reads "Not Set".
void WriteCommand(Session& s);
// The write itself, without the refusal: the command line has no grid to
// guard and writes the file it is given.
void WriteRulesCommand(Session& s);

enum class FileAction { Extract, Load, Save, Write };

struct CommandOutcome {
    // What the command did, in one line, for example "Extracted 12,450
    // values from 6 game files into rules.txt.", "Wrote 3 changed values into
    // SPELLDAT.LBX; backup SPELLDAT.LBX.bak kept." or "Load of rules.txt found
    // 2 problems.".
    std::string status;
    // The grid now holds what was extracted or loaded (not after a load that
    // could not open its file, nor after saving or writing).
    bool gridReplaced = false;
    // A save wrote the rules file whole.
    bool saved = false;
};

// Runs one of the four commands as above and tells what came of it. Reports
// still go to the session's error sink as they happen.
CommandOutcome RunCommandWithStatus(Session& s, FileAction action);

// The bytes of the six game files, indexed by GameFile.
using GameBytes = std::array<std::string, kGameFileCount>;

// How many values differ between two sets of game-file bytes, by game file:
// a value counts once, for its first place or, when that is the same, for
// its further place. A place that lies inside only one of the two differs.
std::array<int, kGameFileCount> ChangedValues(const GameBytes& before, const GameBytes& after);

// 12450 as "12,450".
std::string GroupedNumber(long long n);

}  // namespace quorvane
