#include "tables/table_dialog.h"

#include <algorithm>

#include <QCloseEvent>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTableWidget>
#include <QVBoxLayout>

#include "gui/edit_state.h"
#include "gui/gui_context.h"
#include "gui/placement.h"
#include "catalogue/catalogue.h"
#include "tables/closing_dialog.h"
#include "tables/edit_dialog.h"
#include "tables/list_binding.h"

namespace quorvane::gui {

namespace {

// Title bar without a close box: a table is closed by "Close Tab" only.
constexpr Qt::WindowFlags kNoCloseBox = Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                                        Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint;

QTableWidget* NewList(int controlId, QWidget* parent) {
    auto* list = new QTableWidget(parent);
    list->setObjectName(QStringLiteral("list"));
    list->setProperty("controlId", controlId);
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

// Escape and "Close Tab" close the spell-ID list; it stores nothing.
class SpellIdDialog : public ClosingDialog {
public:
    explicit SpellIdDialog(GuiContext& ctx) : ClosingDialog(nullptr) {
        setObjectName(kSpellIdClass);
        setAttribute(Qt::WA_DeleteOnClose);
        setWindowTitle(kSpellIdCaption);
        auto* layout = new QVBoxLayout(this);
        auto* list = NewList(kSpellIdListId, this);
        layout->addWidget(list);
        auto* close = new QPushButton(kCloseTabText, this);
        close->setAutoDefault(false);
        connect(close, &QPushButton::clicked, this, &QWidget::close);
        layout->addWidget(close);
        resize(380, 520);
        TrackPlacement(ctx.settings, kSpellIdClass, this);
        LoadArrayTable(ctx, list, kSpellsSection, 2);
    }
};

}  // namespace

TableDialog::TableDialog(GuiContext& ctx, const TableKind& kind, int section)
    : QDialog(nullptr, kNoCloseBox), ctx_(ctx), kind_(kind), section_(section) {
    setObjectName(kind.className);
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(kind.templateCaption);

    auto* layout = new QVBoxLayout(this);
    auto* close = new QPushButton(kCloseTabText, this);
    close->setObjectName(QStringLiteral("closeTab"));
    close->setAutoDefault(false);
    connect(close, &QPushButton::clicked, this, &TableDialog::CloseTab);
    layout->addWidget(close);
    list_ = NewList(kind.listId, this);
    connect(list_, &QTableWidget::doubleClicked, this, [this] { OnDoubleClick(); });
    connect(list_, &QTableWidget::itemChanged, this, [this](QTableWidgetItem* item) {
        if (marking_) return;  // the marks themselves change the item
        MarkCell(item);
        RefreshCaption();
    });
    list_->installEventFilter(this);
    layout->addWidget(list_);

    resize(900, 560);
    TrackPlacement(ctx_.settings, kind.className, this);
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
    RefreshMarks();
}

void TableDialog::Refill() {
    {
        const QSignalBlocker quiet(list_);
        LoadArrayTable(ctx_, list_, section_, 0);
    }
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

void TableDialog::MarkCell(QTableWidgetItem* item) {
    if (marking_ || !item) return;
    marking_ = true;
    const int r = item->row();
    const int c = item->column();
    const std::string& grid = ctx_.session.grid.GetArrayValue(section_, r, c);
    if (FromCell(item->text()) != grid) {
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
    if (ctx_.registry.Find(kind_.className) == this) ctx_.registry.Clear(kind_.className);
}

QDialog* OpenSpellIdList(GuiContext& ctx) {
    auto* dialog = new SpellIdDialog(ctx);
    dialog->show();
    return dialog;
}

}  // namespace quorvane::gui
