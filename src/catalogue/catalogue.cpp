#include "catalogue/catalogue.h"

#include <array>
#include <vector>

namespace quorvane {

namespace {

struct SectionInfo {
    const char* header;
    const char* display;
};

const std::array<SectionInfo, kSectionCount> kSections = {{
    {"ITEM POWERS", "Item Powers"},
    {"BUILDINGS", "Buildings"},
    {"SPELLS", "Spells"},
    {"HER0 UNITS", "Hero Units"},
    {"GENERIC UNITS", "Generic Units"},
    {"BARBARIAN UNITS", "Barbarian Units"},
    {"BEASTMEN UNITS", "Beastmen Units"},
    {"DARK ELF UNITS", "Dark Elf Units"},
    {"DRACONIAN UNITS", "Draconian Units"},
    {"DWARVEN UNITS", "Dwarven Units"},
    {"GNOLL UNITS", "Gnoll units"},
    {"HALFLING UNITS", "Halfling Units"},
    {"HIGH ELF UNITS", "High Elf Units"},
    {"HIGH MEN UNITS", "High Men Units"},
    {"KLACKON UNITS", "Klackon Units"},
    {"LIZARDMEN UNITS", "Lizardmen Units"},
    {"NOMAD UNITS", "Nomad Units"},
    {"ORC UNITS", "Orc Units"},
    {"TROLL UNITS", "Troll Units"},
    {"SUMMONED UNITS", "Summoned Units"},
    {"RACE DATA", "Race Data"},
    {"ENCHANTMENT UPKEEP COSTS", "Enchantment Upkeep"},
    {"HEROES SPECIAL STATS", "Hero Stats"},
    {"HEALING SPELLS", "Healing Spells"},
    {"BOOK AND RETORT MAX", "Book & Retort Max"},
    {"MANA AND GOLD CAP", "Gold & Mana Max"},
    {"WIZARDS PICK POINTS", "Wizards Picks"},
    {"ITEM VALUE REWARDS", "Item Rewards Value"},
    {"MINMUM CITY DISTANCE", "City Distance"},
    {"RETORT EFFECTS", "Retort Effects"},
    {"CREATE SPELL CHARGE COSTS", "Create Spell Charges Costs"},
    {"CREATE BASE ITEM COSTS", "Create Item Base Costs"},
    {"CREATE ITEM MAXIMUM VALUE", "Create Item Maximum Costs"},
    {"MANA FROM DESTROYED ITEMS", "Mana From Destroyed Items"},
    {"GRANTED SPELLS PER NUMBER OF BOOKS", "Spells Per Number of Books"},
    {"TURNS BEFORE RANDOM EVENTS", "Random Event Chance Starts Turn"},
    {"MAP GENERATION", "Map Generation"},
    {"RESEARCH BONUS FROM BOOKS", "Research Bonus From Books"},
    {"HERO CHANCE FOR HIRE", "Hero Join"},
    {"MERCENARY CHANCE FOR HIRE", "Mercenary Join"},
    {"CHANCE ITEM FOR SALE", "Item Sale Chance"},
    {"MISC Settings", "Misc Values"},
    {"FOOD BUILDING BONUSES", "Food Buildings"},
}};

using Names = std::vector<std::string>;

const Names kItemPowerColumns = {"Name", "Placed On (1)", "Placed On (2)", "Mana Cost", "Power Type",
                                 "Bonus/Require", "Specials (1)", "Specials (2)", "Specials (3)", "Specials (4)"};
const Names kBuildingColumns = {"Name", "Requierment (1)", "Requierment (2)", "Replaces", "Reg XP", "Veteran XP",
                                "Magical", "Upkeep", "Food/Pop Bonus", "Unknown", "Unknown", "Mana", "Research",
                                "Build Cost", "Unknown", "Unknown", "Unknown"};
const Names kSpellColumns = {"Name", "Unknown", "Unknown", "Unknown", "Book", "Realm", "Eligibility", "Unknown",
                             "Cost", "Research", "Sound", "Unknown", "Summon", "Unknown", "Unknown", "Unknown"};
const Names kUnitColumns = {"Name", "Melee", "Ranged", "Range Type", "Ranged Ammo", "To Hit", "Defense", "Resist",
                            "Move Rate", "Cost", "Summoned", "Race Code", "Building", "Item Slot", "Unknown",
                            "Unknown", "Hit Points", "Unknown", "Transport", "# Figure's", "Construction", "Unknown",
                            "Move Flags", "Unknown", "Imunities", "Attributes (1)", "Attributes (2)", "Unknown",
                            "Attributes (3)", "Attributes (4)", "Specials (1)", "Specials (2)", "Unknown"};
const Names kRaceColumns = {"Name", "# of Banned Buildings", "1st Banned Building", "2nd Banned Building",
                            "3rd Banned Building", "4th Banned Building", "5th Banned Building",
                            "6th Banned Building", "7th Banned Building", "Outpost Growth", "City Growth",
                            "Housing Picture"};
const Names kUpkeepColumns = {"Name", "Cost Per Turn"};
const Names kHeroStatColumns = {"Name", "Number of Random Picks", "Unknown", "Random Pick Type", "Unknown",
                                "Inherent Abilities(1)", "Inherent Abilities(2)", "Inherent Abilities(3)",
                                "Inherent Abilities(4)", "Casting Skill", "Unknown", "Known Spell", "Unknown",
                                "Known Spell", "Unknown", "Known Spell", "Unknown", "Known Spell", "Unknown"};

const Names kUpkeepLabels = {
    "Immolation", "Guardian Wind", "Berserk", "Cloak of Fear", "Black Channels", "Wraithform", "Regeneration",
    "Pathfinding", "Water Walking", "Resist Elements", "Elemental Armor", "Stone Skin", "Iron Skin", "Endurance",
    "Spell Lock", "Invisibility", "Wind Walking", "Flight", "Resist Magic", "Magic Immunity", "Flame Blade",
    "Eldritch Weapon", "True Sight", "Holy Weapon", "Heroism", "Bless", "Lion Heart", "Giant Strength",
    "Planar Trave", "Holy Armor", "Righteousness", "Invulnerability", "Wall of Fire", "Chaos Rift", "Dark Rituals",
    "Evil Presence", "Cursed Lands", "Pestilence", "Cloud of Shadow", "Famine", "Flying Fortress", "Nature Ward",
    "Sorcery Ward", "Chaos Ward", "Life Ward", "Death Ward", "Nature's Eye", "Earth Gate", "Stream of Life",
    "Gaia's Blessing", "Inspirations", "Prosperity", "Astral Gate", "Heavenly Light", "Consecration",
    "Wall of Darkness", "Altar of Battle", "Nightshade", "Eternal Night", "Evil Omens", "Zombie Mastery",
    "Aura of Majesty", "Wind Mastery", "Suppress Magic", "Time Stop", "Nature Awareness", "Nature's Wrath",
    "Herb Mastery", "Chaos Surge", "Doom Mastery", "Great Wasting", "Meteor Storm", "Armageddon", "Tranquility",
    "Life Force", "Crusade", "Just Cause", "Holy Arms", "Planar Sea", "Charm of Life", "Detect Magic", "Awareness"};

const Names kHeroLabels = {"Dwarf", "Barbarian", "Sage", "Dervish", "Beastmaster", "Bard", "Orc Warrior",
                           "Healer", "Huntress", "Thief", "Druid", "War Monk", "Warrior Mage", "Magician",
                           "Assassin", "Wind Mage", "Ranger", "Draconian", "Witch", "Golden One", "Ninja", "Rogue",
                           "Amazon", "Warlock", "Unknown", "Illusionist", "Swordsman", "Priestess", "Paladin",
                           "Black Knight", "Elven Archer", "Knight", "Necromancer", "Chaos Warrior", "Chosen"};

const Names kHireLabels = {"Var i", "Var j", "Var k", "Var l", "Var m"};

// Row labels of sections 21 .. 42, in section order.
const std::array<Names, 22> kLabels = {{
    kUpkeepLabels,
    kHeroLabels,
    {"Heal Amount"},
    {"Book Max", "Retort Max", "Reward Book Over Retort %"},
    {"Mana Max", "Gold Max"},
    {"Player Picks", "AI Picks On Easy or Normal", "AI Picks On Hard", "AI Picks On Impossible",
     "Extra AI Picks On Easy or Normal", "Extra Extra AI Picks On Hard", "Extra AI Picks On Impossible",
     "Extra AI Picks On Impossible + 1"},
    {"Item Value From 1 Book", "Item Value from 2 Books"},
    {"Settle City Distance Minimum"},
    {"Runemaster Casting Cost % Discount", "Artificer Create Item % Discount", "Sage Master Research Bonus %",
     "Conjurer Research Bonus %", "Runemaster Research Bonus %", "Chaos Master Research Bonus %",
     "Nature Master Research Bonus %", "Sorcery Master Research Bonus %"},
    {"Spell Charges Cost"},
    {"Sword", "Mace", "Axe", "Bow", "Staff", "Wand", "Misc", "Shield", "Chain", "Plate"},
    {"Create Item Value Max", "Create Artifact Value Max"},
    {"25% or 50% Mana From Items"},
    {"Spells Per Number of Books"},
    {"# Turns Before Chance of Random Events"},
    {"Distance To Connect Cities With Roads", "Chance of Same Race on Continent", "Lower Primary Monsters",
     "Number of Secondary Monsters In Lair", "Number of Monsters In Lair", "Weak Lair Monster Cash On Myrror",
     "Weak Lair Monster Cash On Arcanus", "Normal Lair Monster Cash On Myrror", "Normal Lair Monster Cash On Arcanus",
     "Number of Weak Lairs", "Number of Normal Lairs", "Number of Towers", "Landmass Large Continent Minimum Tiles",
     "Landmass Medium Continent Minimum Tiles", "Landmass Small Continent Minimum Tiles",
     "Landmass Large Continent Total Tiles", "Landmass Medium Continent Total Tiles",
     "Landmass Small Continent Total Tiles"},
    {"Minimum Chaos Books For Research Bonus", "Added To Chaos Books For Research Bonus",
     "Chaos Books Research Bonus %", "Minimum Nature Books For Research Bonus",
     "Added To Nature Books For Research Bonus", "Nature Books Research Bonus %",
     "Minimum Sorcery Books For Research Bonus", "Added To Sorcery Books For Research Bonus",
     "Sorcery Books Research Bonus %", "Minimum Life Books For Research Bonus",
     "Added To Life Books For Research Bonus", "Life Books Research Bonus %",
     "Minimum Death Books For Research Bonus", "Added To Death Books For Research Bonus",
     "Death Books Research Bonus %"},
    kHireLabels,
    kHireLabels,
    {"Chance To Be Offered An Item For Sale"},
    {"City Walls Defense", "Broken Wall Defense", "Large Shield", "Noble Gold Per Turn",
     "Ai Aggressive After X # Turns", "Max Spells On A Unit", "Max City Size", "Implicit Animist Guild Race",
     "Cast Spell Mana Pump Power"},
    {"Wild Game", "Grainery", "Farmers Market", "Forresters Guild", "Animist Guild - Food Per Farmer"},
}};

const std::string kEmpty;
const std::string kError = "Error";

const Names* ColumnNames(int i) {
    if (i == 0) return &kItemPowerColumns;
    if (i == 1) return &kBuildingColumns;
    if (i == 2) return &kSpellColumns;
    if (i >= 3 && i <= 19) return &kUnitColumns;
    if (i == 20) return &kRaceColumns;
    if (i == 21) return &kUpkeepColumns;
    if (i == 22) return &kHeroStatColumns;
    return nullptr;
}

bool ValidSection(int i) { return i >= 0 && i < kSectionCount; }

}  // namespace


const std::string& Header(int i) {
    static const std::vector<std::string> headers = [] {
        std::vector<std::string> h;
        for (const auto& s : kSections) h.emplace_back(s.header);
        h.emplace_back("END");
        h.emplace_back("%version=0.2500000");
        return h;
    }();
    if (i < 0 || i > kHeaderVersion) return kEmpty;
    return headers[static_cast<std::size_t>(i)];
}

const std::string& DisplayName(int i) {
    static const std::vector<std::string> names = [] {
        std::vector<std::string> n;
        for (const auto& s : kSections) n.emplace_back(s.display);
        return n;
    }();
    return ValidSection(i) ? names[static_cast<std::size_t>(i)] : kEmpty;
}

const std::string& ColumnName(int i, int step) {
    const Names* names = ColumnNames(i);
    if (!names || step < 0 || step >= static_cast<int>(names->size())) return kError;
    return (*names)[static_cast<std::size_t>(step)];
}

const std::string& RowLabel(int i, int j) {
    if (i < 21 || i >= kSectionCount) return kEmpty;
    const Names& labels = kLabels[static_cast<std::size_t>(i - 21)];
    if (j < 0 || j >= static_cast<int>(labels.size())) return kEmpty;
    return labels[static_cast<std::size_t>(j)];
}


}  // namespace quorvane
