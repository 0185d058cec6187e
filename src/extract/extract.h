#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

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

// What extraction makes of the six game files: the rules text it writes, and
// every in-use cell's text in file order, each a view into that text (or one
// of the grid's fixed texts), ready for ValueGrid::Replace.
struct ExtractedText {
    std::unique_ptr<std::string> rules;
    std::vector<std::string_view> cells;
};

// Extraction's reading of game images the caller has opened (a closed image
// reads "Value Not Found" throughout): reports each open image that ends too
// soon once, after every value is read, in the order the files' values are
// read (ITEMPOW.LBX, BUILDDAT.LBX, SPELLDAT.LBX, WIZARDS.EXE, MAGIC.EXE,
// ITEMMAKE.EXE), and steps progress, when given, once per section. Touches
// no file.
ExtractedText ExtractImages(const GameImages& images, ErrorSink& errors, DebugLog& log, ProgressSink* progress);

// The text extraction gives cell (i, j, step) read at offset of input:
// negative forms, the destroyed-items code words, "Value Not Found" when its
// bytes cannot be read.
std::string ExtractValueText(int i, int j, int step, const GameFileImage& input, long long offset, DebugLog& log);

// The name of row j of section i as extraction writes it into the rules file
// (cleaned as every record line's name is); *readable is set to false when
// a byte of it cannot be read.
std::string ExtractedName(int i, int j, const GameImages& images, DebugLog& log, bool* readable);

}  // namespace quorvane
