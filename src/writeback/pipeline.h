#pragma once

#include "session/session.h"
#include "catalogue/readers.h"
#include "rules/format.h"
#include "writeback/lookup.h"

namespace quorvane {

// Writes every value of the rules file at s.rulesPath into the game files (in
// s.gameFolder, or the working directory), with second copies and code
// values. Holds the game folder's lock for the whole run; stops at once,
// opening no game file, when another run holds it or when the rules file
// cannot be opened. A cell whose value is faulty, out of range, or whose
// place lies past the end of its game file is reported and written nowhere;
// so is every value of a section whose rows do not line up. Each changed game
// file is replaced whole (after its backup), never left half written. Steps
// the progress once per section. Returns 0.
int WriteRulesToGameFiles(Session& s);

// Everything a write does short of touching a file: opens the game files
// (reporting those that cannot be opened for writing) and puts every value of
// the rules text into their images. The write and the dry run share it.
void WriteRulesIntoImages(Session& s, std::string rulesText, GameImages& games);
// Reads the rules file for a write; reports and returns false when it cannot
// be opened.
bool ReadRulesForWriting(Session& s, std::string* content);

// Writes one section; its values reach the images only when its rows lined up.
void WriteSectionToGame(Session& s, int i, GameImages& games, LineSource& rules);
// Looks cell (i, j, step), number cell in file order, up and writes it; found
// is set to what the lookup found.
void WriteRulesValue(Session& s, int i, int j, int step, int cell, GameImages& games, LineSource& rules,
                     LookupResult& found);

}  // namespace quorvane
