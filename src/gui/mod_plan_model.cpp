#include "gui/mod_plan_model.h"

#include <QBrush>
#include <QColor>
#include <QFont>

#include "catalogue/catalogue.h"
#include "gui/qt_text.h"

namespace quorvane::gui {

namespace {

constexpr const char* kHeaders[ModPlanModel::kColumnCount] = {
    "Mod", "Section", "Record", "Column", "Original", "Mod Value", "Editor Value", "Status", "Conflict"};

// A change that conflicts with the editor's values: a partly transparent
// red over the palette's base, readable in light and dark palettes alike.
QColor ConflictTint() { return QColor(220, 30, 30, 60); }

}  // namespace

void ModPlanModel::SetPlan(ModPlan plan, QStringList modNames, bool showEditor) {
    beginResetModel();
    plan_ = std::move(plan);
    modNames_ = std::move(modNames);
    showEditor_ = showEditor;
    inConflict_.assign(plan_.entries.size(), false);
    for (const ModConflict& c : plan_.conflicts)
        for (std::size_t at : c.entries) inConflict_[at] = true;
    endResetModel();
}

const ModEntry* ModPlanModel::Entry(int row) const {
    if (row < 0 || row >= static_cast<int>(plan_.entries.size())) return nullptr;
    return &plan_.entries[static_cast<std::size_t>(row)];
}

bool ModPlanModel::InConflict(int row) const { return Entry(row) && inConflict_[static_cast<std::size_t>(row)]; }

int ModPlanModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(plan_.entries.size());
}

int ModPlanModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : kColumnCount; }

QString ModPlanModel::Text(const ModEntry& e, int column) const {
    switch (column) {
    case kMod: return modNames_.value(e.mod);
    case kSection: return ToQ(DisplayName(e.i));
    case kRecord: return ToQ(e.record);
    case kColumn: return ToQ(e.column);
    case kOriginal: return ToQ(e.original);
    case kModValue: return ToQ(e.modValue);
    case kEditorValue: return showEditor_ ? ToQ(e.current) : QString();
    case kStatus: return QString::fromLatin1(ModStatusText(e.status));
    case kConflict: return e.winner ? QStringLiteral("Wins") : QString();
    default: return {};
    }
}

QString ModPlanModel::Tip(const ModEntry& e, int row) const {
    if (e.recordDiffers)
        return QStringLiteral("The editor holds the record %1 at this row, not %2.").arg(ToQ(e.currentRecord), ToQ(e.record));
    if (e.status == ModStatus::ConflictsWithYourValues)
        return QStringLiteral("The editor holds %1; the mod changes %2 to %3.")
            .arg(ToQ(e.current), ToQ(e.modOriginal), ToQ(e.modValue));
    if (!InConflict(row)) return {};
    // Every mod that changes this value, in load order.
    QStringList changes;
    for (const ModConflict& c : plan_.conflicts) {
        if (c.i != e.i || c.j != e.j || c.step != e.step) continue;
        for (std::size_t at : c.entries) {
            const ModEntry& other = plan_.entries[at];
            changes << modNames_.value(other.mod) + QStringLiteral(": ") + ToQ(other.modValue);
        }
    }
    return QStringLiteral("Mods changing this value, in load order (the last wins): ") +
           changes.join(QStringLiteral(", "));
}

QVariant ModPlanModel::data(const QModelIndex& index, int role) const {
    const ModEntry* e = index.isValid() ? Entry(index.row()) : nullptr;
    if (!e) return {};
    switch (role) {
    case Qt::DisplayRole: return Text(*e, index.column());
    case Qt::ToolTipRole: return Tip(*e, index.row());
    case Qt::FontRole:
        if (e->winner) {
            QFont bold;
            bold.setBold(true);
            return bold;
        }
        return {};
    case Qt::BackgroundRole:
        return e->status == ModStatus::ConflictsWithYourValues ? QVariant(QBrush(ConflictTint())) : QVariant();
    case kConflictRole:
        return e->status == ModStatus::ConflictsWithYourValues || InConflict(index.row()) ? QStringLiteral("1")
                                                                                           : QString();
    default: return {};
    }
}

QVariant ModPlanModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= kColumnCount)
        return ReadOnlyTableModel::headerData(section, orientation, role);
    return QString::fromLatin1(kHeaders[section]);
}

}  // namespace quorvane::gui
