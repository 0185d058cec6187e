#pragma once

#include "session/session.h"

namespace quorvane {

// Writes every in-use grid cell to the rules file at s.rulesPath in the
// canonical form, through a temporary file that replaces the old one only when
// complete. Reports "Save to PATH failed: REASON." with the system's reason
// when the file cannot be made or written; returns true when it was written
// whole. Steps the progress once per section.
bool SaveArrayToDataFile(Session& s);

// The canonical text of the grid, as SaveArrayToDataFile writes it.
std::string FormatGrid(Session& s, bool stepProgress);

}  // namespace quorvane
