// The help-tab window: a fixed text explaining one encoded field.
#pragma once

#include <string>

class QDialog;

namespace quorvane::gui {

inline constexpr const char* kHelpTabObjectName = "HelpTab";

// Creates and shows a new help tab titled `title` (a new window on every
// call; it deletes itself when closed). Returns nullptr for an unknown title.
QDialog* OpenHelpTab(const std::string& title);

}  // namespace quorvane::gui
