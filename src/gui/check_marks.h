// What the write would do with a typed text, shown where the text is typed:
// a field or list cell whose text the write would refuse is tinted red, one
// the write would change is tinted amber, each with a tooltip saying why.
// Nothing is blocked; the marks only tell.
#pragma once

#include <QColor>
#include <QString>

#include <string>

class QLineEdit;
class QPalette;

namespace quorvane::gui {

enum class CheckMark { None, Warning, Error };

struct CheckResult {
    CheckMark mark = CheckMark::None;
    // "Value out of range. Allowed: 0 to 255, or -15 to -1 for 241 to 255",
    // "Written as 5597.", or empty when the text is written as it stands.
    QString tip;
};

// What the write does with `text` in cell (i, j, step).
CheckResult CheckText(int i, int j, int step, const std::string& text);

// The tint of a mark over `palette`'s base: the mark's colour mixed into the
// base so that the palette's text stays readable on light and dark bases.
QColor CheckTint(const QPalette& palette, CheckMark mark);

// Marks `field` by the check of its text (cut as a save cuts it) in cell
// (i, j, step): background tint, tooltip and the property "check" ("error",
// "warning" or empty), which a style sheet or a test can read.
void MarkField(QLineEdit* field, int i, int j, int step);

// Keeps `field` marked while it is typed into.
void CheckFieldAsTyped(QLineEdit* field, int i, int j, int step);

}  // namespace quorvane::gui
