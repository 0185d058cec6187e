// The model of the Changes window: one row per cell the next save and write
// would change, or per problem the write would report, as the review found
// them.
#pragma once

#include <QString>

#include <functional>

#include "gui/section_model.h"
#include "writeback/review.h"

namespace quorvane::gui {

class ReviewModel : public ReadOnlyTableModel {
    Q_OBJECT
public:
    enum Column { kSection, kRecord, kCell, kGame, kNew, kProblem, kColumnCount };

    // `columnLabel` names column `step` of section `i` as its window does.
    explicit ReviewModel(std::function<QString(int i, int step)> columnLabel, QObject* parent = nullptr);

    const Review& review() const { return review_; }
    // Shows `review` instead of the rows shown now.
    void SetReview(Review review);
    // The review's row behind list row `row`, or nullptr.
    const ReviewRow* Row(int row) const;
    // The header of the game texts: "Game Value", or "Original Value" while
    // the review compares with the original game.
    void SetComparedWithOriginal(bool original);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    QString Text(const ReviewRow& row, int column) const;

    std::function<QString(int, int)> columnLabel_;
    Review review_;
    bool original_ = false;
};

}  // namespace quorvane::gui
