// Keys the editing windows share: Ctrl+W presses a window's "Close Tab",
// Ctrl+F goes to its filter, and Shift+F10 or the Menu key opens the menu of
// the row a list stands on.
#pragma once

class QAbstractButton;
class QEvent;
class QLineEdit;
class QWidget;

namespace quorvane::gui {

// Ctrl+W anywhere in `window` presses `closeTab`.
void AddCloseTabKey(QWidget* window, QAbstractButton* closeTab);
// Ctrl+F anywhere in `window` puts the focus into `filter`, its text selected.
void AddFindKey(QWidget* window, QLineEdit* filter);
// True for Shift+F10 or the Menu key, pressed, and for the context-menu
// request the window system makes of them.
bool IsMenuKey(const QEvent* event);

}  // namespace quorvane::gui
