#include "gui/review_model.h"

#include <QBrush>
#include <QColor>

#include "catalogue/catalogue.h"
#include "gui/qt_text.h"
#include "gui/report_sinks.h"

namespace quorvane::gui {

namespace {

constexpr const char* kHeaders[ReviewModel::kColumnCount] = {"Section",    "Record",    "Column",
                                                             "Game Value", "New Value", "Problem"};

// A row the write refuses: a partly transparent red over the palette's base,
// so that the text keeps its own colour and stays readable in light and dark
// palettes alike.
QColor ProblemTint() { return QColor(220, 30, 30, 80); }

}  // namespace

ReviewModel::ReviewModel(std::function<QString(int, int)> columnLabel, QObject* parent)
    : ReadOnlyTableModel(parent), columnLabel_(std::move(columnLabel)) {}

void ReviewModel::SetReview(Review review) {
    beginResetModel();
    review_ = std::move(review);
    endResetModel();
}

void ReviewModel::SetComparedWithOriginal(bool original) {
    if (original == original_) return;
    original_ = original;
    emit headerDataChanged(Qt::Horizontal, kGame, kGame);
}

const ReviewRow* ReviewModel::Row(int row) const {
    if (row < 0 || row >= static_cast<int>(review_.rows.size())) return nullptr;
    return &review_.rows[static_cast<std::size_t>(row)];
}

int ReviewModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(review_.rows.size());
}

int ReviewModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : kColumnCount; }

QString ReviewModel::Text(const ReviewRow& row, int column) const {
    switch (column) {
    case kSection:
        return row.i >= 0 ? ToQ(DisplayName(row.i)) : QString();
    case kRecord:
        return ToQ(row.recordName);
    case kCell:
        return columnLabel_ ? columnLabel_(row.i, row.step) : QString();
    case kGame:
        return ToQ(row.gameText);
    case kNew:
        return ToQ(row.newText);
    case kProblem:
        return ReportText(row.problem);
    default:
        return {};
    }
}

QVariant ReviewModel::data(const QModelIndex& index, int role) const {
    const ReviewRow* row = index.isValid() ? Row(index.row()) : nullptr;
    if (!row) return {};
    switch (role) {
    case Qt::DisplayRole:
        return Text(*row, index.column());
    case Qt::BackgroundRole:
        return row->IsProblem() ? QVariant(QBrush(ProblemTint())) : QVariant();
    case Qt::ToolTipRole:
        if (row->IsProblem()) return Text(*row, kProblem);
        if (row->furtherPlaceOnly)
            return QStringLiteral("The game holds a second copy of this value that differs from it; "
                                  "the write puts the value there too.");
        return {};
    default:
        return {};
    }
}

QVariant ReviewModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= kColumnCount)
        return ReadOnlyTableModel::headerData(section, orientation, role);
    if (section == kGame && original_) return QStringLiteral("Original Value");
    return QString::fromLatin1(kHeaders[section]);
}

}  // namespace quorvane::gui
