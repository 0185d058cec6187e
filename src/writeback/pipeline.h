#pragma once

#include "app/session.h"
#include "catalogue/readers.h"
#include "rules/format.h"

namespace quorvane {

// Writes every value of the rules file at s.rulesPath into the game files (in
// s.gameFolder, or the working directory), in place, with second copies and
// code values. Stops at once, opening no game file, when the rules file cannot
// be opened. A cell whose value is faulty, out of range, or whose place lies
// past the end of its game file is reported and written nowhere. Steps the
// progress once per section. Returns 0.
int WriteRulesToGameFiles(Session& s);

void WriteSectionToGame(Session& s, int i, GameImages& games, LineSource& rules);
void WriteRulesValue(Session& s, int i, int j, int step, GameImages& games, LineSource& rules);

}  // namespace quorvane
