// A status line that is never cut off: a word-wrapped label that asks its
// layout for as many lines as its text needs at its present width, so that
// the window it stands in cannot be made too small to show them all.
#pragma once

#include <QLabel>

namespace quorvane::gui {

class StatusLabel : public QLabel {
    Q_OBJECT
public:
    explicit StatusLabel(QWidget* parent);

    // Shows `text` (plain text), all of its lines.
    void SetStatus(const QString& text);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void FitHeight();
};

}  // namespace quorvane::gui
