// One section of a rules file as comma-separated text, and back: the export
// gives the texts the loader reads, the import matches its rows to the
// section's records by name and replaces their values in the rules file's
// text after checking every one of them as the editor's cell check does.
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

// A record's name as the first field of its CSV row, in UTF-8. A name that
// a spreadsheet would take for a formula (it begins with '=', '+', '-', '@',
// a tab or a carriage return, after any single quotes) gets a single quote
// before it, which spreadsheets show as text.
std::string CsvNameField(std::string_view latin1Name);
// The name a CSV row's first field (in Latin-1) stands for: one single quote
// put before it by CsvNameField is dropped.
std::string NameFromCsvField(std::string_view field);

// The CSV text (UTF-8, CR LF) of section i of the rules text, whose file is
// named rulesName in reports. Reports what the loader reports while reading
// the section's lines; when the section cannot be found or its rows do not
// line up, reports that and returns false.
bool ExportSectionCsv(ErrorSink& errors, const std::string& rules, const std::string& rulesName, int i,
                      std::string* csv);

// One problem found in a CSV file being imported.
struct CsvProblem {
    int line = 0;         // the CSV line it is on; 0 when none
    int row = 0;          // the section's row it is about, counted from 1; 0 when none
    std::string record;   // the record's name (Latin-1); empty when none
    std::string column;   // the column's header; empty when none
    std::string message;  // what is wrong, a sentence
    // The problem as one line: "CSV line 13 (Fire Bolt), column "Cost":
    // Value out of range."; a problem of the whole file is its message.
    std::string Text() const;
};

// Section i's values taken from CSV text (named csvName in reports) over the
// texts it holds now ([row][step], every row and column of the section).
// The text must be UTF-8 with the header row CsvHeader(i). Rows are matched
// to records by name, in any order; where the section holds a name more than
// once, the rows of that name are matched in order. A row whose name no
// record has, a name given more often than the section holds it, and a
// record without a row are refused. Each value must be Latin-1 and pass
// CheckCell; values the write would store differently are reported and
// taken. Every problem is reported to errors, one line each, in the order
// found.
struct CsvValues {
    bool refused = true;               // malformed text or a refused row or value: take nothing
    std::vector<CsvRow> texts;         // now, with the CSV's values where not refused
    std::vector<bool> changed;         // per row: a value differs from now
    int rows = 0;                      // the CSV's rows below its header
    int changedValues = 0;             // values that differ from now
    std::vector<CsvProblem> problems;  // every problem reported, as found
};
CsvValues ReadCsvValues(ErrorSink& errors, int i, const std::vector<CsvRow>& now, std::string_view csv,
                        const std::string& csvName);

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
