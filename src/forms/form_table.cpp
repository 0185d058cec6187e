#include "forms/form_table.h"

#include <locale>
#include <sstream>
#include <string>

#include "catalogue/catalogue.h"
#include "catalogue/codec.h"
#include "catalogue/layout.h"

namespace quorvane::gui {

namespace {

FormSpec Pairs(int section, const char* cls, const char* caption, int secondColumnFrom = -1,
               std::vector<const char*> lines = {}) {
    FormSpec f{section, cls, caption, FormShape::Pairs,
               secondColumnFrom < 0 ? Rows(section) : secondColumnFrom, std::move(lines), {}};
    return f;
}

std::vector<FormSpec> BuildTable() {
    std::vector<FormSpec> t;
    t.push_back(Pairs(23, "CHealing", "Healing Spell Strength"));
    t.push_back(Pairs(24, "CRetort", "Book and Retort Maximum"));
    t.push_back(Pairs(25, "CGoldMana", "Gold and Mana Maximum"));
    t.push_back(Pairs(26, "CWizardPicks", "Wizard Picks"));
    t.push_back(Pairs(27, "CItemRewards", "Item Reward Value"));
    t.push_back(Pairs(28, "CCityDistance", "City Settle Distance"));
    t.push_back(Pairs(29, "CRetortEffects", "Retort Effects"));
    t.push_back(Pairs(30, "CSpellCharges", "Spell Charges Costs"));
    t.push_back(Pairs(31, "CCreateItem", "Enchant Item Base Costs"));
    t.push_back(Pairs(32, "CItemMaximum", "Create Item Max Values"));
    FormSpec destroyed = Pairs(33, "CDestroyedItems", "Destroy Item Mana");
    destroyed.only25or50 = true;
    t.push_back(destroyed);
    FormSpec books{34, "CSpellsPerBook", "Number of Normal Spells Per Book of School",
                   FormShape::ColumnsOfOneRow, 1, {},
                   {"2 Books", "3 Books", "4 Books", "5 Books", "6 Books", "7 Books", "8 Books",
                    "9 Books", "10 Books", "11 Books"}};
    t.push_back(books);
    t.push_back(Pairs(35, "CRandomEvents", "Number of Turns Before Random Events Start"));
    t.push_back(Pairs(36, "CMapGeneration", "Map Generation", 9));
    t.push_back(Pairs(37, "CBookResearch", "Bonus Research From Books", 8));
    t.push_back(Pairs(38, "CHireHero", "Hero For Hire Formula :", 3,
                      {"Hero For Hire Formula :", "Chance = ((Fame / i + j) x 2 if Famous) ",
                       "if more then k% Capped At l% Additional m% For AI Players",
                       "Then Check Heroes Already Hired :",
                       "Chance = Chance / ((#Heroes + 1) / 2 + 1)"}));
    t.push_back(Pairs(39, "CHireMerc", "Merc For Hire Formula :", 3,
                      {"Merc For Hire Formula :", "Chance = ((Fame / i + 1) x j if Famous)",
                       "if more then k% Capped At l% Additional m% For AI Players"}));
    t.push_back(Pairs(40, "CItemBuyChance", "Buy Item Chance"));
    t.push_back(Pairs(41, "CMisc", "Misc Settings"));
    t.push_back(Pairs(42, "CFoodBonuses", "Food Building Bonuses :"));
    return t;
}

}  // namespace

const FormSpec* FindFormSpec(int section) {
    static const std::vector<FormSpec> table = BuildTable();
    if (section < kFirstFormSection || section > kLastFormSection) return nullptr;
    return &table[static_cast<std::size_t>(section - kFirstFormSection)];
}

bool IsDestroyedItemsValue(std::string_view text) {
    // The stream itself does the reading, so "50x" reads 50, " +25" reads 25,
    // "x50" reads nothing and an out-of-range number fails.
    std::istringstream in{std::string(text)};
    in.imbue(std::locale::classic());
    int value = 0;
    if (!(in >> value)) return false;
    return CodecOf(Codec::DestroyedItems).Refusal(value, false) == nullptr;
}

}  // namespace quorvane::gui
