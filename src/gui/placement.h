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

}  // namespace quorvane::gui
