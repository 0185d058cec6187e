#include "rules/load.h"

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
        return step == 0 ? ReadName(i, j) : ReadValue(i, step, spots_[cell].kind);
    }

private:
    void Problem(const char* message) { s_.Report("Line Number : ", Int2Str(r_.LineNumber), message); }

    void FindDirective(int i) {
        const std::string& header = Header(i);
        if (FindDirectiveLine(r_, src_, header, kLoaderSearchLimit, [&] { Problem(". Unexpected end of file."); }))
            s_.log.Line("LoadDataFileToArray found [", header, "] at line ", r_.LineNumber - 1);
    }

    std::string_view ReadName(int i, int j) {
        if (j == 0) FindDirective(i);
        else NextRecordLine(r_, src_);
        s_.log.Line("LoadDataFileToArray Line ", r_.LineNumber, " : ", r_.Line);
        const std::size_t open = r_.Line.find('"');
        if (open == std::string::npos) return kValueNotFound;
        const std::size_t close = r_.Line.find('"', open + 1);
        if (close == std::string::npos) return kValueNotFound;
        r_.position = close;
        return r_.Line.substr(open + 1, close - open - 1);
    }

    std::string_view ReadValue(int i, int step, FieldKind kind) {
        const std::size_t width = static_cast<std::size_t>(ColumnWidth(kind));
        const std::string_view line = r_.Line;
        const std::size_t comma = FindChar(line, ',', r_.position);
        if (comma == std::string_view::npos) {
            Problem(". 1st Comma Not Found.");
            return kValueNotFound;
        }
        const bool last = step == Columns(i) - 1;
        const ValueScan scan = ScanValue(line, comma, static_cast<int>(width), last, MinusSign::StartsValue,
                                         [&] { Problem(last ? ". SemiColon Not Found." : ". 2nd Comma Not Found."); });
        if (scan.found) {
            const std::string_view value = line.substr(scan.start, scan.end - scan.start);
            s_.log.Line("LoadDataFileToArray comma ", comma, " digit ", scan.start, " value ", value);
            // The next column's comma is the separator the scan stopped at.
            r_.position = last ? 0 : scan.end;
            if (kind == FieldKind::BitFlags && !IsFlagText(value)) Problem(". Binary string expected.");
            return value;
        }
        Problem(". Number Value Empty.");
        return kValueNotFound;
    }

    Session& s_;
    const CellSpot* const spots_ = CellSpots();
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
        s.Report("Load of ", s.rulesPath, " Failed.");
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
