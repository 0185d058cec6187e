// One section of a rules file as comma-separated text, and back: the export
// gives the texts the loader reads, the import replaces the section's values
// in the rules file's text after checking every one of them as the editor's
// cell check does.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "io/error_report.h"
#include "exchange/csv.h"

namespace quorvane {

// The section whose display name or directive text is name, compared without
// regard to case; -1 when there is none.
int FindSectionByName(std::string_view name);

// The header row of section i: "Name" and the column names of a record
// section; "Name" and "Value" for a group of constants; for the spells per
// number of books, "Name" and the book counts its form shows.
CsvRow CsvHeader(int i);

// A file name for section i's CSV made from its directive text: characters
// that Windows does not allow in a file name become '_'.
std::string CsvFileName(int i);

// The CSV text (UTF-8, CR LF) of section i of the rules text, whose file is
// named rulesName in reports. Reports what the loader reports while reading
// the section's lines; when the section cannot be found or its rows do not
// line up, reports that and returns false.
bool ExportSectionCsv(ErrorSink& errors, const std::string& rules, const std::string& rulesName, int i,
                      std::string* csv);

// Section i's values taken from CSV text (named csvName in reports) over the
// texts it holds now ([row][step], every row and column of the section).
// The text must be UTF-8 with the header row CsvHeader(i) and one row per
// record, matched by position; each value must be Latin-1 and pass CheckCell.
// Names are compared, never taken: a differing one is reported as differing
// from the holder's (holder: "the rules file", "the table"), which keeps its
// own. Every problem is reported to errors, one line each; values the write
// would store differently are reported and taken.
struct CsvValues {
    bool refused = true;             // malformed text or a refused value: take nothing
    std::vector<CsvRow> texts;       // now, with the CSV's values where not refused
    std::vector<bool> changed;       // per row: a value differs from now
};
CsvValues ReadCsvValues(ErrorSink& errors, int i, const std::vector<CsvRow>& now, std::string_view csv,
                        const std::string& csvName, const std::string& holder);

struct CsvImportResult {
    bool refused = false;  // nothing may be written
    int changedRows = 0;
    std::string rules;     // the new rules text when not refused
};

// Section i's values replaced from the CSV text (read from csvName). Rows
// whose values are unchanged keep their lines byte for byte; changed rows are
// written as a save writes them, with the rules file's names. Every problem
// is reported to errors, one line each.
CsvImportResult ImportSectionCsv(ErrorSink& errors, const std::string& rules, const std::string& rulesName, int i,
                                 std::string_view csv, const std::string& csvName);

}  // namespace quorvane
