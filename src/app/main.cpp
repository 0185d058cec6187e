// quorvane-editor: started with the game folder as its working directory.
#include <QApplication>

#include "app/artwork.h"
#include "app/editor_app.h"
#include "gui/placement.h"
#include "app/platform.h"

int main(int argc, char** argv) {
    quorvane::gui::PreparePlatform();
    QApplication app(argc, argv);
    QApplication::setOrganizationName(quorvane::gui::kOrganization);
    QApplication::setApplicationName(quorvane::gui::kApplication);
    QApplication::setWindowIcon(quorvane::gui::EditorIcon());
    quorvane::gui::CQuorvaneEditorApp editor;
    return editor.Run();
}
