#include "gui/review_model.h"

#include <QBrush>
#include <QColor>
#include <QFont>

#include "catalogue/catalogue.h"
#include "catalogue/layout.h"
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

QString KeptInStepText(const ReviewRow& row) {
    return QString::fromLatin1(quorvane::KeptInStepText(row.i, row.j, row.step));
}

}  // namespace

ReviewModel::ReviewModel(std::function<QString(int, int)> columnLabel, QObject* parent)
    : ReadOnlyTableModel(parent), columnLabel_(std::move(columnLabel)) {}

void ReviewModel::SetReview(Review review, std::vector<RowMark> marks) {
    beginResetModel();
    review_ = std::move(review);
    marks_ = std::move(marks);
    marks_.resize(review_.rows.size(), RowMark::None);
    endResetModel();
}

RowMark ReviewModel::Mark(int row) const {
    return row >= 0 && row < static_cast<int>(marks_.size()) ? marks_[static_cast<std::size_t>(row)] : RowMark::None;
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

QString ReviewModel::Text(const ReviewRow& row, RowMark mark, int column) const {
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
        switch (mark) {
        case RowMark::NotStored:
            return row.IsProblem() ? QStringLiteral("not stored yet: ") + ReportText(row.problem)
                                   : QStringLiteral("not stored yet");
        case RowMark::KeptInStep:
            return KeptInStepText(row);
        case RowMark::None:
            break;
        }
        return ReportText(row.problem);
    default:
        return {};
    }
}

QVariant ReviewModel::data(const QModelIndex& index, int role) const {
    const ReviewRow* row = index.isValid() ? Row(index.row()) : nullptr;
    if (!row) return {};
    const RowMark mark = Mark(index.row());
    switch (role) {
    case Qt::DisplayRole:
        return Text(*row, mark, index.column());
    case Qt::BackgroundRole:
        return row->IsProblem() ? QVariant(QBrush(ProblemTint())) : QVariant();
    case Qt::FontRole: {
        // A value not in the editor's data yet, as its table shows it: bold.
        if (mark != RowMark::NotStored) return {};
        QFont font;
        font.setBold(true);
        return font;
    }
    case Qt::ToolTipRole:
        if (mark == RowMark::NotStored)
            return QStringLiteral("A table holds this value; its \"Close Tab\" stores it into the editor's data.");
        if (row->IsProblem()) return Text(*row, mark, kProblem);
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
