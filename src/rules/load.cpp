#include "rules/load.h"

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
    std::string_view ReadCell(int i, int j, int step) {
        return step == 0 ? ReadName(i, j) : ReadValue(i, j, step);
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
        return std::string_view(r_.Line).substr(open + 1, close - open - 1);
    }

    std::string_view ReadValue(int i, int j, int step) {
        const FieldKind kind = GetFieldKind(i, j, step);
        const std::size_t width = static_cast<std::size_t>(ColumnWidth(kind));
        const std::string& line = r_.Line;
        const std::size_t comma = line.find(',', r_.position);
        if (comma == std::string::npos) {
            Problem(". 1st Comma Not Found.");
            return kValueNotFound;
        }
        const bool last = step == Columns(i) - 1;
        const ValueScan scan = ScanValue(line, comma, static_cast<int>(width), last, MinusSign::StartsValue,
                                         [&] { Problem(last ? ". SemiColon Not Found." : ". 2nd Comma Not Found."); });
        if (scan.found) {
            const std::string_view value = std::string_view(line).substr(scan.start, scan.end - scan.start);
            s_.log.Line("LoadDataFileToArray comma ", comma, " digit ", scan.start, " value ", value);
            r_.position = last ? 0 : scan.start;
            if (kind == FieldKind::BitFlags && !IsFlagText(value)) Problem(". Binary string expected.");
            return value;
        }
        Problem(". Number Value Empty.");
        return kValueNotFound;
    }

    Session& s_;
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
            for (int step = 0; step < Columns(i); ++step) cell(i, j, step, loader.ReadCell(i, j, step));
}

bool LoadDataFileToArray(Session& s) {
    s.reader.LineNumber = 0;
    s.log.Line("LoadDataFileToArray_i");
    std::string content;
    const bool opened = IsWritableFile(s.rulesPath) && ReadWholeFile(s.rulesPath, &content);
    if (!opened) {
        s.Report("Load of ", s.rulesPath, " Failed.");
    } else {
        LineSource source(std::move(content), /*textMode=*/false);
        Loader loader(s, source);
        int cell = 0;  // cells are visited in file order
        for (int i = 0; i < kSectionCount; ++i) {
            s.log.Line("LoadDataFileToArray_j i-> ", i);
            for (int j = 0; j < Rows(i); ++j) {
                s.log.Line("LoadDataFileToArray_Step ---- j ---> ", j);
                for (int step = 0; step < Columns(i); ++step, ++cell) {
                    s.log.Line("LoadDataFileToArray  i-j-Step - ", i, " - ", j, " - ", step);
                    s.grid.SetCell(cell, loader.ReadCell(i, j, step));
                }
            }
            s.progress().Step();
        }
    }
    s.log.Close();
    return opened;
}

}  // namespace quorvane
