// The section chooser ("Select a Section", class CSection) and the section
// dispatcher that opens the window editing a chosen section.
#pragma once

#include <QString>

class QWidget;

namespace quorvane::gui {

struct GuiContext;

// Opens the chooser unless one is open (registry kind "CSection"). Does not
// test the data-loaded flag; the Sections command does that. Returns the
// chooser.
QWidget* OpenSectionChooser(GuiContext& ctx, QWidget* owner);

// Opens (or shows again) the window of section `section` and captions it with
// the section's display name. Returns the window, or nullptr for an index
// outside 0 .. 42.
QWidget* DispatchSection(GuiContext& ctx, int section);

// Class name of the window kind that edits `section` ("CItemPwr", "CUnits",
// "CHealing", ...); empty outside 0 .. 42.
QString SectionWindowClass(int section);

}  // namespace quorvane::gui
