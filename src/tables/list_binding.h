// Binding between a report list (QTableWidget) and one section of the value
// grid, and the column widths kept in the settings store.
#pragma once

#include <QString>

class QSettings;
class QTableWidget;

namespace quorvane::gui {

struct GuiContext;

// Settings group and entry that hold the width of column `step` of section
// `i`: group "List Control Settings/<header>/<step>", entry "<step>". The
// group is built with '/' so that every part is its own nested key (a
// backslash would become part of one key name on the Windows registry).
QString ColumnWidthGroup(int i, int step);
QString ColumnWidthEntry(int step);

// Stored width of column `step` of section `i`, or -1 when none is stored
// (or one too small to be used).
int GetColumnWidth(GuiContext& ctx, int i, int step);
void SaveColumnWidth(GuiContext& ctx, int i, int step, int width);

// Fills `list` from section `i`. n <= 0: the section's own rows and columns,
// widths from the settings store or (characters of the column name + 1) * 10.
// n > 0: the spell-ID list, "Spell Name" and "Spell ID" (the row index - 1),
// fixed widths. Returns 0.
int LoadArrayTable(GuiContext& ctx, QTableWidget* list, int i, int n = 0);

// Stores every cell of `list` (cut to 255 characters) into section `i` and
// every column's width into the settings store. Returns 1.
int SaveArrayTable(GuiContext& ctx, QTableWidget* list, int i);

// The text of a list cell, empty when the cell holds no item.
QString CellText(const QTableWidget* list, int row, int column);
// Sets the text of a list cell, creating its item where there is none.
void SetCellText(QTableWidget* list, int row, int column, const QString& text);

// Applies the report-list look: full-row single selection, no in-place
// editing, headers that do not sort, no row numbers.
void SetUpReportList(QTableWidget* list);

}  // namespace quorvane::gui
