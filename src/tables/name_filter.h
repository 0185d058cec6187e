// The "Filter by name" field of a report list: rows whose name (column 0)
// does not hold the typed text are hidden, never moved or removed, so every
// row keeps its index and so its grid row.
#pragma once

#include <QString>

class QLineEdit;
class QTableWidget;
class QWidget;

namespace quorvane::gui {

inline constexpr const char* kFilterPlaceholder = "Filter by name";

// A new filter field for `list`, a child of `parent`: typing filters, Escape
// clears the field (and goes no further, so the window stays).
QLineEdit* NewNameFilter(QTableWidget* list, QWidget* parent);

// Hides the rows of `list` whose column 0 does not contain `text`, ignoring
// case; shows every row for an empty text. A selected row that is hidden is
// unselected, so that Enter cannot open a row the user does not see.
void ApplyNameFilter(QTableWidget* list, const QString& text);

}  // namespace quorvane::gui
