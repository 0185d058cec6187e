// The fixed texts of the help tabs: one entry per tab, walked by the one
// help-tab window.
#pragma once

#include <string>
#include <vector>

namespace quorvane::gui {

enum class HelpShape {
    FlagByte,       // header diagram, then "#0 = " .. "#7 = " lines
    BuildingCodes,  // description, heading, building codes in three columns
    Text,           // description lines, possibly with a value list
};

// Which building codes a building-code tab lists.
enum class CodeRange {
    None,
    All,        // 3 .. 35, 101, 110, 200 under "Valid Values are :"
    UnitsOnly,  // 3 .. 35 under "Valid Values Are :"
};

struct HelpTabText {
    std::string title;
    HelpShape shape;
    std::vector<std::string> intro;  // lines above the flags or codes; all lines of a text tab
    std::vector<std::string> flags;  // eight meanings, bit 0 first (flag-byte tabs)
    CodeRange codes = CodeRange::None;
    std::vector<std::string> outro;  // lines below the flags or codes
};

// Every help tab, in a fixed order.
const std::vector<HelpTabText>& HelpTabs();

// The tab titled `title`, or nullptr.
const HelpTabText* FindHelpTab(const std::string& title);

// Lines of the flag-byte header diagram.
const std::vector<std::string>& FlagHeaderLines();

struct BuildingCode {
    int code;
    const char* name;
};
// The 36 building codes; the first 33 (3 .. 35) are the unit tabs' list.
const std::vector<BuildingCode>& BuildingCodes();
inline constexpr int kUnitBuildingCodes = 33;

// The heading above the codes of a building-code tab.
const char* CodeHeading(CodeRange range);

// One value a help tab lists for its field, with what it means: "5" and
// "Arcane", "30" and "Chaos Magic (Warlock, Chaos Warrior, Storm Giant)".
struct HelpCode {
    int code;
    std::string text;     // the value as the tab writes it ("00", "254")
    std::string meaning;  // the rest of its line, line breaks as blanks
};
// The values the help tab titled `title` lists for a field of section
// `section`, in the tab's order: the value lines of a text tab, the codes of
// a building-code tab. The unit tabs of buildings and item slots list
// building codes for the normal units only; for heroes the item-slot tab
// lists the slot configurations and the building tab none, and for summoned
// units both list none. Empty for a tab that lists no values, and for an
// unknown title.
std::vector<HelpCode> HelpCodes(const std::string& title, int section);

}  // namespace quorvane::gui
