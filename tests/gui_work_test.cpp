// A table a modder can work in, driven through the real windows: names that
// fit and stay in view, flags as check boxes and codes as drop-downs kept in
// step with their fields, the keyboard, windows opened beside the one they
// came from, a review that lists the tables' edits not stored yet, and a
// write that asks before values it would refuse and lists its problems in
// one window.
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QListWidget>
#include <QMenu>
#include <QScrollBar>
#include <QTableView>
#include <QToolButton>

#include <map>

#include "app/changes_window.h"
#include "app/write_problems.h"
#include "catalogue/catalogue.h"
#include "catalogue/conversions.h"
#include "catalogue/layout.h"
#include "gui/placement.h"
#include "gui/review_model.h"
#include "tables/list_binding.h"
#include "tables/report_list.h"

#include "gui_answer.h"
#include "gui_editor.h"

using namespace gui_test;
using namespace views;
using quorvane::gui::testing::AnswerNextBox;

namespace {

constexpr int kBarbarians = 5;

QByteArray ReadFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The bytes of the six game files of `folder`.
std::map<QString, QByteArray> GameFiles(const QString& folder) {
    std::map<QString, QByteArray> files;
    for (const char* name : {"ITEMPOW.LBX", "BUILDDAT.LBX", "SPELLDAT.LBX", "WIZARDS.EXE", "MAGIC.EXE", "ITEMMAKE.EXE"})
        files[name] = ReadFile(folder + QLatin1Char('/') + QLatin1String(name));
    return files;
}

// Activates `window` and waits until it is the active one.
bool Activate(QWidget* window) {
    window->activateWindow();
    return QTest::qWaitForWindowActive(window);
}

// The number, counted from 1, of the record line of row j of section i in a
// rules file.
int RecordLine(const QString& rules, int i, int j) {
    const QList<QByteArray> lines = ReadFile(rules).split('\n');
    const QByteArray directive = "[" + QByteArray::fromStdString(Header(i)) + "]";
    for (int k = 0; k < lines.size(); ++k)
        if (lines[k].trimmed() == directive) return k + 2 + j;
    return -1;
}

// A one-byte column of the spells, written at one place only.
int SpellByteColumn() {
    for (int step = 1; step < Columns(kSpells); ++step)
        if (GetFieldKind(kSpells, 0, step) == FieldKind::Byte && !SecondCopyOf(kSpells, 0, step)) return step;
    return -1;
}

// One flag byte or one code field of an edit dialog: its check box of `bit`
// reads `label`; or its drop-down lists `code` as `label`, which the field
// shows as `shown`.
struct AidCase {
    const char* name;
    int section;
    int column;
    bool flags;
    int bitOrCode;
    const char* label;
    const char* shown;
};
const AidCase kAidCases[] = {
    {"item powers: Specials (1)", 0, 6, true, 0, "Path Finding", nullptr},
    {"item powers: Power Type", 0, 4, false, 264, "264 Sorcery Specials", "264"},
    {"buildings: Requierment (1)", 1, 1, false, 16, "16 Library", "16"},
    {"spells: Realm", 2, 5, false, 5, "5 Arcane", "5"},
    {"spells: Eligibility", 2, 6, false, 254, "254 Combat only", "-2"},
    {"units: Move Flags", kBarbarians, 22, true, 3, "Flying", nullptr},
    {"units: Race Code", kBarbarians, 11, false, 7, "07 High Elf", "7"},
    {"heroes: Item Slot", 3, 13, false, 3, "03 wand/ring/ring", "3"},
    {"races: 1st Banned Building", 20, 2, false, 101, "101 Forest Terrain", "101"},
    {"hero stats: Inherent Abilities(1)", 22, 5, true, 6, "Blademaster", nullptr},
};

}  // namespace

class GuiWorkTest : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { Flush(); }

    // The names fit the longest of them and stay in view while the list
    // scrolls sideways; a double-click on a name opens its record. A width
    // the user set is kept; the width every table used to store for the
    // names (50) is fitted again.
    void namesFitAndStayInView() {
        Editor e;
        TableDialog* units = e.Table(kBarbarians);
        units->resize(520, 400);
        QVERIFY(QTest::qWaitForWindowExposed(units));
        auto* list = qobject_cast<ReportList*>(units->list());
        QVERIFY(list);
        QFont bold = list->font();
        bold.setBold(true);
        for (int r = 0; r < RowCount(list); ++r)
            QVERIFY(list->columnWidth(0) > QFontMetrics(bold).horizontalAdvance(Text(list, r, 0)));

        QTableView* names = list->frozenView();
        QVERIFY(names && names->isVisible());
        const QRect before = names->geometry();
        QCOMPARE(before.left(), list->geometry().left() + list->frameWidth());
        list->horizontalScrollBar()->setValue(list->horizontalScrollBar()->maximum());
        QVERIFY(list->horizontalScrollBar()->value() > list->columnWidth(0));
        QCOMPARE(names->geometry(), before);
        QCOMPARE(names->columnWidth(0), list->columnWidth(0));
        QCOMPARE(names->model()->index(2, 0).data().toString(), Text(list, 2, 0));
        // A cell the keyboard goes to comes out from under the names.
        list->setCurrentIndex(list->model()->index(0, 1));
        QVERIFY(list->visualRect(list->currentIndex()).left() >= list->columnWidth(0));

        const QPoint at = names->visualRect(names->model()->index(2, 0)).center();
        QTest::mouseClick(names->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(names->viewport(), Qt::LeftButton, {}, at);
        QCOMPARE(units->Editors().size(), 1);
        QCOMPARE(units->Editors().front()->row(), 2);

        list->setColumnWidth(0, 123);
        QCOMPARE(names->columnWidth(0), 123);
        Click(units, "Close Tab");
        Flush();
        QCOMPARE(e.Table(kBarbarians)->list()->columnWidth(0), 123);
        Click(e.Table(kBarbarians), "Close Tab");
        Flush();
        SaveColumnWidth(e.app->context(), kBarbarians, 0, 50);
        QVERIFY(e.Table(kBarbarians)->list()->columnWidth(0) > 50);
        QCOMPARE(e.reports, QStringList());
    }

    // Keyboard only: Sections, Enter on Spells, the focus in the list, the
    // arrow keys between cells, Tab out and back, Ctrl+F to the filter,
    // Shift+F10 and the Menu key for the row menu, Enter on a row, Enter in
    // the edit dialog to save it, Alt+S and Alt+E from the table, and Ctrl+W
    // to close the table, storing its edit.
    void aTableWorksFromTheKeyboard() {
        Editor e;
        QVERIFY(Activate(e.main()));
        QTest::keyClick(e.main(), Qt::Key_E, Qt::AltModifier);
        QWidget* chooser = Window("CSection");
        QVERIFY(chooser);
        auto* sections = chooser->findChild<QListWidget*>();
        sections->setCurrentRow(kSpells);
        QTest::keyClick(sections, Qt::Key_Return);
        auto* spells = qobject_cast<TableDialog*>(Window("CSpell"));
        QVERIFY(spells && Activate(spells));
        QTableView* list = spells->list();
        QCOMPARE(QApplication::focusWidget(), list);

        list->setCurrentIndex(list->model()->index(3, 2));
        QTest::keyClick(list, Qt::Key_Right);
        QCOMPARE(list->currentIndex().column(), 3);
        QTest::keyClick(list, Qt::Key_Tab);
        QVERIFY(QApplication::focusWidget() != list);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
        QCOMPARE(QApplication::focusWidget(), list);
        QTest::keyClick(list, Qt::Key_F, Qt::ControlModifier);
        QCOMPARE(QApplication::focusWidget(), spells->filterField());

        list->setFocus();
        for (const QKeyCombination keys : {Qt::SHIFT | Qt::Key_F10, QKeyCombination(Qt::Key_Menu)}) {
            QTest::keyClick(list, keys.key(), keys.keyboardModifiers());
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            QVERIFY(menu && menu->objectName() == QStringLiteral("rowMenu"));
            menu->close();
            Flush();
        }

        QTest::keyClick(list, Qt::Key_Return);
        QCOMPARE(spells->Editors().size(), 1);
        EditDialog* editor = spells->Editors().front();
        QCOMPARE(editor->row(), 3);
        QVERIFY(Activate(editor));
        QCOMPARE(QApplication::focusWidget(), editor->ValueField(1));
        const QString cost = e.NewCost(3);
        editor->ValueField(kSpellCost)->setText(cost);
        QTest::keyClick(editor->ValueField(kSpellCost), Qt::Key_Return);
        QTRY_VERIFY(spells->Editors().isEmpty());
        QCOMPARE(Text(list, 3, kSpellCost), cost);

        QVERIFY(Activate(spells));
        QTest::keyClick(list, Qt::Key_S, Qt::AltModifier);
        QTRY_COMPARE(QApplication::activeWindow(), static_cast<QWidget*>(e.settings()));
        QVERIFY(Activate(spells));
        QTest::keyClick(list, Qt::Key_E, Qt::AltModifier);
        QTRY_COMPARE(QApplication::activeWindow(), chooser);

        QVERIFY(Activate(spells));
        QTest::keyClick(list, Qt::Key_W, Qt::ControlModifier);
        Flush();
        QVERIFY(!Window("CSpell"));
        QCOMPARE(ToQ(e.Cell(kSpells, 3, kSpellCost)), cost);
        QCOMPARE(e.reports, QStringList());
    }

    // A flag byte's check boxes and a code field's drop-down follow their
    // field, and set it: one of each for every edit-dialog kind that has
    // one (the upkeep editor has neither).
    void flagsAndCodesFollowTheirField_data() {
        QTest::addColumn<int>("k");
        for (int k = 0; k < static_cast<int>(std::size(kAidCases)); ++k) QTest::newRow(kAidCases[k].name) << k;
    }

    void flagsAndCodesFollowTheirField() {
        QFETCH(int, k);
        const AidCase& x = kAidCases[k];
        Editor e;
        EditDialog* editor = e.Table(x.section)->OpenEditor(0);
        QVERIFY(editor);
        QLineEdit* field = editor->ValueField(x.column);
        const QString name = field->objectName();
        if (x.flags) {
            QCOMPARE(editor->findChildren<QCheckBox*>(QRegularExpression("^" + name + "bit[0-7]$")).size(), 8);
            auto* box = editor->findChild<QCheckBox*>(name + QStringLiteral("bit%1").arg(x.bitOrCode));
            QVERIFY(box);
            QCOMPARE(box->text(), QString::fromLatin1(x.label));
            field->setText("00000000");
            QVERIFY(box->isEnabled() && !box->isChecked());
            box->click();
            QCOMPARE(field->text(), ToQ(ByteToFlagText(1 << x.bitOrCode)));
            field->setText("11111111");
            QVERIFY(box->isChecked());
            field->setText("2");
            QVERIFY(!box->isEnabled());
        } else {
            auto* codes = editor->findChild<QComboBox*>(name + QStringLiteral("codes"));
            QVERIFY(codes);
            const int index = codes->findData(x.bitOrCode);
            QVERIFY(index >= 0);
            QCOMPARE(codes->itemText(index), QString::fromLatin1(x.label));
            field->setText("abc");
            QCOMPARE(codes->currentIndex(), -1);
            codes->setCurrentIndex(index);
            emit codes->activated(index);
            QCOMPARE(field->text(), QString::fromLatin1(x.shown));
            field->setText("abc");
            QCOMPARE(codes->currentIndex(), -1);
            field->setText(QString::fromLatin1(x.shown));
            QCOMPARE(codes->currentIndex(), index);
        }
        // What the aids put in the field is saved as typed.
        const QString text = field->text();
        Click(editor, "Save Changes And Close Tab");
        QCOMPARE(ToQ(e.app->document().Shown(x.section, 0, x.column)), text);
    }

    // Edit dialogs open beside their table, never on it, each further one
    // lower; a help tab beside its edit dialog. The caption names the record
    // in full.
    void windowsOpenBesideWhereTheyCameFrom() {
        Editor e;
        TableDialog* spells = e.Table(kSpells);
        spells->setGeometry(0, 0, 400, 300);
        EditDialog* first = spells->OpenEditor(3);
        EditDialog* second = spells->OpenEditor(4);
        QCOMPARE(first->windowTitle(), QStringLiteral("Spell Edit - ") + ToQ(e.Cell(kSpells, 3, 0)));
        QVERIFY(first->pos() != spells->pos());
        QVERIFY(first->frameGeometry().center() != spells->frameGeometry().center());
        QVERIFY(second->y() > first->y());

        first->move(0, 0);
        qobject_cast<QPushButton*>(first->LabelWidget(5))->click();  // "Realm"
        QWidget* tab = Window("HelpTab");
        QVERIFY(tab);
        QVERIFY(tab->pos() != first->pos());
        QVERIFY(tab->frameGeometry().center() != first->frameGeometry().center());
        tab->close();
        QCOMPARE(e.reports, QStringList());

        // Right of the window it came from where the screen has room, else
        // left of it, else over it a step down and right for each one
        // opened from it before.
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        QWidget origin;
        QWidget window;
        window.resize(200, 150);
        const struct {
            QPoint origin;
            int cascade;
            QPoint expected;
        } cases[] = {
            {screen.topLeft(), 0, screen.topLeft() + QPoint(208, 0)},
            {screen.topLeft(), 2, screen.topLeft() + QPoint(208, 48)},
            {screen.topRight() - QPoint(199, 0), 0, screen.topRight() - QPoint(199 + 208, 0)},
        };
        for (const auto& c : cases) {
            origin.setGeometry(QRect(c.origin, QSize(200, 150)));
            PlaceBeside(&window, &origin, c.cascade);
            QCOMPARE(window.pos(), c.expected);
        }
        origin.setGeometry(screen.adjusted(10, 10, -10, -10));
        PlaceBeside(&window, &origin, 1);
        QCOMPARE(window.pos(), origin.pos() + QPoint(48, 48));
    }

    // An edit a table holds and has not stored is listed, marked and counted
    // apart, also while the table is hidden; stored, it is a change like any.
    void reviewListsEditsNotStoredYet() {
        Editor e;
        Click(e.settings(), "Write to Quorvane Files");  // the sample's second copies in step
        TableDialog* spells = e.Table(kSpells);
        const std::string old = e.Cell(kSpells, 4, kSpellCost);
        const QString cost = e.NewCost(4);
        Click(e.Edit(spells, 4, kSpellCost, cost), "Save Changes And Close Tab");
        QTest::keyClick(spells->list(), Qt::Key_Escape);
        QVERIFY(!spells->isVisible());

        e.settings()->findChild<QToolButton*>("reviewButton")->click();
        auto* changes = qobject_cast<CChanges*>(e.app->context().registry.Find("CChanges"));
        QVERIFY(changes);
        QTableView* t = changes->table();
        QCOMPARE(changes->countLine()->text(), QStringLiteral("0 changes, 1 not stored yet, 0 problems."));
        QCOMPARE(RowCount(t), 1);
        QCOMPARE(Text(t, 0, ReviewModel::kGame), ToQ(old));
        QCOMPARE(Text(t, 0, ReviewModel::kNew), cost);
        QCOMPARE(Text(t, 0, ReviewModel::kProblem), QStringLiteral("not stored yet"));

        Click(e.Table(kSpells), "Close Tab");
        QCOMPARE(changes->countLine()->text(), QStringLiteral("1 change, 0 problems."));
        QCOMPARE(Text(t, 0, ReviewModel::kProblem), QString());
        QCOMPARE(e.reports, QStringList());
    }

    // A write whose dry run finds refusals asks first (Cancel the default);
    // Review opens the Changes window, and neither writes anything. Written,
    // the refusal is listed in one window with its section, record, column
    // and value beside the write's report, no box is shown, and the status
    // line, wrapped as it needs, names every backup made.
    void writeAsksAboutRefusalsAndListsThem() {
        Editor e;
        const int byteColumn = SpellByteColumn();
        TableDialog* spells = e.Table(kSpells);
        Click(e.Edit(spells, 9, byteColumn, "300"), "Save Changes And Close Tab");
        Click(spells, "Close Tab");
        Click(e.settings(), "Save to Text File");
        const auto before = GameFiles(e.dir.filePath("game"));

        for (const char* answer : {"Cancel", "Review"}) {
            auto asked = AnswerNextBox(answer);
            Click(e.settings(), "Write to Quorvane Files");
            QCOMPARE(asked->asked, 1);
            QCOMPARE(asked->text, QStringLiteral("1 values will not be written (out of range, unreadable...)."));
            QCOMPARE(asked->buttons.size(), 3);
            QVERIFY(asked->buttons.contains("Review") && asked->buttons.contains("Write the Rest"));
            QCOMPARE(asked->defaultButton, QStringLiteral("Cancel"));
            QVERIFY(GameFiles(e.dir.filePath("game")) == before);
        }
        QVERIFY(Window("CChanges"));

        auto asked = AnswerNextBox("Write the Rest");
        Click(e.settings(), "Write to Quorvane Files");
        QCOMPARE(asked->asked, 1);
        QVERIFY(GameFiles(e.dir.filePath("game")) != before);
        QCOMPARE(e.reports, QStringList());
        auto* problems = qobject_cast<WriteProblemsWindow*>(Window(kWriteProblemsClass));
        QVERIFY(problems);
        QTableView* list = problems->list();
        QCOMPARE(RowCount(list), 1);
        const QString line = QString::number(RecordLine(e.rules(), kSpells, 9));
        QCOMPARE((QStringList{Text(list, 0, 0), Text(list, 0, 1), Text(list, 0, 2), Text(list, 0, 3), Text(list, 0, 4)}),
                 (QStringList{"Spells", ToQ(e.Cell(kSpells, 9, 0)), ToQ(ColumnName(kSpells, byteColumn)), "300",
                              "Line: " + line + " In [SPELLS] section  Value out of range."}));

        QLabel* status = e.settings()->statusLine();
        QVERIFY2(status->text().endsWith("Backups made: BUILDDAT.LBX.bak, ITEMPOW.LBX.bak, SPELLDAT.LBX.bak, "
                                         "WIZARDS.EXE.bak, MAGIC.EXE.bak and ITEMMAKE.EXE.bak."),
                 qPrintable(status->text()));
        // Made as small as it goes, the dialog still shows every line.
        e.settings()->resize(1, 1);
        QVERIFY(status->wordWrap());
        QTRY_VERIFY(status->height() >= status->heightForWidth(status->width()));
        QVERIFY(status->geometry().bottom() <= e.settings()->rect().bottom());

        // A record line with a field too many writes none of its values: each
        // of them is counted once, with the refused one of row 9.
        QList<QByteArray> lines = ReadFile(e.rules()).split('\n');
        QByteArray& row10 = lines[RecordLine(e.rules(), kSpells, 10) - 1];
        row10.insert(row10.lastIndexOf(';'), ", 1");
        QFile rules(e.rules());
        QVERIFY(rules.open(QIODevice::WriteOnly | QIODevice::Truncate));
        rules.write(lines.join('\n'));
        rules.close();
        asked = AnswerNextBox("Cancel");
        Click(e.settings(), "Write to Quorvane Files");
        QCOMPARE(asked->text, QStringLiteral("%1 values will not be written (out of range, unreadable...).")
                                  .arg(Columns(kSpells)));
    }

    // Extract and Load with no text file named say so, and do nothing else.
    void firstStepsAreToldPlainly() {
        Editor e;
        e.settings()->rulesFileField()->setText("");
        e.reports.clear();
        Click(e.settings(), "Extract From Quorvane Files");
        Click(e.settings(), "Load Text File");
        QCOMPARE(e.reports, (QStringList{"Choose a text file name first.", "Choose a text file name first."}));
        QCOMPARE(e.settings()->statusLine()->text(), QStringLiteral("Choose a text file name first."));
    }
};

QTEST_MAIN(GuiWorkTest)
#include "gui_work_test.moc"
