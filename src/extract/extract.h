#pragma once

#include <string>

#include "session/session.h"
#include "catalogue/readers.h"

namespace quorvane {

// Reads every value out of the six game files (in s.gameFolder, or the working
// directory when it is empty), writes a complete rules file at s.rulesPath and
// stores the same texts in the grid. A cell any of whose bytes cannot be read
// gets "Value Not Found"; each game file that ends too soon for some of its
// places is reported once, after all values are read. Game files are opened
// for reading only. Holds the game folder's lock for the whole run; returns
// false, having changed nothing, when another run holds it. Steps the
// progress once per section.
bool ExtractFromGameFiles(Session& s);

// The text extraction gives cell (i, j, step) read at offset of input:
// negative forms, the destroyed-items code words, "Value Not Found" when its
// bytes cannot be read.
std::string ExtractValueText(int i, int j, int step, const GameFileImage& input, long long offset, DebugLog& log);

// The name of row j of section i as extraction writes it into the rules file
// (cleaned as every record line's name is); *readable is set to false when
// a byte of it cannot be read.
std::string ExtractedName(int i, int j, const GameImages& images, DebugLog& log, bool* readable);

}  // namespace quorvane
