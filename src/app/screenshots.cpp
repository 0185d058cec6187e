// quorvane-screenshots DIR: renders the editor's windows offscreen into PNG
// files in DIR, on a sample game folder made in a temporary directory so that
// the tables and forms show data.
#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QProgressBar>
#include <QSettings>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "app/artwork.h"
#include "app/changes_window.h"
#include "app/editor_app.h"
#include "app/mods_window.h"
#include "app/screenshot_renderers.h"
#include "app/settings_dialog.h"
#include "catalogue/catalogue.h"
#include "catalogue/layout.h"
#include "forms/constant_form.h"
#include "io/path_text.h"
#include "mods/mod_file.h"
#include "sample/sample_game.h"
#include "tables/section_chooser.h"

using namespace quorvane;
using namespace quorvane::gui;

namespace {

bool Save(QWidget* w, const QDir& out, const QString& name) {
    QApplication::processEvents();
    const QString path = out.filePath(name);
    const bool ok = w->grab().save(path, "PNG");
    std::fprintf(stderr, "%s %s\n", ok ? "wrote" : "could not write", qPrintable(path));
    return ok;
}

}  // namespace

int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: quorvane-screenshots DIR\n");
        return 2;
    }
    QDir out(QDir(QDir::currentPath()).absoluteFilePath(QString::fromLocal8Bit(argv[1])));
    if (!out.mkpath(QStringLiteral("."))) {
        std::fprintf(stderr, "cannot create %s\n", argv[1]);
        return 1;
    }
    QTemporaryDir work;
    if (!work.isValid()) return 1;
    QDir::setCurrent(work.path());  // the debug log goes there
    const std::filesystem::path game = PathFromQ(work.filePath(QStringLiteral("game")));
    std::filesystem::path failed;
    if (!WriteSampleGame(game, 1, &failed)) {
        std::fprintf(stderr, "cannot write the sample game: %s\n", PathText(failed).c_str());
        return 1;
    }

    auto settings = std::make_unique<QSettings>(work.filePath(QStringLiteral("settings.ini")), QSettings::IniFormat);
    int failures = 0;
    CQuorvaneEditorApp editor(
        std::move(settings),
        [](const QString& text, const QString&) { std::fprintf(stderr, "report: %s\n", qPrintable(text)); },
        [](QWidget*) { return QMessageBox::Discard; });
    QApplication::setWindowIcon(EditorIcon());
    editor.InitInstance();
    CQuorvaneEditorDlg* window = editor.mainWindow();
    failures += !Save(window, out, QStringLiteral("main_window.png"));

    QDialog* about = CreateAboutBox(window);
    about->show();
    failures += !Save(about, out, QStringLiteral("about_box.png"));
    delete about;

    window->OnSettings();
    auto* dialog = window->findChild<CSettings*>(QStringLiteral("CSettings"));
    if (!dialog) return 1;
    dialog->gameFolderField()->setText(PathToQ(game));
    dialog->rulesFileField()->setText(work.filePath(QStringLiteral("rules.txt")));
    failures += !Save(dialog, out, QStringLiteral("settings.png"));

    // One picture of the bar half way through an extraction.
    bool caught = false;
    QObject::connect(dialog->progressBar(), &QProgressBar::valueChanged, dialog, [&](int value) {
        if (value == 22 && !caught) {
            caught = true;
            failures += !Save(dialog, out, QStringLiteral("settings_extracting.png"));
        }
    });
    dialog->Extract();

    RenderTableScreenshots(editor.context(), out.absolutePath());
    RenderFormScreenshots(editor.context(), out.absolutePath());

    // The Changes window over a few edits: two new spell costs, a new heal
    // amount, and a byte the write refuses. A first write puts the sample's
    // differing second copies in line, so that only the edits are listed.
    dialog->WriteBack();
    Session& session = editor.session();
    const auto bump = [&session](int i, int j, int step) {
        const std::string now(session.grid.GetArrayValue(i, j, step));
        session.grid.SetArrayValue(i, j, step, std::to_string(std::atoi(now.c_str()) + 5));
    };
    bump(2, 4, 8);
    bump(2, 11, 8);
    bump(23, 0, 1);
    for (int step = 1; step < Columns(2); ++step)
        if (GetFieldKind(2, 17, step) == FieldKind::Byte) {
            session.grid.SetArrayValue(2, 17, step, "300");
            break;
        }
    CChanges* changes = OpenChangesWindow(editor.context());
    changes->resize(900, 260);
    failures += !Save(changes, out, QStringLiteral("changes.png"));
    changes->close();

    // The Mods window over two mods that change one spell's cost
    // differently, and a heal amount the editor holds a value of its own of.
    const auto mod = [&](const char* name, int cost) {
        Mod m;
        m.name = name;
        m.changes.push_back({2, 6, 8, std::string(session.grid.GetArrayValue(2, 6, 0)),
                             std::string(session.grid.GetArrayValue(2, 6, 8)), std::to_string(cost), 0});
        m.changes.push_back({23, 0, 1, std::string(session.grid.GetArrayValue(23, 0, 0)), "1", "40", 0});
        const std::filesystem::path file = PathFromQ(work.filePath(QString::fromLatin1(name) + QStringLiteral(".qmod")));
        WriteModFile(file, {}, m, editor.reports());
        return file;
    };
    CMods* mods = OpenModsWindow(editor.context());
    mods->AddMod(mod("Cheap Spells", 20));
    mods->AddMod(mod("Cheaper Spells", 15));
    failures += !Save(mods, out, QStringLiteral("mods.png"));
    mods->close();
    return failures == 0 ? 0 : 1;
}
