#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "rules/format.h"
#include "session/session.h"

namespace quorvane {

// Reads the rules file at s.rulesPath into every in-use grid cell, in file
// order, storing "Value Not Found" where a value cannot be read and reporting
// each fault by line. Closes the debug log at its end. Returns false when the
// file could not be opened (the grid is then unchanged).
bool LoadDataFileToArray(Session& s);

// Reads the cells of sections 0 .. last from source exactly as
// LoadDataFileToArray does, with the same reports, and passes each cell's text
// to cell(i, j, step, text) instead of storing it; during the call
// s.reader.LineNumber is the number of the cell's line. The grid is not used.
void ReadRulesCells(Session& s, LineSource& source, int last,
                    const std::function<void(int, int, int, std::string_view)>& cell);

}  // namespace quorvane
