// The model of the Changes window: one row per cell the next save and write
// would change, or per problem the write would report, as the review found
// them.
#pragma once

#include <QString>

#include <functional>
#include <vector>

#include "gui/section_model.h"
#include "writeback/review.h"

namespace quorvane::gui {

// What a row stands for besides a change the user made or a problem: an
// edit a table holds that is not in the editor's data yet, or a value that
// changes only because its second copy in the game differs from it. The
// Problem column says so: "not stored yet", "kept in step with its second
// copy in WIZARDS.EXE".
enum class RowMark { None, NotStored, KeptInStep };

class ReviewModel : public ReadOnlyTableModel {
    Q_OBJECT
public:
    enum Column { kSection, kRecord, kCell, kGame, kNew, kProblem, kColumnCount };

    // `columnLabel` names column `step` of section `i` as its window does.
    explicit ReviewModel(std::function<QString(int i, int step)> columnLabel, QObject* parent = nullptr);

    const Review& review() const { return review_; }
    // Shows `review` instead of the rows shown now, each row marked by
    // `marks` (none where it is shorter).
    void SetReview(Review review, std::vector<RowMark> marks = {});
    // The review's row behind list row `row`, or nullptr.
    const ReviewRow* Row(int row) const;
    RowMark Mark(int row) const;
    // The header of the game texts: "Game Value", or "Original Value" while
    // the review compares with the original game.
    void SetComparedWithOriginal(bool original);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    QString Text(const ReviewRow& row, RowMark mark, int column) const;

    std::function<QString(int, int)> columnLabel_;
    Review review_;
    std::vector<RowMark> marks_;
    bool original_ = false;
};

}  // namespace quorvane::gui
