// The "Filter by name" field of a report list: rows whose name (column 0)
// does not hold the typed text are filtered out of the list's proxy, never
// moved or removed from the model, so every row keeps its record.
#pragma once

#include <QString>

class QLineEdit;
class QWidget;

namespace quorvane::gui {

class RecordFilter;

inline constexpr const char* kFilterPlaceholder = "Filter by name";

// A new filter field for `proxy`, a child of `parent`: typing filters, in
// any case; Escape clears the field (and goes no further, so the window
// stays), and in an empty field reaches the window.
QLineEdit* NewNameFilter(RecordFilter* proxy, QWidget* parent);

}  // namespace quorvane::gui
