// Mod files: the values a modder changed from the original game, one change a
// line, in a text a person can read, edit and compare line by line.
//
//   quorvane-mod 1
//   name "Stronger Heroes"
//   author "Ostwin"
//   description "Cheaper heroes; Fire Bolt costs less."
//
//   "Spells" [SPELLS] row 2 "Fire Bolt" column 8 "Cost" from "25" to "20"
//
// The file is UTF-8. The first line gives the format's version; name is
// required, author and description are optional, each given once. Every
// other line is one change: the section (display name and directive), the
// row (index and record name), the column (index and name), the value in the
// game the mod was made from and the mod's value. Texts stand in double
// quotes, with \" for a quote, \\ for a backslash and \t, \r, \n or \xHH for
// a control character. Empty lines and lines beginning with # are ignored.
// Written files list their changes in file order and hold no time stamp, so
// the same changes always give the same bytes.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "io/error_report.h"
#include "session/value_grid.h"

namespace quorvane {

inline constexpr int kModFormatVersion = 1;

struct ModChange {
    int i = 0, j = 0, step = 0;  // a value cell: step is 1 or more
    std::string record;    // the row's name in the rules file the mod was made from
    std::string original;  // the value the mod changes from
    std::string value;     // the value the mod changes to
    int line = 0;          // its line in the mod file; 0 for a mod made here
};

struct Mod {
    // Free texts, in UTF-8 (game texts in the changes are 8-bit, as
    // everywhere in the core).
    std::string name, author, description;
    std::vector<ModChange> changes;
};

// The column's name in a mod file and in reports: the record section's column
// name, "Value" for a constant, the book count of the spells per number of
// books.
std::string ModColumnName(int i, int step);

// The mod of every value cell (step 1 and up; names are never written to the
// game files) whose text in current differs from its text in original, in
// file order, with the row names current holds.
Mod MakeMod(const ValueGrid& current, const ValueGrid& original, std::string name);

// The changes of mod whose new value the write refuses, each as "SECTION /
// RECORD / COLUMN holds VALUE, which the write refuses: MESSAGE", in the
// mod's order. A mod file holds only values a write takes.
std::vector<std::string> RefusedChanges(const Mod& mod);

// The text of the mod file.
std::string FormatMod(const Mod& mod);

// Writes FormatMod(mod) to path, safely, as a file the editor makes: a link
// at path is replaced, never written through, and a game file of gameFolder
// or its backup is refused ("PATH is a game file; nothing was written.").
// Reports why it was not written ("Error writing PATH"); returns whether it
// was.
bool WriteModFile(const std::filesystem::path& path, const std::filesystem::path& gameFolder, const Mod& mod,
                  ErrorSink& errors);

struct ModRead {
    Mod mod;
    // Each problem as "line N: what is wrong" (or without a line where the
    // file as a whole is wrong). Any problem makes the whole mod unusable.
    std::vector<std::string> problems;
    // New values that write-back stores as another number ("line N: the new
    // value "-20" is written as 236."); they are taken.
    std::vector<std::string> notes;
    bool Readable() const { return problems.empty(); }
};

// Reads a mod file's text: every line is checked, each new value with the
// write's own cell check, and every problem is listed.
ModRead ReadMod(std::string_view text);

}  // namespace quorvane
