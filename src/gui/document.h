// The editor's data as every window sees it: the value grid with its base
// (the texts of the last load or extraction), the tables' pending edits over
// it (texts a table shows that are not in the grid until its "Close Tab"),
// the one undo history of the whole editor, and the signals that tell
// windows and models what changed.
//
// Every change a window makes to the grid or to a table's pending edits is
// one step of the history (EditStep, made with an EditBuilder), so that it
// can be undone and redone from any editing window. Load and Extract replace
// the grid as a whole; the history then starts afresh.
#pragma once

#include <QObject>
#include <QString>
#include <QUndoStack>

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "catalogue/catalogue.h"
#include "session/session.h"

class QAction;
class QWidget;

namespace quorvane::gui {

class SectionModel;

// The record sections, which have tables: 0 .. 22.
inline constexpr int kTableSections = kFirstConstantSection;

class Document : public QObject {
    Q_OBJECT
public:
    explicit Document(Session& session, QObject* parent = nullptr);
    ~Document() override;

    Session& session() const { return session_; }
    const ValueGrid& grid() const { return session_.grid; }

    // The text a table shows in cell (i, j, s): its pending text, or the
    // grid's. Any cell outside the catalogue gives an empty text.
    std::string_view Shown(int i, int j, int s) const;
    bool IsPending(int i, int j, int s) const;
    // The cell's text at the last load or extraction.
    std::string_view Base(int i, int j, int s) const { return session_.grid.BaselineValue(i, j, s); }
    // The shown text differs from the base.
    bool DiffersFromBase(int i, int j, int s) const { return Shown(i, j, s) != Base(i, j, s); }

    // Row j of section i has a pending cell.
    bool RowPending(int i, int j) const;
    // Row j of section i has a pending cell or shows a text other than its base.
    bool RowChanged(int i, int j) const;
    // Rows of section i with a pending cell.
    int PendingRows(int i) const;
    // The sections holding pending edits, in order.
    std::vector<int> SectionsWithPending() const;

    // The model of record section `section` (0 .. 22), made on first use and
    // kept for the editor's life; nullptr for any other section.
    SectionModel* Model(int section);

    QUndoStack& history() { return history_; }

    // True while the grid differs from what the rules file received at the
    // last load, extraction or successful save, as the history tells it:
    // undoing back to the saved state makes it false again.
    bool HasUnsavedEdits() const { return gridState_ != savedState_; }
    // The grid's state now, to be marked saved once a save that began here
    // has written the file: edits stored while it ran stay unsaved.
    std::uint64_t GridState() const { return gridState_; }
    void MarkSaved(std::uint64_t state);

    // After Load or Extract replaced the grid: the pending edits are dropped,
    // the history is cleared and every model shows the new texts. Returns
    // whether the history held any step. `saved` false: the new texts are
    // not what the rules file holds (the original game's values after a
    // restore), so they count as unsaved.
    bool GridReplaced(bool saved = true);

    // The game files or the rules file may have changed (after any file
    // action): what is computed from them is computed again.
    void FilesChanged() { emit filesChanged(); }

    // "Undo" (`undo`) or "Redo" of the history for `window`: Ctrl+Z, or
    // Ctrl+Shift+Z and Ctrl+Y, while that window is active; enabled while
    // there is a step to take back or to do again.
    QAction* NewHistoryAction(QWidget* window, bool undo);
    // Both, added to `window`.
    void AddUndoActions(QWidget* window);

    // Applies one cell's texts; used by EditStep only. A pending text of
    // nullopt means the cell is not pending.
    void SetGridText(int cell, std::string_view text);
    void SetPendingText(int cell, const std::optional<std::string>& text);
    const std::optional<std::string>& PendingText(int cell) const { return pending_[static_cast<std::size_t>(cell)]; }
    // Tells the models that the cells of `section` between the rows `first`
    // and `last` changed.
    void CellsChanged(int section, int first, int last) { emit cellsChanged(section, first, last); }
    // Tells the windows that a step was applied; `grid` when it changed grid
    // texts.
    void StepApplied(bool grid);
    // Steps that change the grid move its state; see HasUnsavedEdits.
    std::uint64_t NewGridState() { return ++lastGridState_; }
    void SetGridState(std::uint64_t state);
    // Asks the windows to show section `section` again, after an undone
    // step that had closed its window.
    void Reveal(int section) { emit revealSection(section); }

signals:
    // Cells of `section` from row `first` to row `last` show other texts or
    // marks (grid or pending).
    void cellsChanged(int section, int first, int last);
    // Grid texts changed (not only pending ones).
    void gridChanged();
    // After a file action: see FilesChanged.
    void filesChanged();
    // Every cell may have changed: the grid was replaced.
    void gridReset();
    // What is pending or unsaved may have changed: titles follow.
    void editsChanged();
    // See Reveal.
    void revealSection(int section);

private:
    Session& session_;
    QUndoStack history_;
    std::vector<std::optional<std::string>> pending_;  // by cell index
    std::array<int, kTableSections> pendingCells_{};   // count by section
    std::array<std::unique_ptr<SectionModel>, kTableSections> models_;
    std::uint64_t gridState_ = 0;
    std::uint64_t savedState_ = 0;
    std::uint64_t lastGridState_ = 0;
};

}  // namespace quorvane::gui
