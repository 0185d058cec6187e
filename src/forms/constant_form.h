// The twenty constant-group forms, sections 23 .. 42, as one generic form
// configured from a table.
#pragma once

#include <QString>

class QDialog;

namespace quorvane::gui {

struct GuiContext;

// "CHealing" .. "CFoodBonuses" for sections 23 .. 42; empty otherwise.
QString ConstantFormClass(int section);

// Creates the form of `section`, filled from the grid, not yet shown. The form
// deletes itself when closed and then clears its registry entry. Returns
// nullptr outside 23 .. 42.
QDialog* CreateConstantForm(GuiContext& ctx, int section);

// Renders every constant-group form into PNG files in `dir`.
void RenderFormScreenshots(GuiContext& ctx, const QString& dir);

}  // namespace quorvane::gui
