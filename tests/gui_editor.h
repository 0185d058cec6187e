// The whole editor as a user meets it, for the GUI tests that drive its real
// windows: the application object on a fresh sample game, extracted into
// rules.txt, with a recorder for the report boxes; and the few ways a test
// finds a window or a button by what the user sees.
#pragma once

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QTableView>
#include <QTemporaryDir>
#include <QtTest>

#include <filesystem>
#include <memory>
#include <string>

#include "actions/actions.h"
#include "app/editor_app.h"
#include "app/main_window.h"
#include "app/settings_dialog.h"
#include "sample/sample_game.h"
#include "session/value_grid.h"
#include "tables/edit_dialog.h"
#include "tables/section_chooser.h"
#include "tables/table_dialog.h"

#include "gui_window_test.h"

namespace gui_test {

using namespace quorvane;
using namespace quorvane::gui;

inline constexpr int kSpells = 2;
inline constexpr int kSpellCost = 8;

// The visible top-level window of that class name, or nullptr.
inline QWidget* Window(const QString& name) {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == name && w->isVisible()) return w;
    return nullptr;
}

// The visible push button of `window` that reads `text`, or nullptr.
inline QPushButton* Button(QWidget* window, const QString& text) {
    if (!window) return nullptr;
    for (auto* b : window->findChildren<QPushButton*>())
        if (b->text() == text && b->isVisible()) return b;
    return nullptr;
}

// Presses that button; fails the test where there is none.
inline void Click(QWidget* window, const QString& text) {
    QPushButton* b = Button(window, text);
    QVERIFY2(b, qPrintable(text));
    b->click();
}

inline void Flush() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

// One editor on a fresh sample game, extracted into rules.txt, with the real
// quit question and a recorder for error reports.
class Editor {
public:
    Editor() {
        QVERIFY(dir.isValid());
        QVERIFY(QDir::setCurrent(dir.path()));
        std::filesystem::path error;
        QVERIFY2(WriteSampleGame(PathFromQ(dir.filePath("game")), 7, &error), qPrintable(PathToQ(error)));
        app = std::make_unique<CQuorvaneEditorApp>(
            std::make_unique<QSettings>(dir.filePath("settings.ini"), QSettings::IniFormat),
            [this](const QString& text, const QString&) { reports << text; });
        app->InitInstance();
        main()->settingsAction()->trigger();
        settings()->gameFolderField()->setText(dir.filePath("game"));
        settings()->rulesFileField()->setText(rules());
        Click(settings(), "Extract From Quorvane Files");
    }
    ~Editor() {
        // The application object takes every window with it.
        app.reset();
        QDir::setCurrent(QDir::tempPath());
    }

    CQuorvaneEditorDlg* main() const { return app->mainWindow(); }
    CSettings* settings() const { return main()->findChild<CSettings*>("CSettings"); }
    QString rules() const { return dir.filePath("rules.txt"); }
    QString status() const { return settings()->statusLine() ? settings()->statusLine()->text() : QString(); }
    ValueGrid& grid() { return app->session().grid; }
    std::string Cell(int i, int j, int s) { return std::string(grid().GetArrayValue(i, j, s)); }

    // The value the rules file holds for a cell, read by a separate session.
    std::string InRulesFile(int i, int j, int s) const {
        RecordingErrorSink errors;
        NullProgress none;
        Session check(errors, none);
        check.rulesPath = FromQ(rules());
        LoadCommand(check);
        return std::string(check.grid.GetArrayValue(i, j, s));
    }

    TableDialog* Table(int section) { return qobject_cast<TableDialog*>(DispatchSection(app->context(), section)); }
    QDialog* Form(int section) { return qobject_cast<QDialog*>(DispatchSection(app->context(), section)); }

    // Opens row `row` of `table` by a double-click and types `text` into
    // value field `column`.
    EditDialog* Edit(TableDialog* table, int row, int column, const QString& text) {
        QTableView* list = table->list();
        const QRect cell = list->visualRect(views::ViewIndex(list, row));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, cell.center());
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, cell.center());
        EditDialog* editor = nullptr;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* e = qobject_cast<EditDialog*>(w); e && e->isVisible() && !e->IsClosed() && e->row() == row)
                editor = e;
        if (editor) editor->ValueField(column)->setText(text);
        return editor;
    }

    // A value for the spell cost of row `row` that differs from the one the
    // grid holds and fits its place.
    QString NewCost(int row) { return QString::number(std::stoi(Cell(kSpells, row, kSpellCost)) == 7 ? 8 : 7); }

    QTemporaryDir dir;
    QStringList reports;
    std::unique_ptr<CQuorvaneEditorApp> app;
};

}  // namespace gui_test
