// No edit is lost without a question, and the user sees where an edit stands:
// the questions before quitting, saving, loading, extracting, writing,
// switching the unit window and closing a table, driven through the real
// windows and answered in the real message boxes; the marks on table cells
// and titles; the status line of the settings dialog; the keyboard.
#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QSettings>
#include <QTableView>
#include <QTemporaryDir>
#include <QToolButton>
#include <QUndoStack>
#include <QWindow>
#include <QtTest>

#include <functional>
#include <iterator>
#include <memory>

#include "actions/actions.h"
#include "app/changes_window.h"
#include "app/editor_app.h"
#include "app/main_window.h"
#include "app/settings_dialog.h"
#include "catalogue/catalogue.h"
#include "catalogue/layout.h"
#include "gui/document.h"
#include "gui/edit_step.h"
#include "session/value_grid.h"
#include "sample/sample_game.h"
#include "tables/edit_dialog.h"
#include "tables/help_tab.h"
#include "tables/section_chooser.h"
#include "tables/table_dialog.h"

#include "gui_answer.h"
#include "gui_editor.h"
#include "gui_window_test.h"

using namespace quorvane;
using namespace quorvane::gui;
using testing::AnswerNextBox;
using namespace views;
using namespace gui_test;

namespace {

constexpr int kHealing = 23;
constexpr int kDestroyedItems = 33;

QByteArray ReadFile(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return {};
    return f.readAll();
}

// Presses a button, or the menu item `item` of a menu bar, as an
// accessibility tool does.
void Press(QWidget* widget, const QString& item = {}) {
    QAccessibleInterface* a = QAccessible::queryAccessibleInterface(widget);
    for (int k = 0; a && !item.isEmpty() && k < a->childCount(); ++k)
        if (a->child(k)->text(QAccessible::Name) == item) a = a->child(k);
    QVERIFY(a && a->actionInterface());
    a->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
}

// Runs `what` once, in the pause after the tenth section of the next file
// action.
void DuringTheNextAction(CSettings* settings, std::function<void()> what) {
    auto* bar = settings->progressBar();
    auto connection = std::make_shared<QMetaObject::Connection>();
    *connection = QObject::connect(bar, &QProgressBar::valueChanged, bar, [connection, what](int v) {
        if (v != 10) return;
        QObject::disconnect(*connection);
        QTimer::singleShot(0, what);  // in the pause, not inside the step
    });
}

// Counts the events of one type a widget receives.
class EventCounter : public QObject {
public:
    EventCounter(QWidget* w, QEvent::Type type) : QObject(w), type_(type) { w->installEventFilter(this); }
    int count = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        count += event->type() == type_ ? 1 : 0;
        return false;
    }

private:
    QEvent::Type type_;
};



// A step of the history as the user makes it: after `setup`, `act` does it
// through the windows and returns the window the user is in afterwards;
// `probe` tells the state the step changes; `reveals` is the section whose
// window Undo shows again (-1 for none).
struct HistoryStep {
    const char* name;
    std::function<void(Editor&)> setup;
    std::function<QWidget*(Editor&)> act;
    std::function<QString(Editor&)> probe;
    int reveals;
};

// Grid and shown texts of one cell.
QString CellState(Editor& e, int i, int j, int s) {
    return QString::fromStdString(e.Cell(i, j, s)) + QStringLiteral(" | ") + ToQ(e.app->document().Shown(i, j, s));
}

// Saves `text` into row `row`, column `column` of `table` through its edit dialog.
void SaveThroughEditor(Editor& e, TableDialog* table, int row, int column, const QString& text) {
    Click(e.Edit(table, row, column, text), "Save Changes And Close Tab");
}

// The main window, alone: the settings dialog it owns is closed.
QWidget* MainAlone(Editor& e) {
    Click(e.settings(), "OK");
    Flush();
    return e.main();
}

// A spell cost stored into the grid by "Close Tab".
void StoreSpellCost(Editor& e) {
    TableDialog* spells = e.Table(kSpells);
    SaveThroughEditor(e, spells, 4, kSpellCost, e.NewCost(4));
    Click(spells, "Close Tab");
    Flush();
}

const HistoryStep kHistorySteps[] = {
    {"a row saved from an edit dialog", [](Editor&) {},
     [](Editor& e) -> QWidget* {
         TableDialog* spells = e.Table(kSpells);
         SaveThroughEditor(e, spells, 4, kSpellCost, e.NewCost(4));
         return spells;
     },
     [](Editor& e) { return CellState(e, kSpells, 4, kSpellCost); }, -1},
    {"Revert Row of a stored row", StoreSpellCost,
     [](Editor& e) -> QWidget* {
         TableDialog* spells = e.Table(kSpells);
         QMenu* menu = spells->NewRowMenu(4);
         for (QAction* a : menu->actions())
             if (a->text() == QStringLiteral("Revert Row")) a->trigger();
         delete menu;
         return spells;
     },
     [](Editor& e) { return CellState(e, kSpells, 4, kSpellCost); }, -1},
    {"Close Tab", [](Editor& e) { SaveThroughEditor(e, e.Table(kSpells), 4, kSpellCost, e.NewCost(4)); },
     [](Editor& e) -> QWidget* {
         Click(e.Table(kSpells), "Close Tab");
         return MainAlone(e);
     },
     [](Editor& e) { return CellState(e, kSpells, 4, kSpellCost); }, kSpells},
    {"a form saved", [](Editor&) {},
     [](Editor& e) -> QWidget* {
         QDialog* healing = e.Form(kHealing);
         healing->findChild<QLineEdit*>("value0")->setText(e.Cell(kHealing, 0, 1) == "12" ? "13" : "12");
         Click(healing, "Save Changes And Close Tab");
         return MainAlone(e);
     },
     [](Editor& e) { return CellState(e, kHealing, 0, 1); }, kHealing},
    {"Revert in the Changes window", StoreSpellCost,
     [](Editor& e) -> QWidget* {
         e.settings()->findChild<QToolButton*>("reviewButton")->click();
         auto* changes = qobject_cast<CChanges*>(e.app->context().registry.Find("CChanges"));
         if (!changes) return nullptr;
         changes->table()->selectAll();
         Click(changes, "Revert");
         MainAlone(e);
         return changes;
     },
     [](Editor& e) { return CellState(e, kSpells, 4, kSpellCost); }, -1},
    {"a unit switch that stores",
     [](Editor& e) { SaveThroughEditor(e, e.Table(5), 1, 2, e.Cell(5, 1, 2) == "9" ? "8" : "9"); },
     [](Editor& e) -> QWidget* {
         TableDialog* units = e.Table(5);
         auto asked = AnswerNextBox("Store and Switch");
         e.Table(6);
         return asked->asked == 1 ? units : nullptr;
     },
     [](Editor& e) { return CellState(e, 5, 1, 2); }, 5},
};

}  // namespace

class GuiEditsTest : public QObject {
    Q_OBJECT

private slots:
    // Loss 1: Quit with edits in a hidden table, an open edit dialog and a form.
    void quitAsksAndSavesEveryPendingEdit() {
        Editor e;
        TableDialog* spells = e.Table(kSpells);
        const QString cost4 = e.NewCost(4);
        EditDialog* saved = e.Edit(spells, 4, kSpellCost, cost4);
        QVERIFY(saved);
        Click(saved, "Save Changes And Close Tab");
        QTest::keyClick(spells->list(), Qt::Key_Escape);  // hidden, not stored
        QVERIFY(!spells->isVisible());
        const QString cost5 = e.NewCost(5);
        QVERIFY(e.Edit(spells, 5, kSpellCost, cost5));  // left open
        QDialog* healing = e.Form(kHealing);
        healing->findChild<QLineEdit*>("value0")->setText("12");
        const std::string before4 = e.Cell(kSpells, 4, kSpellCost);

        // Cancel: everything stays open and as it was.
        auto asked = AnswerNextBox("Cancel");
        e.main()->quitAction()->trigger();
        QCOMPARE(asked->asked, 1);
        QCOMPARE(asked->text, QStringLiteral("1 table, 1 edit window and 1 form hold changes that are not in the "
                                             "rules file.\nSave them before quitting?"));
        QVERIFY(e.main()->isVisible());
        QCOMPARE(Text(spells->list(), 4, kSpellCost), cost4);
        QCOMPARE(healing->findChild<QLineEdit*>("value0")->text(), QStringLiteral("12"));
        QCOMPARE(e.Cell(kSpells, 4, kSpellCost), before4);

        // Save: dialogs into the table, form and tables into the grid, the
        // grid into the rules file, then the program ends.
        QSignalSpy ended(e.main(), &CQuorvaneEditorDlg::programEnded);
        asked = AnswerNextBox("Save");
        e.main()->close();  // the close box asks the same
        QCOMPARE(asked->asked, 1);
        QCOMPARE(ended.count(), 1);
        QCOMPARE(e.InRulesFile(kSpells, 4, kSpellCost), FromQ(cost4));
        QCOMPARE(e.InRulesFile(kSpells, 5, kSpellCost), FromQ(cost5));
        QCOMPARE(e.InRulesFile(kHealing, 0, 1), std::string("12"));
        QCOMPARE(e.reports, QStringList());
    }

    void quitDiscardKeepsTheRulesFileAndARefusedFormKeepsRunning() {
        Editor e;
        const QByteArray original = ReadFile(e.rules());
        TableDialog* spells = e.Table(kSpells);
        QVERIFY(e.Edit(spells, 4, kSpellCost, e.NewCost(4)));
        QDialog* destroyed = e.Form(kDestroyedItems);
        destroyed->findChild<QLineEdit*>("value0")->setText("30");

        // Save with a value the form refuses: its message, and the program runs on.
        QSignalSpy ended(e.main(), &CQuorvaneEditorDlg::programEnded);
        auto asked = AnswerNextBox("Save");
        e.main()->quitAction()->trigger();
        QCOMPARE(asked->asked, 1);
        QCOMPARE(e.reports, QStringList{"Value Must Be Either 25 or 50."});
        QCOMPARE(ended.count(), 0);
        QVERIFY(destroyed->isVisible());
        QCOMPARE(ReadFile(e.rules()), original);

        // Discard: the program ends and the rules file is untouched.
        asked = AnswerNextBox("Discard");
        e.main()->quitAction()->trigger();
        QCOMPARE(asked->asked, 1);
        QCOMPARE(ended.count(), 1);
        QCOMPARE(ReadFile(e.rules()), original);
    }

    // Loss 2: "Save to Text File" while a table holds edits.
    void saveToTextFileAsksAboutWindows() {
        Editor e;
        TableDialog* spells = e.Table(kSpells);
        const QString cost = e.NewCost(4);
        Click(e.Edit(spells, 4, kSpellCost, cost), "Save Changes And Close Tab");
        const std::string old = e.Cell(kSpells, 4, kSpellCost);
        const QByteArray original = ReadFile(e.rules());

        auto asked = AnswerNextBox("Cancel");
        Click(e.settings(), "Save to Text File");
        QCOMPARE(asked->text, QStringLiteral("1 table holds changes that are not in the rules file.\nSave them too?"));
        QCOMPARE(ReadFile(e.rules()), original);

        asked = AnswerNextBox("Save Without Them");
        Click(e.settings(), "Save to Text File");
        QCOMPARE(asked->asked, 1);
        QCOMPARE(e.InRulesFile(kSpells, 4, kSpellCost), old);
        QVERIFY(spells->isVisible());
        QCOMPARE(Text(spells->list(), 4, kSpellCost), cost);

        asked = AnswerNextBox("Save");
        Click(e.settings(), "Save to Text File");
        QCOMPARE(asked->asked, 1);
        QCOMPARE(e.InRulesFile(kSpells, 4, kSpellCost), FromQ(cost));
        Flush();
        QVERIFY(!Window("CSpell"));  // stored as its "Close Tab" does
        QCOMPARE(e.reports, QStringList());
    }

    // Loss 3: Load and Extract over pending work; afterwards no window shows
    // data older than the grid.
    void loadAndExtractAskAndRefillEveryWindow() {
        Editor e;
        TableDialog* spells = e.Table(kSpells);
        const std::string old = e.Cell(kSpells, 4, kSpellCost);
        Click(e.Edit(spells, 4, kSpellCost, e.NewCost(4)), "Save Changes And Close Tab");
        QPointer<EditDialog> open = e.Edit(spells, 4, kSpellCost, "99");
        QDialog* healing = e.Form(kHealing);
        const QString healingValue = healing->findChild<QLineEdit*>("value0")->text();
        healing->findChild<QLineEdit*>("value0")->setText("12");

        auto asked = AnswerNextBox("Cancel");
        Click(e.settings(), "Load Text File");
        QCOMPARE(asked->text, QStringLiteral("1 table, 1 edit window and 1 form hold changes that are not in the "
                                             "rules file.\nLoading the text file replaces them. Continue?"));
        QCOMPARE(open->ValueField(kSpellCost)->text(), QStringLiteral("99"));
        QVERIFY(Text(spells->list(), 4, kSpellCost) != QString::fromStdString(old));

        asked = AnswerNextBox("Continue");
        Click(e.settings(), "Load Text File");
        QCOMPARE(asked->asked, 1);
        QCOMPARE(e.status(), QStringLiteral("Loaded 12,450 values from rules.txt. The undo history was cleared."));
        QCOMPARE(e.app->document().history().count(), 0);
        QCOMPARE(Text(spells->list(), 4, kSpellCost), QString::fromStdString(old));
        QVERIFY(open);
        QCOMPARE(open->ValueField(kSpellCost)->text(), QString::fromStdString(old));
        QCOMPARE(healing->findChild<QLineEdit*>("value0")->text(), healingValue);

        // Nothing pending now: extraction asks nothing.
        Click(e.settings(), "Extract From Quorvane Files");
        QCOMPARE(e.status(), QStringLiteral("Extracted 12,450 values from 6 game files into rules.txt."));
        // A grid edit not saved: extraction asks, Cancel keeps it.
        healing->findChild<QLineEdit*>("value0")->setText("13");
        Click(healing, "Save Changes And Close Tab");
        asked = AnswerNextBox("Cancel");
        Click(e.settings(), "Extract From Quorvane Files");
        QCOMPARE(asked->text, QStringLiteral("The editor holds edits that are not in the rules file.\n"
                                             "Extracting from the game files replaces them. Continue?"));
        QCOMPARE(e.Cell(kHealing, 0, 1), std::string("13"));
        QCOMPARE(e.reports, QStringList());

        // A load that fails keeps the edit, its unsaved mark and its history.
        e.settings()->rulesFileField()->setText(e.dir.filePath("missing.txt"));
        asked = AnswerNextBox("Continue");
        Click(e.settings(), "Load Text File");
        QCOMPARE(asked->asked, 1);
        QCOMPARE(e.status(), QStringLiteral("Load of missing.txt failed; the editor's data is unchanged."));
        QCOMPARE(e.Cell(kHealing, 0, 1), std::string("13"));
        QVERIFY(e.main()->isWindowModified());
        QCOMPARE(e.app->document().history().count(), 1);
        e.reports.clear();
    }

    // Loss 4: "Write to Quorvane Files" with grid edits not saved.
    void writeAsksToSaveFirst() {
        Editor e;
        // A first write brings the second copies of some values in line with
        // their first places; from then on the game files match the rules file.
        Click(e.settings(), "Write to Quorvane Files");
        const QString spellFile = e.dir.filePath(QStringLiteral("game/") + GameFileName(GameFileOf(kSpells)));
        const QByteArray original = ReadFile(spellFile);
        TableDialog* spells = e.Table(kSpells);
        const QString cost = e.NewCost(4);
        Click(e.Edit(spells, 4, kSpellCost, cost), "Save Changes And Close Tab");
        Click(spells, "Close Tab");

        auto asked = AnswerNextBox("Cancel");
        Click(e.settings(), "Write to Quorvane Files");
        QCOMPARE(asked->text, QStringLiteral("The editor holds edits that are not in the rules file.\n"
                                             "Writing uses the text file as it is now. Save them to it first?"));
        QCOMPARE(ReadFile(spellFile), original);

        asked = AnswerNextBox("Write As It Is");
        Click(e.settings(), "Write to Quorvane Files");
        QCOMPARE(asked->asked, 1);
        QCOMPARE(ReadFile(spellFile), original);
        QCOMPARE(e.status(),
                 QStringLiteral("The game files already held every value of rules.txt; nothing was changed."));
        QVERIFY(e.app->document().HasUnsavedEdits());

        asked = AnswerNextBox("Save and Write");
        Click(e.settings(), "Write to Quorvane Files");
        QCOMPARE(asked->asked, 1);
        QVERIFY(ReadFile(spellFile) != original);
        QCOMPARE(e.InRulesFile(kSpells, 4, kSpellCost), FromQ(cost));
        QCOMPARE(e.status(), QStringLiteral("Wrote 1 changed value into %1; backup %1.bak kept.")
                                 .arg(QString::fromLatin1(GameFileName(GameFileOf(kSpells)))));
        QCOMPARE(e.reports, QStringList());
    }

    // Loss 5: another unit section while a Unit Edit window holds typed values.
    void unitWindowAsksBeforeSwitching() {
        Editor e;
        TableDialog* units = e.Table(5);
        const std::string old = e.Cell(5, 1, 2);
        QPointer<EditDialog> editor = e.Edit(units, 1, 2, "9");

        auto asked = AnswerNextBox("Cancel");
        QCOMPARE(e.Table(6), units);
        QCOMPARE(asked->asked, 1);
        QCOMPARE(units->boundSection(), 5);
        QCOMPARE(units->windowTitle(), QString::fromStdString(DisplayName(5)));
        QVERIFY(editor && editor->isVisible());
        QCOMPARE(editor->ValueField(2)->text(), QStringLiteral("9"));

        asked = AnswerNextBox("Discard and Switch");
        e.Table(6);
        QCOMPARE(asked->asked, 1);
        QCOMPARE(units->boundSection(), 6);
        QCOMPARE(e.Cell(5, 1, 2), old);
        Flush();
        QVERIFY(editor.isNull());

        editor = e.Edit(units, 1, 2, "9");
        asked = AnswerNextBox("Store and Switch");
        e.Table(5);
        QCOMPARE(asked->asked, 1);
        QCOMPARE(units->boundSection(), 5);
        QCOMPARE(e.Cell(6, 1, 2), std::string("9"));  // into the section shown before
        QCOMPARE(Text(units->list(), 1, 2), QString::fromStdString(old));
    }

    // Loss 6: "Close Tab" while edit windows hold typed values.
    void closeTabAsksAboutTypedValues() {
        Editor e;
        TableDialog* spells = e.Table(kSpells);
        const QString cost = e.NewCost(4);
        QPointer<EditDialog> editor = e.Edit(spells, 4, kSpellCost, cost);

        auto asked = AnswerNextBox("Cancel");
        Click(spells, "Close Tab");
        QCOMPARE(asked->text, QStringLiteral("1 edit window of this table holds typed values that are not in its "
                                             "list.\nStore them into the table before it closes?"));
        QVERIFY(spells->isVisible());
        QVERIFY(editor && editor->isVisible());

        asked = AnswerNextBox("Store and Close");
        Click(spells, "Close Tab");
        QCOMPARE(asked->asked, 1);
        QCOMPARE(e.Cell(kSpells, 4, kSpellCost), FromQ(cost));
        Flush();
        QVERIFY(editor.isNull());
        QVERIFY(!Window("CSpell"));
    }

    // Input during an action: a click queued on "Write to Quorvane Files",
    // keys queued for the rules-file field, the same button and the
    // "Sections" command pressed through the accessibility interface, all
    // during an extraction, never run, then or afterwards; nor does a close
    // box pressed during a save. The bar still
    // repaints at every step, and the windows take input again afterwards.
    void inputDuringAnActionNeverRuns() {
        Editor e;
        QPushButton* write = Button(e.settings(), "Write to Quorvane Files");
        QLineEdit* field = e.settings()->rulesFileField();
        QSignalSpy clicked(write, &QPushButton::clicked);
        auto* paints = new EventCounter(e.settings()->progressBar(), QEvent::Paint);
        QStringList enabled;
        DuringTheNextAction(e.settings(), [&] {
            for (QWidget* w : QApplication::topLevelWidgets())
                if (w->isEnabled()) enabled << w->objectName();
            const QPoint at = write->rect().center();
            const QPoint global = write->mapToGlobal(at);
            for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease})
                QCoreApplication::postEvent(write, new QMouseEvent(type, at, global, Qt::LeftButton, Qt::LeftButton, {}));
            for (QEvent::Type type : {QEvent::KeyPress, QEvent::KeyRelease})
                QCoreApplication::postEvent(field, new QKeyEvent(type, Qt::Key_X, {}, QStringLiteral("x")));
            Press(write);
            Press(e.main()->menuBar(), QStringLiteral("Sections"));
        });
        Click(e.settings(), "Extract From Quorvane Files");
        QTest::qWait(50);  // whatever was still queued has run
        QCOMPARE(enabled, QStringList());
        QCOMPARE(clicked.count(), 0);
        QCOMPARE(field->text(), e.rules());
        QVERIFY(!Window("CSection"));
        QCOMPARE(QDir(e.dir.filePath("game")).entryList({"*.bak"}), QStringList());
        QVERIFY(paints->count >= 43);
        for (QWidget* w : QApplication::topLevelWidgets()) QVERIFY2(w->isEnabled(), qPrintable(w->objectName()));

        // The close box of a window (here the chooser, owned by the main
        // window) does nothing during an action either.
        e.main()->sectionsAction()->trigger();
        QPointer<QWidget> chooser = Window("CSection");
        QVERIFY(chooser);
        DuringTheNextAction(e.settings(), [&] { chooser->windowHandle()->close(); });
        Click(e.settings(), "Save to Text File");
        QVERIFY(chooser && chooser->isVisible());
        QTest::mouseClick(write, Qt::LeftButton);
        QCOMPARE(clicked.count(), 1);
    }

    // A "Close Tab" pressed during "Save Without Them" does nothing, and an
    // edit that reaches the grid while the save runs stays marked unsaved.
    // The Load button pressed during the quit-time save asks nothing either.
    void closeTabDuringASaveDoesNothing() {
        Editor e;
        TableDialog* spells = e.Table(kSpells);
        const QString cost = e.NewCost(4);
        Click(e.Edit(spells, 4, kSpellCost, cost), "Save Changes And Close Tab");
        const std::string old = e.Cell(kSpells, 4, kSpellCost);
        DuringTheNextAction(e.settings(), [&] {
            QTest::mouseClick(Button(spells, "Close Tab"), Qt::LeftButton);
            Press(Button(spells, "Close Tab"));
            // A section the save has written already.
            EditBuilder step(e.app->document(), QStringLiteral("Edit"));
            step.Store(0, 0, 0, "Renamed");
            step.Push();
        });
        auto asked = AnswerNextBox("Save Without Them");
        Click(e.settings(), "Save to Text File");
        QCOMPARE(asked->asked, 1);
        QVERIFY(spells->isVisible());
        QCOMPARE(Text(spells->list(), 4, kSpellCost), cost);
        QCOMPARE(e.Cell(kSpells, 4, kSpellCost), old);
        QCOMPARE(e.InRulesFile(kSpells, 4, kSpellCost), old);
        QVERIFY(e.InRulesFile(0, 0, 0) != "Renamed");
        QVERIFY(e.app->document().HasUnsavedEdits());
        QVERIFY(e.main()->isWindowModified());

        QSignalSpy ended(e.main(), &CQuorvaneEditorDlg::programEnded);
        DuringTheNextAction(e.settings(), [&] { Press(Button(e.settings(), "Load Text File")); });
        auto load = AnswerNextBox("Continue");
        asked = AnswerNextBox("Save");
        e.main()->quitAction()->trigger();
        QCOMPARE(asked->asked, 1);
        QCOMPARE(ended.count(), 1);
        QTest::qWait(100);
        QCOMPARE(load->asked, 0);
        QCOMPARE(e.InRulesFile(0, 0, 0), std::string("Renamed"));
        QCOMPARE(e.InRulesFile(kSpells, 4, kSpellCost), FromQ(cost));
        QCOMPARE(e.reports, QStringList());
    }

    void longNamesStayWhole_data() {
        QTest::addColumn<int>("length");
        QTest::newRow("254") << 254;
        QTest::newRow("255") << 255;
        QTest::newRow("300") << 300;
    }

    // A record name longer than the edit fields hold (254 characters) is
    // reported once when it is loaded, naming its line, and stays as it is:
    // opening its table and its edit window and storing both without an
    // edit changes nothing and marks nothing.
    void longNamesStayWhole() {
        QFETCH(int, length);
        Editor e;
        QByteArray text = ReadFile(e.rules());
        const qsizetype start = text.indexOf('"', text.indexOf("[SPELLS]")) + 1;  // the first spell's name
        const QByteArray name(length, 'n');
        text.replace(start, text.indexOf('"', start) - start, name);
        QFile file(e.rules());
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(text);
        file.close();
        Click(e.settings(), "Load Text File");
        const int line = static_cast<int>(text.left(start).count('\n')) + 1;
        QCOMPARE(e.reports, length > 254 ? QStringList{QStringLiteral("Line Number : %1. Name Longer Than 254 "
                                                                      "Characters.").arg(line)}
                                         : QStringList());
        QCOMPARE(e.Cell(kSpells, 0, 0), name.toStdString());

        TableDialog* spells = e.Table(kSpells);
        EditDialog* editor = e.Edit(spells, 0, kSpellCost, QString::fromStdString(e.Cell(kSpells, 0, kSpellCost)));
        QVERIFY(editor && !editor->IsModified());
        Click(editor, "Save Changes And Close Tab");
        QCOMPARE(Text(spells->list(), 0, 0), QString::fromLatin1(name));
        QCOMPARE(e.app->document().history().count(), 0);
        QVERIFY(!spells->isWindowModified());
        Click(spells, "Close Tab");
        QCOMPARE(e.Cell(kSpells, 0, 0), name.toStdString());
        QVERIFY(!e.app->document().HasUnsavedEdits());
    }

    // Every step of the history is undone with Ctrl+Z and done again with
    // Ctrl+Shift+Z, from the window the user is in after it. A step that
    // closed its window (Close Tab, a form's save) is undone from the main
    // window, and its window comes back as it was before the step.
    void everyStepIsUndoneAndRedoneFromTheKeyboard_data() {
        QTest::addColumn<int>("step");
        for (int k = 0; k < static_cast<int>(std::size(kHistorySteps)); ++k)
            QTest::newRow(kHistorySteps[k].name) << k;
    }

    void everyStepIsUndoneAndRedoneFromTheKeyboard() {
        QFETCH(int, step);
        const HistoryStep& h = kHistorySteps[step];
        Editor e;
        h.setup(e);
        const QString before = h.probe(e);
        QWidget* window = h.act(e);
        QVERIFY(window);
        const QString after = h.probe(e);
        QVERIFY2(after != before, qPrintable(after));
        auto press = [&](QKeyCombination keys) {
            window->activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(window));
            QTest::keyClick(window, keys.key(), keys.keyboardModifiers());
        };
        press(Qt::CTRL | Qt::Key_Z);
        QCOMPARE(h.probe(e), before);
        if (h.reveals >= 0) {
            QWidget* shown = e.app->context().registry.Find(SectionWindowClass(h.reveals));
            QVERIFY(shown && shown->isVisible());
            if (auto* table = qobject_cast<TableDialog*>(shown)) QCOMPARE(table->boundSection(), h.reveals);
        }
        press(Qt::CTRL | Qt::SHIFT | Qt::Key_Z);
        QCOMPARE(h.probe(e), after);
        QCOMPARE(e.reports, QStringList());
    }

    void marksFollowWhereAnEditStands() {
        Editor e;
        CQuorvaneEditorDlg* main = e.main();
        TableDialog* spells = e.Table(kSpells);
        QTableView* list = spells->list();
        QCOMPARE(spells->windowTitle(), QStringLiteral("Spells"));
        QVERIFY(!IsBold(list, 4, kSpellCost) && !IsItalic(list, 4, kSpellCost) && !IsTinted(list, 4, kSpellCost));

        // In the list only: bold and tinted, the table's title marked, and
        // the main window's too, also while the table is hidden.
        const QString cost = e.NewCost(4);
        Click(e.Edit(spells, 4, kSpellCost, cost), "Save Changes And Close Tab");
        QVERIFY(IsBold(list, 4, kSpellCost) && IsTinted(list, 4, kSpellCost));
        QVERIFY(!IsBold(list, 4, kSpellCost - 1));
        QVERIFY(spells->isWindowModified());
        QCOMPARE(spells->windowTitle(), QStringLiteral("Spells[*]"));
        QVERIFY(main->isWindowModified());
        QTest::keyClick(list, Qt::Key_Escape);
        QVERIFY(!spells->isVisible());
        QCOMPARE(main->windowTitle(), QStringLiteral("Quorvane Editor[*]"));
        spells = e.Table(kSpells);

        // Typing the old value back clears the marks.
        const QString old = QString::fromStdString(e.Cell(kSpells, 4, kSpellCost));
        Click(e.Edit(spells, 4, kSpellCost, old), "Save Changes And Close Tab");
        QVERIFY(!IsBold(list, 4, kSpellCost) && !IsTinted(list, 4, kSpellCost));
        QVERIFY(!spells->isWindowModified());
        QCOMPARE(spells->windowTitle(), QStringLiteral("Spells"));
        QVERIFY(!main->isWindowModified());

        // In the grid: the main window's title is marked; the reopened table
        // shows the cell in italic, as changed since the extraction.
        Click(e.Edit(spells, 4, kSpellCost, cost), "Save Changes And Close Tab");
        Click(spells, "Close Tab");
        Flush();
        QVERIFY(main->isWindowModified());
        QCOMPARE(main->windowTitle(), QStringLiteral("Quorvane Editor[*]"));
        spells = e.Table(kSpells);
        list = spells->list();
        QVERIFY(IsItalic(list, 4, kSpellCost) && !IsBold(list, 4, kSpellCost) && !IsTinted(list, 4, kSpellCost));
        QVERIFY(!IsItalic(list, 5, kSpellCost));

        // Saved: the main window's mark goes, the italic stays until a load.
        Click(e.settings(), "Save to Text File");
        QVERIFY(!main->isWindowModified());
        QCOMPARE(main->windowTitle(), QStringLiteral("Quorvane Editor"));
        QVERIFY(IsItalic(list, 4, kSpellCost));
        Click(e.settings(), "Load Text File");
        QVERIFY(!IsItalic(list, 4, kSpellCost));
        QCOMPARE(e.reports, QStringList());
    }

    void statusLineAfterEachAction() {
        Editor e;
        QCOMPARE(e.status(), QStringLiteral("Extracted 12,450 values from 6 game files into rules.txt."));
        Click(e.settings(), "Save to Text File");
        QCOMPARE(e.status(), QStringLiteral("Saved 12,450 values into rules.txt."));
        Click(e.settings(), "Load Text File");
        QCOMPARE(e.status(), QStringLiteral("Loaded 12,450 values from rules.txt."));
        // The sample game's second copies differ from their first places; the
        // write brings them in line, and counts them.
        const QString wizards = e.dir.filePath("game/WIZARDS.EXE");
        const QByteArray before = ReadFile(wizards);
        Click(e.settings(), "Write to Quorvane Files");
        QVERIFY(ReadFile(wizards) != before);
        // Every backup the write made is named: the first write backs up
        // all six files.
        QCOMPARE(e.status(), QStringLiteral("Wrote 15 changed values into WIZARDS.EXE; backup WIZARDS.EXE.bak kept. "
                                            "Backups made: BUILDDAT.LBX.bak, ITEMPOW.LBX.bak, SPELLDAT.LBX.bak, "
                                            "WIZARDS.EXE.bak, MAGIC.EXE.bak and ITEMMAKE.EXE.bak."));
        QCOMPARE(ReadFile(wizards + ".bak"), before);
        Click(e.settings(), "Write to Quorvane Files");
        QCOMPARE(e.status(),
                 QStringLiteral("The game files already held every value of rules.txt; nothing was changed."));
        QCOMPARE(e.reports, QStringList());

        // Problems are counted; reports stay as they are.
        QByteArray text = ReadFile(e.rules());
        // The healing amount becomes letters.
        const qsizetype line = text.indexOf("\n", text.indexOf("[HEALING SPELLS]")) + 1;
        const qsizetype comma = text.indexOf(',', line);
        text.replace(comma + 1, 4, "  xx");
        QFile broken(e.dir.filePath("broken.txt"));
        QVERIFY(broken.open(QIODevice::WriteOnly));
        broken.write(text);
        broken.close();
        e.settings()->rulesFileField()->setText(broken.fileName());
        Click(e.settings(), "Load Text File");
        QCOMPARE(e.reports.size(), 1);
        QCOMPARE(e.status(), QStringLiteral("Load of broken.txt found 1 problem."));

        e.reports.clear();
        e.settings()->rulesFileField()->setText(e.dir.filePath("missing.txt"));
        Click(e.settings(), "Load Text File");
        QCOMPARE(e.status(), QStringLiteral("Load of missing.txt failed; the editor's data is unchanged."));
        Click(e.settings(), "Save to Text File");
        QCOMPARE(e.status(), QStringLiteral("Saved 12,450 values into missing.txt."));
        e.settings()->rulesFileField()->setText(e.dir.filePath("no folder/rules.txt"));
        Click(e.settings(), "Save to Text File");
        QCOMPARE(e.status(), QStringLiteral("Save to rules.txt failed; the file was not changed."));
    }

    // A name cell carries the whole name as its tooltip. (Opening a section
    // and a row from the keyboard is the work tests' keyboard job.)
    void namesShowWholeInTheirTooltips() {
        Editor e;
        TableDialog* spells = e.Table(kSpells);
        QCOMPARE(Tip(spells->list(), 3, 0), Text(spells->list(), 3, 0));
        QCOMPARE(Text(spells->list(), 3, 0), QString::fromStdString(e.Cell(kSpells, 3, 0)));
        // The menu commands keep their texts.
        QCOMPARE(e.main()->settingsAction()->text(), QStringLiteral("Settings"));
    }

    // The diagram's digits, bars and "flag #" labels line up in a
    // fixed-width font.
    void flagDiagramStandsUnderItsDigits() {
        QDialog* tab = OpenHelpTab("Specials (1)");
        QVERIFY(tab);
        tab->adjustSize();
        const QList<QLabel*> lines = tab->findChildren<QLabel*>("flagDiagram");
        QCOMPARE(lines.size(), 3);
        QCOMPARE(lines[0]->text(), QStringLiteral(" 00001001"));
        QCOMPARE(lines[1]->text(), QStringLiteral("|           |"));
        QCOMPARE(lines[2]->text(), QStringLiteral("flag #7       flag #0"));
        for (QLabel* l : lines) QVERIFY(QFontInfo(l->font()).fixedPitch());
        // Centre of character `at` of a line, in the tab's coordinates.
        auto centre = [](QLabel* l, int at) {
            const QFontMetricsF fm(l->font());
            const qreal x = fm.horizontalAdvance(l->text().left(at)) + fm.horizontalAdvance(l->text().at(at)) / 2;
            return l->mapTo(l->window(), l->contentsRect().topLeft()).x() + l->indent() + x;
        };
        QVERIFY(qAbs(centre(lines[0], 1) - centre(lines[1], 0)) <= 1.0);
        QVERIFY(qAbs(centre(lines[0], 8) - centre(lines[1], 12)) <= 1.0);
        // "flag #7" under the first digit, "flag #0" under the last.
        QVERIFY(qAbs(centre(lines[2], 6) - centre(lines[0], 1)) <= 1.0);
        QVERIFY(qAbs(centre(lines[2], 20) - centre(lines[0], 8)) <= 1.0);
        delete tab;
    }
};

QTEST_MAIN(GuiEditsTest)
#include "gui_edits_test.moc"
