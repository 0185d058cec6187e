#include "app/artwork.h"

#include <QtGlobal>

// The resources live in a static library; registering them here, on first
// use, keeps the linker from dropping them.
static void RegisterArtwork() {
    static const bool done = [] {
        Q_INIT_RESOURCE(quorvane);
        return true;
    }();
    (void)done;
}

namespace quorvane::gui {

QIcon EditorIcon() {
    RegisterArtwork();
    QIcon icon;
    for (int size : {16, 32, 48, 64, 256})
        icon.addFile(QStringLiteral(":/quorvane/icon_%1.png").arg(size), QSize(size, size));
    return icon;
}

QPixmap BackgroundPicture() {
    RegisterArtwork();
    return QPixmap(QStringLiteral(":/quorvane/background.png"));
}

}  // namespace quorvane::gui
