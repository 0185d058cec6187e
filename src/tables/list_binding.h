// Binding between a report list (a QTableView over a RecordFilter) and one
// section of the document, and the column widths kept in the settings store.
#pragma once

#include <QString>

class QSettings;
class QTableView;
class QWidget;

namespace quorvane::gui {

struct GuiContext;
class EditBuilder;
class RecordFilter;
class ReportList;

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

// A new report list: full-row single selection, no in-place editing, no row
// numbers; its model is a RecordFilter (the list's proxy), and a click on a
// column header sorts by that column, ascending, then descending, then back
// to file order. Tab leaves the list; the arrow keys move between its cells.
ReportList* NewReportList(QWidget* parent);
// The proxy of a list made by NewReportList.
RecordFilter* ListFilter(const QTableView* list);

// Shows section `i` in `list`. n <= 0: the section's own rows and columns,
// widths from the settings store, else the name column as wide as its
// longest name and every other (characters of the column name + 1) * 10.
// n > 0: the spell-ID list, "Spell Name" and "Spell ID" (the row index - 1),
// fixed widths.
void LoadArrayTable(GuiContext& ctx, QTableView* list, int i, int n = 0);

// Stores every column's width of `list` into the settings store, and adds to
// `step` the storing of section `i`'s pending edits into the grid.
void SaveArrayTable(GuiContext& ctx, QTableView* list, int i, EditBuilder& step);

// The text the list shows in record row `row`, column `column` (whatever the
// list's filter and order), empty outside its rows.
QString CellText(const QTableView* list, int row, int column);

}  // namespace quorvane::gui
