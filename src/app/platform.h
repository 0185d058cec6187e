// The one place for calls that differ between Linux, Windows and macOS.
#pragma once

namespace quorvane::gui {

// Called before the application object is made.
void PreparePlatform();

}  // namespace quorvane::gui
