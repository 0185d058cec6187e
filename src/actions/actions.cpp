#include "actions/actions.h"

#include <exception>
#include <new>

#include "extract/extract.h"
#include "rules/load.h"
#include "rules/save.h"
#include "writeback/pipeline.h"

namespace quorvane {

namespace {

constexpr int kProgressMaximum = 43;

// Runs one action so that no exception ends the program: a failure that the
// action cannot report itself (memory running out) is reported here, and the
// progress is set back. Files the action was replacing stay as they were.
template <typename Action>
auto Guarded(Session& s, Action action) -> decltype(action()) {
    try {
        return action();
    } catch (const std::bad_alloc&) {
        s.Report("Not enough memory; the action stopped.");
    } catch (const std::exception& e) {
        s.Report("The action stopped: ", e.what());
    }
    s.progress().Reset();
    return decltype(action())();
}

}  // namespace

void ExtractCommand(Session& s) {
    Guarded(s, [&] {
        s.progress().Begin(0, kProgressMaximum);
        // A run refused for a busy game folder changed nothing, the grid's
        // unsaved edits included.
        if (ExtractFromGameFiles(s)) {
            s.MarkLoaded();
            s.MarkClean();
        }
        s.progress().Reset();
    });
}

bool LoadCommand(Session& s) {
    return Guarded(s, [&] {
        s.progress().Begin(0, kProgressMaximum);
        // A load that could not open its file leaves the grid, and any unsaved
        // edits in it, as they were.
        const bool read = LoadDataFileToArray(s);
        s.MarkLoaded();
        if (read) s.MarkClean();
        s.progress().Reset();
        return read;
    });
}

bool SaveCommand(Session& s) {
    return Guarded(s, [&] {
        s.progress().Begin(0, kProgressMaximum);
        const bool written = SaveArrayToDataFile(s);
        if (written) s.MarkClean();
        s.progress().Reset();
        return written;
    });
}

void WriteCommand(Session& s) {
    if (s.grid.GetArrayValue(0, 0, 0) == kNotSet) {
        s.Report(kWriteRefusal);
        return;
    }
    WriteRulesCommand(s);
}

void WriteRulesCommand(Session& s) {
    Guarded(s, [&] {
        s.progress().Begin(0, kProgressMaximum);
        WriteRulesToGameFiles(s);
        s.progress().Reset();
    });
}

}  // namespace quorvane
