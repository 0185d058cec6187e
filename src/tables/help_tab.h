// The help-tab window: a fixed text explaining one encoded field.
#pragma once

#include <string>

class QDialog;
class QWidget;

namespace quorvane::gui {

inline constexpr const char* kHelpTabObjectName = "HelpTab";

// Creates and shows a new help tab titled `title` (a new window on every
// call; it deletes itself when closed), beside `beside` when given, the
// `cascade`-th opened from it (see PlaceBeside). Returns nullptr for an
// unknown title.
QDialog* OpenHelpTab(const std::string& title, const QWidget* beside = nullptr, int cascade = 0);

}  // namespace quorvane::gui
