#include "rules/save.h"

#include "catalogue/catalogue.h"
#include "catalogue/layout.h"
#include "io/file_io.h"
#include "rules/format.h"

namespace quorvane {

namespace {

// The item costs (CREATE BASE ITEM COSTS) are the one section whose cell
// texts the trace repeats, each on a line of its own as the save reads it.
constexpr int kTracedSection = 31;

}  // namespace

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
                if (i == kTracedSection) s.log.Line("GetArrayValue(i,j,Step)*************************31", text);
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
        s.Report("Save to ", s.rulesPath, " failed: ", writer.errorString(), ".");
        return false;
    }
    if (!writer.Lost().empty()) s.Report(LostAttributesReport(s.rulesPath, writer.Lost()));
    return true;
}

}  // namespace quorvane
