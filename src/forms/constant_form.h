// The twenty constant-group forms, sections 23 .. 42, as one generic form
// configured from a table.
#pragma once

#include <QString>

class QDialog;
class QWidget;

namespace quorvane::gui {

struct GuiContext;
class EditBuilder;

// "CHealing" .. "CFoodBonuses" for sections 23 .. 42; empty otherwise.
QString ConstantFormClass(int section);

// Creates the form of `section`, filled from the grid, not yet shown. The form
// deletes itself when closed and then clears its registry entry. Returns
// nullptr outside 23 .. 42.
QDialog* CreateConstantForm(GuiContext& ctx, int section);

// For an open constant-group form (any other window answers false or -1, or
// is left alone):
// the section it edits;
int FormSection(const QWidget* form);
// whether a value field differs from what the grid holds;
bool FormIsModified(const QWidget* form);
// whether its check takes its value (the destroyed-items form wants 25 or
// 50); a refusal is reported and the form stays open;
bool FormAccepts(QWidget* form);
// adds the storing of its values into the grid to `step`;
void AddFormTo(QWidget* form, EditBuilder& step);
// closes it without storing anything;
void CloseForm(QWidget* form);
// fills its fields again from the grid, dropping what was typed.
void RefillForm(QWidget* form);

}  // namespace quorvane::gui
