#include "gui/edit_step.h"

#include <algorithm>

#include "catalogue/catalogue.h"
#include "gui/document.h"

namespace quorvane::gui {

EditStep::EditStep(Document& doc, const QString& text, std::vector<Change> changes, int revealOnUndo)
    : QUndoCommand(text), doc_(doc), changes_(std::move(changes)), revealOnUndo_(revealOnUndo) {
    for (const Change& c : changes_) changesGrid_ = changesGrid_ || c.gridChanges;
    if (changesGrid_) {
        stateBefore_ = doc_.GridState();
        stateAfter_ = doc_.NewGridState();
    }
}

void EditStep::Apply(bool after) {
    // The rows touched in each section, so that each model hears once.
    std::map<int, std::pair<int, int>> rows;
    for (const Change& c : changes_) {
        if (c.gridChanges) doc_.SetGridText(c.cell, after ? c.gridAfter : c.gridBefore);
        if (c.pendingChanges) doc_.SetPendingText(c.cell, after ? c.pendingAfter : c.pendingBefore);
        auto [it, added] = rows.try_emplace(c.i, c.j, c.j);
        if (!added) it->second = {std::min(it->second.first, c.j), std::max(it->second.second, c.j)};
    }
    if (changesGrid_) doc_.SetGridState(after ? stateAfter_ : stateBefore_);
    for (const auto& [section, range] : rows) doc_.CellsChanged(section, range.first, range.second);
    doc_.StepApplied(changesGrid_);
}

void EditStep::redo() { Apply(true); }

void EditStep::undo() {
    Apply(false);
    if (revealOnUndo_ >= 0) doc_.Reveal(revealOnUndo_);
}

EditBuilder::Cell& EditBuilder::At(int i, int j, int, int cell) {
    auto [it, added] = cells_.try_emplace(cell);
    if (added) {
        it->second.i = i;
        it->second.j = j;
    }
    return it->second;
}

std::string EditBuilder::GridAfter(int cell, const Cell& c) const {
    return c.grid ? *c.grid : std::string(doc_.grid().Cell(cell));
}

void EditBuilder::Show(int i, int j, int s, std::string_view text) {
    const int cell = CellIndex(i, j, s);
    if (cell < 0) return;
    Cell& c = At(i, j, s, cell);
    const std::string shown(text);
    c.pending = shown != GridAfter(cell, c) ? std::optional<std::string>(shown) : std::nullopt;
}

void EditBuilder::Store(int i, int j, int s, std::string_view text) {
    const int cell = CellIndex(i, j, s);
    if (cell < 0) return;
    At(i, j, s, cell).grid = std::string(text);
}

void EditBuilder::DropPending(int i, int j, int s) {
    const int cell = CellIndex(i, j, s);
    if (cell < 0) return;
    At(i, j, s, cell).pending = std::optional<std::string>();
}

std::optional<std::string> EditBuilder::PendingAfter(int cell) const {
    const auto it = cells_.find(cell);
    if (it != cells_.end() && it->second.pending) return *it->second.pending;
    return doc_.PendingText(cell);
}

void EditBuilder::StorePending(int section) {
    for (int j = 0; j < Rows(section); ++j)
        for (int s = 0; s < Columns(section); ++s) {
            const std::optional<std::string> pending = PendingAfter(CellIndex(section, j, s));
            if (!pending) continue;
            Store(section, j, s, *pending);
            DropPending(section, j, s);
        }
}

void EditBuilder::DropPendingOf(int section) {
    for (int j = 0; j < Rows(section); ++j)
        for (int s = 0; s < Columns(section); ++s)
            if (PendingAfter(CellIndex(section, j, s))) DropPending(section, j, s);
}

bool EditBuilder::Push() {
    std::vector<EditStep::Change> changes;
    for (auto& [cell, c] : cells_) {
        EditStep::Change change;
        change.cell = cell;
        change.i = c.i;
        change.j = c.j;
        const std::string_view grid = doc_.grid().Cell(cell);
        const std::optional<std::string>& pending = doc_.PendingText(cell);
        if (c.grid && *c.grid != grid) {
            change.gridChanges = true;
            change.gridBefore = std::string(grid);
            change.gridAfter = *c.grid;
        }
        // A pending text equal to the grid's, as the step leaves it, is none.
        std::optional<std::string> pendingAfter = c.pending ? *c.pending : pending;
        if (pendingAfter && *pendingAfter == GridAfter(cell, c)) pendingAfter.reset();
        if (pendingAfter != pending) {
            change.pendingChanges = true;
            change.pendingBefore = pending;
            change.pendingAfter = std::move(pendingAfter);
        }
        if (change.gridChanges || change.pendingChanges) changes.push_back(std::move(change));
    }
    cells_.clear();
    if (changes.empty()) return false;
    doc_.history().push(new EditStep(doc_, text_, std::move(changes), reveal_));
    return true;
}

}  // namespace quorvane::gui
