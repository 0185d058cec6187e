#include "tables/table_dialog.h"

#include <algorithm>
#include <filesystem>

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

#include <string>
#include <vector>

#include "actions/actions.h"
#include "catalogue/catalogue.h"
#include "exchange/csv.h"
#include "exchange/section_csv.h"
#include "gui/document.h"
#include "gui/edit_state.h"
#include "gui/edit_step.h"
#include "gui/gui_context.h"
#include "gui/placement.h"
#include "gui/report_sinks.h"
#include "gui/section_model.h"
#include "io/file_io.h"
#include "io/path_text.h"
#include "tables/closing_dialog.h"
#include "gui/status_label.h"
#include "tables/edit_dialog.h"
#include "tables/list_binding.h"
#include "tables/name_filter.h"
#include "tables/report_list.h"
#include "tables/window_keys.h"

namespace quorvane::gui {

namespace {

// Title bar without a close box: a table is closed by "Close Tab" only.
constexpr Qt::WindowFlags kNoCloseBox = Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                                        Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint;

bool IsEnterKey(const QEvent* event) {
    if (event->type() != QEvent::KeyPress) return false;
    const int key = static_cast<const QKeyEvent*>(event)->key();
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}

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
        auto* list = NewReportList(this);
        QLineEdit* filter = NewNameFilter(ListFilter(list), this);
        layout->addWidget(filter);
        layout->addWidget(list);
        auto* close = new QPushButton(QString::fromLatin1(kCloseTabText), this);
        close->setAutoDefault(false);
        connect(close, &QPushButton::clicked, this, &QWidget::close);
        layout->addWidget(close);
        AddCloseTabKey(this, close);
        AddFindKey(this, filter);
        list->setFocus();
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

    ReportList* list = NewReportList(this);
    list_ = list;
    filter_ = ListFilter(list_);
    auto* filterLine = new QHBoxLayout;
    filterField_ = NewNameFilter(filter_, this);
    changedOnly_ = new QCheckBox(QStringLiteral("Changed rows only"), this);
    changedOnly_->setObjectName(QStringLiteral("changedOnly"));
    changedOnly_->setToolTip(QStringLiteral("Show only the rows with edits not stored yet or values other than "
                                            "those of the last load or extraction."));
    connect(changedOnly_, &QCheckBox::toggled, filter_, &RecordFilter::SetChangedOnly);
    filterLine->addWidget(filterField_, 1);
    filterLine->addWidget(changedOnly_);
    layout->addLayout(filterLine);
    connect(list_, &QTableView::doubleClicked, this, [this] { OnDoubleClick(); });
    list_->installEventFilter(this);
    layout->addWidget(list_);
    // The names stay in view while the list scrolls sideways.
    list->FreezeFirstColumn();
    // What the last CSV export or import did, wrapped onto as many lines as
    // it needs.
    status_ = new StatusLabel(this);
    status_->setObjectName(QStringLiteral("csvStatus"));
    status_->setVisible(false);
    layout->addWidget(status_);

    // Undo and redo of every step of the editor, from the keyboard anywhere
    // in the window and from the rows' context menu.
    ctx_.document.AddUndoActions(this);
    connect(&ctx_.document, &Document::editsChanged, this, &TableDialog::RefreshCaption);
    list_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(list_, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
        const int row = filter_->SourceRow(list_->rowAt(pos.y()));
        if (row < 0) return;
        list_->selectRow(list_->rowAt(pos.y()));
        NewRowMenu(row)->popup(list_->viewport()->mapToGlobal(pos));
    });
    // The keyboard: Ctrl+W closes the table as "Close Tab" does, Ctrl+F goes
    // to the filter, and the window opens with the focus in the list, so that
    // Enter or Space never presses "Close Tab" by surprise.
    AddCloseTabKey(this, close);
    AddFindKey(this, filterField_);
    list_->setFocus();

    resize(900, 560);
    TrackPlacement(ctx_.settings, QString::fromLatin1(kind.className), this);
    caption_ = QString::fromLatin1(kind.templateCaption);
    Bind(section_);
}

TableDialog::~TableDialog() { CloseEditors(); }

SectionModel* TableDialog::model() const { return ctx_.document.Model(section_); }

void TableDialog::Bind(int section) {
    section_ = section;
    LoadArrayTable(ctx_, list_, section_, 0);
    RefreshCaption();
}

bool TableDialog::Rebind(int section) {
    if (section == section_) return true;
    const QList<EditDialog*> modified = ModifiedEditors();
    if (PendingRows() > 0 || !modified.isEmpty()) {
        const QString shown = ToQ(DisplayName(section_));
        const QString text = QStringLiteral("The window of %1 holds changes that are not in the editor's data.\n"
                                            "Store them into %1 before it shows %2?")
                                 .arg(shown, ToQ(DisplayName(section)));
        const Answer answer = AskQuestion(this, text, QMessageBox::NoButton, QStringLiteral("Store and Switch"),
                                          QStringLiteral("Discard and Switch"));
        if (answer == Answer::Cancel) return false;
        if (answer == Answer::First) {
            EditBuilder step(ctx_.document, QStringLiteral("Store and Switch"));
            AddStoreTo(step);
            step.RevealOnUndo(section_);
            step.Push();
        } else {
            EditBuilder step(ctx_.document, QStringLiteral("Discard and Switch"));
            step.DropPendingOf(section_);
            step.RevealOnUndo(section_);
            step.Push();
        }
    } else {
        // Nothing to store; the widths are kept as "Close Tab" keeps them.
        EditBuilder none(ctx_.document, QString());
        SaveArrayTable(ctx_, list_, section_, none);
    }
    CloseEditors();
    Bind(section);
    return true;
}

void TableDialog::ShowSection(int section) {
    if (section != section_) Bind(section);
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

int TableDialog::PendingRows() const { return ctx_.document.PendingRows(section_); }

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

void TableDialog::Refill() {
    for (EditDialog* editor : Editors()) editor->Refill();
}

void TableDialog::AddStoreTo(EditBuilder& step) {
    for (EditDialog* editor : ModifiedEditors()) {
        editor->AddTo(step);
        // An edit dialog left open on a unit section the window showed before.
        if (editor->section() != section_) step.StorePending(editor->section());
    }
    SaveArrayTable(ctx_, list_, section_, step);
}

void TableDialog::CloseWithoutStoring() {
    closing_ = true;
    close();
}

QStringList TableDialog::RowTexts(int row) const {
    QStringList texts;
    for (int c = 0; c < Columns(section_); ++c) texts << ToQ(ctx_.document.Shown(section_, row, c));
    return texts;
}

void TableDialog::SaveRow(int row, const QStringList& texts) {
    if (row < 0 || row >= Rows(section_)) return;
    EditBuilder step(ctx_.document, QStringLiteral("Save Row"));
    for (int c = 0; c < texts.size() && c < Columns(section_); ++c) step.Show(section_, row, c, FromQ(texts[c]));
    step.Push();
}

void TableDialog::RevertRow(int row) {
    if (row < 0 || row >= Rows(section_)) return;
    EditBuilder step(ctx_.document, QStringLiteral("Revert Row"));
    for (int c = 0; c < Columns(section_); ++c) step.Show(section_, row, c, ctx_.document.Base(section_, row, c));
    step.Push();
}

QMenu* TableDialog::NewRowMenu(int row) {
    auto* menu = new QMenu(this);
    menu->setObjectName(QStringLiteral("rowMenu"));
    menu->setAttribute(Qt::WA_DeleteOnClose);
    for (QAction* action : actions())
        if (action->objectName() == QLatin1String("undo") || action->objectName() == QLatin1String("redo"))
            menu->addAction(action);
    menu->addSeparator();
    QAction* revert = menu->addAction(QStringLiteral("Revert Row"), this, [this, row] { RevertRow(row); });
    revert->setToolTip(QStringLiteral("Put back the row's values of the last load or extraction."));
    revert->setEnabled(ctx_.document.RowChanged(section_, row));
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

void TableDialog::SetStatus(const QString& text) {
    status_->SetStatus(text);
    status_->setVisible(!text.isEmpty());
}

bool TableDialog::ExportCsv(const QString& path) {
    std::string csv;
    CsvRow fields;
    for (const std::string& name : CsvHeader(section_)) fields.push_back(Latin1ToUtf8(name));
    AppendCsvRow(csv, fields);
    for (int r = 0; r < Rows(section_); ++r) {
        fields.clear();
        for (int c = 0; c < Columns(section_); ++c) {
            const std::string text(ctx_.document.Shown(section_, r, c));
            fields.push_back(c == 0 ? CsvNameField(text) : Latin1ToUtf8(text));
        }
        AppendCsvRow(csv, fields);
    }
    const std::filesystem::path file = PathFromQ(path);
    if (CreateFileContents(file, csv)) {
        SetStatus(QStringLiteral("Exported ") + ToQ(GroupedNumber(Rows(section_))) +
                  (Rows(section_) == 1 ? QStringLiteral(" row to ") : QStringLiteral(" rows to ")) +
                  PathToQ(file.filename()) + QLatin1Char('.'));
        return true;
    }
    ctx_.session.Report("Error writing ", file);
    SetStatus(QStringLiteral("Nothing was exported: ") + PathToQ(file.filename()) +
              QStringLiteral(" could not be written."));
    return false;
}

bool TableDialog::ImportCsv(const QString& path) {
    const std::filesystem::path file = PathFromQ(path);
    std::string csv;
    if (!ReadWholeFile(file, &csv, kMaxCsvFileSize)) {
        ctx_.session.Report("Error opening ", file);
        SetStatus(QStringLiteral("Nothing was imported: ") + PathToQ(file.filename()) +
                  QStringLiteral(" could not be read; the table was left unchanged."));
        return false;
    }
    const int rows = Rows(section_);
    const int columns = Columns(section_);
    std::vector<CsvRow> now(static_cast<std::size_t>(rows), CsvRow(static_cast<std::size_t>(columns)));
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < columns; ++c)
            now[static_cast<std::size_t>(r)][static_cast<std::size_t>(c)] = ctx_.document.Shown(section_, r, c);

    // A spreadsheet gone wrong may give hundreds of problems: they are listed
    // in one window, not reported one by one.
    RecordingErrorSink listed;
    const CsvValues values = ReadCsvValues(listed, section_, now, csv, PathText(file.filename()));
    const QString outcome =
        values.refused ? QStringLiteral("Nothing was imported; the table was left unchanged.")
                       : QStringLiteral("Imported ") + ToQ(GroupedNumber(values.rows)) +
                             (values.rows == 1 ? QStringLiteral(" row, ") : QStringLiteral(" rows, ")) +
                             ToQ(GroupedNumber(values.changedValues)) +
                             (values.changedValues == 1 ? QStringLiteral(" value changed.") : QStringLiteral(" values changed."));
    SetStatus(outcome);
    if (!values.problems.empty()) {
        if (!problems_) problems_ = new CsvProblemsWindow(this);
        problems_->Show(PathToQ(file.filename()), outcome, values.problems);
    } else if (problems_) {
        problems_->close();
    }
    if (values.refused) return false;

    // Only rows whose values differ are set; the names stay the table's.
    EditBuilder step(ctx_.document, QStringLiteral("Import Section from CSV"));
    for (int r = 0; r < rows; ++r) {
        if (!values.changed[static_cast<std::size_t>(r)]) continue;
        for (int c = 1; c < columns; ++c)
            step.Show(section_, r, c, values.texts[static_cast<std::size_t>(r)][static_cast<std::size_t>(c)]);
    }
    step.Push();
    return true;
}

bool TableDialog::eventFilter(QObject* watched, QEvent* event) {
    // Enter or Return on a selected row opens its edit dialog.
    if (watched == list_ && IsEnterKey(event)) {
        OnDoubleClick();
        return true;
    }
    // Shift+F10 or the Menu key opens the menu of the row the list stands on.
    if (watched == list_ && IsMenuKey(event)) {
        OpenRowMenuFromKeyboard();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void TableDialog::OpenRowMenuFromKeyboard() {
    int at = list_->currentIndex().row();
    if (at < 0) {
        const QModelIndexList selected = list_->selectionModel()->selectedRows();
        if (!selected.isEmpty()) at = selected.front().row();
    }
    const int row = filter_->SourceRow(at);
    if (row < 0) return;
    // Under the row's current cell, as a right click there would open it.
    const QModelIndex current = list_->currentIndex().isValid() ? list_->currentIndex() : filter_->index(at, 0);
    list_->selectRow(at);
    QRect cell = list_->visualRect(current);
    cell = cell.intersected(list_->viewport()->rect());
    const QPoint below = cell.isValid() ? cell.bottomLeft() : QPoint(0, 0);
    NewRowMenu(row)->popup(list_->viewport()->mapToGlobal(below));
}

EditDialog* TableDialog::OpenEditor(int row) {
    if (row < 0 || row >= Rows(section_)) return nullptr;
    auto* editor = new EditDialog(ctx_, *kind_.edit, section_, row);
    const int columns = Columns(section_);
    for (int c = 0; c < columns; ++c) {
        editor->SetLabel(c, ToQ(ColumnName(section_, c)));
        editor->SetValue(c, ToQ(ctx_.document.Shown(section_, row, c)));
    }
    // Beside the table, each further one a step lower, so that none hides
    // the table or another.
    PlaceBeside(editor, this, static_cast<int>(Editors().size()));
    editors_.push_back(editor);
    editor->show();
    return editor;
}

int TableDialog::SelectedRecord() const {
    const QModelIndexList rows = list_->selectionModel()->selectedRows();
    int first = -1;
    for (const QModelIndex& index : rows) {
        const int record = filter_->SourceRow(index.row());
        if (record >= 0 && (first < 0 || record < first)) first = record;
    }
    return first;
}

void TableDialog::SelectRecord(int row, int column) {
    if (row < 0 || row >= Rows(section_)) return;
    // A row the filter hides is shown by clearing the filter.
    if (filter_->ProxyRow(row) < 0) {
        filterField_->clear();
        changedOnly_->setChecked(false);
    }
    const int at = filter_->ProxyRow(row);
    if (at < 0) return;
    const QModelIndex index = filter_->index(at, std::clamp(column, 0, Columns(section_) - 1));
    list_->setCurrentIndex(index);
    list_->selectRow(at);
    list_->scrollTo(index, QAbstractItemView::PositionAtCenter);
    list_->setFocus();
}

void TableDialog::OnDoubleClick() {
    // A double-click that leaves no row selected opens nothing.
    const int row = SelectedRecord();
    if (row >= 0) OpenEditor(row);
}

void TableDialog::CloseTab() {
    const QList<EditDialog*> modified = ModifiedEditors();
    bool storeEditors = true;
    if (!modified.isEmpty()) {
        const QString text =
            CountOf(static_cast<int>(modified.size()), "edit window", "edit windows") +
            (modified.size() == 1 ? QStringLiteral(" of this table holds") : QStringLiteral(" of this table hold")) +
            QStringLiteral(" typed values that are not in its list.\nStore them into the table before it closes?");
        const Answer answer = AskQuestion(this, text, QMessageBox::NoButton, QStringLiteral("Store and Close"),
                                          QStringLiteral("Discard and Close"));
        if (answer == Answer::Cancel) return;
        storeEditors = answer == Answer::First;
    }
    EditBuilder step(ctx_.document, QStringLiteral("Close Tab"));
    if (storeEditors)
        AddStoreTo(step);
    else
        SaveArrayTable(ctx_, list_, section_, step);
    // Undone, the table comes back with what it held.
    step.RevealOnUndo(section_);
    step.Push();
    CloseWithoutStoring();
}

void TableDialog::closeEvent(QCloseEvent* event) {
    if (!closing_) {
        // Closed by the window system: keep everything, as Escape does.
        event->ignore();
        hide();
        return;
    }
    CloseEditors();
    ctx_.registry.Forget(this);
    event->accept();
}

void TableDialog::CloseEditors() {
    for (const QPointer<EditDialog>& editor : editors_)
        if (editor) editor->close();
    editors_.clear();
}

QDialog* OpenSpellIdList(GuiContext& ctx, const QWidget* beside, int cascade) {
    auto* dialog = new SpellIdDialog(ctx);
    PlaceBeside(dialog, beside, cascade);
    dialog->show();
    return dialog;
}

}  // namespace quorvane::gui
