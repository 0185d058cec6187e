#include "app/file_action.h"

#include "app/report_box.h"

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

}  // namespace quorvane::gui
