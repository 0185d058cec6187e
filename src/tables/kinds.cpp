#include "tables/kinds.h"

namespace quorvane::gui {

namespace {

const char* const kDiscard = "Discard Changes and Close Tab";

const EditKind kItemPwrEdit{"CitemPwrEdit",
                            "Item Powers Edit",
                            kDiscard,
                            EditLayout::FiveToALine,
                            {{1, "Can Be Enchanted on (1)"},
                             {2, "Can Be Enchanted on (2)"},
                             {4, "Power Type"},
                             {5, "Stat Bonus / Spell Books"},
                             {6, "Specials (1)"},
                             {7, "Specials (2)"},
                             {8, "Specials (3)"},
                             {9, "Specials (4)"}}};

const EditKind kBuildingEdit{"CBuildingEdit",
                             "Building Edit",
                             kDiscard,
                             EditLayout::LastTwoAtEnds,
                             {{1, "Building Requierment One"},
                              {2, "Building Requierment Two"},
                              {3, "Building Replaces"},
                              {4, "Building Regular Exp"},
                              {5, "Building Veteran Exp"},
                              {6, "Building Magical Weapons"}}};

const EditKind kSpellEdit{"CSpellEdit",
                          "Spell Edit",
                          kDiscard,
                          EditLayout::FiveToALine,
                          {{4, "Spell Book Section"},
                           {5, "Magic Realm"},
                           {6, "Spell Casting Eligibility"},
                           {8, "Casting Cost"},
                           {10, "Casting Sound Effect"},
                           {12, "Summoned Unit Values"}}};

const EditKind kUnitEdit{"CUnitEdit",
                         "Unit Edit",
                         kDiscard,
                         EditLayout::FiveToALine,
                         {{3, "Ranged Attack Type"},
                          {8, "Units Movement"},
                          {9, "Units Cost"},
                          {10, "Summoned Units Cost"},
                          {11, "Units Race Code"},
                          {12, "Units Building Requiered"},
                          {13, "Units Hero Item Slots"},
                          {16, "Units Hit Points"},
                          {18, "Transport Capacity"},
                          {19, "Units Figurines"},
                          {20, "Unit Contruction Capacity"},
                          {22, "Units Movement Flags"},
                          {24, "Units Imunity Flags"},
                          {25, "Units Attribute Flags (1)"},
                          {26, "Units Attribute Flags (2)"},
                          {28, "Units Attribute Flags (3)"},
                          {29, "Units Attribute Flags (4)"},
                          {30, "Units Special Attacks (1)"},
                          {31, "Units Special Attacks (2)"}}};

const EditKind kRaceEdit{"CRaceEdit",
                         "Race Edit",
                         "Discard Changes And Close Tab",
                         EditLayout::FiveToALine,
                         {{1, "Number of Banned Buildings"},
                          {2, "1st Building Banned"},
                          {3, "2nd Building Banned"},
                          {4, "3rd Building Banned"},
                          {5, "4th Building Banned"},
                          {6, "5th Building Banned"},
                          {7, "6th Building Banned"},
                          {8, "7th Building Banned"},
                          {9, "Outpost Growth"},
                          {10, "City Growth"},
                          {11, "Housing Picture"}}};

const EditKind kUpkeepEdit{"CUpkeepEdit", "Upkeep Cost Edit", kDiscard, EditLayout::FiveToALine, {}};

const EditKind kHeroStatsEdit{"CHeroStatsEdit",
                              "Hero Stats Edit",
                              kDiscard,
                              EditLayout::LastLineOfFour,
                              {{5, "Hero Abilities (1)"},
                               {6, "Hero Abilities (2)"},
                               {7, "Hero Abilities (3)"},
                               {8, "Hero Abilities (4)"},
                               {11, nullptr},
                               {13, nullptr},
                               {15, nullptr},
                               {17, nullptr}}};

}  // namespace

const std::vector<TableKind>& TableKinds() {
    static const std::vector<TableKind> kinds = {
        {"CItemPwr", "Item Powers", 0, 0, &kItemPwrEdit},
        {"CBuilding", "Buildings", 1, 1, &kBuildingEdit},
        {"CSpell", "Spells", 2, 2, &kSpellEdit},
        {"CUnits", "Units", 3, 19, &kUnitEdit},
        {"CRaceData", "Race Data", 20, 20, &kRaceEdit},
        {"CUpkeepCost", "Spell Upkeep Costs", 21, 21, &kUpkeepEdit},
        {"CHeroStats", "Hero Stats", 22, 22, &kHeroStatsEdit},
    };
    return kinds;
}

const TableKind* TableKindOf(int section) {
    for (const TableKind& kind : TableKinds())
        if (section >= kind.firstSection && section <= kind.lastSection) return &kind;
    return nullptr;
}

const HelpLink* FindHelpLink(const EditKind& kind, int column) {
    for (const HelpLink& link : kind.help)
        if (link.column == column) return &link;
    return nullptr;
}

}  // namespace quorvane::gui
