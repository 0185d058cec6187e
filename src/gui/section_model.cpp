#include "gui/section_model.h"

#include <QBrush>
#include <QFont>
#include <QGuiApplication>
#include <QPalette>

#include "catalogue/catalogue.h"
#include "gui/check_marks.h"
#include "gui/document.h"
#include "gui/qt_text.h"
#include "writeback/cell_check.h"

namespace quorvane::gui {

namespace {

// Background of a cell whose text is not in the grid yet: the palette's
// highlight, partly transparent so that it tints whatever base the palette
// has and the cell's text stays readable in light and dark palettes alike.
QColor PendingTint(const QPalette& palette) {
    QColor tint = palette.color(QPalette::Highlight);
    tint.setAlpha(90);
    return tint;
}

QVariant SortKey(const QString& text) {
    bool number = false;
    const qlonglong value = text.trimmed().toLongLong(&number);
    if (number) return value;
    return text;
}

}  // namespace

SectionModel::SectionModel(Document& doc, int section, QObject* parent)
    : ReadOnlyTableModel(parent), doc_(doc), section_(section) {
    connect(&doc_, &Document::cellsChanged, this, &SectionModel::CellsChanged);
    connect(&doc_, &Document::gridReset, this, &SectionModel::Reset);
}

QString SectionModel::Text(int row, int column) const { return ToQ(doc_.Shown(section_, row, column)); }

bool SectionModel::RowChanged(int row) const { return doc_.RowChanged(section_, row); }

int SectionModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : Rows(section_); }

int SectionModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : Columns(section_); }

QVariant SectionModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) return {};
    const int r = index.row();
    const int c = index.column();
    switch (role) {
    case Qt::DisplayRole:
        return Text(r, c);
    case kSortRole:
        return SortKey(Text(r, c));
    case Qt::FontRole: {
        // Pending: bold. Otherwise changed since the last load or
        // extraction: italic.
        QFont font;
        if (doc_.IsPending(section_, r, c))
            font.setBold(true);
        else if (doc_.DiffersFromBase(section_, r, c))
            font.setItalic(true);
        else
            return {};
        return font;
    }
    case Qt::BackgroundRole: {
        // A text the write would refuse or change: its own tint over the
        // pending tint (the pending mark still shows in the font). The
        // record's name is written as it stands.
        const QPalette palette = QGuiApplication::palette();
        if (c > 0) {
            const CheckResult check = CheckText(section_, r, c, FromCell(Text(r, c)));
            if (check.mark != CheckMark::None) return QBrush(CheckTint(palette, check.mark));
        }
        if (doc_.IsPending(section_, r, c)) return QBrush(PendingTint(palette));
        return {};
    }
    case Qt::ToolTipRole: {
        // A name cut short by a narrow column shows whole; a value tells why
        // the write would refuse or change it, or else the values it takes.
        if (c == 0) return Text(r, c);
        const CheckResult check = CheckText(section_, r, c, FromCell(Text(r, c)));
        if (check.mark != CheckMark::None) return check.tip;
        return QStringLiteral("Allowed: ") + ToQ(AllowedRange(section_, r, c));
    }
    default:
        return {};
    }
}

QVariant SectionModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return ReadOnlyTableModel::headerData(section, orientation, role);
    return ToQ(ColumnName(section_, section));
}

void SectionModel::CellsChanged(int section, int first, int last) {
    if (section != section_) return;
    emit dataChanged(index(first, 0), index(last, columnCount() - 1));
}

void SectionModel::Reset() { emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1)); }

SpellIdModel::SpellIdModel(Document& doc, QObject* parent) : ReadOnlyTableModel(parent), doc_(doc) {
    connect(&doc_, &Document::cellsChanged, this, [this](int section, int first, int last) {
        if (section == kSpellsSection) emit dataChanged(index(first, 0), index(last, 0));
    });
    connect(&doc_, &Document::gridReset, this,
            [this] { emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1)); });
}

int SpellIdModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : Rows(kSpellsSection); }

int SpellIdModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : 2; }

QVariant SpellIdModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || (role != Qt::DisplayRole && role != kSortRole && role != Qt::ToolTipRole)) return {};
    if (index.column() == 1) return role == kSortRole ? QVariant(index.row() - 1) : QVariant(QString::number(index.row() - 1));
    const QString name = ToQ(doc_.grid().GetArrayValue(kSpellsSection, index.row(), 0));
    return role == kSortRole ? SortKey(name) : QVariant(name);
}

QVariant SpellIdModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return ReadOnlyTableModel::headerData(section, orientation, role);
    return section == 0 ? QStringLiteral("Spell Name") : QStringLiteral("Spell ID");
}

void TextTableModel::SetRows(QList<QStringList> rows) {
    beginResetModel();
    rows_ = std::move(rows);
    endResetModel();
}

int TextTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int TextTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(headers_.size());
}

QVariant TextTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::ToolTipRole)) return {};
    return rows_[index.row()].value(index.column());
}

QVariant TextTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return ReadOnlyTableModel::headerData(section, orientation, role);
    return headers_.value(section);
}

RecordFilter::RecordFilter(QObject* parent) : QSortFilterProxyModel(parent) {
    setDynamicSortFilter(true);
    setSortRole(kSortRole);
    // File order until a column is chosen.
    sort(-1);
}

void RecordFilter::SetNameFilter(const QString& text) {
    if (text == name_) return;
    name_ = text;
    invalidateFilter();
}

void RecordFilter::SetChangedOnly(bool on) {
    if (on == changedOnly_) return;
    changedOnly_ = on;
    invalidateFilter();
}

int RecordFilter::ProxyRow(int row) const {
    if (!sourceModel() || row < 0 || row >= sourceModel()->rowCount()) return -1;
    return mapFromSource(sourceModel()->index(row, 0)).row();
}

int RecordFilter::SourceRow(int row) const {
    if (row < 0 || row >= rowCount()) return -1;
    return mapToSource(index(row, 0)).row();
}

bool RecordFilter::filterAcceptsRow(int row, const QModelIndex& parent) const {
    const QAbstractItemModel* source = sourceModel();
    if (!source) return false;
    // The names are Latin-1 texts in a QString, whose case folding covers
    // the accented letters as well.
    if (!name_.isEmpty() && !source->index(row, 0, parent).data().toString().contains(name_, Qt::CaseInsensitive))
        return false;
    if (changedOnly_)
        if (const auto* model = qobject_cast<const SectionModel*>(source)) return model->RowChanged(row);
    return true;
}

bool RecordFilter::lessThan(const QModelIndex& left, const QModelIndex& right) const {
    // Numbers by value and before texts; texts in any case; equal keys keep
    // file order.
    const QVariant a = left.data(kSortRole);
    const QVariant b = right.data(kSortRole);
    const bool an = a.typeId() == QMetaType::LongLong || a.typeId() == QMetaType::Int;
    const bool bn = b.typeId() == QMetaType::LongLong || b.typeId() == QMetaType::Int;
    if (an != bn) return an;
    if (an) {
        if (a.toLongLong() != b.toLongLong()) return a.toLongLong() < b.toLongLong();
    } else {
        const int order = a.toString().compare(b.toString(), Qt::CaseInsensitive);
        if (order != 0) return order < 0;
    }
    return left.row() < right.row();
}

}  // namespace quorvane::gui
