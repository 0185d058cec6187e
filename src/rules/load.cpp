#include "rules/load.h"

#include <array>
#include <memory>
#include <vector>

#include "catalogue/catalogue.h"
#include "catalogue/conversions.h"
#include "catalogue/layout.h"
#include "io/file_io.h"
#include "rules/format.h"
#include "rules/record_reader.h"

namespace quorvane {

namespace {

class Loader {
public:
    Loader(Session& s, LineSource& source) : s_(s), r_(s.reader), src_(source) {}

    // The text of cell (i, j, step): a view into the current line, or the
    // failure text. Valid until the next line is read.
    std::string_view ReadCell(int i, int j, int step, int cell) {
        // Every row is read from its name on: the cell's place for the
        // reports is kept per row, and per value only off the clean path.
        if (step == 0) {
            i_ = i;
            j_ = j;
            return ReadName(i, j);
        }
        // With the debug log closed, a row whose values are all in their
        // exact form is read at once; any other is read cell by cell, with
        // its reports and trace.
        if (step == 1) {
            const CellSpot* const spots = spots_ + cell - 1;
            const auto kindOf = [&](int s) { return spots[s].kind; };
            const auto keep = [&](int s, const ValueScan& scan) {
                row_[static_cast<std::size_t>(s)] = r_.Line.substr(scan.start, scan.end - scan.start);
                return true;
            };
            rowClean_ = !s_.log.IsOpen() && ScanCleanRow(r_.Line, r_.position, Columns(i), kindOf, keep);
            if (!rowClean_) CheckCount(i);
        }
        if (rowClean_) return row_[static_cast<std::size_t>(step)];
        step_ = step;
        return ReadValue(i, step, spots_[cell].kind);
    }

    // Reports a problem on the current line; row and column -1 where it is
    // not about one value.
    void LineProblem(std::string message, int row, int column) {
        s_.ReportProblem(quorvane::LineProblem(ProblemCode::LoaderLine, r_.LineNumber, i_, row, column, std::move(message)));
    }

private:
    // A problem with the value being read.
    void ValueProblem(const char* message) { LineProblem(message, j_, step_); }

    void FindDirective(int i) {
        const std::string& header = Header(i);
        if (FindDirectiveLine(r_, src_, header, kLoaderSearchLimit,
                              [&] { LineProblem(". Unexpected end of file.", -1, -1); }))
            s_.log.Line("LoadDataFileToArray found [", header, "] at line ", r_.LineNumber - 1);
    }

    std::string_view ReadName(int i, int j) {
        if (j == 0) FindDirective(i);
        else NextRecordLine(r_, src_);
        s_.log.Line("LoadDataFileToArray Line ", r_.LineNumber, " : ", r_.Line);
        const NameField name = FindNameField(r_.Line);
        StartRecordLine(r_, name);
        return name.found ? name.text : std::string_view(kValueNotFound);
    }

    void CheckCount(int i) {
        const int fields = CheckFieldCount(r_, Columns(i));
        if (r_.position == kLineRefused)
            LineProblem(". " + FieldCountText(fields, Columns(i)) + ": none of them was read.", j_, -1);
    }

    std::string_view ReadValue(int i, int step, FieldKind kind) {
        // A line with the wrong number of values was reported once.
        if (r_.position == kLineRefused) return kValueNotFound;
        const std::string_view line = r_.Line;
        const std::size_t comma = FindChar(line, ',', r_.position);
        if (comma == std::string_view::npos) {
            ValueProblem(". 1st Comma Not Found.");
            return kValueNotFound;
        }
        const bool last = step == Columns(i) - 1;
        const bool flags = kind == FieldKind::BitFlags;
        const ValueScan scan = ScanValue(line, comma, ColumnWidth(kind), last, flags,
                                         [&] { ValueProblem(last ? ". SemiColon Not Found." : ". 2nd Comma Not Found."); });
        // The next column's comma is the separator that ended this field,
        // whatever the field held: one bad value never moves another.
        if (scan.separator != std::string_view::npos) r_.position = last ? 0 : scan.separator;
        const std::string_view value = line.substr(scan.start, scan.end - scan.start);
        switch (scan.read) {
        case FieldRead::Value:
            s_.log.Line("LoadDataFileToArray comma ", comma, " value ", value);
            return value;
        case FieldRead::Malformed:
            // A text that starts as a value does (a digit or '-') is kept,
            // so that the editor shows what the file holds and the check marks
            // it; the write refuses it.
            ValueProblem(flags ? ". Binary string expected." : ". Number Value Empty.");
            return IsDigit(value.front()) || value.front() == '-' ? value : std::string_view(kValueNotFound);
        case FieldRead::Missing:
            break;
        }
        ValueProblem(". Number Value Empty.");
        return kValueNotFound;
    }

    Session& s_;
    int i_ = 0, j_ = 0, step_ = 0;  // the cell being read
    const CellSpot* const spots_ = CellSpots();
    // The values of the current row when it was read at once.
    std::array<std::string_view, static_cast<std::size_t>(kWidestRow)> row_;
    bool rowClean_ = false;
    ReaderState& r_;
    LineSource& src_;
};

}  // namespace

void ReadRulesCells(Session& s, LineSource& source, int last,
                    const std::function<void(int, int, int, std::string_view)>& cell) {
    s.reader = ReaderState{};
    Loader loader(s, source);
    for (int i = 0; i <= last && i < kSectionCount; ++i)
        for (int j = 0; j < Rows(i); ++j)
            for (int step = 0; step < Columns(i); ++step) cell(i, j, step, loader.ReadCell(i, j, step, CellIndex(i, j, step)));
    s.reader.Line = {};
}

bool LoadDataFileToArray(Session& s) {
    s.reader.LineNumber = 0;
    s.log.Line("LoadDataFileToArray_i");
    auto content = std::make_unique<std::string>();
    // The file is only read: a read-only rules file loads.
    const bool opened = ReadWholeFile(s.rulesPath, content.get());
    if (!opened) {
        Problem failed;
        failed.code = ProblemCode::LoadFailed;
        failed.path = s.rulesPath;
        s.ReportProblem(failed);
    } else {
        // Every cell views the file's bytes (or a fixed failure text), which
        // the grid then keeps: nothing is copied.
        LineSource source = LineSource::Over(*content, /*textMode=*/false);
        Loader loader(s, source);
        std::vector<std::string_view> cells(static_cast<std::size_t>(kInUseCells));
        std::size_t cell = 0;  // cells are visited in file order
        for (int i = 0; i < kSectionCount; ++i) {
            s.log.Line("LoadDataFileToArray_j i-> ", i);
            for (int j = 0; j < Rows(i); ++j) {
                s.log.Line("LoadDataFileToArray_Step ---- j ---> ", j);
                for (int step = 0; step < Columns(i); ++step, ++cell) {
                    s.log.Line("LoadDataFileToArray  i-j-Step - ", i, " - ", j, " - ", step);
                    cells[cell] = loader.ReadCell(i, j, step, static_cast<int>(cell));
                    // The editor's fields hold 254 characters of typed text: a
                    // longer name is kept whole, and the user is told once.
                    if (step == 0 && cells[cell].size() > 254)
                        loader.LineProblem(". Name Longer Than 254 Characters.", j, 0);
                }
            }
            s.progress().Step();
        }
        s.reader.Line = {};
        s.grid.Replace(std::move(content), std::move(cells));
    }
    s.log.Close();
    return opened;
}

}  // namespace quorvane
