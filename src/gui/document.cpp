#include "gui/document.h"

#include <QAction>
#include <QKeySequence>
#include <QWidget>

#include "gui/section_model.h"

namespace quorvane::gui {

Document::Document(Session& session, QObject* parent)
    : QObject(parent), session_(session), pending_(static_cast<std::size_t>(kInUseCells)) {
    history_.setObjectName(QStringLiteral("history"));
}

Document::~Document() = default;

std::string_view Document::Shown(int i, int j, int s) const {
    const int cell = CellIndex(i, j, s);
    if (cell < 0) return {};
    const std::optional<std::string>& pending = pending_[static_cast<std::size_t>(cell)];
    return pending ? std::string_view(*pending) : session_.grid.Cell(cell);
}

bool Document::IsPending(int i, int j, int s) const {
    const int cell = CellIndex(i, j, s);
    return cell >= 0 && pending_[static_cast<std::size_t>(cell)].has_value();
}

bool Document::RowPending(int i, int j) const {
    if (i < 0 || i >= kTableSections || pendingCells_[static_cast<std::size_t>(i)] == 0) return false;
    for (int s = 0; s < Columns(i); ++s)
        if (IsPending(i, j, s)) return true;
    return false;
}

bool Document::RowChanged(int i, int j) const {
    for (int s = 0; s < Columns(i); ++s)
        if (IsPending(i, j, s) || DiffersFromBase(i, j, s)) return true;
    return false;
}

int Document::PendingRows(int i) const {
    if (i < 0 || i >= kTableSections || pendingCells_[static_cast<std::size_t>(i)] == 0) return 0;
    int rows = 0;
    for (int j = 0; j < Rows(i); ++j) rows += RowPending(i, j) ? 1 : 0;
    return rows;
}

std::vector<int> Document::SectionsWithPending() const {
    std::vector<int> out;
    for (int i = 0; i < kTableSections; ++i)
        if (pendingCells_[static_cast<std::size_t>(i)] > 0) out.push_back(i);
    return out;
}

SectionModel* Document::Model(int section) {
    if (section < 0 || section >= kTableSections) return nullptr;
    std::unique_ptr<SectionModel>& model = models_[static_cast<std::size_t>(section)];
    if (!model) model = std::make_unique<SectionModel>(*this, section);
    return model.get();
}

void Document::MarkSaved(std::uint64_t state) {
    savedState_ = state;
    emit editsChanged();
}

bool Document::GridReplaced(bool saved) {
    const bool hadSteps = history_.count() > 0;
    history_.clear();
    std::fill(pending_.begin(), pending_.end(), std::nullopt);
    pendingCells_.fill(0);
    gridState_ = ++lastGridState_;
    if (saved) savedState_ = gridState_;
    emit gridReset();
    emit gridChanged();
    emit editsChanged();
    return hadSteps;
}

void Document::SetGridText(int cell, std::string_view text) { session_.grid.SetCell(cell, text); }

void Document::SetPendingText(int cell, const std::optional<std::string>& text) {
    std::optional<std::string>& pending = pending_[static_cast<std::size_t>(cell)];
    // The section of the cell, for the count of its pending cells.
    int section = 0;
    while (section + 1 < kTableSections && kSectionCellStart[static_cast<std::size_t>(section + 1)] <= cell) ++section;
    if (cell < kSectionCellStart[static_cast<std::size_t>(kTableSections)]) {
        int& count = pendingCells_[static_cast<std::size_t>(section)];
        count += (text ? 1 : 0) - (pending ? 1 : 0);
    }
    pending = text;
}

void Document::SetGridState(std::uint64_t state) { gridState_ = state; }

void Document::StepApplied(bool grid) {
    if (grid) emit gridChanged();
    emit editsChanged();
}

QAction* Document::NewHistoryAction(QWidget* window, bool undo) {
    auto* action = new QAction(undo ? QStringLiteral("Undo") : QStringLiteral("Redo"), window);
    action->setObjectName(undo ? QStringLiteral("undo") : QStringLiteral("redo"));
    if (undo)
        action->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    else
        action->setShortcuts({QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
    action->setEnabled(undo ? history_.canUndo() : history_.canRedo());
    // The step it would take back or do again, where a tooltip is shown.
    action->setToolTip(undo ? history_.undoText() : history_.redoText());
    connect(action, &QAction::triggered, &history_, undo ? &QUndoStack::undo : &QUndoStack::redo);
    connect(&history_, undo ? &QUndoStack::canUndoChanged : &QUndoStack::canRedoChanged, action, &QAction::setEnabled);
    connect(&history_, undo ? &QUndoStack::undoTextChanged : &QUndoStack::redoTextChanged, action,
            &QAction::setToolTip);
    return action;
}

void Document::AddUndoActions(QWidget* window) {
    window->addAction(NewHistoryAction(window, true));
    window->addAction(NewHistoryAction(window, false));
}

}  // namespace quorvane::gui
