#include "app/file_action.h"

#include <QApplication>
#include <QEvent>
#include <QList>
#include <QPointer>
#include <QSet>
#include <QWidget>
#include <QWindow>

#include "app/report_box.h"
#include "gui/document.h"
#include "gui/gui_context.h"

namespace quorvane::gui {

namespace {

int actionsRunning = 0;

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

// Disables every enabled top-level window for its lifetime and refuses the
// window system's close requests to them; see RunFileAction.
class InputBlock : public QObject {
public:
    InputBlock() : focus_(QApplication::focusWidget()) {
        // Chosen before any is disabled: a dialog owned by a window reads as
        // disabled once its owner is.
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->isEnabled()) disabled_ << w;
        for (const QPointer<QWidget>& w : disabled_) {
            w->setEnabled(false);
            // The window system's close request reaches the window's handle.
            if (w->windowHandle()) blocked_.insert(w->windowHandle());
        }
        qApp->installEventFilter(this);
        ++actionsRunning;
    }
    ~InputBlock() override {
        // Clicks and keys the window system queued while the action ran are
        // delivered now, to windows that are still disabled and drop them.
        QCoreApplication::processEvents();
        --actionsRunning;
        qApp->removeEventFilter(this);
        for (const QPointer<QWidget>& w : disabled_)
            if (w) w->setEnabled(true);
        if (focus_ && focus_->isEnabled()) focus_->setFocus();
    }
    InputBlock(const InputBlock&) = delete;
    InputBlock& operator=(const InputBlock&) = delete;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Close && event->spontaneous() && blocked_.contains(watched)) {
            event->ignore();
            return true;
        }
        return false;
    }

private:
    QPointer<QWidget> focus_;
    QList<QPointer<QWidget>> disabled_;
    QSet<const QObject*> blocked_;  // their window handles, only compared
};

}  // namespace

bool FileActionRunning() { return actionsRunning > 0; }

void RunFileAction(Session& session, ProgressSink& progress, const std::function<void(Session&)>& action,
                   ErrorSink* reports) {
    InputBlock block;
    CappedErrorSink capped(session.errors());
    {
        SinkRestorer restore(session);
        session.SetErrorSink(reports ? *reports : static_cast<ErrorSink&>(capped));
        session.SetProgressSink(progress);
        action(session);
    }
    capped.Finish();
}

ActionOutcome RunEditorAction(GuiContext& ctx, ProgressSink& progress, FileAction action, ErrorSink* reports) {
    ActionOutcome outcome;
    const std::uint64_t began = ctx.document.GridState();
    RunFileAction(
        ctx.session, progress,
        [&](Session& s) {
            const CommandOutcome done = RunCommandWithStatus(s, action);
            outcome.status = done.status;
            outcome.gridReplaced = done.gridReplaced;
            outcome.saved = done.saved;
        },
        reports);
    if (outcome.gridReplaced) outcome.historyCleared = ctx.document.GridReplaced();
    if (outcome.saved) ctx.document.MarkSaved(began);
    ctx.document.FilesChanged();
    return outcome;
}

}  // namespace quorvane::gui
