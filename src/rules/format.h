// The rules file's constants and its record-line pieces. Lines always end with
// CR LF, on every platform.
#pragma once

#include <string>
#include <string_view>

#include "catalogue/catalogue.h"
#include "catalogue/layout.h"
#include "io/problem.h"

namespace quorvane {

inline constexpr const char* kLineEnd = "\r\n";
inline constexpr int kNameFieldWidth = 50;
inline constexpr int kLoaderSearchLimit = 100000;
inline constexpr int kWriteBackSearchLimit = 10000;

// '"' version text '"' and the line end.
void AppendVersionLine(std::string& out);
// '[' text ']' and the line end.
void AppendDirective(std::string& out, std::string_view text);
// The name as a record line holds it, so that it stays one field of the
// line for both readers: every byte below 0x20 (a line feed, a carriage
// return, a tab) becomes a blank and a double quote a single quote. Names are
// never written back to the game files; only their place in the line counts.
std::string CleanName(std::string_view name);
// True when CleanName(name) is clean.
bool CleansTo(std::string_view name, std::string_view clean);
// '"' name '"', the name cleaned, then 50 - length spaces (none for a name of
// 50 or more).
void AppendNameField(std::string& out, std::string_view name);
// width - length spaces (none for a text of width or more), then the text.
void AppendValueField(std::string& out, std::string_view text, int width);

// One record line of row j of section i: the name field, then each value
// right-aligned in its column's width after a comma, a semicolon and the line
// end. text(step) gives the cell's text, step 0 the name, and placed(step,
// offset, length) is told where in out that text was put. Extraction and save
// both write their record lines with it.
template <typename TextOf, typename Placed>
void AppendRecordLine(std::string& out, int i, int j, TextOf&& text, Placed&& placed) {
    const int columns = Columns(i);
    const int rowCell = CellIndex(i, j, 0);
    const auto& name = text(0);
    placed(0, out.size() + 1, std::string_view(name).size());
    AppendNameField(out, name);
    for (int step = 1; step < columns; ++step) {
        out += ',';
        const auto& value = text(step);
        const FieldKind kind = rowCell < 0 ? GetFieldKind(i, j, step) : SpotOf(rowCell + step).kind;
        AppendValueField(out, value, ColumnWidth(kind));
        placed(step, out.size() - std::string_view(value).size(), std::string_view(value).size());
    }
    out += ';';
    out += kLineEnd;
}
// The same, where the texts went aside.
template <typename TextOf>
void AppendRecordLine(std::string& out, int i, int j, TextOf&& text) {
    AppendRecordLine(out, i, j, text, [](int, std::size_t, std::size_t) {});
}

// Reads lines of a rules file held in memory, as views into it. In text mode
// a CR before the line feed is not part of the line.
class LineSource {
public:
    // Reads content, which the source keeps.
    LineSource(std::string content, bool textMode) : owned_(std::move(content)), data_(owned_), textMode_(textMode) {}
    // Reads data, which must outlive the source and the lines read from it.
    static LineSource Over(std::string_view data, bool textMode) { return LineSource(Viewing{}, data, textMode); }

    LineSource(const LineSource&) = delete;
    LineSource& operator=(const LineSource&) = delete;

    // Behaves as std::getline on a file stream, except that once the input
    // has ended the line is always empty, whatever the file's last bytes
    // were: a last line without a line end is read once, never again. The
    // line views the source's data.
    bool GetLine(std::string_view& line);
    // The line GetLine would read next, without reading it; empty at the end.
    std::string_view PeekLine() const;
    bool Failed() const { return failed_; }

private:
    struct Viewing {};
    LineSource(Viewing, std::string_view data, bool textMode) : data_(data), textMode_(textMode) {}
    // The line starting at pos_ and the position after its line end.
    std::string_view LineAt(std::size_t* next) const;

    std::string owned_;  // the content, when the source keeps it (it is never moved)
    std::string_view data_;
    std::size_t pos_ = 0;
    bool textMode_;
    bool ended_ = false;
    bool failed_ = false;
};

// A problem reported on line `line` of the rules file about cell (i, j, step)
// of section i: step -1 for the record line of row j as a whole, j -1 for a
// line of the section that is no row's. The loader's are LoaderLine ("Line
// Number : LINE" and the message, ". 1st Comma Not Found."), write-back's
// RecordLine ("Line: LINE In [HEADER] section " and the message, " Comma
// expected.").
Problem LineProblem(ProblemCode code, int line, int i, int j, int step, std::string message);

}  // namespace quorvane
