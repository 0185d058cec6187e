// The editor's own pictures, compiled into the program from resources/.
#pragma once

#include <QIcon>
#include <QPixmap>

namespace quorvane::gui {

// The window and application icon, at every size that was drawn.
QIcon EditorIcon();
// The main window's 800 x 600 background picture.
QPixmap BackgroundPicture();

}  // namespace quorvane::gui
