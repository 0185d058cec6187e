#include "tables/table_dialog.h"

#include <algorithm>
#include <filesystem>

#include <QCloseEvent>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHeaderView>
#include <QAction>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTableWidget>
#include <QUndoCommand>
#include <QUndoStack>
#include <QVBoxLayout>

#include <functional>
#include <string>
#include <vector>

#include "gui/check_marks.h"
#include "gui/edit_state.h"
#include "gui/gui_context.h"
#include "gui/placement.h"
#include "gui/report_sinks.h"
#include "catalogue/catalogue.h"
#include "exchange/csv.h"
#include "exchange/section_csv.h"
#include "io/file_io.h"
#include "tables/closing_dialog.h"
#include "tables/edit_dialog.h"
#include "tables/list_binding.h"
#include "tables/name_filter.h"

namespace quorvane::gui {

namespace {

// Title bar without a close box: a table is closed by "Close Tab" only.
constexpr Qt::WindowFlags kNoCloseBox = Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                                        Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint;

QTableWidget* NewList(QWidget* parent) {
    auto* list = new QTableWidget(parent);
    list->setObjectName(QStringLiteral("list"));
    SetUpReportList(list);
    return list;
}

// Background of a cell whose list text is not in the grid yet: the palette's
// highlight, partly transparent so that it tints whatever base the palette
// has and the cell's text stays readable in light and dark palettes alike.
QColor PendingTint(const QPalette& palette) {
    QColor tint = palette.color(QPalette::Highlight);
    tint.setAlpha(90);
    return tint;
}

bool IsEnterKey(const QEvent* event) {
    if (event->type() != QEvent::KeyPress) return false;
    const int key = static_cast<const QKeyEvent*>(event)->key();
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}

int FirstSelectedRow(const QTableWidget* list) {
    const QModelIndexList rows = list->selectionModel()->selectedRows();
    int first = -1;
    for (const QModelIndex& index : rows)
        if (first < 0 || index.row() < first) first = index.row();
    return first;
}

// One row of a list set from one set of texts to another, as an undo step.
class RowStep : public QUndoCommand {
public:
    using Setter = std::function<void(int, const QStringList&)>;
    RowStep(const QString& what, int row, QStringList before, QStringList after, Setter set)
        : QUndoCommand(what), row_(row), before_(std::move(before)), after_(std::move(after)), set_(std::move(set)) {}
    void undo() override { set_(row_, before_); }
    void redo() override { set_(row_, after_); }

private:
    int row_;
    QStringList before_;
    QStringList after_;
    Setter set_;
};

// Rows of a list set from one set of texts to another together, as one undo
// step; the caption follows once all of them are set.
class RowsStep : public QUndoCommand {
public:
    struct Row {
        int row;
        QStringList before;
        QStringList after;
    };
    using Setter = std::function<void(int, const QStringList&)>;
    RowsStep(const QString& what, std::vector<Row> rows, Setter set, std::function<void()> done)
        : QUndoCommand(what), rows_(std::move(rows)), set_(std::move(set)), done_(std::move(done)) {}
    void undo() override {
        for (const Row& r : rows_) set_(r.row, r.before);
        done_();
    }
    void redo() override {
        for (const Row& r : rows_) set_(r.row, r.after);
        done_();
    }

private:
    std::vector<Row> rows_;
    Setter set_;
    std::function<void()> done_;
};

QString ChooseCsvFile(QWidget* parent, bool save, const QString& suggested) {
    const QString filter = QStringLiteral("CSV files (*.csv)");
    if (save) return QFileDialog::getSaveFileName(parent, QStringLiteral("Export Section to CSV"), suggested, filter);
    return QFileDialog::getOpenFileName(parent, QStringLiteral("Import Section from CSV"), suggested, filter);
}

// Escape and "Close Tab" close the spell-ID list; it stores nothing.
class SpellIdDialog : public ClosingDialog {
public:
    explicit SpellIdDialog(GuiContext& ctx) : ClosingDialog(nullptr) {
        setObjectName(kSpellIdClass);
        setAttribute(Qt::WA_DeleteOnClose);
        setWindowTitle(QString::fromLatin1(kSpellIdCaption));
        auto* layout = new QVBoxLayout(this);
        auto* list = NewList(this);
        layout->addWidget(NewNameFilter(list, this));
        layout->addWidget(list);
        auto* close = new QPushButton(QString::fromLatin1(kCloseTabText), this);
        close->setAutoDefault(false);
        connect(close, &QPushButton::clicked, this, &QWidget::close);
        layout->addWidget(close);
        resize(380, 520);
        TrackPlacement(ctx.settings, QString::fromLatin1(kSpellIdClass), this);
        LoadArrayTable(ctx, list, kSpellsSection, 2);
    }
};

}  // namespace

TableDialog::TableDialog(GuiContext& ctx, const TableKind& kind, int section)
    : QDialog(nullptr, kNoCloseBox), ctx_(ctx), kind_(kind), section_(section), chooseFile_(ChooseCsvFile) {
    setObjectName(kind.className);
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QString::fromLatin1(kind.templateCaption));

    auto* layout = new QVBoxLayout(this);
    auto* close = new QPushButton(QString::fromLatin1(kCloseTabText), this);
    close->setObjectName(QStringLiteral("closeTab"));
    close->setAutoDefault(false);
    connect(close, &QPushButton::clicked, this, &TableDialog::CloseTab);
    layout->addWidget(close);
    list_ = NewList(this);
    filter_ = NewNameFilter(list_, this);
    layout->addWidget(filter_);
    connect(list_, &QTableWidget::doubleClicked, this, [this] { OnDoubleClick(); });
    connect(list_, &QTableWidget::itemChanged, this, [this](QTableWidgetItem* item) {
        if (marking_) return;  // the marks themselves change the item
        MarkCell(item);
        RefreshCaption();
    });
    list_->installEventFilter(this);
    layout->addWidget(list_);

    // Undo and redo of the row saves and reverts, from the keyboard anywhere
    // in the window and from the rows' context menu.
    undo_ = new QUndoStack(this);
    undoAction_ = new QAction(QStringLiteral("Undo"), this);
    undoAction_->setObjectName(QStringLiteral("undo"));
    undoAction_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    undoAction_->setEnabled(false);
    redoAction_ = new QAction(QStringLiteral("Redo"), this);
    redoAction_->setObjectName(QStringLiteral("redo"));
    redoAction_->setShortcuts({QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
    redoAction_->setEnabled(false);
    connect(undoAction_, &QAction::triggered, undo_, &QUndoStack::undo);
    connect(redoAction_, &QAction::triggered, undo_, &QUndoStack::redo);
    connect(undo_, &QUndoStack::canUndoChanged, undoAction_, &QAction::setEnabled);
    connect(undo_, &QUndoStack::canRedoChanged, redoAction_, &QAction::setEnabled);
    addAction(undoAction_);
    addAction(redoAction_);
    list_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(list_, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
        const int row = list_->rowAt(pos.y());
        if (row < 0) return;
        list_->selectRow(row);
        NewRowMenu(row)->popup(list_->viewport()->mapToGlobal(pos));
    });

    resize(900, 560);
    TrackPlacement(ctx_.settings, QString::fromLatin1(kind.className), this);
    caption_ = QString::fromLatin1(kind.templateCaption);
    Fill();
}

TableDialog::~TableDialog() { CloseEditors(); }

bool TableDialog::Rebind(int section) {
    if (section == section_) return true;
    const QList<EditDialog*> modified = ModifiedEditors();
    bool store = true;
    if (PendingRows() > 0 || !modified.isEmpty()) {
        const QString shown = ToQ(DisplayName(section_));
        const QString text = QStringLiteral("The window of %1 holds changes that are not in the editor's data.\n"
                                            "Store them into %1 before it shows %2?")
                                 .arg(shown, ToQ(DisplayName(section)));
        const Answer answer = AskQuestion(this, text, QMessageBox::NoButton, QStringLiteral("Store and Switch"),
                                          QStringLiteral("Discard and Switch"));
        if (answer == Answer::Cancel) return false;
        store = answer == Answer::First;
    }
    if (store) {
        SaveModifiedEditors();
        SaveArrayTable(ctx_, list_, section_);
        NotifyGridChanged(ctx_);
    }
    CloseEditors();
    section_ = section;
    Fill();
    return true;
}

void TableDialog::SetCaption(const QString& caption) {
    caption_ = caption;
    RefreshCaption();
}

void TableDialog::RefreshCaption() {
    // The placeholder is in the title only while the mark is shown, so the
    // title reads as the plain caption otherwise.
    if (PendingRows() > 0) {
        setWindowTitle(caption_ + QStringLiteral("[*]"));
        setWindowModified(true);
    } else {
        setWindowModified(false);
        setWindowTitle(caption_);
    }
}

int TableDialog::PendingRows() const {
    const int rows = std::min(Rows(section_), list_->rowCount());
    const int columns = std::min(Columns(section_), list_->columnCount());
    int pending = 0;
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < columns; ++c)
            if (FromCell(CellText(list_, r, c)) != ctx_.session.grid.GetArrayValue(section_, r, c)) {
                ++pending;
                break;
            }
    return pending;
}

QList<EditDialog*> TableDialog::Editors() const {
    QList<EditDialog*> out;
    for (const QPointer<EditDialog>& editor : editors_)
        if (editor && !editor->IsClosed()) out << editor.data();
    return out;
}

QList<EditDialog*> TableDialog::ModifiedEditors() const {
    QList<EditDialog*> out;
    for (EditDialog* editor : Editors())
        if (editor->IsModified()) out << editor;
    return out;
}

void TableDialog::SaveModifiedEditors() {
    for (EditDialog* editor : ModifiedEditors()) editor->SaveAndClose();
}

void TableDialog::Fill() {
    {
        const QSignalBlocker quiet(list_);
        LoadArrayTable(ctx_, list_, section_, 0);
    }
    undo_->clear();  // the steps were made on rows that are gone
    ApplyNameFilter(list_, filter_->text());
    RefreshMarks();
}

void TableDialog::Refill() {
    {
        const QSignalBlocker quiet(list_);
        LoadArrayTable(ctx_, list_, section_, 0);
    }
    undo_->clear();
    ApplyNameFilter(list_, filter_->text());
    for (EditDialog* editor : Editors())
        for (int c = 0; c < editor->columns(); ++c)
            editor->SetValue(c, ToQ(FromCell(CellText(list_, editor->row(), c))));
    RefreshMarks();
}

void TableDialog::StoreAndClose() {
    SaveModifiedEditors();
    SaveArrayTable(ctx_, list_, section_);
    closing_ = true;
    close();
    NotifyGridChanged(ctx_);
}

QStringList TableDialog::RowTexts(int row) const {
    QStringList texts;
    for (int c = 0; c < list_->columnCount(); ++c) texts << CellText(list_, row, c);
    return texts;
}

void TableDialog::SetRowTexts(int row, const QStringList& texts, bool refreshCaption) {
    if (row < 0 || row >= list_->rowCount()) return;
    {
        const QSignalBlocker quiet(list_);
        for (int c = 0; c < texts.size() && c < list_->columnCount(); ++c) SetCellText(list_, row, c, texts[c]);
    }
    for (int c = 0; c < list_->columnCount(); ++c) MarkCell(list_->item(row, c));
    if (refreshCaption) RefreshCaption();
}

void TableDialog::PushRow(int row, const QStringList& texts, const QString& what) {
    if (row < 0 || row >= list_->rowCount()) return;
    QStringList before = RowTexts(row);
    QStringList after = before;
    for (int c = 0; c < texts.size() && c < after.size(); ++c) after[c] = texts[c];
    if (after == before) return;
    undo_->push(new RowStep(what, row, std::move(before), std::move(after),
                            [this](int r, const QStringList& t) { SetRowTexts(r, t); }));
}

void TableDialog::SaveRow(int row, const QStringList& texts) { PushRow(row, texts, QStringLiteral("Save Row")); }

void TableDialog::RevertRow(int row) {
    QStringList grid;
    for (int c = 0; c < list_->columnCount(); ++c) grid << ToQ(ctx_.session.grid.GetArrayValue(section_, row, c));
    PushRow(row, grid, QStringLiteral("Revert Row"));
}

QMenu* TableDialog::NewRowMenu(int row) {
    auto* menu = new QMenu(this);
    menu->setObjectName(QStringLiteral("rowMenu"));
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->addAction(undoAction_);
    menu->addAction(redoAction_);
    menu->addSeparator();
    QAction* revert = menu->addAction(QStringLiteral("Revert Row"), this, [this, row] { RevertRow(row); });
    bool differs = false;
    for (int c = 0; c < list_->columnCount() && !differs; ++c)
        differs = FromCell(CellText(list_, row, c)) != ctx_.session.grid.GetArrayValue(section_, row, c);
    revert->setEnabled(differs);
    menu->addSeparator();
    menu->addAction(QStringLiteral("Export Section to CSV\u2026"), this, &TableDialog::ExportSectionToCsv);
    menu->addAction(QStringLiteral("Import Section from CSV\u2026"), this, &TableDialog::ImportSectionFromCsv);
    return menu;
}

void TableDialog::ExportSectionToCsv() {
    // Proposed beside the rules file, named after the section.
    const QString name = PathToQ(CsvFileName(section_));
    const QString rules = PathToQ(ctx_.session.rulesPath);
    const QString suggested = rules.isEmpty() ? name : QFileInfo(rules).absoluteDir().filePath(name);
    const QString path = chooseFile_(this, true, suggested);
    if (!path.isEmpty()) ExportCsv(path);
}

void TableDialog::ImportSectionFromCsv() {
    const QString rules = PathToQ(ctx_.session.rulesPath);
    const QString path = chooseFile_(this, false, rules.isEmpty() ? QString() : QFileInfo(rules).absolutePath());
    if (!path.isEmpty()) ImportCsv(path);
}

bool TableDialog::ExportCsv(const QString& path) {
    std::string csv;
    CsvRow fields;
    for (const std::string& name : CsvHeader(section_)) fields.push_back(Latin1ToUtf8(name));
    AppendCsvRow(csv, fields);
    for (int r = 0; r < list_->rowCount(); ++r) {
        fields.clear();
        for (int c = 0; c < list_->columnCount(); ++c) fields.push_back(Latin1ToUtf8(FromCell(CellText(list_, r, c))));
        AppendCsvRow(csv, fields);
    }
    const std::filesystem::path file = PathFromQ(path);
    if (CreateFileContents(file, csv)) return true;
    ctx_.session.Report("Error writing ", file);
    return false;
}

bool TableDialog::ImportCsv(const QString& path) {
    const std::filesystem::path file = PathFromQ(path);
    std::string csv;
    if (!ReadWholeFile(file, &csv, kMaxCsvFileSize)) {
        ctx_.session.Report("Error opening ", file);
        return false;
    }
    const int rows = std::min(Rows(section_), list_->rowCount());
    const int columns = std::min(Columns(section_), list_->columnCount());
    std::vector<CsvRow> now(static_cast<std::size_t>(Rows(section_)), CsvRow(static_cast<std::size_t>(Columns(section_))));
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < columns; ++c)
            now[static_cast<std::size_t>(r)][static_cast<std::size_t>(c)] = FromCell(CellText(list_, r, c));

    // A spreadsheet gone wrong may refuse hundreds of values: the first are
    // shown one by one, the rest together, and the outcome after them.
    CappedErrorSink reports(ctx_.session.errors());
    const CsvValues values = ReadCsvValues(reports, section_, now, csv, file, "the table");
    reports.Finish();
    if (values.refused) {
        ctx_.session.Report("Nothing was imported; the table was left unchanged.");
        return false;
    }

    // Only rows whose values differ are set; the names stay the list's.
    std::vector<RowsStep::Row> changed;
    for (int r = 0; r < rows; ++r) {
        if (!values.changed[static_cast<std::size_t>(r)]) continue;
        RowsStep::Row row{r, RowTexts(r), {}};
        row.after = row.before;
        for (int c = 1; c < columns; ++c)
            row.after[c] = ToQ(values.texts[static_cast<std::size_t>(r)][static_cast<std::size_t>(c)]);
        if (row.after != row.before) changed.push_back(std::move(row));
    }
    if (!changed.empty())
        undo_->push(new RowsStep(
            QStringLiteral("Import Section from CSV"), std::move(changed),
            [this](int r, const QStringList& t) { SetRowTexts(r, t, false); }, [this] { RefreshCaption(); }));
    return true;
}

void TableDialog::MarkCell(QTableWidgetItem* item) {
    if (marking_ || !item) return;
    marking_ = true;
    const int r = item->row();
    const int c = item->column();
    const std::string_view grid = ctx_.session.grid.GetArrayValue(section_, r, c);
    const std::string text = FromCell(item->text());
    if (text != grid) {
        QFont bold = list_->font();
        bold.setBold(true);
        item->setFont(bold);
        item->setBackground(PendingTint(list_->palette()));
    } else {
        item->setData(Qt::BackgroundRole, QVariant());
        if (ctx_.session.grid.ChangedSinceBaseline(section_, r, c)) {
            QFont italic = list_->font();
            italic.setItalic(true);
            item->setFont(italic);
        } else {
            item->setData(Qt::FontRole, QVariant());
        }
    }
    // A text the write would refuse or change: its own tint over the
    // pending tint (the pending mark still shows in the font) and a tooltip.
    // The record's name is written as it stands and keeps its own tooltip.
    if (c > 0) {
        const CheckResult check = CheckText(section_, r, c, text);
        if (check.mark != CheckMark::None) item->setBackground(CheckTint(list_->palette(), check.mark));
        item->setToolTip(check.tip);
    }
    marking_ = false;
}

void TableDialog::RefreshMarks() {
    for (int r = 0; r < list_->rowCount(); ++r)
        for (int c = 0; c < list_->columnCount(); ++c) MarkCell(list_->item(r, c));
    RefreshCaption();
}

bool TableDialog::eventFilter(QObject* watched, QEvent* event) {
    // Enter or Return on a selected row opens its edit dialog.
    if (watched == list_ && IsEnterKey(event)) {
        OnDoubleClick();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

EditDialog* TableDialog::OpenEditor(int row) {
    if (row < 0 || row >= list_->rowCount()) return nullptr;
    auto* editor = new EditDialog(ctx_, *kind_.edit, list_, row, section_);
    const int columns = Columns(section_);
    for (int c = 0; c < columns; ++c) {
        editor->SetLabel(c, ToQ(ColumnName(section_, c)));
        editor->SetValue(c, ToQ(FromCell(CellText(list_, row, c))));
    }
    editors_.push_back(editor);
    editor->show();
    return editor;
}

void TableDialog::OnDoubleClick() {
    // A double-click that leaves no row selected opens nothing.
    const int row = FirstSelectedRow(list_);
    if (row >= 0) OpenEditor(row);
}

void TableDialog::CloseTab() {
    const QList<EditDialog*> modified = ModifiedEditors();
    if (!modified.isEmpty()) {
        const QString text =
            CountOf(static_cast<int>(modified.size()), "edit window", "edit windows") +
            (modified.size() == 1 ? QStringLiteral(" of this table holds") : QStringLiteral(" of this table hold")) +
            QStringLiteral(" typed values that are not in its list.\nStore them into the table before it closes?");
        const Answer answer = AskQuestion(this, text, QMessageBox::NoButton, QStringLiteral("Store and Close"),
                                          QStringLiteral("Discard and Close"));
        if (answer == Answer::Cancel) return;
        if (answer == Answer::First) SaveModifiedEditors();
    }
    SaveArrayTable(ctx_, list_, section_);
    undo_->clear();
    closing_ = true;
    close();
    NotifyGridChanged(ctx_);
}

void TableDialog::Discard() {
    closing_ = true;
    close();
}

void TableDialog::closeEvent(QCloseEvent* event) {
    if (!closing_) {
        // Closed by the window system: keep everything, as Escape does.
        event->ignore();
        hide();
        return;
    }
    CloseEditors();
    Unregister();
    event->accept();
}

void TableDialog::CloseEditors() {
    for (const QPointer<EditDialog>& editor : editors_)
        if (editor) editor->close();
    editors_.clear();
}

void TableDialog::Unregister() {
    if (ctx_.registry.Find(QString::fromLatin1(kind_.className)) == this) ctx_.registry.Clear(QString::fromLatin1(kind_.className));
}

QDialog* OpenSpellIdList(GuiContext& ctx) {
    auto* dialog = new SpellIdDialog(ctx);
    dialog->show();
    return dialog;
}

}  // namespace quorvane::gui
