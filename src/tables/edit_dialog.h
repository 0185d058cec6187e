// The edit dialog: one record of a table dialog's list as a form, one label
// and one value field per column, laid out five to a line.
#pragma once

#include <QPointer>
#include <QVector>

#include "tables/closing_dialog.h"
#include "tables/kinds.h"

class QLineEdit;
class QTableWidget;

namespace quorvane::gui {

struct GuiContext;

// Where a field stands: its line, its first column in a grid of 20 per line
// and how many of them it spans (4 for five to a line, 5 for four).
struct FieldPlace {
    int line;
    int column;
    int span;
};
FieldPlace EditFieldPlace(EditLayout layout, int columns, int c);

class EditDialog : public ClosingDialog {
    Q_OBJECT
public:
    // An edit dialog for row `row` of `list`, which shows section `section`.
    // It is created hidden; the table fills it and shows it.
    EditDialog(GuiContext& ctx, const EditKind& kind, QTableWidget* list, int row, int section);

    const EditKind& kind() const { return kind_; }
    int row() const { return row_; }
    int section() const { return section_; }
    int columns() const { return static_cast<int>(values_.size()); }

    void SetLabel(int c, const QString& text);
    // Fills value field c; the text counts as what the field was opened with.
    void SetValue(int c, const QString& text);
    QLineEdit* ValueField(int c) const;
    // The label widget of column c: a read-only field or a help button.
    QWidget* LabelWidget(int c) const;

    // Writes every field into the row of the list (a field the user changed
    // cut to 254 characters), then closes.
    void SaveAndClose();

    // True when a value field differs from what it was opened with.
    bool IsModified() const;
    // True once the dialog has closed (it is deleted a little later).
    bool IsClosed() const { return closed_; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void OpenHelp(const HelpLink& link);

    GuiContext& ctx_;
    const EditKind& kind_;
    QPointer<QTableWidget> list_;
    int row_;
    int section_;
    QVector<QWidget*> labels_;
    QVector<QLineEdit*> values_;
    QVector<QString> opened_;
    bool closed_ = false;
};

}  // namespace quorvane::gui
