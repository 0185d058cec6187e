// The frame of a window that lists problems, one line each: a summary line
// over a read-only list of named columns, and a "Close" button under it.
// Each kind of problem list fills it with its own rows.
#pragma once

#include <QList>
#include <QSize>
#include <QStringList>

#include "tables/closing_dialog.h"

class QLabel;
class QTableView;

namespace quorvane::gui {

class TextTableModel;

class ProblemListWindow : public ClosingDialog {
    Q_OBJECT
public:
    QTableView* list() const { return list_; }
    QLabel* summary() const { return summary_; }

protected:
    // A window of class `className` captioned `caption`, its list headed by
    // `headers`, opening at `size`.
    ProblemListWindow(QWidget* parent, const char* className, const char* caption, const QStringList& headers,
                      QSize size);

    // Shows `summary` over `rows` (one text per header), replacing what the
    // window showed.
    void SetProblems(const QString& summary, QList<QStringList> rows);

private:
    QLabel* summary_;
    QTableView* list_;
    TextTableModel* model_;
};

}  // namespace quorvane::gui
