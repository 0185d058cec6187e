// quorvane-editor: started with the game folder as its working directory.
//   quorvane-editor --version   prints the version and exits, without a window
#include <QApplication>

#include <csignal>
#include <cstdio>
#include <cstring>

#include "app/artwork.h"
#include "app/editor_app.h"
#include "gui/placement.h"
#include "app/platform.h"

int main(int argc, char** argv) {
    // Answered before the application object exists, so no display is needed.
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
        std::fputs("quorvane-editor " QUORVANE_VERSION "\n", stdout);
        return 0;
    }
#ifdef SIGXFSZ
    // A file-size limit makes the write that passes it fail, and the failure
    // is reported and cleaned up, instead of ending the editor mid-write.
    std::signal(SIGXFSZ, SIG_IGN);
#endif
    quorvane::gui::PreparePlatform();
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QString::fromLatin1(quorvane::gui::kOrganization));
    QApplication::setApplicationName(QString::fromLatin1(quorvane::gui::kApplication));
    QApplication::setWindowIcon(quorvane::gui::EditorIcon());
    quorvane::gui::CQuorvaneEditorApp editor;
    return editor.Run();
}
