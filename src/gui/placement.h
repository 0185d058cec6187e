// Window placement in the settings store, one group per class name:
// "VertPos", "HorizPos", "Width", "Height". A stored placement with any entry
// missing (read as 9999) is ignored as a whole.
#pragma once

#include <QString>

class QSettings;
class QWidget;

namespace quorvane::gui {

inline constexpr const char* kOrganization = "Quorvane Editor By Ostwin";
inline constexpr const char* kApplication = "Quorvane Editor";
inline constexpr int kPlacementDefault = 9999;

// Writes the window's normal (restored) rectangle under `section`.
void SavePlacement(QSettings& settings, const QString& section, const QWidget* window);
// Moves and sizes the window from `section` unless an entry equals 9999.
// Returns true when it did.
bool RestorePlacement(QSettings& settings, const QString& section, QWidget* window);
// Restores now, then saves under `section` each time the window is moved or
// resized.
void TrackPlacement(QSettings& settings, const QString& section, QWidget* window);

}  // namespace quorvane::gui
