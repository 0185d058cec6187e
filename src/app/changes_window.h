// CChanges: the modeless "Changes" window. Lists every cell whose value in the
// editor's data, once saved and written, would change the game files, and
// every cell, line or file the write would refuse with the write's own
// message; counts them on a line under the list. A double-click opens the
// record's table (or form); "Revert" puts the selected cells back to their
// game value in the editor's data; "Refresh" computes the list again. With
// "Compare with the original game" the list holds what the editor's data
// changes from the original game instead (the game files' backups), and
// "Revert" puts the original values back. It reads the game files and never
// writes anything.
#pragma once

#include <QDialog>

#include "gui/edit_state.h"
#include "gui/gui_context.h"
#include "writeback/review.h"

class QCheckBox;
class QLabel;
class QPushButton;
class QTableView;

namespace quorvane::gui {

class ReviewModel;

inline constexpr const char* kChangesClass = kChangesWindowClass;

class CChanges : public QDialog {
    Q_OBJECT
public:
    // Registers itself as the one "CChanges" window and computes the list;
    // deletes itself when closed and then clears that entry.
    CChanges(GuiContext& ctx, QWidget* owner);

    QTableView* table() const { return table_; }
    ReviewModel* model() const { return model_; }
    QLabel* countLine() const { return count_; }
    // "Compare with the original game": the list shows what the editor's
    // data changes from the original game instead of from the game files as
    // they are now.
    QCheckBox* compareWithOriginal() const { return original_; }
    const Review& review() const;

    // "3 changes, 1 problem.", "No changes.", or the write's refusal while
    // nothing is loaded; the edits of tables not stored yet and the values
    // kept in step with their second copies are counted apart:
    // "1 change, 2 not stored yet, 3 kept in step, 0 problems.".
    static QString CountText(const Review& review, int notStored = 0, int keptInStep = 0);

public slots:
    // "Refresh": computes the list again from the grid and the game files.
    void Recompute();
    // "Revert": sets every selected cell back to its game value in the grid,
    // as one step of the history.
    void Revert();
    // Opens the window that edits the cell of list row `row`, with the cell's
    // record selected.
    void OpenRow(int row);

protected:
    void reject() override { close(); }
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void SelectionChanged();

    GuiContext& ctx_;
    QTableView* table_ = nullptr;
    ReviewModel* model_ = nullptr;
    QLabel* count_ = nullptr;
    QPushButton* revert_ = nullptr;
    QCheckBox* original_ = nullptr;
    bool computing_ = false;
};

// Opens the Changes window unless one is open, shows it and brings it up; an
// open one computes its list again. Returns the window.
CChanges* OpenChangesWindow(GuiContext& ctx);

// The column's name in its table, or its label in the form; empty where the
// form shows one value per row.
QString CellColumnLabel(int i, int step);

// Opens the window that edits cell (i, j, step) with the cell's record
// selected (its value field, in a form); as much of that as the cell names.
void ShowCell(GuiContext& ctx, int i, int j, int step);

}  // namespace quorvane::gui
