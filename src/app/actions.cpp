#include "app/actions.h"

#include "extract/extract.h"
#include "rules/load.h"
#include "rules/save.h"
#include "writeback/pipeline.h"

namespace quorvane {

namespace {
constexpr int kProgressMaximum = 43;
}

void ExtractCommand(Session& s) {
    s.progress().Begin(0, kProgressMaximum);
    ExtractFromGameFiles(s);
    s.MarkLoaded();
    s.MarkClean();
    s.progress().Reset();
}

void LoadCommand(Session& s) {
    s.progress().Begin(0, kProgressMaximum);
    // A load that could not open its file leaves the grid, and any unsaved
    // edits in it, as they were.
    const bool read = LoadDataFileToArray(s);
    s.MarkLoaded();
    if (read) s.MarkClean();
    s.progress().Reset();
}

bool SaveCommand(Session& s) {
    s.progress().Begin(0, kProgressMaximum);
    const bool written = SaveArrayToDataFile(s);
    if (written) s.MarkClean();
    s.progress().Reset();
    return written;
}

void WriteCommand(Session& s) {
    if (s.grid.GetArrayValue(0, 0, 0) == kNotSet) {
        s.Report(kWriteRefusal);
        return;
    }
    s.progress().Begin(0, kProgressMaximum);
    WriteRulesToGameFiles(s);
    s.progress().Reset();
}

}  // namespace quorvane
