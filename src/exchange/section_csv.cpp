#include "exchange/section_csv.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <functional>
#include <map>

#include "session/session.h"
#include "catalogue/catalogue.h"
#include "catalogue/layout.h"
#include "rules/format.h"
#include "rules/load.h"
#include "writeback/cell_check.h"

namespace quorvane {

namespace {

constexpr int kSpellsPerBookSection = 34;

// The column labels of the spells per number of books, as its form shows them.
const std::array<const char*, 10> kBookCountLabels = {"2 Books", "3 Books", "4 Books", "5 Books",  "6 Books",
                                                      "7 Books", "8 Books", "9 Books", "10 Books", "11 Books"};

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t k = 0; k < a.size(); ++k)
        if (std::tolower(static_cast<unsigned char>(a[k])) != std::tolower(static_cast<unsigned char>(b[k]))) return false;
    return true;
}

// The rules text cut into lines as the loader reads them: line n (1-based)
// runs from start[n - 1] up to start[n], its line feed included.
class Lines {
public:
    explicit Lines(const std::string& text) : text_(text) {
        for (std::size_t k = 0; k < text.size(); ++k)
            if (text[k] == '\n') start_.push_back(k + 1);
        if (start_.back() == text.size()) start_.pop_back();  // no line after the last line feed
    }
    int Count() const { return static_cast<int>(start_.size()); }
    std::size_t Begin(int n) const { return start_[static_cast<std::size_t>(n - 1)]; }
    std::size_t End(int n) const { return n < Count() ? Begin(n + 1) : text_.size(); }
    std::string_view Text(int n) const {
        if (n < 1 || n > Count()) return {};
        return std::string_view(text_).substr(Begin(n), End(n) - Begin(n));
    }

private:
    const std::string& text_;
    std::vector<std::size_t> start_{0};
};

// Section i as the loader reads it from a rules text.
struct SectionRead {
    std::vector<CsvRow> cells;          // [row][step], the loader's texts
    std::vector<int> lines;             // the record line of each row
    std::vector<std::string> problems;  // the loader's reports while reading the section
    bool found = false;                 // the directive line was found
    bool linesUp = false;               // every row has a line, and "[END]" follows the last
};

SectionRead ReadSection(const std::string& rules, const Lines& lines, int i) {
    RecordingErrorSink reports;
    NullProgress progress;
    Session s(reports, progress);
    LineSource source = LineSource::Over(rules, /*textMode=*/false);
    SectionRead read;
    read.cells.assign(static_cast<std::size_t>(Rows(i)), CsvRow(static_cast<std::size_t>(Columns(i))));
    std::size_t before = 0;  // the reports raised before the section's first cell was read
    ReadRulesCells(s, source, i, [&](int section, int j, int step, std::string_view text) {
        if (section != i) {
            before = reports.texts.size();
            return;
        }
        if (step == 0) read.lines.push_back(s.reader.LineNumber);
        read.cells[static_cast<std::size_t>(j)][static_cast<std::size_t>(step)] = std::string(text);
    });
    read.problems.assign(reports.texts.begin() + static_cast<std::ptrdiff_t>(before), reports.texts.end());
    if (read.lines.empty()) return read;
    read.found = lines.Text(read.lines.front() - 1).find(Header(i)) != std::string_view::npos;
    const int after = read.lines.back() + 1;
    read.linesUp = read.found && read.lines.back() <= lines.Count() &&
                   lines.Text(after).find("[" + Header(kHeaderEnd) + "]") != std::string_view::npos;
    return read;
}

std::string_view Trimmed(std::string_view text) {
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

std::string Quoted(std::string_view text) {
    std::string quoted = "\"";
    quoted += text;
    quoted += '"';
    return quoted;
}

// Reports a section that cannot be found or whose rows do not line up; true
// when it is usable.
bool CheckPlace(ErrorSink& errors, const SectionRead& read, const Lines& lines, const std::string& rulesName, int i) {
    const std::string section = "Section " + Quoted(DisplayName(i)) + " ([" + Header(i) + "])";
    if (!read.found) {
        errors.Report(section + " was not found in " + rulesName + ".");
        return false;
    }
    if (!read.linesUp) {
        const int after = read.lines.back() + 1;
        errors.Report(section + " in " + rulesName + " is not followed by [" + Header(kHeaderEnd) + "] after its " +
                      std::to_string(Rows(i)) + " rows (line " + std::to_string(std::min(after, lines.Count() + 1)) +
                      "): its rows do not line up.");
        return false;
    }
    return true;
}

// The first character of a name a spreadsheet would take for the start of
// a formula.
bool StartsFormula(std::string_view name) {
    while (!name.empty() && name.front() == '\'') name.remove_prefix(1);
    return !name.empty() && std::string_view("=+-@\t\r").find(name.front()) != std::string_view::npos;
}

}  // namespace

int FindSectionByName(std::string_view name) {
    for (int i = 0; i < kSectionCount; ++i)
        if (EqualsIgnoringCase(name, DisplayName(i)) || EqualsIgnoringCase(name, Header(i))) return i;
    return -1;
}

CsvRow CsvHeader(int i) {
    CsvRow header;
    if (!IsConstantSection(i)) {
        for (int step = 0; step < Columns(i); ++step) header.push_back(ColumnName(i, step));
        return header;
    }
    header.emplace_back("Name");
    if (Columns(i) == 2) {
        header.emplace_back("Value");
        return header;
    }
    for (int step = 1; step < Columns(i); ++step) {
        const auto k = static_cast<std::size_t>(step - 1);
        if (i == kSpellsPerBookSection && k < kBookCountLabels.size()) header.emplace_back(kBookCountLabels[k]);
        else header.push_back("Value " + std::to_string(step));
    }
    return header;
}

std::string CsvFileName(int i) {
    std::string name = Header(i);
    for (char& c : name)
        if (static_cast<unsigned char>(c) < 0x20 || std::string_view("<>:\"/\\|?*").find(c) != std::string_view::npos)
            c = '_';
    // Windows drops trailing dots and blanks, and reserves a few device names.
    while (!name.empty() && (name.back() == '.' || name.back() == ' ')) name.back() = '_';
    static const std::array<const char*, 22> kDevices = {
        "CON",  "PRN",  "AUX",  "NUL",  "COM1", "COM2", "COM3", "COM4", "COM5", "COM6", "COM7",
        "COM8", "COM9", "LPT1", "LPT2", "LPT3", "LPT4", "LPT5", "LPT6", "LPT7", "LPT8", "LPT9"};
    for (const char* device : kDevices)
        if (EqualsIgnoringCase(name, device)) name += '_';
    if (name.empty()) name = "section " + std::to_string(i);
    return name + ".csv";
}

bool ExportSectionCsv(ErrorSink& errors, const std::string& rules, const std::string& rulesName, int i,
                      std::string* csv) {
    const Lines lines(rules);
    const SectionRead read = ReadSection(rules, lines, i);
    for (const std::string& problem : read.problems) errors.Report(problem);
    if (!CheckPlace(errors, read, lines, rulesName, i)) return false;
    csv->clear();
    AppendCsvRow(*csv, CsvHeader(i));
    for (const CsvRow& row : read.cells) {
        CsvRow fields;
        for (const std::string& text : row) fields.push_back(fields.empty() ? CsvNameField(text) : Latin1ToUtf8(text));
        AppendCsvRow(*csv, fields);
    }
    return true;
}

std::string CsvNameField(std::string_view latin1Name) {
    std::string field;
    if (StartsFormula(latin1Name)) field += '\'';
    field += Latin1ToUtf8(latin1Name);
    return field;
}

std::string NameFromCsvField(std::string_view field) {
    if (field.size() > 1 && field.front() == '\'' && StartsFormula(field.substr(1))) field.remove_prefix(1);
    return std::string(field);
}

std::string CsvProblem::Text() const {
    if (line == 0 && row == 0) return message;
    std::string text = line > 0 ? "CSV line " + std::to_string(line) : "Record " + std::to_string(row);
    if (!record.empty() || line == 0) text += " (" + record + ")";
    if (!column.empty()) text += ", column " + Quoted(column);
    return text + ": " + message;
}

CsvValues ReadCsvValues(ErrorSink& errors, int i, const std::vector<CsvRow>& now, std::string_view csv,
                        const std::string& csvName) {
    CsvValues values;  // refused until every check has passed
    const auto problem = [&](CsvProblem p) {
        errors.Report(p.Text());
        values.problems.push_back(std::move(p));
    };
    const auto fileProblem = [&](std::string message) {
        CsvProblem p;
        p.message = std::move(message);
        problem(std::move(p));
        return values;
    };
    const std::size_t invalid = FindInvalidUtf8(csv);
    if (invalid != std::string_view::npos) {
        const auto line = 1 + std::count(csv.begin(), csv.begin() + static_cast<std::ptrdiff_t>(invalid), '\n');
        return fileProblem(csvName + " is not UTF-8 text (line " + std::to_string(line) +
                           "); save it from the spreadsheet as CSV in UTF-8.");
    }
    std::vector<CsvRow> rows;
    std::vector<int> lines;
    std::string parseProblem;
    if (!ParseCsv(csv, &rows, &parseProblem, &lines)) return fileProblem(csvName + " " + parseProblem);
    // Rows whose every field is empty name no record and hold no value:
    // spreadsheets leave them behind after the data, so they are passed over.
    for (std::size_t k = rows.size(); k-- > 1;) {
        if (!std::all_of(rows[k].begin(), rows[k].end(), [](const std::string& f) { return f.empty(); })) continue;
        rows.erase(rows.begin() + static_cast<std::ptrdiff_t>(k));
        lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(k));
    }
    const CsvRow expected = CsvHeader(i);
    if (rows.empty()) return fileProblem(csvName + " holds no header row.");
    const CsvRow& header = rows.front();
    if (header.size() != expected.size())
        return fileProblem("The header row of " + csvName + " has " + std::to_string(header.size()) +
                           " columns; section " + Quoted(DisplayName(i)) + " has " + std::to_string(expected.size()) +
                           ".");
    for (std::size_t step = 0; step < expected.size(); ++step) {
        if (header[step] == Latin1ToUtf8(expected[step])) continue;
        return fileProblem("Column " + std::to_string(step + 1) + " of the header row of " + csvName + " is " +
                           Quoted(header[step]) + "; section " + Quoted(DisplayName(i)) + " has " +
                           Quoted(Latin1ToUtf8(expected[step])) + " there.");
    }
    values.rows = static_cast<int>(rows.size()) - 1;
    bool refused = false;
    if (values.rows != Rows(i)) {
        fileProblem(csvName + " has " + std::to_string(values.rows) + " rows below its header; section " +
                    Quoted(DisplayName(i)) + " has " + std::to_string(Rows(i)) + ".");
        refused = true;
    }

    // The records of each name, in row order; the CSV's rows of a name are
    // matched to them in turn.
    std::map<std::string, std::vector<int>, std::less<>> named;
    for (int j = 0; j < Rows(i); ++j) named[now[static_cast<std::size_t>(j)][0]].push_back(j);
    // The CSV's rows of each name so far, and the line of the first.
    std::map<std::string, std::pair<std::size_t, int>, std::less<>> taken;
    std::vector<bool> matched(static_cast<std::size_t>(Rows(i)), false);

    // Every row checked, every problem reported, before anything is decided.
    values.texts = now;
    values.changed.assign(static_cast<std::size_t>(Rows(i)), false);
    for (std::size_t k = 1; k < rows.size(); ++k) {
        const CsvRow& row = rows[k];
        CsvProblem at;
        at.line = lines[k];
        std::string name, outside;
        if (!Utf8ToLatin1(row[0], &name, &outside)) {
            at.column = expected[0];
            at.message = Quoted(outside) + " is not a Latin-1 character; the rules file holds Latin-1 text only.";
            problem(at);
            refused = true;
            continue;
        }
        at.record = name = NameFromCsvField(name);
        const auto records = named.find(name);
        if (records == named.end()) {
            at.message = "No record of section " + Quoted(DisplayName(i)) + " has this name.";
            problem(at);
            refused = true;
            continue;
        }
        auto& [count, firstLine] = taken[name];
        if (count == 0) firstLine = at.line;
        if (count >= records->second.size()) {
            ++count;
            at.message = records->second.size() == 1
                             ? "The name is given again; its first row is on CSV line " + std::to_string(firstLine) + "."
                             : "Section " + Quoted(DisplayName(i)) + " has only " +
                                   std::to_string(records->second.size()) + " records of this name, and this is row " +
                                   std::to_string(count) + " of that name.";
            problem(at);
            refused = true;
            continue;
        }
        const int j = records->second[count++];
        matched[static_cast<std::size_t>(j)] = true;
        if (row.size() != expected.size()) {
            at.message = "The row has " + std::to_string(row.size()) + " fields; " + std::to_string(expected.size()) +
                         " expected.";
            problem(at);
            refused = true;
            continue;
        }
        const CsvRow& was = now[static_cast<std::size_t>(j)];
        for (int step = 1; step < Columns(i); ++step) {
            const auto s = static_cast<std::size_t>(step);
            CsvProblem cell = at;
            cell.column = expected[s];
            std::string text;
            if (!Utf8ToLatin1(row[s], &text, &outside)) {
                cell.message = Quoted(outside) + " is not a Latin-1 character; the rules file holds Latin-1 text only.";
                problem(cell);
                refused = true;
                continue;
            }
            const CellCheck check = CheckCell(i, j, step, text);
            if (check.verdict == CellCheck::Verdict::Refused) {
                cell.message = check.message.substr(check.message.front() == ' ' ? 1 : 0);
                problem(cell);
                refused = true;
                continue;
            }
            if (check.verdict == CellCheck::Verdict::Warning) {
                cell.message = Quoted(text) + " imported. " + check.message;
                problem(cell);
            }
            if (text != was[s]) {
                values.changed[static_cast<std::size_t>(j)] = true;
                ++values.changedValues;
            }
            values.texts[static_cast<std::size_t>(j)][s] = std::move(text);
        }
    }
    for (int j = 0; j < Rows(i); ++j) {
        if (matched[static_cast<std::size_t>(j)]) continue;
        CsvProblem missing;
        missing.row = j + 1;
        missing.record = now[static_cast<std::size_t>(j)][0];
        missing.message = "No row of " + csvName + " holds this record.";
        problem(missing);
        refused = true;
    }
    values.refused = refused;
    return values;
}

CsvImportResult ImportSectionCsv(ErrorSink& errors, const std::string& rules, const std::string& rulesName, int i,
                                 std::string_view csv, const std::string& csvName) {
    CsvImportResult result;
    const auto refuse = [&] {
        errors.Report("Nothing was imported; " + rulesName + " was left unchanged.");
        result.refused = true;
        return result;
    };
    const Lines lines(rules);
    const SectionRead read = ReadSection(rules, lines, i);
    for (const std::string& problem : read.problems) errors.Report(problem);
    if (!CheckPlace(errors, read, lines, rulesName, i)) return refuse();
    for (int j = 0; j < Rows(i); ++j) {
        const std::string_view line = lines.Text(read.lines[static_cast<std::size_t>(j)]);
        const std::size_t open = line.find('"');
        if (open == std::string_view::npos || line.find('"', open + 1) == std::string_view::npos) {
            errors.Report("Row " + std::to_string(j + 1) + ": line " +
                          std::to_string(read.lines[static_cast<std::size_t>(j)]) + " of " + rulesName +
                          " holds no quoted name, so it is not a record line.");
            return refuse();
        }
    }

    CsvValues values = ReadCsvValues(errors, i, read.cells, csv, csvName);
    if (values.refused) return refuse();
    const std::vector<CsvRow>& texts = values.texts;
    const std::vector<bool>& changed = values.changed;

    // Lines before and after the section's rows are kept as they are.
    std::string& out = result.rules;
    out.reserve(rules.size() + 4096);
    out.append(rules, 0, lines.Begin(read.lines.front()));
    for (int j = 0; j < Rows(i); ++j) {
        const int n = read.lines[static_cast<std::size_t>(j)];
        if (!changed[static_cast<std::size_t>(j)]) {
            out += lines.Text(n);
            continue;
        }
        ++result.changedRows;
        const CsvRow& row = texts[static_cast<std::size_t>(j)];
        AppendRecordLine(out, i, j, [&](int step) -> const std::string& { return row[static_cast<std::size_t>(step)]; });
    }
    out.append(rules, lines.End(read.lines.back()), std::string::npos);

    // The new text must read back as intended: same names, and each value the
    // number (or flags) the cell check found for it.
    const Lines newLines(out);
    const SectionRead again = ReadSection(out, newLines, i);
    bool verified = again.linesUp && again.lines == read.lines;
    for (int j = 0; verified && j < Rows(i); ++j) {
        const CsvRow& want = texts[static_cast<std::size_t>(j)];
        const CsvRow& got = again.cells[static_cast<std::size_t>(j)];
        if (!changed[static_cast<std::size_t>(j)]) continue;
        verified = got[0] == want[0];
        for (int step = 1; verified && step < Columns(i); ++step) {
            const auto s = static_cast<std::size_t>(step);
            const CellCheck a = CheckCell(i, j, step, want[s]);
            const CellCheck b = CheckCell(i, j, step, got[s]);
            verified = b.verdict != CellCheck::Verdict::Refused && a.stored == b.stored &&
                       (GetFieldKind(i, j, step) != FieldKind::BitFlags || Trimmed(want[s]) == Trimmed(got[s]));
        }
    }
    if (!verified) {
        errors.Report("The imported section did not read back as written.");
        return refuse();
    }
    return result;
}

}  // namespace quorvane
