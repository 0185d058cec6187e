#include "gui/status_label.h"

#include <QResizeEvent>

namespace quorvane::gui {

StatusLabel::StatusLabel(QWidget* parent) : QLabel(parent) {
    setTextFormat(Qt::PlainText);
    setWordWrap(true);
    setTextInteractionFlags(Qt::TextSelectableByMouse);
}

void StatusLabel::SetStatus(const QString& text) {
    setText(text);
    FitHeight();
}

void StatusLabel::resizeEvent(QResizeEvent* event) {
    QLabel::resizeEvent(event);
    // A narrower line needs more lines: the layout is told, and the window
    // grows (or keeps from shrinking) to show them.
    if (event->size().width() != event->oldSize().width()) FitHeight();
}

void StatusLabel::FitHeight() {
    const int needed = text().isEmpty() ? 0 : heightForWidth(width());
    if (needed > 0 && needed != minimumHeight()) setMinimumHeight(needed);
}

}  // namespace quorvane::gui
