// Runs one file action (extract, load, save, write) with the desktop
// program's sinks: the given progress sink, and the session's error sink
// capped for the length of the action.
#pragma once

#include <functional>

#include "session/session.h"

namespace quorvane::gui {

void RunFileAction(Session& session, ProgressSink& progress, const std::function<void(Session&)>& action);

}  // namespace quorvane::gui
