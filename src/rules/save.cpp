#include "rules/save.h"

#include "catalogue/catalogue.h"
#include "catalogue/layout.h"
#include "io/file_io.h"
#include "rules/format.h"

namespace quorvane {

std::string FormatGrid(Session& s, bool stepProgress) {
    std::string out;
    out.reserve(200000);
    AppendVersionLine(out);
    out += kLineEnd;
    for (int i = 0; i < kSectionCount; ++i) {
        s.log.Line("SaveArrayToDataFile() i loop ", i);
        AppendDirective(out, Header(i));
        for (int j = 0; j < Rows(i); ++j) {
            s.log.Line("SaveArrayToDataFile() j loop ", j);
            AppendRecordLine(out, i, j, [&](int step) -> std::string_view {
                s.log.Line("SaveArrayToDataFile() Step loop ", step);
                const std::string_view text = s.grid.GetArrayValue(i, j, step);
                if (i == 31) s.log.Line("GetArrayValue(i,j,Step)*************************31", text);
                return text;
            });
        }
        AppendDirective(out, Header(kHeaderEnd));
        out += kLineEnd;
        if (stepProgress) s.progress().Step();
    }
    return out;
}

bool SaveArrayToDataFile(Session& s) {
    s.log.Line("SaveArrayToDataFile() fired");
    AtomicFileWriter writer;
    const bool written = writer.Begin(s.rulesPath) && writer.Commit(FormatGrid(s, true));
    if (!written) {
        s.Report("Save to ", s.rulesPath, " failed: ", writer.Failure(), ".");
        return false;
    }
    if (!writer.Lost().empty()) s.Report(LostAttributesReport(s.rulesPath, writer.Lost()));
    return true;
}

}  // namespace quorvane
