#include "tables/list_binding.h"

#include <QAbstractItemView>
#include <QFontMetrics>
#include <QHeaderView>
#include <QSettings>
#include <QTableView>

#include <algorithm>

#include "catalogue/catalogue.h"
#include "gui/document.h"
#include "gui/edit_step.h"
#include "gui/gui_context.h"
#include "gui/placement.h"
#include "gui/section_model.h"
#include "tables/report_list.h"

namespace quorvane::gui {

namespace {

constexpr const char* kWidthRoot = "List Control Settings";

// The widest the name column is made to fit its names; the whole of a longer
// name is in its tooltip.
constexpr int kWidestFittedName = 360;
// Room beside a cell's text (its margins and the grid line), and beside a
// header's text for the sort arrow.
constexpr int kCellRoom = 14;
constexpr int kHeaderRoom = 24;

// The width a column had before its names were fitted: (characters of its
// name + 1) * 10. A stored name width of exactly that was stored by a table
// that never fitted its names, not set by the user.
int FormerDefaultWidth(int i, int step) { return (static_cast<int>(ColumnName(i, step).size()) + 1) * 10; }

// Wide enough for the header and for every name of section i as the table
// shows it (bold, the widest a name is drawn), up to kWidestFittedName.
int FittedNameWidth(GuiContext& ctx, const QTableView* list, int i) {
    QFont bold = list->font();
    bold.setBold(true);
    const QFontMetrics names(bold);
    int widest = list->horizontalHeader()->fontMetrics().horizontalAdvance(ToQ(ColumnName(i, 0))) + kHeaderRoom;
    for (int r = 0; r < Rows(i); ++r)
        widest = std::max(widest, names.horizontalAdvance(ToQ(ctx.document.Shown(i, r, 0))) + kCellRoom);
    return std::min(widest, kWidestFittedName);
}

// Header of the spell-ID list's columns.
QString SpellIdHeader(int c) {
    if (c == 0) return QStringLiteral("Spell Name");
    if (c == 1) return QStringLiteral("Spell ID");
    return {};
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

ReportList* NewReportList(QWidget* parent) {
    auto* list = new ReportList(parent);
    list->setObjectName(QStringLiteral("list"));
    list->setModel(new RecordFilter(list));
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setSelectionBehavior(QAbstractItemView::SelectRows);
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list->setWordWrap(false);
    list->setAlternatingRowColors(false);
    // Tab and Shift+Tab leave the list for the window's other controls; the
    // arrow keys move between cells.
    list->setTabKeyNavigation(false);
    list->verticalHeader()->setVisible(false);
    list->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    list->verticalHeader()->setDefaultSectionSize(list->fontMetrics().height() + 6);
    QHeaderView* header = list->horizontalHeader();
    header->setHighlightSections(false);
    header->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    header->setStretchLastSection(false);
    // File order until a header is clicked; a third click goes back to it.
    header->setSortIndicator(-1, Qt::AscendingOrder);
    header->setSortIndicatorClearable(true);
    list->setSortingEnabled(true);
    return list;
}

RecordFilter* ListFilter(const QTableView* list) { return qobject_cast<RecordFilter*>(list->model()); }

void LoadArrayTable(GuiContext& ctx, QTableView* list, int i, int n) {
    ctx.session.log.Line("LoadArrayTable shows section ", i);
    RecordFilter* proxy = ListFilter(list);
    QAbstractItemModel* source = nullptr;
    if (n > 0) {
        source = proxy->findChild<SpellIdModel*>();
        if (!source) source = new SpellIdModel(ctx.document, proxy);
    } else {
        source = ctx.document.Model(i);
    }
    if (proxy->sourceModel() != source) proxy->setSourceModel(source);

    const int columns = n > 0 ? n : Columns(i);
    for (int c = 0; c < columns; ++c) {
        int width = 0;
        if (n > 0) {
            width = (static_cast<int>(SpellIdHeader(c).size()) + 1) * 15;
        } else {
            width = GetColumnWidth(ctx, i, c);
            if (c == 0 && (width == -1 || width == FormerDefaultWidth(i, c)))
                width = FittedNameWidth(ctx, list, i);
            else if (width == -1)
                width = FormerDefaultWidth(i, c);
        }
        list->setColumnWidth(c, width);
    }
    // The rows come from the model; the trace still tells each one.
    if (ctx.session.log.IsOpen())
        for (int r = 0; r < Rows(i); ++r) ctx.session.log.Line("LoadArrayTable j ", r);
}

void SaveArrayTable(GuiContext& ctx, QTableView* list, int i, EditBuilder& step) {
    ctx.session.log.Line("SaveArrayTable ");
    const int columns = std::min(Columns(i), list->model()->columnCount());
    for (int c = 0; c < columns; ++c) SaveColumnWidth(ctx, i, c, list->columnWidth(c));
    step.StorePending(i);
}

QString CellText(const QTableView* list, int row, int column) {
    const RecordFilter* proxy = ListFilter(list);
    const QAbstractItemModel* source = proxy ? proxy->sourceModel() : list->model();
    if (!source) return {};
    return source->index(row, column).data().toString();
}

}  // namespace quorvane::gui
