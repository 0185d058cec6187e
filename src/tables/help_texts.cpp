#include "tables/help_texts.h"

#include <cstddef>

#include "catalogue/catalogue.h"

namespace quorvane::gui {

namespace {

using Lines = std::vector<std::string>;

HelpTabText Text(std::string title, Lines lines) {
    return HelpTabText{std::move(title), HelpShape::Text, std::move(lines), {}, CodeRange::None, {}};
}

HelpTabText Flags(std::string title, Lines meanings, Lines outro = {}) {
    return HelpTabText{std::move(title), HelpShape::FlagByte, {}, std::move(meanings), CodeRange::None,
                       std::move(outro)};
}

HelpTabText Codes(std::string title, Lines intro, CodeRange range = CodeRange::All, Lines outro = {}) {
    return HelpTabText{std::move(title), HelpShape::BuildingCodes, std::move(intro), {}, range, std::move(outro)};
}

const Lines kYesNo = {"1 for yes 0 for no"};

Lines Join(Lines a, const Lines& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

std::vector<HelpTabText> MakeTabs() {
    std::vector<HelpTabText> t;
    // Race editor: banned buildings.
    t.push_back(Codes("1st Building Banned",
                      {"First building banned for this race - ignored if the number of banned buildings is 0."}));
    t.push_back(Codes("2nd Building Banned",
                      {"Second building banned for this race - ignored if the number of banned buildings is 1 or "
                       "lower."}));
    t.push_back(Codes("3rd Building Banned",
                      {"Third building banned for this race - ignored if the number of banned buildings is 2 or "
                       "lower."}));
    t.push_back(Codes("4th Building Banned",
                      {"Fourth building banned for this race - ignored if the number of banned buildings is 3 or "
                       "lower."}));
    t.push_back(Codes("5th Building Banned",
                      {"Fith building banned for this race - ignored if the number of banned buildings is 4 or "
                       "lower."}));
    t.push_back(Codes("6th Building Banned",
                      {"Sixth building banned for this race - ignored if the number of banned buildings is 5 or "
                       "lower."}));
    t.push_back(Codes("7th Building Banned",
                      {"Seventh building banned for this race - ignored if the number of banned buildings is 6 or "
                       "lower."}));
    // Building editor.
    t.push_back(Codes("Building Replaces", {"The building,if any,this building replaces."}));
    t.push_back(Codes("Building Requierment One", {"First building required for this building to be buildable."}));
    t.push_back(Codes("Building Requierment Two", {"Second building required for this building to be buildable."}));
    t.push_back(Text("Building Magical Weapons", Join({"Does building confer magic weapons to units?"}, kYesNo)));
    t.push_back(Text("Building Regular Exp", Join({"Does building confer Regular XP to units?"}, kYesNo)));
    t.push_back(Text("Building Veteran Exp", Join({"Does building confer Veteran XP to units?"}, kYesNo)));
    // Race editor: the other fields.
    t.push_back(Text("Number of Banned Buildings",
                     {"Number of Buildings Banned - any building requiering a banned building is unreachable and "
                      "does not need to be listed."}));
    t.push_back(Text("Outpost Growth", {"Outpost percent chance of growth each turn."}));
    t.push_back(Text("City Growth", {"City population growth modifier (in units of 10 people per turn)."}));
    t.push_back(Text("Housing Picture", {"Housing picture (0 wood frame house, 1 tree house, 2 mud hut)."}));
    // Item power editor.
    t.push_back(Text("Stat Bonus / Spell Books",
                     {"Number of Spell Books Requiered or The Stat Bonus if it is a Stat Bonus."}));
    t.push_back(Text("Power Type", {"Power type of the special",
                                    "Number values are as follows :",
                                    "0\t+ to Attack Stat Bonus",
                                    "1\t+ to Hit Stat Bonus",
                                    "2\t+ to Defend Stat Bonus",
                                    "3\t+ to Spell Skill Stat Bonus",
                                    "4\t- to Spell Save Stat Bonus",
                                    "5\t+ to Movement Stat Bonus",
                                    "6\t+ to Resistance Stat Bonus",
                                    "7\tNature Specials",
                                    "9\tNature Specials",
                                    "264\tSorcery Specials",
                                    "265\tSorcery Specials",
                                    "521\tChaos Specials",
                                    "777\tLife Specials",
                                    "1033\tDeath Specials"}));
    t.push_back(Flags("Can Be Enchanted on (1)",
                      {"Can be enchanted on a Sword", "Can be enchanted on a Mace", "Can be enchanted on a Axe",
                       "Can be enchanted on a Bow", "Can be enchanted on a Staff", "Can be enchanted on a Wand",
                       "Can be enchanted on Misc items", "Can be enchanted on a shield"}));
    t.push_back(Flags("Can Be Enchanted on (2)", {"Can be enchanted on Chain armor", "Can be enchanted on Plate armor",
                                                  "Unused", "Unused", "Unused", "Unused", "Unused", "Unused"}));
    t.push_back(Flags("Specials (1)", {"Path Finding", "Regeneration", "Wraithform", "Destruction", "Cloak of Fear",
                                       "Lightning", "Guardian Wind", "Vampiric"}));
    t.push_back(Flags("Specials (2)", {"Invisibility", "Haste", "Edurance", "Stoning", "Chaos", "Elemental Armor",
                                       "Resist Elements", "Water Walking"}));
    t.push_back(Flags("Specials (3)", {"Phantasmal", "True Sight", "Holy Avenger", "Flaming", "Magic Immunity",
                                       "Resist Magic", "Flight", "Death"}));
    t.push_back(Flags("Specials (4)", {"Invulnerability", "Righteousness", "Merging", "Planar Travel", "Giant Strength",
                                       "Lion Heart", "Bless", "Power Drain"}));
    // Spell editor.
    t.push_back(Text("Spell Book Section", {"The Section is the spell book,values are :", "0\tSpecial Spells",
                                            "1\tSummoning ", "2\tEnchantment", "3\tCity Spells", "4\tUnit Spells",
                                            "5\tCombat Spells"}));
    t.push_back(Text("Magic Realm", {"The Magic Realm the spell belogs to,values are :", "0\tNature", "1\tSorcery",
                                     "2\tChaos", "3\tLife", "4\tDeath", "5\tArcane"}));
    t.push_back(Text("Spell Casting Eligibility",
                     {"Casting Eligibility", "Number values are as follows :", "254\tCombat only", "255\tCombat only",
                      "  0\tCombat or overland, overland cost 5x combat cost", "  1\tOverland only",
                      "  2\tCombat or overland, overland cost 5x combat cost",
                      "  3\tCombat or overland, overland cost 5x combat cost, fri'\n'y city only",
                      "  4\tCombat or overland, overland cost same as combat cost",
                      "  5\tOverland only, only while banished"}));
    t.push_back(Text("Casting Cost", {"Casting cost,combat cost if less than overland."}));
    t.push_back(Text("Casting Sound Effect", {"Sound effect when casting spell."}));
    t.push_back(Text("Summoned Unit Values",
                     {"Summoning Spell : the unit code,Others Unknown.", "Summoned unit codes are :"}));
    // Unit editor.
    t.push_back(Text("Ranged Attack Type",
                     {"Ranged Attack Type Valid Values :",
                      "255\t\tNone",
                      "10\t\tRock",
                      "20\t\tArrow",
                      "21\t\tBulletSlingers",
                      "30\t\tChaos Magic\t\tWarlock, Chaos Warrior, Storm Giant",
                      "31\t\tChaos Magic\t\tWarrior Mage, Magician, Witch, Golden One, Unknown, Magicians, Warlocks",
                      "32\t\tSorcery Magic\t\tSage, Illusionist",
                      "33\t\tChaos Magic\t\tNecromancer, Shadow Demons, Demon Lord",
                      "34\t\tNature Magic\t\tWind Mage",
                      "35\t\tNature Magic\t\tHealer, Priestess, Shamans, Priests",
                      "36\t\tChaos Magic\t\tDark Elves (Spearmen, Swordsmen, Halberdiers, Cavalry, Nightmares)",
                      "37\t\tNature Magic\t\tSprites",
                      "38\t\tNature Magic\t\tDruid",
                      "100\t\tThrown Weapons",
                      "101\t\tFire Breath",
                      "102\t\tLightning Breath\t\tSky Drake",
                      "103\t\tStoning Gaze\t\tBasilisk, Gorgons",
                      "104\t\tMultiple Gaze\t\tChaos Spawn",
                      "105\t\tDeath Gaze\t\tNight Stalker "}));
    t.push_back(Text("Units Movement", {"Number of spaces a unit can move,in 1/2 spaces."}));
    t.push_back(Text("Units Cost",
                     {"Heroes :",
                      "The cost to hire a hero also determines the fame needed. The fame level is (hire_cost - 100.) "
                      "/ 10. rounded down.",
                      "Normal Units :", "Cost to build.", "Summoned Units * : ",
                      "Cost to place in lair, node or rampaging force.",
                      "*  The cost in the unit table is not used for units summoned by a wizard. For changing spell "
                      "costs see the Spells section.",
                      "* Editing the costs in the unit tables should change the average number of creatures in "
                      "lairs."}));
    t.push_back(Text("Summoned Units Cost", {"Summoned Units : Upkeep Cost.", "Others : Not Used."}));
    t.push_back(Text("Units Race Code",
                     {"What race the unit is.", "Valid Values are :", "00\tBarbarian", "01\tBeastmen", "02\tDark Elf",
                      "03\tDraconian", "04\tDwarven", "05\tGnoll", "06\tHalfling", "07\tHigh Elf", "08\tHigh Men",
                      "09\tKlackon", "10\tLizardman", "11\tNomad", "12\tOrc", "13\tTroll",
                      "14\tGeneric (ship / catapult)", "15\tArcane (magic spirit)", "16\tNature", "17\tSorcery",
                      "18\tChaos", "19\tLife", "20\tDeath"}));
    const Lines normalUnits = {"Normal Units :", "Building requiered to create this unit."};
    t.push_back(Codes("Units Building Requiered", normalUnits, CodeRange::UnitsOnly,
                      {"Hero Units :", "Unique value for each hero.", "Summoned Units :", "Always 06."}));
    t.push_back(Codes("Units Hero Item Slots", normalUnits, CodeRange::UnitsOnly,
                      {"Hero Units : ", "Item Slot Configuration - Values are :", "00 sword/shield/ring",
                       "01 bow/shield/ring", "02 mixed/shield/ring", "03 wand/ring/ring", "Summoned Units :",
                       "Always 00."}));
    t.push_back(Text("Units Hit Points", {"Number of hit points per figure this stack of units has."}));
    t.push_back(Text("Transport Capacity", {"Number of units this unit can carry."}));
    t.push_back(Text("Units Figurines", {"Number of figurine's in this stack of units."}));
    t.push_back(Text("Unit Contruction Capacity", {"1 : yes it can build roads.   0 : no it cannot."}));
    t.push_back(Flags("Units Movement Flags",
                      {"This bit is set for all cavalry type units.  Its effect is unknown.", "Sailing", "Swimming",
                       "Flying", "Teleporting", "Forester", "Mountaineer", "Merging"}));
    t.push_back(Flags("Units Imunity Flags",
                      {"Fire", "Stoning", "Missiles", "Illusions", "Cold", "Magic", "Death", "Poison"}));
    t.push_back(Flags("Units Attribute Flags (1)",
                      {"Weapon Immunity",
                       "This bit is set for all flying units, but clearing it has no apparent effect on the unit.",
                       "Lucky", "Summon Demons 1", "Summon Demons 2", "Caster 20 MP", "Caster 40 MP",
                       "Show the race name before the unit name in display window. Heroes unaffected."}));
    t.push_back(Flags("Units Attribute Flags (2)", {"Healing Spell", "Fire Ball Spell", "Doombolt Spell", "Immolation",
                                                    "Web Spell", "Cause Fear Spell", "Resistance to All",
                                                    "Holy Bonus"}));
    t.push_back(Flags("Units Attribute Flags (3)",
                      {"This bit is set for all summoned units.See Note One.", "Large Shield", "Plane Shift",
                       "Wall Crusher", "Healer", "Create Outpost", "Invisibility", "Create Undead"},
                      {"Note One : Setting this causes :",
                       "Upkeep mana instead of gold+food,upkeep calculations unaffected.",
                       "Prevents some spells from being cast on the unit.", "Prevents the unit from gaining XP.",
                       "May have other unknown effects."}));
    t.push_back(Flags("Units Attribute Flags (4)",
                      {"Long Range", "Land Corruption : adds Land Corruption to the gui(not completed).",
                       "Meld With Node", "Non Corporeal", "Wind Walking", "Regeneration", "Purify",
                       "Negate First Strike"}));
    t.push_back(Flags("Units Special Attacks (1)", {"Armor Piercing", "First Strike", "Poison attack", "Life Stealing",
                                                    "Automatic Damage", "Destruction", "Illusionary attack",
                                                    "Stoning Touch"}));
    t.push_back(Flags("Units Special Attacks (2)", {"Unused", "Death Touch", "Power Drain", "Dispel Evil", "Unused",
                                                    "Unused", "Unused", "Unused"}));
    // Hero-stats editor.
    t.push_back(Flags("Hero Abilities (1)", {"Leader", "Leader*", "Unused", "Legendary", "Legendary*", "Unused",
                                             "Blademaster", "Blademaster*"}));
    t.push_back(Flags("Hero Abilities (2)", {"Unused", "Armsmaster ", "Armsmaster*", "Legendary", "Constitution",
                                             "Constitution*", "Unused", "Might"}));
    t.push_back(Flags("Hero Abilities (3)", {"Might*", "Unused", "Arcane Power", "Arcane Power*", "Unused", "Sage",
                                             "Sage*", "Unused"}));
    t.push_back(Flags("Hero Abilities (4)", {"Prayermaster", "Prayermaster*", "Agility*", "Lucky", "Charmed", "Noble",
                                             "Unused", "Agility"}));
    return t;
}

}  // namespace

const std::vector<HelpTabText>& HelpTabs() {
    static const std::vector<HelpTabText> tabs = MakeTabs();
    return tabs;
}

const HelpTabText* FindHelpTab(const std::string& title) {
    for (const HelpTabText& tab : HelpTabs())
        if (tab.title == title) return &tab;
    return nullptr;
}

const std::vector<std::string>& FlagHeaderLines() {
    static const std::vector<std::string> lines = {
        "This is the order of the flags :",
        " 00001001",
        "|           |",
        "flag #7       flag #0",
        "If a flag is set (=1), that means the corresponding statement is true. Otherwise, it's false.",
    };
    return lines;
}

const std::vector<BuildingCode>& BuildingCodes() {
    static const std::vector<BuildingCode> codes = {
        {3, "Barracks"},           {4, "Armory"},
        {5, "Fighters Guild"},     {6, "Armorers Guild"},
        {7, "War College"},        {8, "Smithy"},
        {9, "Stables"},            {10, "Animists Guild"},
        {11, "Fantastic Stable"},  {12, "Shipwrights Guild"},
        {13, "Ship Yard"},         {14, "Maritime Guild"},
        {15, "Sawmill"},           {16, "Library"},
        {17, "Sages Guild"},       {18, "Oracle"},
        {19, "Alchemists Guild"},  {20, "University"},
        {21, "Wizards Guild"},     {22, "Shrine"},
        {23, "Temple"},            {24, "Parthenon"},
        {25, "Cathedral"},         {26, "Marketplace"},
        {27, "Bank"},              {28, "Merchants Guild"},
        {29, "Granary"},           {30, "Farmers Market"},
        {31, "Foresters Guild"},   {32, "Builders Hall"},
        {33, "Mechanicians Guild"}, {34, "Miners Guild"},
        {35, "City Walls"},        {101, "Forest Terrain"},
        {110, "Water Terrain"},    {200, "Mineral Terrain Specials"},
    };
    return codes;
}

const char* CodeHeading(CodeRange range) {
    return range == CodeRange::UnitsOnly ? "Valid Values Are :" : "Valid Values are :";
}

namespace {

// The hero units: the first section of units, before those of each race.
constexpr int kHeroUnitsSection = 3;

// A value line: optional leading blanks, the value's digits, then its
// meaning after `separator` ("\t" on the text tabs, " " on the hero slot
// lines), further parts of it after tabs ("30\t\tChaos Magic\t\tWarlock").
bool ReadCodeLine(const std::string& line, char separator, HelpCode* out) {
    std::size_t k = line.find_first_not_of(' ');
    const std::size_t first = k;
    while (k < line.size() && line[k] >= '0' && line[k] <= '9') ++k;
    if (first == std::string::npos || k == first || k - first > 5 || k >= line.size() || line[k] != separator)
        return false;
    out->text = line.substr(first, k - first);
    out->code = std::stoi(out->text);
    std::vector<std::string> parts;
    std::size_t at = k;
    while (at < line.size()) {
        at = line.find_first_not_of(separator == '\t' ? "\t" : " \t", at);
        if (at == std::string::npos) break;
        std::size_t end = line.find('\t', at);
        if (end == std::string::npos) end = line.size();
        parts.push_back(line.substr(at, end - at));
        at = end;
    }
    if (parts.empty()) return false;
    std::string meaning = parts.front();
    for (std::size_t p = 1; p < parts.size(); ++p) meaning += (p == 1 ? " (" : ", ") + parts[p];
    if (parts.size() > 1) meaning += ")";
    for (char& c : meaning)
        if (c == '\n' || c == '\r') c = ' ';
    // A meaning the tab ends with a blank reads the same without it.
    while (!meaning.empty() && meaning.back() == ' ') meaning.pop_back();
    out->meaning = std::move(meaning);
    return true;
}

}  // namespace

std::vector<HelpCode> HelpCodes(const std::string& title, int section) {
    const HelpTabText* tab = FindHelpTab(title);
    if (!tab) return {};
    std::vector<HelpCode> codes;
    HelpCode code;
    if (tab->codes == CodeRange::UnitsOnly && section == kLastUnitSection) return {};  // summoned units
    if (tab->codes == CodeRange::UnitsOnly && section == kHeroUnitsSection) {
        for (const std::string& line : tab->outro)
            if (ReadCodeLine(line, ' ', &code)) codes.push_back(code);
        return codes;
    }
    if (tab->codes != CodeRange::None) {
        const int count = tab->codes == CodeRange::UnitsOnly ? kUnitBuildingCodes : static_cast<int>(BuildingCodes().size());
        for (int k = 0; k < count; ++k) {
            const BuildingCode& b = BuildingCodes()[static_cast<std::size_t>(k)];
            codes.push_back({b.code, std::to_string(b.code), b.name});
        }
        return codes;
    }
    if (tab->shape == HelpShape::Text)
        for (const std::string& line : tab->intro)
            if (ReadCodeLine(line, '\t', &code)) codes.push_back(code);
    return codes;
}

}  // namespace quorvane::gui
