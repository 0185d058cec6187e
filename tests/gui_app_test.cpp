// The application shell driven as a user would: menu commands, the settings
// dialog's fields and buttons, report boxes, placement and the quit prompt.
// Every report box goes to a recorder and the save prompt is scripted, so no
// modal window ever blocks.
#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QSettings>
#include <QSignalSpy>
#include <QTableView>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <QtTest>

#include <memory>
#include <optional>

#include "actions/actions.h"
#include "app/editor_app.h"
#include "app/main_window.h"
#include "app/report_box.h"
#include "app/settings_dialog.h"
#include "catalogue/catalogue.h"
#include "gui/document.h"
#include "gui/edit_state.h"
#include "gui/edit_step.h"
#include "session/value_grid.h"
#include "tables/list_binding.h"
#include "tables/section_chooser.h"
#include "tables/table_dialog.h"
#include "sample/sample_game.h"

#include "gui_answer.h"
#include "gui_window_test.h"

using namespace quorvane;
using namespace quorvane::gui;

namespace {

struct Box {
    QString text;
    QString details;
};

QByteArray ReadAll(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return {};
    return f.readAll();
}

const char* const kGameFiles[] = {"ITEMPOW.LBX", "BUILDDAT.LBX", "SPELLDAT.LBX",
                                  "WIZARDS.EXE", "MAGIC.EXE",    "ITEMMAKE.EXE"};

// One editor in its own temporary folder: the working directory (where the
// debug log goes), the settings file, a sample game in "game".
class Editor {
public:
    Editor() : settingsPath_(dir.filePath("settings.ini")) {
        QVERIFY(dir.isValid());
        QVERIFY(QDir::setCurrent(dir.path()));
        Make();
    }
    ~Editor() {
        app.reset();
        QDir::setCurrent(QDir::tempPath());
    }

    // A new application object on the same settings file, as after a restart.
    void Make() {
        app.reset();
        app = std::make_unique<CQuorvaneEditorApp>(
            std::make_unique<QSettings>(settingsPath_, QSettings::IniFormat),
            [this](const QString& text, const QString& details) { boxes.push_back({text, details}); },
            [this](QWidget*) {
                ++prompts;
                return answer;
            });
    }
    void Start() {
        app->InitInstance();
        QVERIFY(QTest::qWaitForWindowExposed(window()));
    }
    void Restart() {
        Make();
        Start();
    }

    CQuorvaneEditorDlg* window() const { return app->mainWindow(); }
    Session& session() { return app->session(); }
    Document& document() { return app->document(); }
    // A user's edit of grid cell (i, j, s), as a form's save or a table's
    // "Close Tab" makes one: a step of the history.
    void Edit(int i, int j, int s, const std::string& text) {
        EditBuilder step(document(), QStringLiteral("Edit"));
        step.Store(i, j, s, text);
        step.Push();
    }
    QSettings& settings() { return app->settings(); }

    CSettings* settingsDialog() const { return window()->findChild<CSettings*>("CSettings"); }
    CSettings* OpenSettings() {
        window()->settingsAction()->trigger();
        return settingsDialog();
    }
    QPushButton* Button(const char* name) const { return settingsDialog()->findChild<QPushButton*>(name); }

    std::string MakeGame() {
        const QString game = dir.filePath("game");
        std::filesystem::path error;
        if (!WriteSampleGame(PathFromQ(game), 7, &error)) qWarning("%s", qPrintable(PathToQ(error)));
        return FromQ(game);
    }
    QString gamePath(const char* name) const { return dir.filePath(QStringLiteral("game/") + name); }

    // Names the game folder and the rules file in the settings dialog.
    CSettings* Prepare(const QString& rules) {
        CSettings* d = OpenSettings();
        d->gameFolderField()->setText(ToQ(MakeGame()));
        d->rulesFileField()->setText(rules);
        return d;
    }

    QTemporaryDir dir;
    std::vector<Box> boxes;
    int prompts = 0;
    QMessageBox::StandardButton answer = QMessageBox::Cancel;
    std::unique_ptr<CQuorvaneEditorApp> app;

private:
    QString settingsPath_;
};

void FlushDeletes() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

QStringList Texts(const std::vector<Box>& boxes) {
    QStringList out;
    for (const Box& b : boxes) out << b.text;
    return out;
}

}  // namespace

class GuiAppTest : public QObject {
    Q_OBJECT

private slots:
    void mainWindowHasCaptionMenuIconAndPicture();
    void backgroundIsStretchedOverTheClientArea();
    void aboutBoxIsModalWithItsTexts();
    void settingsCommandOpensOneDialog();
    void openDialogsComeToTheFront();
    void mainWindowPlacementIsSavedAndRestored();
    void settingsDialogPlacementFollowsMoves();
    void unusablePlacementsOpenAtTheDefault_data();
    void unusablePlacementsOpenAtTheDefault();
    void pathsAreStoredOnEveryChange();
    void longPathsAreCut();
    void unwritableSettingsAreToldOnce_data();
    void unwritableSettingsAreToldOnce();
    void pathsWithAnyCharactersOpen();
    void extractSaveLoadWriteThroughTheButtons();
    void editedValueReachesTheGameFiles();
    void gameFolderFieldChoosesWhereGameFilesAre();
    void refusalsBeforeAnyLoad();
    void reportBoxHasNoParentBlankCaptionOneButton();
    void reportsAreCappedDuringOneFileAction();
    void cappedSinkWithoutBoxesAppendsTheDetails();
    void closingIsRefusedWhileAnActionRuns();
    void quitWithoutEditsAsksNothing();
    void quitWithEditsOffersToSave();
    void quitEndsTheProgramWhateverIsOpen_data();
    void quitEndsTheProgramWhateverIsOpen();
    void failedSaveKeepsTheProgramRunning();
    void debugLogIsCreatedInTheWorkingDirectory();
    void debugLogThatCannotBeOpenedIsReported();
    void applicationTakesEveryWindowWithIt();
};

void GuiAppTest::mainWindowHasCaptionMenuIconAndPicture() {
    Editor e;
    e.Start();
    CQuorvaneEditorDlg* w = e.window();
    QCOMPARE(w->objectName(), QString("CQuorvaneEditorDlg"));
    QCOMPARE(w->windowTitle(), QString("Quorvane Editor"));
    QVERIFY(!w->windowIcon().isNull());
    QCOMPARE(e.app->objectName(), QString("CQuorvaneEditorApp"));

    QStringList items;
    for (QAction* a : w->menuBar()->actions()) {
        QVERIFY2(a->menu() == nullptr, qPrintable(a->text()));
        items << a->text();
    }
    QCOMPARE(items, (QStringList{"Settings", "Sections", "Quit", "About"}));
    // A global menu bar would show none of these plain items.
    QVERIFY(!w->menuBar()->isNativeMenuBar());

    QCOMPARE(w->background()->picture().size(), QSize(800, 600));
    QVERIFY(e.boxes.empty());
}

void GuiAppTest::backgroundIsStretchedOverTheClientArea() {
    Editor e;
    e.Start();
    CQuorvaneEditorDlg* w = e.window();
    w->resize(400, 300 + w->menuBar()->height());
    QTest::qWait(20);
    BackgroundView* view = w->background();
    // The view is the whole area below the menu bar.
    QCOMPARE(view->width(), w->width());
    QCOMPARE(view->geometry().bottom(), w->rect().bottom());
    QCOMPARE(view->geometry().top(), w->menuBar()->geometry().bottom() + 1);

    const QImage shown = view->grab().toImage();
    const QImage expected = view->picture().toImage().scaled(view->size(), Qt::IgnoreAspectRatio,
                                                             Qt::SmoothTransformation);
    // Corners and centre of the shown picture match the picture scaled to
    // the view; a picture drawn at its own size would differ at the far
    // corner (moon and hills move) and at the bottom edge.
    const QPoint points[] = {{2, 2}, {view->width() - 3, 2}, {view->width() / 2, view->height() / 2},
                             {2, view->height() - 3}, {view->width() - 3, view->height() - 3}};
    for (QPoint p : points) {
        const QColor a = shown.pixelColor(p * shown.devicePixelRatio());
        const QColor b = expected.pixelColor(p);
        QVERIFY2(qAbs(a.red() - b.red()) < 40 && qAbs(a.green() - b.green()) < 40 && qAbs(a.blue() - b.blue()) < 40,
                 qPrintable(QString("at %1,%2: %3 vs %4").arg(p.x()).arg(p.y()).arg(a.name(), b.name())));
    }
}

void GuiAppTest::aboutBoxIsModalWithItsTexts() {
    Editor e;
    e.Start();
    bool seen = false;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        QVERIFY(box);
        seen = true;
        QCOMPARE(box->windowTitle(), QString("About Quorvane Editor"));
        QVERIFY(box->isModal());
        QStringList labels;
        for (QLabel* l : box->findChildren<QLabel*>())
            if (!l->text().isEmpty()) labels << l->text();
        QCOMPARE(labels, QStringList{"Quorvane Editor v0.25"});
        QVERIFY(!box->findChild<QLabel*>("aboutIcon")->pixmap().isNull());
        const auto buttons = box->findChildren<QPushButton*>();
        QCOMPARE(buttons.size(), 1);
        QCOMPARE(buttons[0]->text(), QString("OK"));
        buttons[0]->click();
    });
    e.window()->aboutAction()->trigger();  // returns once OK is pressed
    QVERIFY(seen);
    QVERIFY(QApplication::activeModalWidget() == nullptr);
}

void GuiAppTest::settingsCommandOpensOneDialog() {
    Editor e;
    e.Start();
    CSettings* first = e.OpenSettings();
    QVERIFY(first);
    QVERIFY(first->isVisible());
    QVERIFY(!first->isModal());
    QCOMPARE(first->windowTitle(), QString("Settings"));
    e.window()->settingsAction()->trigger();
    QCOMPARE(e.window()->findChildren<CSettings*>().size(), 1);
    QCOMPARE(e.app->context().registry.Find("CSettings"), first);

    // The main window stays usable: About still runs while it is open.
    QVERIFY(e.window()->isEnabled());

    QStringList buttons;
    for (QPushButton* b : first->findChildren<QPushButton*>()) buttons << b->text();
    QCOMPARE(buttons, (QStringList{"Extract From Quorvane Files", "Write to Quorvane Files", "Load Text File",
                                   "Save to Text File", "OK"}));
    QStringList labels;
    for (QLabel* l : first->findChildren<QLabel*>()) labels << l->text();
    QCOMPARE(labels, (QStringList{"Wizards.exe Folder", "Text File Name"}));

    e.Button("okButton")->click();
    // Closed, it can be opened again at once, before its deletion has run.
    QVERIFY(e.app->context().registry.Find("CSettings") == nullptr);
    e.window()->settingsAction()->trigger();
    QWidget* again = e.app->context().registry.Find("CSettings");
    QVERIFY(again && again != first && again->isVisible());
    again->close();
    FlushDeletes();
    QVERIFY(e.settingsDialog() == nullptr);
    QVERIFY(e.app->context().registry.Find("CSettings") == nullptr);

    CSettings* second = e.OpenSettings();
    QVERIFY(second);
    // Escape ends it as OK does.
    QTest::keyClick(second, Qt::Key_Escape);
    FlushDeletes();
    QVERIFY(e.settingsDialog() == nullptr);
    QVERIFY(e.OpenSettings());
}

// Settings and Sections, when already open, come to the front with the
// focus, from the menu and from their keys.
void GuiAppTest::openDialogsComeToTheFront() {
    Editor e;
    e.Start();
    e.Prepare(e.dir.filePath("rules.txt"));
    e.Button("extractButton")->click();
    e.window()->sectionsAction()->trigger();
    const struct {
        const char* kind;
        QAction* command;
        Qt::Key key;
    } commands[] = {{"CSettings", e.window()->settingsAction(), Qt::Key_S},
                    {"CSection", e.window()->sectionsAction(), Qt::Key_E}};
    for (const auto& c : commands) {
        QWidget* dialog = e.app->context().registry.Find(c.kind);
        QVERIFY(dialog);
        for (bool byKey : {false, true}) {
            e.window()->activateWindow();
            QTRY_COMPARE(QApplication::activeWindow(), e.window());
            if (byKey)
                QTest::keyClick(e.window(), c.key, Qt::AltModifier);
            else
                c.command->trigger();
            QTRY_COMPARE(QApplication::activeWindow(), dialog);
            QCOMPARE(e.app->context().registry.Find(c.kind), dialog);
        }
    }
    QCOMPARE(Texts(e.boxes), QStringList());
}

void GuiAppTest::mainWindowPlacementIsSavedAndRestored() {
    Editor e;
    e.Start();
    const QSize defaultSize = e.window()->size();
    e.window()->setGeometry(130, 110, 520, 410);
    e.window()->quitAction()->trigger();
    QVERIFY(!e.window()->isVisible());
    QSettings& s = e.settings();
    QCOMPARE(s.value("CQuorvaneEditorApp/VertPos").toInt(), 110);
    QCOMPARE(s.value("CQuorvaneEditorApp/HorizPos").toInt(), 130);
    QCOMPARE(s.value("CQuorvaneEditorApp/Width").toInt(), 520);
    QCOMPARE(s.value("CQuorvaneEditorApp/Height").toInt(), 410);

    e.Restart();
    QCOMPARE(e.window()->geometry(), QRect(130, 110, 520, 410));

    // One entry at 9999: the whole stored placement is ignored.
    e.app.reset();
    {
        QSettings s2(e.dir.filePath("settings.ini"), QSettings::IniFormat);
        s2.setValue("CQuorvaneEditorApp/Width", 9999);
    }
    e.Restart();
    QCOMPARE(e.window()->size(), defaultSize);
}

void GuiAppTest::settingsDialogPlacementFollowsMoves() {
    Editor e;
    e.Start();
    CSettings* d = e.OpenSettings();
    d->setGeometry(40, 50, 460, 420);
    QCOMPARE(e.settings().value("CSettings/HorizPos").toInt(), 40);
    QCOMPARE(e.settings().value("CSettings/VertPos").toInt(), 50);
    QCOMPARE(e.settings().value("CSettings/Width").toInt(), 460);
    QCOMPARE(e.settings().value("CSettings/Height").toInt(), 420);
    d->close();
    FlushDeletes();
    QCOMPARE(e.OpenSettings()->geometry(), QRect(40, 50, 460, 420));
}

void GuiAppTest::unusablePlacementsOpenAtTheDefault_data() {
    QTest::addColumn<QString>("section");
    QTest::addColumn<QList<int>>("stored");  // left, top, width, height
    QTest::addColumn<bool>("used");
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    const QString main = "CQuorvaneEditorApp";
    QTest::newRow("zero") << main << QList<int>{0, 0, 0, 0} << false;
    QTest::newRow("negative size") << main << QList<int>{100, 100, -500, -400} << false;
    QTest::newRow("off screen") << main << QList<int>{-5000, -5000, 600, 500} << false;
    QTest::newRow("larger than the screen") << main << QList<int>{20, 40, 100000, 100000} << false;
    QTest::newRow("title bar above the screen") << main << QList<int>{100, screen.top(), 600, 500} << false;
    QTest::newRow("one title bar corner on screen") << main << QList<int>{screen.right() - 20, 100, 600, 500} << true;
    QTest::newRow("settings dialog, zero") << "CSettings" << QList<int>{0, 0, 0, 0} << false;
}

// A stored placement that would make a window unusable is not used: the
// window opens at its default size, centred, and closing it replaces the
// stored values.
void GuiAppTest::unusablePlacementsOpenAtTheDefault() {
    QFETCH(QString, section);
    QFETCH(QList<int>, stored);
    QFETCH(bool, used);
    const bool main = section == "CQuorvaneEditorApp";
    Editor e;
    e.Start();
    const QSize defaultSize = main ? e.window()->size() : e.OpenSettings()->size();
    e.app.reset();
    {
        QSettings s(e.dir.filePath("settings.ini"), QSettings::IniFormat);
        s.beginGroup(section);
        s.setValue("HorizPos", stored[0]);
        s.setValue("VertPos", stored[1]);
        s.setValue("Width", stored[2]);
        s.setValue("Height", stored[3]);
    }
    e.Restart();
    QWidget* w = main ? static_cast<QWidget*>(e.window()) : e.OpenSettings();
    if (used) {
        QCOMPARE(w->geometry(), QRect(stored[0], stored[1], stored[2], stored[3]));
        return;
    }
    QCOMPARE(w->size(), defaultSize);
    const QPoint centre = QGuiApplication::primaryScreen()->availableGeometry().center();
    QVERIFY2((w->geometry().center() - centre).manhattanLength() <= 2, qPrintable(QString("%1,%2").arg(w->x()).arg(w->y())));
    const QRect shown = w->geometry();
    if (main)
        e.window()->quitAction()->trigger();
    else
        w->close();
    QSettings& s = e.settings();
    s.beginGroup(section);
    QCOMPARE(QRect(s.value("HorizPos").toInt(), s.value("VertPos").toInt(), s.value("Width").toInt(),
                   s.value("Height").toInt()),
             shown);
    s.endGroup();
}

void GuiAppTest::pathsAreStoredOnEveryChange() {
    Editor e;
    e.Start();
    CSettings* d = e.OpenSettings();
    QCOMPARE(d->gameFolderField()->text(), QString());
    QCOMPARE(d->rulesFileField()->text(), QString());
    QCOMPARE(e.session().rulesPath, std::string());

    QTest::keyClicks(d->rulesFileField(), "ru");
    QCOMPARE(e.settings().value("Quorvane Settings/Text File").toString(), QString("ru"));
    QTest::keyClicks(d->rulesFileField(), "les.txt");
    QCOMPARE(e.settings().value("Quorvane Settings/Text File").toString(), QString("rules.txt"));
    QCOMPARE(e.session().rulesPath, std::string("rules.txt"));
    QTest::keyClicks(d->gameFolderField(), "/games/q");
    QCOMPARE(e.settings().value("Quorvane Settings/Wizard Folder").toString(), QString("/games/q"));
    // Paths reach the file actions spelled as the file system spells them.
    d->rulesFileField()->setText(QString::fromLatin1("r\xe9gles.txt"));
    QCOMPARE(QByteArray::fromStdString(e.session().rulesPath), QFile::encodeName(QString::fromLatin1("r\xe9gles.txt")));

    d->close();
    FlushDeletes();
    d = e.OpenSettings();
    QCOMPARE(d->rulesFileField()->text(), QString::fromLatin1("r\xe9gles.txt"));
    QCOMPARE(d->gameFolderField()->text(), QString("/games/q"));

    // After a restart the rules-file path is set as soon as the dialog is
    // open, before any action.
    e.Restart();
    QCOMPARE(e.session().rulesPath, std::string());
    d = e.OpenSettings();
    QCOMPARE(QString::fromStdString(e.session().rulesPath), QString::fromLatin1("r\xe9gles.txt"));
    QCOMPARE(e.session().gameFolder, std::string("/games/q"));
}

void GuiAppTest::pathsWithAnyCharactersOpen() {
    Editor e;
    e.Start();
    // A folder name outside Latin-1 (Greek and Cyrillic letters).
    const QString folder = e.dir.filePath(QString::fromUtf8("\xce\xb1\xce\xb2 \xd0\x94\xd0\xbc \xc3\xa9"));
    QVERIFY(QDir().mkpath(folder));
    const QString rules = folder + "/rules.txt";
    e.Prepare(rules);
    e.Button("extractButton")->click();
    QCOMPARE(Texts(e.boxes), QStringList());
    QVERIFY(QFile::exists(rules));
    // A report naming such a path shows it as typed.
    QVERIFY(QFile::remove(rules));
    e.Button("loadButton")->click();
    QCOMPARE(Texts(e.boxes), QStringList{"Load of " + rules + " Failed."});
}

void GuiAppTest::unwritableSettingsAreToldOnce_data() {
    QTest::addColumn<bool>("folder");  // a folder in the file's place, else a read-only file
    QTest::newRow("read-only file") << false;
    QTest::newRow("folder in its place") << true;
}

// A settings store that cannot be written: the first path typed brings one
// message naming the file, and nothing more is said in that run.
void GuiAppTest::unwritableSettingsAreToldOnce() {
    QFETCH(bool, folder);
    Editor e;
    e.app.reset();
    const QString store = e.dir.filePath("settings.ini");
    if (folder) {
        QVERIFY(QDir().mkdir(store));
    } else {
        QFile file(store);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        QVERIFY(QFile::setPermissions(store, QFileDevice::ReadOwner | QFileDevice::ReadGroup));
        if (QFileInfo(store).isWritable()) QSKIP("the superuser writes a read-only file");
    }
    e.Restart();
    CSettings* d = e.OpenSettings();
    QCOMPARE(Texts(e.boxes), QStringList());
    QTest::keyClicks(d->rulesFileField(), "rules.txt");
    const QString told = "The settings could not be written to " + store +
                         "; changes to them will be lost when the editor ends.";
    QCOMPARE(Texts(e.boxes), QStringList{told});
    d->gameFolderField()->setText("game");
    e.window()->quitAction()->trigger();
    QCOMPARE(Texts(e.boxes), QStringList{told});
    QVERIFY(!e.window()->isVisible());
}

void GuiAppTest::longPathsAreCut() {
    Editor e;
    e.Start();
    CSettings* d = e.OpenSettings();
    const QString longText = QString(300, QChar('a'));
    d->rulesFileField()->setText(longText);
    d->gameFolderField()->setText(QString(300, QChar('g')));
    QCOMPARE(e.session().rulesPath, std::string(254, 'a'));
    QCOMPARE(e.settings().value("Quorvane Settings/Text File").toString(), QString(254, QChar('a')));
    QCOMPARE(e.settings().value("Quorvane Settings/Wizard Folder").toString(), QString(254, QChar('g')));
    // An action uses the cut text too: the rules file it fails to open is
    // named by the first 254 characters.
    e.Button("loadButton")->click();
    QCOMPARE(Texts(e.boxes), QStringList{"Load of " + QString(254, QChar('a')) + " Failed."});
}

void GuiAppTest::extractSaveLoadWriteThroughTheButtons() {
    Editor e;
    e.Start();
    const QString rules = e.dir.filePath("rules.txt");
    CSettings* d = e.Prepare(rules);
    QProgressBar* bar = d->progressBar();
    QList<int> positions;
    connect(bar, &QProgressBar::valueChanged, this, [&](int v) { positions << v; });

    QElapsedTimer clock;
    clock.start();
    e.Button("extractButton")->click();
    const qint64 took = clock.elapsed();
    QCOMPARE(Texts(e.boxes), QStringList());
    QVERIFY(e.session().IsLoaded());
    QVERIFY(e.session().grid.GetArrayValue(0, 0, 0) != kNotSet);
    QCOMPARE(bar->minimum(), 0);
    QCOMPARE(bar->maximum(), 43);
    QCOMPARE(bar->value(), 0);
    QList<int> expected;
    for (int k = 1; k <= 43; ++k) expected << k;
    expected << 0;
    QCOMPARE(positions, expected);
    QVERIFY2(took >= 43 * 10, qPrintable(QString::number(took)));  // a 10 ms pause after each section
    const QByteArray extracted = ReadAll(rules);
    QVERIFY(!extracted.isEmpty());
    std::vector<QByteArray> game;
    for (const char* name : kGameFiles) game.push_back(ReadAll(e.gamePath(name)));

    // Saving an unchanged grid writes the same file (a saved file ends with
    // one more empty line); loading it gives the same grid; writing it back
    // leaves the game files as they were.
    QFile::remove(rules);
    positions.clear();
    e.Button("saveButton")->click();
    QCOMPARE(Texts(e.boxes), QStringList());
    QCOMPARE(ReadAll(rules), extracted + "\r\n");
    QCOMPARE(positions, expected);

    const std::string name(e.session().grid.GetArrayValue(0, 0, 0));
    e.Edit(0, 0, 0, "scratch");
    positions.clear();
    // The grid holds an edit that is not saved: the load asks first.
    auto asked = testing::AnswerNextBox("Continue");
    e.Button("loadButton")->click();
    QCOMPARE(asked->asked, 1);
    QCOMPARE(Texts(e.boxes), QStringList());
    QCOMPARE(e.session().grid.GetArrayValue(0, 0, 0), name);
    QCOMPARE(positions, expected);

    positions.clear();
    e.Button("writeButton")->click();
    QCOMPARE(Texts(e.boxes), QStringList());
    QCOMPARE(positions, expected);
    // Every value went back where it was read from: the game files changed
    // at most where a setting has a second copy, and a new extraction gives
    // the same rules file.
    const QString again = e.dir.filePath("again.txt");
    d->rulesFileField()->setText(again);
    e.Button("extractButton")->click();
    QCOMPARE(Texts(e.boxes), QStringList());
    QCOMPARE(ReadAll(again), extracted);
    for (std::size_t k = 0; k < std::size(kGameFiles); ++k)
        QCOMPARE(ReadAll(e.gamePath(kGameFiles[k])).size(), game[k].size());
}

void GuiAppTest::editedValueReachesTheGameFiles() {
    Editor e;
    e.Start();
    CSettings* d = e.Prepare(e.dir.filePath("rules.txt"));
    e.Button("extractButton")->click();
    QCOMPARE(Texts(e.boxes), QStringList());

    // Give row 0 the value that row 1 has in the first value column where
    // they differ, so the new value is one the field can hold.
    ValueGrid& grid = e.session().grid;
    int section = -1, column = -1;
    for (int i = 0; i < kSectionCount && section < 0; ++i)
        for (int s = 1; s < Columns(i) && Rows(i) > 1; ++s)
            if (grid.GetArrayValue(i, 0, s) != grid.GetArrayValue(i, 1, s)) {
                section = i;
                column = s;
                break;
            }
    QVERIFY(section >= 0);
    const std::string value(grid.GetArrayValue(section, 1, column));
    e.Edit(section, 0, column, value);
    QVERIFY(e.document().HasUnsavedEdits());
    e.Button("saveButton")->click();
    QVERIFY(!e.document().HasUnsavedEdits());
    e.Button("writeButton")->click();

    // A fresh extraction into another rules file reads the new value back
    // out of the game files.
    d->rulesFileField()->setText(e.dir.filePath("again.txt"));
    e.Edit(section, 0, column, "scratch");
    auto asked = testing::AnswerNextBox("Continue");  // the scratch edit is not saved
    e.Button("extractButton")->click();
    QCOMPARE(asked->asked, 1);
    QCOMPARE(Texts(e.boxes), QStringList());
    QCOMPARE(grid.GetArrayValue(section, 0, column), value);
}

void GuiAppTest::gameFolderFieldChoosesWhereGameFilesAre() {
    // An empty folder field: the game files are looked for in the working
    // directory, which here has none of them.
    {
        Editor e;
        e.Start();
        CSettings* d = e.OpenSettings();
        d->rulesFileField()->setText(e.dir.filePath("rules.txt"));
        e.Button("extractButton")->click();
        QVERIFY(!e.boxes.empty());
        QVERIFY2(e.boxes[0].text.startsWith("Error opening ") && e.boxes[0].text.endsWith(".LBX"),
                 qPrintable(e.boxes[0].text));
    }
    // An empty folder field with the game as working directory works.
    {
        Editor e;
        e.Start();
        const std::string game = e.MakeGame();
        QVERIFY(QDir::setCurrent(ToQ(game)));
        CSettings* d = e.OpenSettings();
        d->rulesFileField()->setText(e.dir.filePath("rules.txt"));
        e.Button("extractButton")->click();
        QCOMPARE(Texts(e.boxes), QStringList());
        QVERIFY(e.session().grid.GetArrayValue(0, 0, 0) != kNotSet);
    }
}

void GuiAppTest::refusalsBeforeAnyLoad() {
    Editor e;
    e.Start();
    e.window()->sectionsAction()->trigger();
    // The refusal, and how to get data in.
    QCOMPARE(Texts(e.boxes), QStringList{QString::fromLatin1(kSectionsRefusal) + QLatin1Char('\n') + kGetDataIn});
    QVERIFY(e.app->context().registry.Find("CSection") == nullptr);

    CSettings* d = e.Prepare(e.dir.filePath("rules.txt"));
    std::vector<QByteArray> game;
    for (const char* name : kGameFiles) game.push_back(ReadAll(e.gamePath(name)));
    e.boxes.clear();
    e.Button("writeButton")->click();
    QCOMPARE(Texts(e.boxes), QStringList{"You Must Load Or Extract A File Before Writting."});
    QCOMPARE(d->progressBar()->value(), 0);
    for (std::size_t k = 0; k < std::size(kGameFiles); ++k) QCOMPARE(ReadAll(e.gamePath(kGameFiles[k])), game[k]);
    QVERIFY(!e.session().IsLoaded());

    // A load that cannot open its file changes nothing: it says so, and
    // Sections and Save still refuse; nothing is written.
    e.boxes.clear();
    e.Button("loadButton")->click();
    QCOMPARE(Texts(e.boxes), QStringList{"Load of " + e.dir.filePath("rules.txt") + " Failed."});
    QCOMPARE(d->statusLine()->text(), QString("Load of rules.txt failed; the editor's data is unchanged."));
    QVERIFY(!e.session().IsLoaded());
    e.boxes.clear();
    e.window()->sectionsAction()->trigger();
    e.Button("saveButton")->click();
    const QString refusal = QStringLiteral("You Have Not Loaded A Data File.\nChoose Settings, then Extract From "
                                           "Quorvane Files or Load Text File.");
    QCOMPARE(Texts(e.boxes), (QStringList{refusal, refusal}));
    QCOMPARE(d->statusLine()->text(), QString("Nothing was saved: no data has been loaded or extracted yet."));
    // The Mods window refuses to apply in the same words.
    e.boxes.clear();
    d->findChild<QToolButton*>("modsButton")->click();
    QWidget* mods = e.app->context().registry.Find("CMods");
    QVERIFY(mods);
    mods->findChild<QPushButton*>("applyToEditor")->click();
    QCOMPARE(Texts(e.boxes), QStringList{refusal});
    mods->close();
    QVERIFY(e.app->context().registry.Find("CSection") == nullptr);
    QVERIFY(!QFile::exists(e.dir.filePath("rules.txt")));

    // Edits made in the grid change nothing: Write is refused at once, with
    // no question about them and nothing saved.
    e.Edit(23, 0, 1, "5");
    QVERIFY(e.document().HasUnsavedEdits());
    auto asked = std::make_shared<bool>(false);
    QTimer::singleShot(100, qApp, [asked] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            *asked = true;
            box->reject();
        }
    });
    e.boxes.clear();
    e.Button("writeButton")->click();
    QTest::qWait(150);  // the check above has run
    QVERIFY(!*asked);
    QCOMPARE(Texts(e.boxes), QStringList{"You Must Load Or Extract A File Before Writting."});
    QVERIFY(!QFile::exists(e.dir.filePath("rules.txt")));

    // Once data is there, Sections opens the chooser, and only one of it.
    auto replaced = testing::AnswerNextBox("Continue");  // the edit above is not saved
    e.Button("extractButton")->click();
    QCOMPARE(replaced->asked, 1);
    e.boxes.clear();
    e.window()->sectionsAction()->trigger();
    e.window()->sectionsAction()->trigger();
    QCOMPARE(Texts(e.boxes), QStringList());
    QWidget* chooser = e.app->context().registry.Find("CSection");
    QVERIFY(chooser);
    QVERIFY(chooser->isVisible());
    int choosers = 0;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == "CSection" && w->isVisible()) ++choosers;
    QCOMPARE(choosers, 1);
}

void GuiAppTest::reportBoxHasNoParentBlankCaptionOneButton() {
    std::unique_ptr<QMessageBox> box(CreateReportBox("Load of x.txt Failed."));
    QVERIFY(box->parent() == nullptr);
    QCOMPARE(box->windowTitle(), QString(" "));
    QCOMPARE(box->text(), QString("Load of x.txt Failed."));
    QCOMPARE(box->icon(), QMessageBox::NoIcon);
    QCOMPARE(box->buttons().size(), 1);
    QCOMPARE(box->standardButton(box->buttons()[0]), QMessageBox::Ok);
    QCOMPARE(box->detailedText(), QString());

    std::unique_ptr<QMessageBox> withDetails(CreateReportBox("3 more problems were found.", "a\nb\nc"));
    QCOMPARE(withDetails->detailedText(), QString("a\nb\nc"));
    QCOMPARE(withDetails->standardButtons(), QMessageBox::StandardButtons(QMessageBox::Ok));
}

void GuiAppTest::reportsAreCappedDuringOneFileAction() {
    Editor e;
    e.Start();
    const QString rules = e.dir.filePath("empty.txt");
    {
        QFile f(rules);
        QVERIFY(f.open(QIODevice::WriteOnly));
    }
    // What the loader reports for an empty rules file, counted without the
    // desktop program.
    RecordingErrorSink all;
    NullProgress none;
    Session reference(all, none);
    reference.rulesPath = FromQ(rules);
    LoadCommand(reference);
    QVERIFY2(all.texts.size() > 100, qPrintable(QString::number(all.texts.size())));

    e.OpenSettings()->rulesFileField()->setText(rules);
    for (int round = 0; round < 2; ++round) {  // the cap starts again with each action
        e.boxes.clear();
        e.Button("loadButton")->click();
        QCOMPARE(e.boxes.size(), std::size_t(21));
        for (int k = 0; k < 20; ++k) {
            QCOMPARE(e.boxes[k].text, ToQ(all.texts[k]));
            QVERIFY(e.boxes[k].details.isEmpty());
        }
        const qsizetype more = static_cast<qsizetype>(all.texts.size()) - 20;
        QCOMPARE(e.boxes[20].text, QString("%1 more problems were found.").arg(more));
        const QStringList details = e.boxes[20].details.split('\n');
        QCOMPARE(details.size(), more);
        QCOMPARE(details.front(), ToQ(all.texts[20]));
        QCOMPARE(details.back(), ToQ(all.texts.back()));
    }

    // Outside the file actions every report is its own box.
    e.session().dataLoaded = -1;
    e.boxes.clear();
    for (int k = 0; k < 25; ++k) e.window()->sectionsAction()->trigger();
    QCOMPARE(e.boxes.size(), std::size_t(25));
}

void GuiAppTest::cappedSinkWithoutBoxesAppendsTheDetails() {
    RecordingErrorSink inner;
    CappedErrorSink capped(inner, 2);
    for (const char* t : {"a", "b", "c", "d"}) capped.Report(t);
    QCOMPARE(inner.texts.size(), std::size_t(2));
    capped.Finish();
    QCOMPARE(inner.texts.size(), std::size_t(3));
    QCOMPARE(inner.texts[2], std::string("2 more problems were found.\nc\nd"));
    capped.Report("e");  // past the cap, and nothing left to finish twice
    capped.Finish();
    QCOMPARE(inner.texts.back(), std::string("1 more problem was found.\ne"));
    capped.Finish();
    QCOMPARE(inner.texts.size(), std::size_t(4));
}

void GuiAppTest::closingIsRefusedWhileAnActionRuns() {
    Editor e;
    e.Start();
    CSettings* d = e.Prepare(e.dir.filePath("rules.txt"));
    QSignalSpy ended(e.window(), &CQuorvaneEditorDlg::programEnded);
    bool tried = false;
    connect(d->progressBar(), &QProgressBar::valueChanged, this, [&](int v) {
        if (v != 10) return;
        tried = true;
        d->close();
        e.window()->close();
    });
    e.Button("extractButton")->click();
    QVERIFY(tried);
    QVERIFY(e.settingsDialog());
    QVERIFY(d->isVisible());
    QVERIFY(e.window()->isVisible());
    QCOMPARE(ended.count(), 0);
    QCOMPARE(d->progressBar()->value(), 0);
}

void GuiAppTest::quitWithoutEditsAsksNothing() {
    Editor e;
    e.Start();
    e.Prepare(e.dir.filePath("rules.txt"));
    e.Button("extractButton")->click();
    QSignalSpy ended(e.window(), &CQuorvaneEditorDlg::programEnded);
    e.window()->quitAction()->trigger();
    QCOMPARE(e.prompts, 0);
    QCOMPARE(ended.count(), 1);
    QVERIFY(!e.window()->isVisible());
}

void GuiAppTest::quitWithEditsOffersToSave() {
    Editor e;
    e.Start();
    const QString rules = e.dir.filePath("rules.txt");
    e.Prepare(rules);
    e.Button("extractButton")->click();
    e.Button("okButton")->click();  // the rules path outlives the dialog
    FlushDeletes();
    QSignalSpy ended(e.window(), &CQuorvaneEditorDlg::programEnded);
    const std::string original(e.session().grid.GetArrayValue(0, 0, 0));
    e.Edit(0, 0, 0, "Renamed Item");

    e.answer = QMessageBox::Cancel;
    e.window()->quitAction()->trigger();
    QCOMPARE(e.prompts, 1);
    QCOMPARE(ended.count(), 0);
    QVERIFY(e.window()->isVisible());

    // The close box asks the same.
    e.window()->close();
    QCOMPARE(e.prompts, 2);
    QVERIFY(e.window()->isVisible());

    e.answer = QMessageBox::Save;
    e.window()->quitAction()->trigger();
    QCOMPARE(e.prompts, 3);
    QCOMPARE(ended.count(), 1);
    QVERIFY(!e.window()->isVisible());
    QCOMPARE(Texts(e.boxes), QStringList());

    RecordingErrorSink errors;
    NullProgress none;
    Session check(errors, none);
    check.rulesPath = FromQ(rules);
    LoadCommand(check);
    QCOMPARE(check.grid.GetArrayValue(0, 0, 0), std::string("Renamed Item"));

    // Discard ends without writing.
    e.Restart();
    e.Prepare(rules);
    e.Button("loadButton")->click();
    e.Edit(0, 0, 0, original);
    e.answer = QMessageBox::Discard;
    QSignalSpy ended2(e.window(), &CQuorvaneEditorDlg::programEnded);
    e.window()->close();
    QCOMPARE(ended2.count(), 1);
    LoadCommand(check);
    QCOMPARE(check.grid.GetArrayValue(0, 0, 0), std::string("Renamed Item"));
}

void GuiAppTest::quitEndsTheProgramWhateverIsOpen_data() {
    QTest::addColumn<QList<int>>("sections");
    QTest::addColumn<int>("answer");  // to the quit question; NoButton: nothing is pending
    QTest::newRow("two tables") << QList<int>{1, 0} << int(QMessageBox::NoButton);
    QTest::newRow("three tables") << QList<int>{1, 0, 2} << int(QMessageBox::NoButton);
    QTest::newRow("two tables, edit saved") << QList<int>{1, 0} << int(QMessageBox::Save);
    QTest::newRow("three tables, edit discarded") << QList<int>{1, 0, 2} << int(QMessageBox::Discard);
}

// Quit ends the event loop with code 0 whatever is open, and no window of
// the editor stays on the screen; a table that would rather hide than close
// does not keep the program running.
void GuiAppTest::quitEndsTheProgramWhateverIsOpen() {
    QFETCH(QList<int>, sections);
    QFETCH(int, answer);
    Editor e;
    e.Start();
    const QString rules = e.dir.filePath("rules.txt");
    e.Prepare(rules);
    e.Button("extractButton")->click();
    e.window()->sectionsAction()->trigger();
    QList<TableDialog*> tables;
    for (int s : sections) tables << qobject_cast<TableDialog*>(DispatchSection(e.app->context(), s));
    QVERIFY(!tables.contains(nullptr));
    if (answer != QMessageBox::NoButton) {
        QStringList texts;
        for (int c = 0; c < Columns(sections.back()); ++c) texts << views::Text(tables.back()->list(), 3, c);
        texts[0] = QStringLiteral("Renamed");
        tables.back()->SaveRow(3, texts);
    }
    e.answer = static_cast<QMessageBox::StandardButton>(answer);

    QTimer watchdog;  // a program that does not end fails with 1
    watchdog.setSingleShot(true);
    connect(&watchdog, &QTimer::timeout, qApp, [] { QCoreApplication::exit(1); });
    watchdog.start(3000);
    QTimer::singleShot(0, e.window()->quitAction(), &QAction::trigger);
    QCOMPARE(QApplication::exec(), 0);
    QCOMPARE(e.prompts, answer == QMessageBox::NoButton ? 0 : 1);
    for (QWidget* w : QApplication::topLevelWidgets()) QVERIFY2(!w->isVisible(), qPrintable(w->objectName()));

    RecordingErrorSink errors;
    NullProgress none;
    Session check(errors, none);
    check.rulesPath = FromQ(rules);
    LoadCommand(check);
    QCOMPARE(check.grid.GetArrayValue(sections.back(), 3, 0) == "Renamed", answer == QMessageBox::Save);
}

void GuiAppTest::failedSaveKeepsTheProgramRunning() {
    Editor e;
    e.Start();
    CSettings* d = e.Prepare(e.dir.filePath("rules.txt"));
    e.Button("extractButton")->click();
    d->rulesFileField()->setText(e.dir.filePath("no such folder/rules.txt"));
    e.Edit(0, 0, 0, "Renamed Item");
    e.answer = QMessageBox::Save;
    QSignalSpy ended(e.window(), &CQuorvaneEditorDlg::programEnded);
    e.window()->quitAction()->trigger();
    QCOMPARE(e.prompts, 1);
    QCOMPARE(ended.count(), 0);
    QVERIFY(e.window()->isVisible());
    QCOMPARE(Texts(e.boxes),
             QStringList{"Save to " + e.dir.filePath("no such folder/rules.txt") + " failed: No such file or directory."});
    QVERIFY(e.document().HasUnsavedEdits());
}

void GuiAppTest::debugLogIsCreatedInTheWorkingDirectory() {
    Editor e;
    const QString log = e.dir.filePath("Quorvane_Editor_Debug.txt");
    {
        QFile f(log);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("an earlier run\n");
    }
    e.Start();
    QVERIFY(e.boxes.empty());
    QVERIFY(QFile::exists(log));
    QVERIFY(e.session().log.IsOpen());
    QVERIFY(!ReadAll(log).contains("an earlier run"));
}

void GuiAppTest::debugLogThatCannotBeOpenedIsReported() {
    Editor e;
    QVERIFY(QDir(e.dir.path()).mkdir("Quorvane_Editor_Debug.txt"));  // a folder in its place
    e.Start();
    QCOMPARE(Texts(e.boxes), QStringList{"Error opening Quorvane_Editor_Debug.txt"});
    QVERIFY(e.window()->isVisible());
    // Everything else works as usual.
    e.boxes.clear();
    e.Prepare(e.dir.filePath("rules.txt"));
    e.Button("extractButton")->click();
    QCOMPARE(Texts(e.boxes), QStringList());
}

// The application object owns every window: destroying it with tables, edit
// dialogs and forms open (or hidden) destroys them first, while the settings
// and the session they use still exist. Under AddressSanitizer a window left
// behind would read freed memory when it moves or closes.
void GuiAppTest::applicationTakesEveryWindowWithIt() {
    Editor e;
    e.Restart();
    CSettings* d = e.Prepare(e.dir.filePath("rules.txt"));
    for (auto* b : d->findChildren<QPushButton*>())
        if (b->text() == "Extract From Quorvane Files") QTest::mouseClick(b, Qt::LeftButton);
    QVERIFY(e.session().IsLoaded());
    e.window()->sectionsAction()->trigger();
    auto* spells = qobject_cast<TableDialog*>(DispatchSection(e.app->context(), 2));
    QVERIFY(spells);
    QTableView* list = spells->list();
    const QRect cell = list->visualRect(list->model()->index(0, 0));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, cell.center());
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, cell.center());
    QVERIFY(DispatchSection(e.app->context(), 23));
    QVERIFY(DispatchSection(e.app->context(), 5));  // a unit table, then hidden
    QTest::keyClick(e.app->context().registry.Find("CUnits"), Qt::Key_Escape);
    int windows = 0;
    for (QWidget* w : QApplication::topLevelWidgets()) windows += w->objectName() == "CSpellEdit" ? 1 : 0;
    QCOMPARE(windows, 1);
    spells->move(spells->pos() + QPoint(7, 9));
    const int left = spells->geometry().left();
    // A window with a parent (Settings, a drop-down's list) goes with its
    // parent, never before it: the parent may still use it on the way out.
    GuiContext& ctx = e.app->context();
    auto settingsWentWithMain = std::make_shared<bool>(false);
    connect(d, &QObject::destroyed, [&ctx, settingsWentWithMain] {
        *settingsWentWithMain = ctx.registry.Find(QString::fromLatin1(kMainWindowClass)) == nullptr;
    });

    e.app.reset();
    QVERIFY(*settingsWentWithMain);
    FlushDeletes();
    QCOMPARE(QApplication::topLevelWidgets().size(), 0);
    // The table saved its placement on the way out, into the live store.
    QSettings store(e.dir.filePath("settings.ini"), QSettings::IniFormat);
    QCOMPARE(store.value("CSpell/HorizPos").toInt(), left);
}

QTEST_MAIN(GuiAppTest)
#include "gui_app_test.moc"
