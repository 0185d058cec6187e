#include "app/file_action.h"

#include <cstdint>

#include "app/report_box.h"
#include "gui/document.h"
#include "gui/gui_context.h"

namespace quorvane::gui {

namespace {

// Puts the session's sinks back however the action ends.
class SinkRestorer {
public:
    explicit SinkRestorer(Session& s) : s_(s), errors_(s.errors()), progress_(s.progress()) {}
    ~SinkRestorer() {
        s_.SetErrorSink(errors_);
        s_.SetProgressSink(progress_);
    }
    SinkRestorer(const SinkRestorer&) = delete;
    SinkRestorer& operator=(const SinkRestorer&) = delete;

private:
    Session& s_;
    ErrorSink& errors_;
    ProgressSink& progress_;
};

}  // namespace

void RunFileAction(Session& session, ProgressSink& progress, const std::function<void(Session&)>& action) {
    CappedErrorSink capped(session.errors());
    {
        SinkRestorer restore(session);
        session.SetErrorSink(capped);
        session.SetProgressSink(progress);
        action(session);
    }
    capped.Finish();
}

ActionOutcome RunEditorAction(GuiContext& ctx, ProgressSink& progress, FileAction action) {
    ActionOutcome outcome;
    const std::uint64_t began = ctx.document.GridState();
    RunFileAction(ctx.session, progress,
                  [&](Session& s) { outcome.status = RunCommandWithStatus(s, action, &outcome.gridReplaced); });
    if (outcome.gridReplaced) outcome.historyCleared = ctx.document.GridReplaced();
    // The save marks the session clean only once the file is written whole.
    if (action == FileAction::Save && !ctx.session.HasUnsavedEdits()) {
        outcome.saved = true;
        ctx.document.MarkSaved(began);
    }
    ctx.document.FilesChanged();
    return outcome;
}

}  // namespace quorvane::gui
