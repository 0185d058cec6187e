#include "tables/list_binding.h"

#include <algorithm>

#include <QAbstractItemView>
#include <QHeaderView>
#include <QSettings>
#include <QTableWidget>

#include "gui/gui_context.h"
#include "gui/placement.h"
#include "catalogue/catalogue.h"

namespace quorvane::gui {

namespace {

constexpr const char* kWidthRoot = "List Control Settings";

// Header and fixed width factor of the spell-ID list's columns.
QString SpellIdHeader(int c) {
    if (c == 0) return QStringLiteral("Spell Name");
    if (c == 1) return QStringLiteral("Spell ID");
    return {};
}

QTableWidgetItem* NewItem(const QString& text) {
    auto* item = new QTableWidgetItem(text);
    item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
    return item;
}

}  // namespace

QString ColumnWidthGroup(int i, int step) {
    return QStringLiteral("%1/%2/%3").arg(QLatin1String(kWidthRoot), ToQ(Header(i)), QString::number(step));
}

QString ColumnWidthEntry(int step) { return QString::number(step); }

int GetColumnWidth(GuiContext& ctx, int i, int step) {
    ctx.session.log.Line("GetColumnWidth i - Step ", i, " - ", step);
    ctx.settings.beginGroup(ColumnWidthGroup(i, step));
    bool ok = false;
    int width = ctx.settings.value(ColumnWidthEntry(step), -1).toInt(&ok);
    ctx.settings.endGroup();
    // A width too small to see or grab the column again counts as none.
    return ok && width >= kSmallestColumnWidth ? width : -1;
}

void SaveColumnWidth(GuiContext& ctx, int i, int step, int width) {
    ctx.session.log.Line("SaveColumnWidth Name");
    ctx.settings.beginGroup(ColumnWidthGroup(i, step));
    ctx.settings.setValue(ColumnWidthEntry(step), width);
    ctx.settings.endGroup();
}

QString CellText(const QTableWidget* list, int row, int column) {
    const QTableWidgetItem* item = list->item(row, column);
    return item ? item->text() : QString();
}

void SetCellText(QTableWidget* list, int row, int column, const QString& text) {
    QTableWidgetItem* item = list->item(row, column);
    if (!item) {
        item = NewItem(text);
        list->setItem(row, column, item);
    }
    // A record name cut short by a narrow column shows whole in its tooltip.
    if (column == 0) item->setToolTip(text);
    item->setText(text);
}

void SetUpReportList(QTableWidget* list) {
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list->setSortingEnabled(false);
    list->setWordWrap(false);
    list->setAlternatingRowColors(false);
    list->verticalHeader()->setVisible(false);
    list->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    list->verticalHeader()->setDefaultSectionSize(list->fontMetrics().height() + 6);
    list->horizontalHeader()->setSortIndicatorShown(false);
    list->horizontalHeader()->setSectionsClickable(false);
    list->horizontalHeader()->setHighlightSections(false);
    list->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    list->horizontalHeader()->setStretchLastSection(false);
}

int LoadArrayTable(GuiContext& ctx, QTableWidget* list, int i, int n) {
    ctx.session.log.Line("HWND LoadArrayTable(HWND hDialog,int ControlID,int i)");
    // A list reused for another section starts empty.
    list->setRowCount(0);
    list->setColumnCount(0);

    const int rows = Rows(i);
    const int columns = n > 0 ? n : Columns(i);
    list->setColumnCount(columns);
    list->setRowCount(rows);
    for (int c = 0; c < columns; ++c) {
        QString header;
        int width = 0;
        if (n > 0) {
            header = SpellIdHeader(c);
            width = (static_cast<int>(header.size()) + 1) * 15;
        } else {
            const std::string& name = ColumnName(i, c);
            header = ToQ(name);
            width = GetColumnWidth(ctx, i, c);
            if (width == -1) width = (static_cast<int>(name.size()) + 1) * 10;
        }
        list->setHorizontalHeaderItem(c, new QTableWidgetItem(header));
        list->setColumnWidth(c, width);
    }
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < columns; ++c) {
            QString text;
            if (n <= 0)
                text = ToQ(ctx.session.grid.GetArrayValue(i, r, c));
            else if (c == 0)
                text = ToQ(ctx.session.grid.GetArrayValue(i, r, 0));
            else if (c == 1)
                text = QString::number(r - 1);
            QTableWidgetItem* item = NewItem(text);
            if (c == 0) item->setToolTip(text);  // the whole record name
            list->setItem(r, c, item);
        }
        ctx.session.log.Line("LoadArrayTable j ", r);
    }
    list->setSelectionBehavior(QAbstractItemView::SelectRows);
    return 0;
}

int SaveArrayTable(GuiContext& ctx, QTableWidget* list, int i) {
    ctx.session.log.Line("SaveArrayTable ");
    // The list has the section's shape; the bounds only guard against a list
    // that does not, so that no cell is overwritten with a missing text.
    const int rows = std::min(Rows(i), list->rowCount());
    const int columns = std::min(Columns(i), list->columnCount());
    for (int c = 0; c < columns; ++c) SaveColumnWidth(ctx, i, c, list->columnWidth(c));
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < columns; ++c)
            ctx.session.grid.SetArrayValue(i, r, c, FromCell(CellText(list, r, c)));
    return 1;
}

}  // namespace quorvane::gui
