#include "mods/apply.h"

#include <map>

#include "catalogue/catalogue.h"

namespace quorvane {

const char* ModStatusText(ModStatus status) {
    switch (status) {
    case ModStatus::Applies: return "Applies";
    case ModStatus::AlreadyThere: return "Already There";
    case ModStatus::ConflictsWithYourValues: return "Conflicts With Your Values";
    case ModStatus::OverriddenByALaterMod: return "Overridden By A Later Mod";
    }
    return "";
}

namespace {

// True when text is a value the game files gave, not a marker of a value that
// could not be read.
bool IsReadValue(std::string_view text) { return text != kValueNotFound && text != kNotSet; }

}  // namespace

ModPlan PlanMods(const std::vector<Mod>& mods, const ValueGrid& current, const ValueGrid& original) {
    ModPlan plan;
    plan.summaries.resize(mods.size());
    std::map<int, std::vector<std::size_t>> byCell;  // cell index: its changes in load order
    for (std::size_t m = 0; m < mods.size(); ++m) {
        const std::vector<ModChange>& changes = mods[m].changes;
        for (std::size_t k = 0; k < changes.size(); ++k) {
            const ModChange& c = changes[k];
            const int cell = CellIndex(c.i, c.j, c.step);
            if (cell < 0 || c.step == 0) continue;
            ModEntry e;
            e.mod = static_cast<int>(m);
            e.change = static_cast<int>(k);
            e.i = c.i;
            e.j = c.j;
            e.step = c.step;
            e.record = c.record;
            e.currentRecord = std::string(current.GetArrayValue(c.i, c.j, 0));
            e.column = ModColumnName(c.i, c.step);
            e.original = std::string(original.GetArrayValue(c.i, c.j, c.step));
            e.modOriginal = c.original;
            e.modValue = c.value;
            e.current = std::string(current.GetArrayValue(c.i, c.j, c.step));
            e.recordDiffers = e.currentRecord != e.record;
            if (e.recordDiffers) e.status = ModStatus::ConflictsWithYourValues;
            else if (e.current == e.modValue) e.status = ModStatus::AlreadyThere;
            else if (e.current == e.modOriginal || (e.current == e.original && IsReadValue(e.original)))
                e.status = ModStatus::Applies;
            else e.status = ModStatus::ConflictsWithYourValues;
            byCell[cell].push_back(plan.entries.size());
            plan.entries.push_back(std::move(e));
        }
    }
    for (const auto& [cell, entries] : byCell) {
        ModEntry& last = plan.entries[entries.back()];
        bool differ = false;
        bool earlierModValueThere = false;  // the rules file holds what an earlier mod of the run sets
        for (std::size_t at : entries) {
            ModEntry& e = plan.entries[at];
            if (e.modValue == last.modValue) continue;
            differ = true;
            if (e.status == ModStatus::AlreadyThere) earlierModValueThere = true;
            e.status = ModStatus::OverriddenByALaterMod;
        }
        if (!differ) continue;
        // The later mod wins over an earlier one of the same run, whether the
        // earlier one would set its value now or the rules file holds it already.
        if (earlierModValueThere && last.status == ModStatus::ConflictsWithYourValues && !last.recordDiffers)
            last.status = ModStatus::Applies;
        last.winner = true;
        plan.conflicts.push_back({last.i, last.j, last.step, entries});
    }
    for (const ModEntry& e : plan.entries) {
        ModSummary& s = plan.summaries[static_cast<std::size_t>(e.mod)];
        switch (e.status) {
        case ModStatus::Applies: ++s.applied; break;
        case ModStatus::AlreadyThere: ++s.alreadyThere; break;
        case ModStatus::ConflictsWithYourValues: ++s.conflicts; break;
        case ModStatus::OverriddenByALaterMod: ++s.overridden; break;
        }
    }
    return plan;
}

int ApplyPlan(const ModPlan& plan, ValueGrid& grid) {
    int changed = 0;
    for (const ModEntry& e : plan.entries) {
        if (e.status != ModStatus::Applies || grid.GetArrayValue(e.i, e.j, e.step) == e.modValue) continue;
        grid.SetArrayValue(e.i, e.j, e.step, e.modValue);
        ++changed;
    }
    return changed;
}

}  // namespace quorvane
