#include "app/changes_window.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSet>
#include <QTableView>
#include <QVBoxLayout>

#include "actions/actions.h"
#include "app/report_box.h"
#include "catalogue/catalogue.h"
#include "forms/form_table.h"
#include "gui/document.h"
#include "gui/edit_state.h"
#include "gui/edit_step.h"
#include "gui/placement.h"
#include "gui/review_model.h"
#include "mods/original_game.h"
#include "tables/open_windows.h"
#include "tables/section_chooser.h"
#include "tables/table_dialog.h"

namespace quorvane::gui {

namespace {

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

// The rows of the list that are selected.
QList<int> SelectedRows(const QTableView* view) {
    QList<int> rows;
    for (const QModelIndex& index : view->selectionModel()->selectedRows()) rows << index.row();
    return rows;
}

// A row whose game value could be read and differs from the editor's has
// one to go back to.
bool Revertible(const ReviewRow& row) { return row.step >= 1 && row.gameReadable && !row.furtherPlaceOnly; }

}  // namespace

CChanges::CChanges(GuiContext& ctx, QWidget* owner) : QDialog(owner), ctx_(ctx) {
    setObjectName(kChangesClass);
    setWindowTitle(QStringLiteral("Changes"));
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);

    auto* layout = new QVBoxLayout(this);
    original_ = new QCheckBox(QStringLiteral("Compare with the original game"), this);
    original_->setObjectName(QStringLiteral("compareWithOriginal"));
    original_->setToolTip(QStringLiteral("The original game is each game file's .bak, the file as it was before "
                                         "the editor first wrote into it, or the file itself where it has none."));
    layout->addWidget(original_);
    table_ = new QTableView(this);
    table_->setObjectName(QStringLiteral("changes"));
    model_ = new ReviewModel(ColumnLabel, this);
    table_->setModel(model_);
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
    connect(original_, &QCheckBox::toggled, this, &CChanges::Recompute);
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    connect(table_, &QTableView::doubleClicked, this, [this](const QModelIndex& index) { OpenRow(index.row()); });
    connect(table_->selectionModel(), &QItemSelectionModel::selectionChanged, this, &CChanges::SelectionChanged);
    connect(model_, &QAbstractItemModel::modelReset, this, &CChanges::SelectionChanged);
    table_->installEventFilter(this);

    // The list follows every change of the grid and every file action; a
    // Revert is undone from here.
    connect(&ctx_.document, &Document::gridChanged, this, &CChanges::Recompute);
    connect(&ctx_.document, &Document::filesChanged, this, &CChanges::Recompute);
    ctx_.document.AddUndoActions(this);

    resize(860, 420);
    TrackPlacement(ctx_.settings, Kind(), this);
    ctx_.registry.Register(this);
    Recompute();
}

QString CChanges::CountText(const Review& review) {
    if (!review.loaded) return QString::fromLatin1(kWriteRefusal);
    if (review.changes == 0 && review.problems == 0) return QStringLiteral("No changes.");
    return CountOf(review.changes, "change", "changes") + QStringLiteral(", ") +
           CountOf(review.problems, "problem", "problems") + QStringLiteral(".");
}

const Review& CChanges::review() const { return model_->review(); }

void CChanges::Recompute() {
    if (computing_) return;
    computing_ = true;
    const bool original = original_->isChecked();
    model_->SetComparedWithOriginal(original);
    model_->SetReview(original ? ReviewAgainstOriginalGame(ctx_.session) : ReviewGrid(ctx_.session));
    table_->resizeColumnsToContents();
    count_->setText(CountText(model_->review()));
    computing_ = false;
}

void CChanges::SelectionChanged() {
    bool any = false;
    for (int row : SelectedRows(table_))
        if (const ReviewRow* r = model_->Row(row)) any = any || Revertible(*r);
    revert_->setEnabled(any);
}

void CChanges::Revert() {
    std::vector<ReviewRow> cells;
    QSet<int> sections;
    for (int row : SelectedRows(table_)) {
        const ReviewRow* r = model_->Row(row);
        if (!r || !Revertible(*r)) continue;
        cells.push_back(*r);
        sections.insert(r->i);
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
    // One step: the game values into the grid, the tables' pending edits of
    // those sections dropped (Undo brings both back).
    EditBuilder step(ctx_.document, QStringLiteral("Revert"));
    for (const ReviewRow& cell : cells) step.Store(cell.i, cell.j, cell.step, cell.gameText);
    for (int section : sections) step.DropPendingOf(section);
    step.Push();
    RefillOpenWindows(ctx_, sections);
}

void CChanges::OpenRow(int row) {
    const ReviewRow* at = model_->Row(row);
    if (!at) return;
    const ReviewRow cell = *at;
    if (cell.i < 0) return;
    QWidget* window = DispatchSection(ctx_, cell.i);
    if (!window || cell.j < 0) return;
    if (auto* table = qobject_cast<TableDialog*>(window)) {
        // The shared unit window may have stayed on another section.
        if (table->boundSection() == cell.i) table->SelectRecord(cell.j, cell.step >= 0 ? cell.step : 0);
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
            OpenRow(table_->currentIndex().row());
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void CChanges::closeEvent(QCloseEvent* event) {
    ctx_.registry.Forget(this);
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
