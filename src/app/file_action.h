// Runs one file action (extract, load, save, write) with the desktop
// program's sinks: the given progress sink, and the session's error sink
// capped for the length of the action.
#pragma once

#include <functional>
#include <string>

#include "actions/actions.h"
#include "session/session.h"

namespace quorvane::gui {

struct GuiContext;

// While the action runs (its pauses included) every window of the editor is
// disabled: no click, key, shortcut or accessibility action reaches it and
// the window system cannot close it. Input that arrived meanwhile is dropped
// before the windows are enabled again, so nothing pressed during the action
// runs afterwards. Windows opened during the action (its report boxes) take
// input as usual.
//
// Reports go to the session's error sink, the first kReportCap one by one
// and the rest summed up at the end; or, when `reports` is given, all of
// them to `reports` and nowhere else.
void RunFileAction(Session& session, ProgressSink& progress, const std::function<void(Session&)>& action,
                   ErrorSink* reports = nullptr);

// True while RunFileAction runs.
bool FileActionRunning();

struct ActionOutcome {
    std::string status;           // what the action did, in one line
    bool gridReplaced = false;    // a load or extraction replaced the grid
    bool historyCleared = false;  // ... and the undo history held steps it dropped
    bool saved = false;           // a save wrote the rules file
};

// Runs `action` as RunFileAction does and keeps the document in step with
// it: a load or extraction that replaced the grid drops the tables' pending
// edits and the undo history; a save that wrote the rules file marks the grid
// saved as it stood when the save began. Whatever ran, what is computed from
// the files is computed again.
// `reports`, when given, takes every report of the action, as in
// RunFileAction.
ActionOutcome RunEditorAction(GuiContext& ctx, ProgressSink& progress, FileAction action,
                              ErrorSink* reports = nullptr);

}  // namespace quorvane::gui
