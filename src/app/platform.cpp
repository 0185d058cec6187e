#include "app/platform.h"

#include <QCoreApplication>

namespace quorvane::gui {

void PreparePlatform() {
#if defined(Q_OS_MACOS)
    // The main window's four commands are plain items on its own menu bar;
    // the shared macOS bar shows no item that is not a menu, so keep the bar
    // in the window as on the other systems.
    QCoreApplication::setAttribute(Qt::AA_DontUseNativeMenuBar);
#endif
    // Windows and Linux need nothing: the settings store is the registry
    // under HKEY_CURRENT_USER\Software\<organization> on Windows and a
    // configuration file elsewhere, chosen by QSettings itself.
}

}  // namespace quorvane::gui
