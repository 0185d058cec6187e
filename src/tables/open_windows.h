// Every open editing window at once: what they hold that is not in the rules
// file, storing all of it, and refilling them after the grid was replaced.
#pragma once

#include <QSet>

#include "gui/edit_state.h"

namespace quorvane::gui {

struct GuiContext;

// Counts the tables (shown or hidden), edit dialogs and forms holding
// changes, and whether the grid holds edits not saved to the rules file.
PendingEdits FindPendingEdits(GuiContext& ctx);

// Stores what the windows hold, as their own buttons would: each modified edit
// dialog into its table and each modified form into the grid, then each table
// holding changes into the grid (closing it as "Close Tab" does). Returns
// false when a form refused its value; its check's message has been reported
// and that form stays open.
bool StorePendingEdits(GuiContext& ctx);

// Fills every open table, edit dialog and form again from the grid, so that
// none shows data older than the grid.
void RefillOpenWindows(GuiContext& ctx);

// The same for the windows showing one of `sections` only: the tables bound
// to them (with their edit dialogs) and their forms; the grid is not counted.
PendingEdits FindPendingEditsIn(GuiContext& ctx, const QSet<int>& sections);
void RefillOpenWindows(GuiContext& ctx, const QSet<int>& sections);

}  // namespace quorvane::gui
