// The models the record tables show: one record section as the document
// holds it (pending texts over the grid), the spell-ID list, and the proxy
// through which a table filters and sorts its rows without ever changing
// which record a row is.
#pragma once

#include <QAbstractTableModel>
#include <QSortFilterProxyModel>
#include <QList>
#include <QString>
#include <QStringList>

namespace quorvane::gui {

class Document;

// The spells' section, which the spell-ID list shows.
inline constexpr int kSpellsSection = 2;

// A table whose cells are selected, never edited in place: edits are steps
// of the document's history.
class ReadOnlyTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    using QAbstractTableModel::QAbstractTableModel;
    Qt::ItemFlags flags(const QModelIndex& index) const override {
        return index.isValid() ? Qt::ItemIsSelectable | Qt::ItemIsEnabled : Qt::NoItemFlags;
    }
};

// Fixed texts under fixed column headers, one QStringList per row: a list
// that is only shown, such as the problems of a CSV import.
class TextTableModel : public ReadOnlyTableModel {
    Q_OBJECT
public:
    explicit TextTableModel(QStringList headers, QObject* parent = nullptr)
        : ReadOnlyTableModel(parent), headers_(std::move(headers)) {}
    // Shows `rows` instead of the rows shown now.
    void SetRows(QList<QStringList> rows);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    QStringList headers_;
    QList<QStringList> rows_;
};

// A role giving a cell's sort key: its number where the text is a whole
// number, else its text.
inline constexpr int kSortRole = Qt::UserRole + 1;

// Section `section` (0 .. 22) of the document: one row per record, one
// column per field, headed by the catalogue's column names. It shows what
// the table shows (a pending text, else the grid's) and marks each cell:
// bold while pending, italic where the text differs from the one of the
// last load or extraction, tinted where the write would refuse or change
// the text (with the reason and the allowed values as its tooltip), and
// tinted by the highlight while pending.
class SectionModel : public ReadOnlyTableModel {
    Q_OBJECT
public:
    SectionModel(Document& doc, int section, QObject* parent = nullptr);

    Document& document() const { return doc_; }
    int section() const { return section_; }
    // The text the table shows in row `row`, column `column`.
    QString Text(int row, int column) const;
    // The row has a pending cell, or shows a text other than its base.
    bool RowChanged(int row) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    void CellsChanged(int section, int first, int last);
    void Reset();

    Document& doc_;
    int section_;
};

// The spell-ID list: every spell's name as the grid holds it, with its spell
// ID (the row index - 1), under "Spell Name" and "Spell ID".
class SpellIdModel : public ReadOnlyTableModel {
    Q_OBJECT
public:
    explicit SpellIdModel(Document& doc, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    Document& doc_;
};

// Filters a table's rows by the text of their name (column 0, any case) and,
// when asked, to the changed rows only; sorts by a column's numbers or texts
// (file order while no column is chosen). Rows are only hidden or ordered:
// each proxy row maps to its own record.
class RecordFilter : public QSortFilterProxyModel {
    Q_OBJECT
public:
    explicit RecordFilter(QObject* parent = nullptr);

    QString nameFilter() const { return name_; }
    void SetNameFilter(const QString& text);
    bool changedOnly() const { return changedOnly_; }
    void SetChangedOnly(bool on);

    // The proxy row of source row `row`, -1 while it is filtered out.
    int ProxyRow(int row) const;
    // The source row of proxy row `row`, -1 for none.
    int SourceRow(int row) const;

protected:
    bool filterAcceptsRow(int row, const QModelIndex& parent) const override;
    bool lessThan(const QModelIndex& left, const QModelIndex& right) const override;

private:
    QString name_;
    bool changedOnly_ = false;
};

}  // namespace quorvane::gui
