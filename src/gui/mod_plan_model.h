// The model of the Mods window's table: one row per change of the listed
// mods, in load order, with its status against the editor's values and, for
// a value two mods change differently, which of them wins.
#pragma once

#include <QString>
#include <QStringList>

#include <vector>

#include "gui/section_model.h"
#include "mods/apply.h"

namespace quorvane::gui {

class ModPlanModel : public ReadOnlyTableModel {
    Q_OBJECT
public:
    enum Column { kMod, kSection, kRecord, kColumn, kOriginal, kModValue, kEditorValue, kStatus, kConflict, kColumnCount };
    // "1" for a change that conflicts with the editor's values or with
    // another mod's change of the same value, else empty: the role the
    // "Conflicts only" filter reads.
    static constexpr int kConflictRole = Qt::UserRole + 2;

    explicit ModPlanModel(QObject* parent = nullptr) : ReadOnlyTableModel(parent) {}

    // Shows `plan`, whose mods are named `modNames` (by their place in the
    // load order); without `showEditor` the editor's values are not shown
    // (no data is loaded: the plan compares with the original game).
    void SetPlan(ModPlan plan, QStringList modNames, bool showEditor);
    const ModPlan& plan() const { return plan_; }
    // The change behind row `row`, or nullptr.
    const ModEntry* Entry(int row) const;
    // The change is one of a value that two or more mods change differently.
    bool InConflict(int row) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    QString Text(const ModEntry& e, int column) const;
    QString Tip(const ModEntry& e, int row) const;

    ModPlan plan_;
    QStringList modNames_;
    std::vector<bool> inConflict_;  // by entry
    bool showEditor_ = true;
};

}  // namespace quorvane::gui
