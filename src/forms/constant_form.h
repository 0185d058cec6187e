// The twenty constant-group forms, sections 23 .. 42, as one generic form
// configured from a table.
#pragma once

#include <QString>

class QDialog;
class QWidget;

namespace quorvane::gui {

struct GuiContext;

// "CHealing" .. "CFoodBonuses" for sections 23 .. 42; empty otherwise.
QString ConstantFormClass(int section);

// Creates the form of `section`, filled from the grid, not yet shown. The form
// deletes itself when closed and then clears its registry entry. Returns
// nullptr outside 23 .. 42.
QDialog* CreateConstantForm(GuiContext& ctx, int section);

// For an open constant-group form (any other window answers false or does
// nothing): whether a value field differs from what the form was opened or
// last refilled with;
bool FormIsModified(const QWidget* form);
// stores it into the grid and closes it as its save button does, false when
// its check refused the value (the form stays open and the refusal is
// reported);
bool StoreForm(QWidget* form);
// fills its fields again from the grid.
void RefillForm(QWidget* form);

}  // namespace quorvane::gui
