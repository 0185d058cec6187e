// Applying mods in a load order to the current values (the rules file's, or
// the editor's): a three-way comparison of each change's original and new
// value with the current value, and, where several mods change one value,
// the last one in the load order wins.
#pragma once

#include <string>
#include <vector>

#include "mods/mod_file.h"
#include "session/value_grid.h"

namespace quorvane {

enum class ModStatus {
    Applies,                  // the current value is the one the mod changes from (or the game's own): it is set
    AlreadyThere,             // the current value is the mod's value
    ConflictsWithYourValues,  // anything else, or another record at that row: not applied
    OverriddenByALaterMod,    // a later mod changes the value to something else
};

// "Applies", "Already There", "Conflicts With Your Values", "Overridden By A
// Later Mod".
const char* ModStatusText(ModStatus status);

// One change of one mod, as a table of all the listed mods' changes shows it.
struct ModEntry {
    int mod = 0;     // the mod's place in the load order
    int change = 0;  // the change's place in its mod
    int i = 0, j = 0, step = 0;
    std::string record;         // the record name the mod gives
    std::string currentRecord;  // the record name the current values hold at that row
    std::string column;         // the column's name (ModColumnName)
    std::string original;       // the value in the original game
    std::string modOriginal;    // the value the mod changes from
    std::string modValue;       // the value the mod changes to
    std::string current;        // the current value
    ModStatus status = ModStatus::Applies;
    bool recordDiffers = false;  // the conflict is the record's name
    // The change that wins among two or more mods changing this value to
    // different texts: the last of them in the load order.
    bool winner = false;
};

struct ModSummary {
    int applied = 0, alreadyThere = 0, conflicts = 0, overridden = 0;
};

// A value that two or more mods change to different texts.
struct ModConflict {
    int i = 0, j = 0, step = 0;
    std::vector<std::size_t> entries;  // ModPlan::entries indices of its changes, in load order; the last wins
};

struct ModPlan {
    std::vector<ModEntry> entries;       // the mods in load order, each mod's changes in its own order
    std::vector<ModSummary> summaries;   // one per mod
    std::vector<ModConflict> conflicts;  // in file order of their values
};

// Compares every change of the mods (in load order) with the current values;
// original holds the original game's values. A change applies where the
// current value is the mod's original, or is the original game's value and
// so not one of the user's; it is already there where the current value is
// the mod's value; it conflicts where the current value is anything else or
// where the current record name at its row differs from the mod's. A change
// is overridden when the last mod in the load order that changes its value
// changes it to another text. Pure: nothing is changed.
ModPlan PlanMods(const std::vector<Mod>& mods, const ValueGrid& current, const ValueGrid& original);

// Sets every value whose change applies; returns how many values changed.
int ApplyPlan(const ModPlan& plan, ValueGrid& grid);

}  // namespace quorvane
