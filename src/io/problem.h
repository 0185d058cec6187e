// A problem a file action met, as the code that found it knows it: where it
// lies (the rules file's line, the cell), which file it names, and what it
// is. Its report text is made from it only where it is shown (ProblemText),
// so that whatever reads problems back (the review of the changes, the status
// line of an action) reads these fields, never the text.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

namespace quorvane {

// What kind of report a problem is, which decides how its text reads.
enum class ProblemCode : std::uint8_t {
    Text,              // the report in its own words: text is the whole of it
    OpenFailed,        // "Error opening PATH"
    LoadFailed,        // "Load of PATH Failed."
    FileEndsEarly,     // "PATH ends before COUNT of its values; they read Value Not Found."
    LoaderLine,        // "Line Number : LINE" then text (". 1st Comma Not Found.", ...)
    RecordLine,        // "Line: LINE In [HEADER] section " then text (" Comma expected.", ...)
    DirectiveMissing,  // "Line: LINE[HEADER] expected."
};

struct Problem {
    ProblemCode code = ProblemCode::Text;
    int line = 0;      // the rules file's line, counted from 1; 0 when none is named
    int section = -1;  // the cell it is about: -1 for what it does not name
    int row = -1;      // (a line of a row that is not one value: column -1;
    int column = -1;   // a section's line that is no row's: row -1)
    std::string header;          // the section's directive text, for the line reports
    std::filesystem::path path;  // the file it names
    long long count = 0;         // the values it concerns (FileEndsEarly)
    std::string text;            // the report's own words: the whole report, or what follows the line's place

    // A report in its own words.
    static Problem Text(std::string text);
    // A file that could not be opened.
    static Problem OpenFailed(const std::filesystem::path& path);
};

// The report text of a problem, as the user reads it.
std::string ProblemText(const Problem& problem);

}  // namespace quorvane
