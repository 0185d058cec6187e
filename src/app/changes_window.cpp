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

#include <algorithm>
#include <set>
#include <tuple>
#include <vector>

#include "actions/actions.h"
#include "app/report_box.h"
#include "catalogue/catalogue.h"
#include "catalogue/game_file.h"
#include "catalogue/layout.h"
#include "catalogue/readers.h"
#include "extract/extract.h"
#include "io/file_io.h"
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
#include "tables/window_keys.h"
#include "writeback/cell_check.h"

namespace quorvane::gui {

namespace {

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

// The edits the tables hold that are not in the grid yet, one row per cell
// whose shown text differs from the grid's: the game's text beside the
// table's, with the write's refusal where it would refuse it. The game's
// text is the original game's when `original`.
std::vector<ReviewRow> PendingRows(GuiContext& ctx, bool original) {
    std::vector<ReviewRow> rows;
    const Document& doc = ctx.document;
    GameImages game;
    DebugLog quiet;
    const GameFileSources sources = original ? OriginalGameSources(ctx.session.gameFolder) : GameFileSources{};
    for (int i : ctx.document.SectionsWithPending()) {
        GameFileImage& image = ImageOf(game, GameFileOf(i));
        if (!image.IsOpen())
            image.Open(original ? sources[static_cast<std::size_t>(GameFileOf(i))]
                                : GamePath(ctx.session.gameFolder, GameFileName(GameFileOf(i))),
                       GameFileImage::Access::ReadOnly);
        for (int j = 0; j < Rows(i); ++j) {
            if (!doc.RowPending(i, j)) continue;
            for (int step = 1; step < Columns(i); ++step) {
                if (!doc.IsPending(i, j, step) || doc.Shown(i, j, step) == doc.grid().GetArrayValue(i, j, step))
                    continue;
                ReviewRow row;
                row.i = i;
                row.j = j;
                row.step = step;
                row.newText = doc.Shown(i, j, step);
                row.recordName = doc.Shown(i, j, 0);
                row.gameText = ExtractValueText(i, j, step, image, ValueOffset(i, j, step), quiet);
                row.gameReadable = row.gameText != kValueNotFound;
                const CellCheck check = CheckCell(i, j, step, row.newText);
                if (check.verdict == CellCheck::Verdict::Refused) row.problem = check.message.substr(1);
                rows.push_back(std::move(row));
            }
        }
    }
    return rows;
}

}  // namespace

QString CellColumnLabel(int i, int step) {
    if (i < 0 || step < 1) return {};
    if (i < kFirstFormSection) return ToQ(ColumnName(i, step));
    const FormSpec* spec = FindFormSpec(i);
    if (spec && spec->shape == FormShape::ColumnsOfOneRow && step - 1 < static_cast<int>(spec->columnLabels.size()))
        return QString::fromLatin1(spec->columnLabels[static_cast<std::size_t>(step - 1)]);
    return {};
}

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
    model_ = new ReviewModel(CellColumnLabel, this);
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
    AddCloseTabKey(this, close);
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

    // The list follows every step (of the grid or of a table's edits not
    // stored yet) and every file action; a Revert is undone from here.
    connect(&ctx_.document, &Document::editsChanged, this, &CChanges::Recompute);
    connect(&ctx_.document, &Document::filesChanged, this, &CChanges::Recompute);
    ctx_.document.AddUndoActions(this);

    resize(860, 420);
    TrackPlacement(ctx_.settings, Kind(), this);
    ctx_.registry.Register(this);
    Recompute();
}

QString CChanges::CountText(const Review& review, int notStored, int keptInStep) {
    if (!review.loaded) return QString::fromLatin1(kWriteRefusal);
    if (review.changes == 0 && review.problems == 0 && notStored == 0 && keptInStep == 0)
        return QStringLiteral("No changes.");
    QString text = CountOf(review.changes, "change", "changes") + QStringLiteral(", ");
    if (notStored > 0) text += QStringLiteral("%1 not stored yet, ").arg(notStored);
    if (keptInStep > 0) text += QStringLiteral("%1 kept in step, ").arg(keptInStep);
    return text + CountOf(review.problems, "problem", "problems") + QStringLiteral(".");
}

const Review& CChanges::review() const { return model_->review(); }

void CChanges::Recompute() {
    if (computing_) return;
    computing_ = true;
    const bool original = original_->isChecked();
    model_->SetComparedWithOriginal(original);
    Review review = original ? ReviewAgainstOriginalGame(ctx_.session) : ReviewGrid(ctx_.session);
    // The tables' edits not stored yet stand in for the grid's texts of
    // their cells, marked; the values that change only for their second
    // copy are a group of their own after the user's changes and the
    // problems. Each kind is counted apart.
    struct Entry {
        ReviewRow row;
        RowMark mark;
    };
    std::vector<Entry> entries;
    std::vector<ReviewRow> pending = review.loaded ? PendingRows(ctx_, original) : std::vector<ReviewRow>{};
    std::set<std::tuple<int, int, int>> pendingCells;
    for (const ReviewRow& row : pending) pendingCells.insert({row.i, row.j, row.step});
    review.changes = 0;
    review.problems = 0;
    int keptInStep = 0;
    for (ReviewRow& row : review.rows) {
        if (row.step >= 1 && pendingCells.count({row.i, row.j, row.step})) continue;
        const RowMark mark = row.furtherPlaceOnly ? RowMark::KeptInStep : RowMark::None;
        if (mark == RowMark::KeptInStep)
            ++keptInStep;
        else
            ++(row.IsProblem() ? review.problems : review.changes);
        entries.push_back({std::move(row), mark});
    }
    const int notStored = static_cast<int>(pending.size());
    for (ReviewRow& row : pending) entries.push_back({std::move(row), RowMark::NotStored});
    std::stable_sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) {
        const bool aKept = a.mark == RowMark::KeptInStep;
        const bool bKept = b.mark == RowMark::KeptInStep;
        if (aKept != bKept) return bKept;
        return std::tie(a.row.i, a.row.j, a.row.step) < std::tie(b.row.i, b.row.j, b.row.step);
    });
    review.rows.clear();
    std::vector<RowMark> marks;
    for (Entry& e : entries) {
        review.rows.push_back(std::move(e.row));
        marks.push_back(e.mark);
    }
    model_->SetReview(std::move(review), std::move(marks));
    table_->resizeColumnsToContents();
    count_->setText(CountText(model_->review(), notStored, keptInStep));
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
    ShowCell(ctx_, cell.i, cell.j, cell.step);
}

void ShowCell(GuiContext& ctx, int i, int j, int step) {
    if (i < 0) return;
    QWidget* window = DispatchSection(ctx, i);
    if (!window || j < 0) return;
    if (auto* table = qobject_cast<TableDialog*>(window)) {
        // The shared unit window may have stayed on another section.
        if (table->boundSection() == i) table->SelectRecord(j, step >= 0 ? step : 0);
        return;
    }
    // A form: its value field of the row (or of the column, in the form of one
    // row of many columns).
    const FormSpec* spec = FindFormSpec(i);
    if (!spec) return;
    const int field = spec->shape == FormShape::ColumnsOfOneRow ? step - 1 : j;
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
