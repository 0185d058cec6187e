// Every open editing window at once: what they and the document hold that
// is not in the rules file, storing all of it, refilling them after the
// grid was replaced, and showing a section again when an undone step asks.
#pragma once

#include <QSet>

#include "gui/edit_state.h"

namespace quorvane::gui {

struct GuiContext;

// Counts the tables holding pending edits (shown, hidden or closed after an
// undone "Close Tab"), the edit dialogs holding typed values and the forms
// likewise, and whether the grid holds edits not saved to the rules file.
PendingEdits FindPendingEdits(GuiContext& ctx);

// Stores what the windows hold, as one step of the history, as their own
// buttons would: each modified edit dialog into its row, each modified form
// into the grid, each section's pending edits into the grid; then closes
// those edit dialogs, forms and tables. Returns false when a form refused
// its value; its check's message has been reported, nothing was stored and
// that form stays open.
bool StorePendingEdits(GuiContext& ctx);

// Fills every open edit dialog and form again from the document, dropping
// what was typed, so that none shows data older than the grid.
void RefillOpenWindows(GuiContext& ctx);

// The same for the windows showing one of `sections` only: pending tables,
// edit dialogs and forms of those sections; the grid is not counted.
PendingEdits FindPendingEditsIn(GuiContext& ctx, const QSet<int>& sections);
void RefillOpenWindows(GuiContext& ctx, const QSet<int>& sections);

// Shows the window of `section` once more when an undone step asks for it
// (its "Close Tab" or its form's save was taken back). A unit table bound to
// another unit section shows this one without asking: pending edits stay
// with their sections.
void ConnectSectionWindows(GuiContext& ctx);

}  // namespace quorvane::gui
