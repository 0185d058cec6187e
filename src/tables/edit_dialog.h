// The edit dialog: one record of a table as a form, one label and one value
// field per column, laid out five to a line.
#pragma once

#include <QVector>

#include <string>

#include "tables/closing_dialog.h"
#include "tables/kinds.h"

class QLineEdit;
class QToolButton;

namespace quorvane::gui {

struct GuiContext;
class EditBuilder;

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
    // An edit dialog for row `row` of section `section` as its table shows
    // it. It is created hidden; the table fills it and shows it.
    EditDialog(GuiContext& ctx, const EditKind& kind, int section, int row);

    const EditKind& kind() const { return kind_; }
    int row() const { return row_; }
    int section() const { return section_; }
    int columns() const { return static_cast<int>(values_.size()); }

    void SetLabel(int c, const QString& text);
    // Fills value field c; the text counts as not typed.
    void SetValue(int c, const QString& text);
    QLineEdit* ValueField(int c) const;
    // The label widget of column c: a read-only field or a help button.
    QWidget* LabelWidget(int c) const;
    // The mark beside value field c (c >= 1) shown while its text differs
    // from the one of the last load or extraction.
    QToolButton* BaseMark(int c) const;

    // Saves every field (a field the user changed cut to 254 characters)
    // into the row as its table shows it, as one step of the history, then
    // closes.
    void SaveAndClose();
    // Adds the saving of every field to `step`.
    void AddTo(EditBuilder& step) const;
    // Fills every field again from the row as its table shows it, dropping
    // what was typed.
    void Refill();

    // True when a value field differs from what the row shows.
    bool IsModified() const;
    // True once the dialog has closed (it is deleted a little later).
    bool IsClosed() const { return closed_; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void OpenHelp(const HelpLink& link);
    // What field c stores: its text, cut to 254 characters where typed.
    std::string FieldText(int c) const;
    // Fields not typed into show the row's new texts.
    void FollowRows(int section, int first, int last);

    GuiContext& ctx_;
    const EditKind& kind_;
    int section_;
    int row_;
    QVector<QWidget*> labels_;
    QVector<QLineEdit*> values_;
    QVector<QToolButton*> marks_;
    QVector<QString> shown_;  // what the program put into each field
    bool closed_ = false;
    int opened_ = 0;  // help tabs and spell-ID lists opened from here
};

}  // namespace quorvane::gui
