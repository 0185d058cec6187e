// The four file actions as the settings dialog and the command-line tool run
// them: begin the progress at 0 .. 43, run, set the data-loaded flag where the
// action does, reset the progress to 0.
#pragma once

#include "session/session.h"

namespace quorvane {

inline constexpr const char* kWriteRefusal = "You Must Load Or Extract A File Before Writting.";
inline constexpr const char* kSectionsRefusal = "You Have Not Loaded A Data File.";

// Every action catches what would otherwise end the program (memory running
// out) and reports it.

// "Extract From Quorvane Files": game files to rules file and grid.
void ExtractCommand(Session& s);
// "Load Text File": rules file to grid. Returns true when the file was read.
bool LoadCommand(Session& s);
// "Save to Text File": grid to rules file. Returns true when the file was
// written whole.
bool SaveCommand(Session& s);
// "Write to Quorvane Files": rules file to game files. Refuses, with the
// report kWriteRefusal, while grid cell (0, 0, 0) still reads "Not Set".
void WriteCommand(Session& s);
// The write itself, without the refusal: the command line has no grid to
// guard and writes the file it is given.
void WriteRulesCommand(Session& s);

}  // namespace quorvane
