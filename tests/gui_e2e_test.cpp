// The typical use of the editor, through its real windows, as a user drives
// them: name the game folder and the rules file, extract, open Sections, edit
// a value, save it to the rules file, write it into the game files, and find
// the new bytes at the value's place.
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QPointer>
#include <QPushButton>
#include <QSettings>
#include <QTableView>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

#include "app/editor_app.h"
#include "app/main_window.h"
#include "catalogue/catalogue.h"
#include "catalogue/layout.h"
#include "sample/sample_game.h"

using namespace quorvane;
using namespace quorvane::gui;

namespace {

QWidget* Window(const QString& name) {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == name && w->isVisible()) return w;
    return nullptr;
}

QPushButton* Button(QWidget* window, const QString& text) {
    for (auto* b : window->findChildren<QPushButton*>())
        if (b->text() == text && b->isVisible()) return b;
    return nullptr;
}

QByteArray ReadFile(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return {};
    return f.readAll();
}

// The value a field of `kind` holds at `offset`, little-endian.
int StoredValue(const QByteArray& bytes, FieldKind kind, int offset) {
    const auto byte = [&](int k) { return static_cast<unsigned char>(bytes.at(offset + k)); };
    return kind == FieldKind::Word ? byte(0) | (byte(1) << 8) : byte(0);
}

}  // namespace

class GuiE2eTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir tmp_;
    QString oldCurrent_;
    QString game_;
    QString rules_;
    QStringList reports_;
    std::unique_ptr<CQuorvaneEditorApp> app_;

    // A click on a command of the main window's menu bar.
    void Command(const QString& text) {
        auto* main = qobject_cast<CQuorvaneEditorDlg*>(Window("CQuorvaneEditorDlg"));
        QVERIFY(main);
        QMenuBar* bar = main->menuBar();
        for (QAction* a : bar->actions()) {
            if (a->text() != text) continue;
            const QRect r = bar->actionGeometry(a);
            QVERIFY(r.isValid());
            QTest::mouseClick(bar, Qt::LeftButton, {}, r.center());
            return;
        }
        QFAIL(qPrintable("no command " + text));
    }

    void Click(QWidget* window, const QString& text) {
        QVERIFY2(window, qPrintable(text));
        QPushButton* b = Button(window, text);
        QVERIFY2(b, qPrintable(text));
        QTest::mouseClick(b, Qt::LeftButton);
    }

    // A double-click on the entry `text` of the section chooser.
    void ChooseSection(const QString& text) {
        QWidget* chooser = Window("CSection");
        if (!chooser) {
            Command("Sections");
            chooser = Window("CSection");
        }
        QVERIFY(chooser);
        auto* list = chooser->findChild<QListWidget*>();
        QVERIFY(list);
        const auto found = list->findItems(text, Qt::MatchExactly);
        QCOMPARE(found.size(), 1);
        list->scrollToItem(found.front());
        const QPoint at = list->visualItemRect(found.front()).center();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
    }

    // Replaces the text of a field as a user does: select all, type.
    static void Retype(QLineEdit* field, const QString& text) {
        QVERIFY(field);
        field->setFocus();
        field->selectAll();
        QTest::keyClick(field, Qt::Key_Delete);
        QTest::keyClicks(field, text);
        QCOMPARE(field->text(), text);
    }

    // "Save to Text File", then "Write to Quorvane Files".
    void SaveAndWrite() {
        QWidget* settings = Window("CSettings");
        Click(settings, "Save to Text File");
        Click(settings, "Write to Quorvane Files");
        QCOMPARE(reports_, QStringList());
    }

    QByteArray Game(GameFile f) const { return ReadFile(QDir(game_).filePath(GameFileName(f))); }

private slots:
    void initTestCase() {
        QVERIFY(tmp_.isValid());
        // The debug log is written to the current directory.
        oldCurrent_ = QDir::currentPath();
        QVERIFY(QDir::setCurrent(tmp_.path()));
        game_ = tmp_.filePath("game");
        rules_ = tmp_.filePath("rules.txt");
        std::filesystem::path error;
        QVERIFY2(WriteSampleGame(PathFromQ(game_), 7, &error), qPrintable(PathToQ(error)));

        auto settings = std::make_unique<QSettings>(tmp_.filePath("settings.ini"), QSettings::IniFormat);
        app_ = std::make_unique<CQuorvaneEditorApp>(
            std::move(settings), [this](const QString& text, const QString&) { reports_ << text; },
            [](QWidget*) { return QMessageBox::Discard; });
        app_->InitInstance();
        QVERIFY(QTest::qWaitForWindowExposed(Window("CQuorvaneEditorDlg")));

        // Name the game folder and the rules file, and extract.
        Command("Settings");
        QWidget* settingsDialog = Window("CSettings");
        QVERIFY(settingsDialog);
        auto* folder = settingsDialog->findChild<QLineEdit*>("gameFolderField");
        auto* file = settingsDialog->findChild<QLineEdit*>("rulesFileField");
        Retype(folder, game_);
        Retype(file, rules_);
        Click(settingsDialog, "Extract From Quorvane Files");
        QCOMPARE(reports_, QStringList());
        QVERIFY(QFile::exists(rules_));
        QVERIFY(app_->session().IsLoaded());
    }

    void cleanupTestCase() {
        for (const char* name : {"CSection", "CSettings"})
            if (QWidget* w = Window(name)) w->close();
        app_.reset();
        QDir::setCurrent(oldCurrent_);
    }

    void init() { reports_.clear(); }

    void spellCostReachesSpellDat() {
        const int row = 17, costColumn = 8;
        const QString spellName = ToQ(app_->session().grid.GetArrayValue(2, row, 0));
        const QByteArray before = Game(GameFile::SpellDat);
        const FieldKind kind = GetFieldKind(2, row, costColumn);
        const int offset = ValueOffset(2, row, costColumn);
        const int oldCost = StoredValue(before, kind, offset);
        const int newCost = oldCost == 1234 ? 987 : 1234;

        ChooseSection("Spells");
        QWidget* table = Window("CSpell");
        QVERIFY(table);
        QCOMPARE(table->windowTitle(), QStringLiteral("Spells"));
        auto* list = table->findChild<QTableView*>("list");
        QVERIFY(list);
        const QModelIndex index = list->model()->index(row, 0);  // file order
        QCOMPARE(index.data().toString().trimmed(), spellName.trimmed());
        list->scrollTo(index);
        const QPoint at = list->visualRect(index).center();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);

        QWidget* editor = Window("CSpellEdit");
        QVERIFY(editor);
        Retype(editor->findChild<QLineEdit*>(QStringLiteral("value%1").arg(costColumn)), QString::number(newCost));
        Click(editor, "Save Changes And Close Tab");
        QTRY_VERIFY(!Window("CSpellEdit"));
        Click(table, "Close Tab");
        QTRY_VERIFY(!Window("CSpell"));
        QCOMPARE(app_->session().grid.GetArrayValue(2, row, costColumn), std::to_string(newCost));

        SaveAndWrite();
        const QByteArray after = Game(GameFile::SpellDat);
        QCOMPARE(after.size(), before.size());
        QCOMPARE(StoredValue(after, kind, offset), newCost);
        // The neighbouring spells keep their costs.
        for (int other : {row - 1, row + 1})
            QCOMPARE(StoredValue(after, kind, ValueOffset(2, other, costColumn)),
                     StoredValue(before, kind, ValueOffset(2, other, costColumn)));
    }

    void healAmountReachesWizardsExe() {
        QCOMPARE(GameFileOf(23), GameFile::Wizards);
        QCOMPARE(ValueOffset(23, 0, 1), 0x82C9F);
        const FieldKind kind = GetFieldKind(23, 0, 1);
        const int oldValue = StoredValue(Game(GameFile::Wizards), kind, 0x82C9F);
        const int newValue = oldValue == 12 ? 13 : 12;

        ChooseSection("Healing Spells");
        QWidget* form = Window("CHealing");
        QVERIFY(form);
        QCOMPARE(form->windowTitle(), QStringLiteral("Healing Spells"));
        QCOMPARE(form->findChild<QLineEdit*>("name0")->text(), QStringLiteral("Heal Amount"));
        Retype(form->findChild<QLineEdit*>("value0"), QString::number(newValue));
        Click(form, "Save Changes And Close Tab");
        QTRY_VERIFY(!Window("CHealing"));

        SaveAndWrite();
        QCOMPARE(StoredValue(Game(GameFile::Wizards), kind, 0x82C9F), newValue);
    }

    void spellsPerBookReachMagicExe() {
        QCOMPARE(GameFileOf(34), GameFile::Magic);
        const QByteArray before = Game(GameFile::Magic);
        ChooseSection("Spells Per Number of Books");
        QWidget* form = Window("CSpellsPerBook");
        QVERIFY(form);
        QCOMPARE(form->windowTitle(), QStringLiteral("Spells Per Number of Books"));
        std::vector<int> typed;
        for (int c = 1; c <= 10; ++c) {
            const int old = StoredValue(before, GetFieldKind(34, 0, c), ValueOffset(34, 0, c));
            typed.push_back(old == c + 1 ? c + 20 : c + 1);
            Retype(form->findChild<QLineEdit*>(QStringLiteral("value%1").arg(c - 1)), QString::number(typed.back()));
        }
        Click(form, "Save Changes And Close Tab");
        QTRY_VERIFY(!Window("CSpellsPerBook"));

        SaveAndWrite();
        const QByteArray after = Game(GameFile::Magic);
        for (int c = 1; c <= 10; ++c)
            QCOMPARE(StoredValue(after, GetFieldKind(34, 0, c), ValueOffset(34, 0, c)), typed[std::size_t(c - 1)]);
    }

    void destroyedItemsRefusesThenWritesItsCode() {
        ChooseSection("Mana From Destroyed Items");
        QWidget* form = Window("CDestroyedItems");
        QVERIFY(form);
        auto* value = form->findChild<QLineEdit*>("value0");
        Retype(value, "30");
        Click(form, "Save Changes And Close Tab");
        QCOMPARE(reports_, QStringList{"Value Must Be Either 25 or 50."});
        QVERIFY(Window("CDestroyedItems"));
        QCOMPARE(value->text(), QStringLiteral("30"));
        reports_.clear();

        // The game keeps 25 and 50 as code words.
        const FieldKind kind = GetFieldKind(33, 0, 1);
        const int offset = ValueOffset(33, 0, 1);
        const int old = StoredValue(Game(GameFile::Wizards), kind, offset);
        const bool to25 = old != kCode25;
        Retype(value, to25 ? "25" : "50");
        Click(form, "Save Changes And Close Tab");
        QTRY_VERIFY(!Window("CDestroyedItems"));
        SaveAndWrite();
        QCOMPARE(StoredValue(Game(GameFile::Wizards), kind, offset), to25 ? kCode25 : kCode50);
    }

    void everyChooserEntryOpensItsWindow() {
        QWidget* chooser = Window("CSection");
        QVERIFY(chooser);
        auto* list = chooser->findChild<QListWidget*>();
        QCOMPARE(list->count(), kSectionCount);
        for (int s = 0; s < kSectionCount; ++s) {
            const QString name = ToQ(DisplayName(s));
            QCOMPARE(list->item(s)->text(), name);
            ChooseSection(name);
            QPointer<QWidget> opened;
            for (QWidget* w : QApplication::topLevelWidgets())
                if (w->isVisible() && w->windowTitle() == name && w != chooser) opened = w;
            QVERIFY2(opened, qPrintable(name));
            // Leave the record tables without changing them; discard the forms.
            if (QPushButton* discard = Button(opened, "Discard Changes and Close Tab"))
                QTest::mouseClick(discard, Qt::LeftButton);
            else
                Click(opened, "Close Tab");
            QTRY_VERIFY(!opened || !opened->isVisible());
        }
        QCOMPARE(reports_, QStringList());
    }
};

QTEST_MAIN(GuiE2eTest)
#include "gui_e2e_test.moc"
