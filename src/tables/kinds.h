// The record-table and edit-dialog kinds as data: which class edits which
// sections, with which captions, buttons and help links.
#pragma once

#include <vector>

#include "gui/section_model.h"

namespace quorvane::gui {

// A field whose label is a button. `helpTitle` names the help tab it opens;
// nullptr means the spell-ID list.
struct HelpLink {
    int column;
    const char* helpTitle;
};

enum class EditLayout {
    FiveToALine,
    LastTwoAtEnds,     // the last two columns take the first and fifth place of their line
    LastLineOfFour,    // the last line holds four wider places
};

struct EditKind {
    const char* className;
    const char* caption;
    const char* discardText;
    EditLayout layout;
    std::vector<HelpLink> help;
};

struct TableKind {
    const char* className;
    const char* templateCaption;
    int firstSection;
    int lastSection;
    const EditKind* edit;
};

inline constexpr const char* kSaveChangesText = "Save Changes And Close Tab";
inline constexpr const char* kCloseTabText = "Close Tab";
inline constexpr const char* kSpellIdClass = "CSpellID";
inline constexpr const char* kSpellIdCaption = "Spell ID's";
inline constexpr const char* kChooserClass = "CSection";
inline constexpr const char* kChooserCaption = "Select a Section";

// The seven record-table kinds, sections 0 .. 22.
const std::vector<TableKind>& TableKinds();
// The table kind of a record section, or nullptr.
const TableKind* TableKindOf(int section);
// The help link of column `column` of an edit kind, or nullptr for a plain label.
const HelpLink* FindHelpLink(const EditKind& kind, int column);

}  // namespace quorvane::gui
