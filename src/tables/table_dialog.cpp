#include "tables/table_dialog.h"

#include <QCloseEvent>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

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
    layout->addWidget(list_);

    resize(900, 560);
    TrackPlacement(ctx_.settings, kind.className, this);
    LoadArrayTable(ctx_, list_, section_, 0);
}

TableDialog::~TableDialog() { CloseEditors(); }

void TableDialog::Rebind(int section) {
    if (section == section_) return;
    SaveArrayTable(ctx_, list_, section_);
    CloseEditors();
    section_ = section;
    LoadArrayTable(ctx_, list_, section_, 0);
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
    SaveArrayTable(ctx_, list_, section_);
    closing_ = true;
    close();
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
