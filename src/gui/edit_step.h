// One step of the editor's undo history: a set of cells whose grid texts
// and pending texts change together, for example a row saved from an edit
// dialog (pending texts), a table stored by "Close Tab" (grid texts set and
// pending texts dropped) or a form saved (grid texts). EditBuilder gathers
// what a user action changes and pushes it as one step.
#pragma once

#include <QString>
#include <QUndoCommand>

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quorvane::gui {

class Document;

class EditStep : public QUndoCommand {
public:
    struct Change {
        int cell = 0, i = 0, j = 0;
        bool gridChanges = false;
        std::string gridBefore, gridAfter;
        bool pendingChanges = false;
        std::optional<std::string> pendingBefore, pendingAfter;
    };
    EditStep(Document& doc, const QString& text, std::vector<Change> changes, int revealOnUndo);

    void redo() override;
    void undo() override;

    bool ChangesGrid() const { return changesGrid_; }

private:
    void Apply(bool after);

    Document& doc_;
    std::vector<Change> changes_;
    int revealOnUndo_;
    bool changesGrid_ = false;
    std::uint64_t stateBefore_ = 0;
    std::uint64_t stateAfter_ = 0;
};

class EditBuilder {
public:
    EditBuilder(Document& doc, QString text) : doc_(doc), text_(std::move(text)) {}

    // The table of cell (i, j, s) shows `text` there: a pending text where
    // it differs from the grid's, as this step leaves the grid.
    void Show(int i, int j, int s, std::string_view text);
    // The grid holds `text` in cell (i, j, s).
    void Store(int i, int j, int s, std::string_view text);
    // Cell (i, j, s) shows the grid's text again.
    void DropPending(int i, int j, int s);
    // Every pending cell of section i (with what this step showed so far)
    // goes into the grid, as "Close Tab" stores its table.
    void StorePending(int section);
    // Every pending cell of section i is dropped.
    void DropPendingOf(int section);
    // When the step is undone, the windows show section `section` again.
    void RevealOnUndo(int section) { reveal_ = section; }

    // Pushes the step onto the history, which applies it. A step that
    // changes nothing is not pushed; returns whether one was.
    bool Push();

private:
    struct Cell {
        int i, j;
        std::optional<std::string> grid;                   // the grid's text after the step
        std::optional<std::optional<std::string>> pending;  // the pending text after the step
    };
    Cell& At(int i, int j, int s, int cell);
    std::string GridAfter(int cell, const Cell& c) const;
    // The cell's pending text as the step leaves it so far.
    std::optional<std::string> PendingAfter(int cell) const;

    Document& doc_;
    QString text_;
    std::map<int, Cell> cells_;
    int reveal_ = -1;
};

}  // namespace quorvane::gui
