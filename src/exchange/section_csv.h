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
