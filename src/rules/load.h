#pragma once

#include "session/session.h"

namespace quorvane {

// Reads the rules file at s.rulesPath into every in-use grid cell, in file
// order, storing "Value Not Found" where a value cannot be read and reporting
// each fault by line. Closes the debug log at its end. Returns false when the
// file could not be opened (the grid is then unchanged).
bool LoadDataFileToArray(Session& s);

}  // namespace quorvane
