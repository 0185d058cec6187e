// The mark beside a value field whose text differs from the cell's text at
// the last load or extraction: a small button, named "Revert to game value"
// for screen readers, whose tooltip gives that text and which puts it back
// into the field when pressed. Hidden while the field holds that text.
#pragma once

class QLineEdit;
class QToolButton;
class QWidget;

namespace quorvane::gui {

class Document;

QToolButton* NewBaseMark(Document& doc, QLineEdit* field, int i, int j, int s, QWidget* parent);

}  // namespace quorvane::gui
