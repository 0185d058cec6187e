// Window placement in the settings store, one group per class name:
// "VertPos", "HorizPos", "Width", "Height". A stored placement with any entry
// missing (read as 9999) is ignored as a whole; one that would leave the
// window too small, larger than the screen or with its title bar on no
// screen is not used either.
#pragma once

#include <QString>

class QSettings;
class QWidget;

namespace quorvane::gui {

inline constexpr const char* kOrganization = "Quorvane Editor By Ostwin";
inline constexpr const char* kApplication = "Quorvane Editor";
inline constexpr int kPlacementDefault = 9999;

// Stored list column widths below this many pixels (a column that could not
// be seen or grabbed again) are not used; the column gets its default width.
inline constexpr int kSmallestColumnWidth = 8;

// Writes the window's normal (restored) rectangle under `section`.
void SavePlacement(QSettings& settings, const QString& section, const QWidget* window);
// Moves and sizes the window from `section` unless an entry equals 9999.
// The stored rectangle is used only when its size is at least the window's
// minimum and at most the screen's available area, and at least one corner
// of the title bar above it lies on a screen; otherwise the window gets its
// default size, centred on the screen (and the next save replaces the bad
// values). Returns true when the stored rectangle was used.
bool RestorePlacement(QSettings& settings, const QString& section, QWidget* window);
// Restores now, then saves under `section` each time the window is moved or
// resized, and when it is hidden or closed.
void TrackPlacement(QSettings& settings, const QString& section, QWidget* window);

// Shows the window, restores it when minimised, and brings it to the front
// with the keyboard focus.
void BringToFront(QWidget* window);

// Moves `window` (its size kept) beside `origin`, the window it was opened
// from: right of it where its screen has room, else left of it, else over it
// but moved down and right, never centred on it. `cascade` (0, 1, 2, ...)
// counts the windows already opened from `origin`: each further one stands
// that many steps lower (and, over the origin, further right), so that none
// hides another.
void PlaceBeside(QWidget* window, const QWidget* origin, int cascade);

}  // namespace quorvane::gui
