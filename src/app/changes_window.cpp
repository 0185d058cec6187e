#include "app/changes_window.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSet>
#include <QTableWidget>
#include <QVBoxLayout>

#include "actions/actions.h"
#include "app/report_box.h"
#include "catalogue/catalogue.h"
#include "forms/form_table.h"
#include "gui/edit_state.h"
#include "gui/placement.h"
#include "tables/open_windows.h"
#include "tables/section_chooser.h"
#include "tables/table_dialog.h"

namespace quorvane::gui {

namespace {

enum Column { kSectionColumn, kRecordColumn, kCellColumn, kGameColumn, kNewColumn, kProblemColumn, kColumnCount };
constexpr const char* kHeaders[kColumnCount] = {"Section", "Record", "Column", "Game Value", "New Value", "Problem"};

// A row the write refuses: a partly transparent red over the palette's base,
// so that the text keeps its own colour and stays readable in light and dark
// palettes alike.
QColor ProblemTint() { return QColor(220, 30, 30, 80); }

// The column's name in its table, or its label in the form; empty where the
// form shows one value per row.
QString ColumnLabel(int i, int step) {
    if (i < 0 || step < 1) return {};
    if (i < kFirstFormSection) return ToQ(ColumnName(i, step));
    const FormSpec* spec = FindFormSpec(i);
    if (spec && spec->shape == FormShape::ColumnsOfOneRow && step - 1 < static_cast<int>(spec->columnLabels.size()))
        return QString::fromLatin1(spec->columnLabels[static_cast<std::size_t>(step - 1)]);
    return {};
}

QString Kind() { return QString::fromLatin1(kChangesClass); }

QWidget* MainWindow(GuiContext& ctx) { return ctx.registry.Find(QString::fromLatin1(kMainWindowClass)); }

}  // namespace

CChanges::CChanges(GuiContext& ctx, QWidget* owner) : QDialog(owner), ctx_(ctx) {
    setObjectName(kChangesClass);
    setWindowTitle(QStringLiteral("Changes"));
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);

    auto* layout = new QVBoxLayout(this);
    table_ = new QTableWidget(0, kColumnCount, this);
    table_->setObjectName(QStringLiteral("changes"));
    QStringList headers;
    for (const char* h : kHeaders) headers << QString::fromLatin1(h);
    table_->setHorizontalHeaderLabels(headers);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setSortingEnabled(false);
    table_->setWordWrap(false);
    table_->verticalHeader()->hide();
    table_->horizontalHeader()->setSectionsClickable(false);
    table_->horizontalHeader()->setStretchLastSection(true);
    layout->addWidget(table_, 1);

    count_ = new QLabel(this);
    count_->setObjectName(QStringLiteral("countLine"));
    count_->setTextFormat(Qt::PlainText);
    layout->addWidget(count_);

    auto* buttons = new QHBoxLayout;
    revert_ = new QPushButton(QStringLiteral("Revert"), this);
    revert_->setObjectName(QStringLiteral("revert"));
    auto* refresh = new QPushButton(QStringLiteral("Refresh"), this);
    refresh->setObjectName(QStringLiteral("refresh"));
    auto* close = new QPushButton(QStringLiteral("Close Tab"), this);
    close->setObjectName(QStringLiteral("closeTab"));
    for (QPushButton* b : {revert_, refresh, close}) {
        b->setAutoDefault(false);
        buttons->addWidget(b);
    }
    buttons->addStretch(1);
    layout->addLayout(buttons);

    connect(revert_, &QPushButton::clicked, this, &CChanges::Revert);
    connect(refresh, &QPushButton::clicked, this, &CChanges::Recompute);
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    connect(table_, &QTableWidget::cellDoubleClicked, this, [this](int row, int) { OpenRow(row); });
    connect(table_->selectionModel(), &QItemSelectionModel::selectionChanged, this, &CChanges::SelectionChanged);
    table_->installEventFilter(this);

    resize(860, 420);
    TrackPlacement(ctx_.settings, Kind(), this);
    ctx_.registry.Set(Kind(), this);
    Recompute();
}

QString CChanges::CountText(const Review& review) {
    if (!review.loaded) return QString::fromLatin1(kWriteRefusal);
    if (review.changes == 0 && review.problems == 0) return QStringLiteral("No changes.");
    return CountOf(review.changes, "change", "changes") + QStringLiteral(", ") +
           CountOf(review.problems, "problem", "problems") + QStringLiteral(".");
}

void CChanges::Recompute() {
    if (computing_) return;
    computing_ = true;
    review_ = ReviewGrid(ctx_.session);
    Fill();
    computing_ = false;
}

void CChanges::Fill() {
    table_->clearSelection();
    table_->setRowCount(0);
    table_->setRowCount(static_cast<int>(review_.rows.size()));
    for (int r = 0; r < table_->rowCount(); ++r) {
        const ReviewRow& row = review_.rows[static_cast<std::size_t>(r)];
        const QString texts[kColumnCount] = {
            row.i >= 0 ? ToQ(DisplayName(row.i)) : QString(),
            ToQ(row.recordName),
            ColumnLabel(row.i, row.step),
            ToQ(row.gameText),
            ToQ(row.newText),
            ReportText(row.problem),
        };
        for (int c = 0; c < kColumnCount; ++c) {
            auto* item = new QTableWidgetItem(texts[c]);
            if (row.IsProblem()) {
                item->setBackground(ProblemTint());
                item->setToolTip(texts[kProblemColumn]);
            } else if (row.furtherPlaceOnly) {
                item->setToolTip(QStringLiteral("The game holds a second copy of this value that differs from it; "
                                                "the write puts the value there too."));
            }
            table_->setItem(r, c, item);
        }
    }
    table_->resizeColumnsToContents();
    count_->setText(CountText(review_));
    SelectionChanged();
}

void CChanges::SelectionChanged() {
    bool any = false;
    for (const QModelIndex& index : table_->selectionModel()->selectedRows()) {
        if (index.row() >= static_cast<int>(review_.rows.size())) continue;  // while the list is refilled
        const ReviewRow& row = review_.rows[static_cast<std::size_t>(index.row())];
        any = any || (row.step >= 1 && row.gameReadable && !row.furtherPlaceOnly);
    }
    revert_->setEnabled(any);
}

void CChanges::Revert() {
    struct Cell {
        int i, j, step;
        std::string text;
    };
    std::vector<Cell> cells;
    QSet<int> sections;
    for (const QModelIndex& index : table_->selectionModel()->selectedRows()) {
        if (index.row() >= static_cast<int>(review_.rows.size())) continue;
        const ReviewRow& row = review_.rows[static_cast<std::size_t>(index.row())];
        // Only a cell whose game value could be read, and differs from the
        // editor's, has one to go back to.
        if (row.step < 1 || !row.gameReadable || row.furtherPlaceOnly) continue;
        cells.push_back({row.i, row.j, row.step, row.gameText});
        sections.insert(row.i);
    }
    if (cells.empty()) return;
    // The windows of these sections show the grid again afterwards; what they
    // hold that is not in the grid yet would be lost, so ask first.
    const PendingEdits pending = FindPendingEditsIn(ctx_, sections);
    if (pending.InWindows()) {
        const QString text = PendingText(pending) +
                             QStringLiteral("\nReverting fills them again from the editor's data; "
                                            "those changes are dropped.");
        if (AskQuestion(this, text, QMessageBox::NoButton, QStringLiteral("Revert"), QString()) != Answer::First)
            return;
    }
    for (const Cell& cell : cells) ctx_.session.grid.SetArrayValue(cell.i, cell.j, cell.step, cell.text);
    RefillOpenWindows(ctx_, sections);
    // The main window's title mark follows, and this list is computed again.
    NotifyGridChanged(ctx_);
}

void CChanges::OpenRow(int row) {
    if (row < 0 || row >= static_cast<int>(review_.rows.size())) return;
    const ReviewRow cell = review_.rows[static_cast<std::size_t>(row)];
    if (cell.i < 0) return;
    QWidget* window = DispatchSection(ctx_, cell.i);
    if (!window || cell.j < 0) return;
    if (auto* table = qobject_cast<TableDialog*>(window)) {
        // The shared unit window may have stayed on another section.
        if (table->boundSection() != cell.i || cell.j >= table->list()->rowCount()) return;
        QTableWidget* list = table->list();
        // A row the name filter hides is shown by clearing the filter.
        if (list->isRowHidden(cell.j) && table->filterField()) table->filterField()->clear();
        list->setCurrentCell(cell.j, cell.step >= 0 ? cell.step : 0);
        list->selectRow(cell.j);
        list->scrollToItem(list->item(cell.j, 0), QAbstractItemView::PositionAtCenter);
        list->setFocus();
        return;
    }
    // A form: its value field of the row (or of the column, in the form of one
    // row of many columns).
    const FormSpec* spec = FindFormSpec(cell.i);
    if (!spec) return;
    const int field = spec->shape == FormShape::ColumnsOfOneRow ? cell.step - 1 : cell.j;
    if (auto* value = window->findChild<QLineEdit*>(QStringLiteral("value%1").arg(field))) {
        value->setFocus();
        value->selectAll();
    }
}

bool CChanges::eventFilter(QObject* watched, QEvent* event) {
    // Enter or Return on a row opens it, as a double-click does.
    if (watched == table_ && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            OpenRow(table_->currentRow());
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void CChanges::closeEvent(QCloseEvent* event) {
    if (ctx_.registry.Find(Kind()) == this) ctx_.registry.Clear(Kind());
    event->accept();
}

CChanges* OpenChangesWindow(GuiContext& ctx) {
    auto* window = qobject_cast<CChanges*>(ctx.registry.Find(Kind()));
    if (window) window->Recompute();
    else window = new CChanges(ctx, MainWindow(ctx));
    if (window->isMinimized()) window->showNormal();
    else window->show();
    window->raise();
    window->activateWindow();
    return window;
}

}  // namespace quorvane::gui
