// The report list of a table window. Its first column, the record's name,
// can be kept in view while the list scrolls sideways: a second view of the
// same model and selection, showing that column only, stands over the list's
// left edge. The user resizes, sorts by, double-clicks and right-clicks that
// column as any other; it never takes the keyboard focus, which stays in the
// list.
#pragma once

#include <QTableView>

namespace quorvane::gui {

class ReportList : public QTableView {
    Q_OBJECT
public:
    explicit ReportList(QWidget* parent);

    // Keeps column 0 in view from now on. Call once, after the model is set,
    // while the list has its parent.
    void FreezeFirstColumn();
    // The view over column 0, or nullptr while none is kept in view.
    QTableView* frozenView() const { return frozen_; }

    // Scrolls so that the cell is in view and, right of column 0, not under
    // the names; a cell of column 0 is scrolled into view up and down only.
    void scrollTo(const QModelIndex& index, ScrollHint hint = EnsureVisible) override;

protected:
    void updateGeometries() override;
    bool event(QEvent* event) override;

private:
    void PlaceFrozen();
    void HideFrozenColumns();

    QTableView* frozen_ = nullptr;
};

}  // namespace quorvane::gui
