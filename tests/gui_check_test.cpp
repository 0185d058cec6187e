// Check as you type, undo and redo of the rows saved into a table, and the
// name filter, driven offscreen on an extracted sample game.
#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QSettings>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QUndoStack>
#include <QtTest>

#include <memory>

#include "actions/actions.h"
#include "gui/check_marks.h"
#include "gui/gui_context.h"
#include "io/progress.h"
#include "sample/sample_game.h"
#include "session/session.h"
#include "tables/edit_dialog.h"
#include "tables/open_windows.h"
#include "tables/section_chooser.h"
#include "tables/table_dialog.h"

#include "gui_window_test.h"

using namespace quorvane;
using namespace quorvane::gui;

namespace {

constexpr int kItemPowers = 0;
constexpr int kSpells = 2;
constexpr int kSpellByte = 7;   // a one-byte column of the spells
constexpr int kSpellCost = 8;   // a two-byte column
constexpr int kFlagColumn = 1;  // "Placed On (1)", eight flag digits
constexpr int kHealing = 23;

void Flush() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

QString Check(const QLineEdit* field) { return field->property("check").toString(); }

bool IsBold(const QTableWidget* list, int r, int c) { return list->item(r, c)->font().bold(); }

QAction* ActionNamed(QWidget* w, const QString& text) {
    for (QAction* a : w->findChildren<QAction*>())
        if (a->text() == text) return a;
    return nullptr;
}

void DoubleClickRow(QTableWidget* list, int row) {
    const QModelIndex index = list->model()->index(row, 0);
    list->scrollTo(index);
    const QPoint at = list->visualRect(index).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
}

}  // namespace

class GuiCheckTest : public WindowTestBase {
    Q_OBJECT

private:

    TableDialog* Table(int s) { return qobject_cast<TableDialog*>(DispatchSection(*ctx_, s)); }
    QString Grid(int s, int r, int c) const { return ToQ(session_->grid.GetArrayValue(s, r, c)); }

    // Opens row `row` by a double-click; the edit dialog it opened.
    EditDialog* Open(TableDialog* table, int row) {
        DoubleClickRow(table->list(), row);
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* e = qobject_cast<EditDialog*>(w); e && e->isVisible() && !e->IsClosed() && e->row() == row)
                return e;
        return nullptr;
    }

    // Saves `text` into column `column` of row `row` through its edit dialog.
    void SaveCell(TableDialog* table, int row, int column, const QString& text) {
        EditDialog* editor = Open(table, row);
        QVERIFY(editor);
        editor->ValueField(column)->setText(text);
        editor->findChild<QPushButton*>("save")->click();
        Flush();
    }

    // A cost that differs from row `row`'s and fits its place.
    QString NewCost(int row, int add) const { return QString::number(Grid(kSpells, row, kSpellCost).toInt() + add); }

private slots:
    void init() { StartWithSampleGame(); }

    void cleanup() { CloseEveryWindow(); }

    void fieldsAndCellsAreMarkedAsTyped() {
        TableDialog* spells = Table(kSpells);
        EditDialog* editor = Open(spells, 4);
        QVERIFY(editor);
        QLineEdit* byte = editor->ValueField(kSpellByte);
        QLineEdit* cost = editor->ValueField(kSpellCost);
        cost->clear();
        // Text beside the digits is refused, not cut off.
        QTest::keyClicks(cost, "5597S");
        QCOMPARE(Check(cost), QStringLiteral("error"));
        QCOMPARE(cost->toolTip(),
                 QStringLiteral("Decimal Number expected. Allowed: 0 to 65535, or -5535 to -1 for 60001 to 65535"));
        cost->setText("-5536");
        QCOMPARE(Check(cost), QStringLiteral("warning"));
        QCOMPARE(cost->toolTip(), QStringLiteral("Written as 60000."));

        byte->setText("300");
        QCOMPARE(Check(byte), QStringLiteral("error"));
        QCOMPARE(byte->toolTip(), QStringLiteral("Value out of range. Allowed: 0 to 255, or -15 to -1 for 241 to 255"));
        QCOMPARE(byte->palette().color(QPalette::Base), CheckTint(editor->palette(), CheckMark::Error));
        byte->setText("-1");
        QCOMPARE(Check(byte), QString());
        QCOMPARE(byte->toolTip(), QString());
        QCOMPARE(byte->palette().color(QPalette::Base), editor->palette().color(QPalette::Base));
        // The name is never checked.
        QCOMPARE(Check(editor->ValueField(0)), QString());

        // Saving is not blocked; the list cell carries the mark beside the
        // pending one.
        byte->setText("300");
        editor->findChild<QPushButton*>("save")->click();
        QTableWidget* list = spells->list();
        QVERIFY(IsBold(list, 4, kSpellByte));
        QCOMPARE(list->item(4, kSpellByte)->toolTip(), byte->toolTip());
        QCOMPARE(list->item(4, kSpellByte)->background().color(), CheckTint(list->palette(), CheckMark::Error));
        QCOMPARE(list->item(4, kSpellCost)->toolTip(), QStringLiteral("Written as 60000."));
        QCOMPARE(list->item(4, kSpellCost)->background().color(), CheckTint(list->palette(), CheckMark::Warning));
        QVERIFY(!list->item(5, kSpellByte)->data(Qt::BackgroundRole).isValid());

        // A flag column wants eight digits 0 or 1.
        editor = Open(Table(kItemPowers), 3);
        QVERIFY(editor);
        editor->ValueField(kFlagColumn)->setText("0000000x");
        QCOMPARE(Check(editor->ValueField(kFlagColumn)), QStringLiteral("error"));
        QCOMPARE(editor->ValueField(kFlagColumn)->toolTip(),
                 QStringLiteral("Binary string expected. Allowed: eight characters 0 or 1, bit 7 first"));

        // The forms check their values too.
        auto* healing = qobject_cast<QDialog*>(DispatchSection(*ctx_, kHealing));
        QVERIFY(healing);
        auto* value = healing->findChild<QLineEdit*>("value0");
        value->setText("300");
        QCOMPARE(Check(value), QStringLiteral("error"));
        value->setText("1e3");
        QCOMPARE(Check(value), QStringLiteral("error"));
        QCOMPARE(value->toolTip(), QStringLiteral("Decimal Number expected. Allowed: 0 to 255, or -15 to -1 for 241 to 255"));
    }

    void undoAndRedoRowSavesAndRevertRow() {
        TableDialog* spells = Table(kSpells);
        spells->show();
        QVERIFY(QTest::qWaitForWindowActive(spells));
        QTableWidget* list = spells->list();
        const QString old4 = Grid(kSpells, 4, kSpellCost), old5 = Grid(kSpells, 5, kSpellCost);
        const QString new4 = NewCost(4, 1), new5 = NewCost(5, 2);
        SaveCell(spells, 4, kSpellCost, new4);
        SaveCell(spells, 5, kSpellCost, new5);
        QCOMPARE(spells->undoStack()->count(), 2);
        auto cost = [list](int row) { return list->item(row, kSpellCost)->text(); };

        spells->activateWindow();
        QTest::keyClick(list, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(cost(5), old5);
        QVERIFY(!IsBold(list, 5, kSpellCost));
        QCOMPARE(cost(4), new4);
        QVERIFY(IsBold(list, 4, kSpellCost));
        QCOMPARE(spells->windowTitle(), QStringLiteral("Spells[*]"));
        QTest::keyClick(list, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(cost(4), old4);
        QVERIFY(!IsBold(list, 4, kSpellCost));
        QCOMPARE(spells->windowTitle(), QStringLiteral("Spells"));
        QVERIFY(!spells->isWindowModified());

        QTest::keyClick(list, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(cost(4), new4);
        QVERIFY(IsBold(list, 4, kSpellCost));
        QTest::keyClick(list, Qt::Key_Y, Qt::ControlModifier);
        QCOMPARE(cost(5), new5);
        QCOMPARE(spells->windowTitle(), QStringLiteral("Spells[*]"));

        // "Revert Row" from the row's context menu puts the grid's texts
        // back, as one more step that Undo takes back.
        const QPoint at = list->visualRect(list->model()->index(4, 0)).center();
        emit list->customContextMenuRequested(at);
        auto* menu = spells->findChild<QMenu*>("rowMenu");
        QVERIFY(menu && menu->isVisible());
        QStringList texts;
        for (QAction* a : menu->actions())
            if (!a->isSeparator()) texts << a->text();
        QCOMPARE(texts, QStringList({"Undo", "Redo", "Revert Row", QStringLiteral("Export Section to CSV\u2026"),
                                     QStringLiteral("Import Section from CSV\u2026")}));
        ActionNamed(menu, "Revert Row")->trigger();
        menu->close();
        QCOMPARE(cost(4), old4);
        QVERIFY(!IsBold(list, 4, kSpellCost));
        QCOMPARE(cost(5), new5);
        ActionNamed(spells, "Undo")->trigger();
        QCOMPARE(cost(4), new4);
        QVERIFY(ActionNamed(spells, "Redo")->isEnabled());

        // Nothing of it reached the grid.
        QCOMPARE(Grid(kSpells, 4, kSpellCost), old4);
        // A refill from the grid empties the stack: its steps were on rows
        // that are gone.
        spells->Refill();
        QCOMPARE(spells->undoStack()->count(), 0);
        QVERIFY(!ActionNamed(spells, "Undo")->isEnabled());
        QCOMPARE(cost(4), old4);
    }

    void filterHidesRowsByName() {
        session_->grid.SetArrayValue(kSpells, 10, 0, "\xc9" "clair");
        TableDialog* spells = Table(kSpells);
        spells->show();
        QTableWidget* list = spells->list();
        QLineEdit* filter = spells->filterField();
        QCOMPARE(filter->placeholderText(), QStringLiteral("Filter by name"));
        QCOMPARE(filter->accessibleName(), QStringLiteral("Filter by name"));

        // A part of row 9's name in the other case.
        const QString name = list->item(9, 0)->text();
        QString part = name.mid(1, 3).toUpper();
        if (part == name.mid(1, 3)) part = part.toLower();
        filter->setFocus();
        QTest::keyClicks(filter, part);
        const int rows = list->rowCount();
        QCOMPARE(rows, 215);
        int shown = 0;
        for (int r = 0; r < rows; ++r) {
            const bool match = list->item(r, 0)->text().contains(part, Qt::CaseInsensitive);
            QCOMPARE(list->isRowHidden(r), !match);
            shown += match;
        }
        QVERIFY(shown >= 1 && shown < rows);
        QVERIFY(!list->isRowHidden(9));

        // Escape clears the filter and leaves the window shown.
        filter->setFocus();
        QTest::keyClick(filter, Qt::Key_Escape);
        QCOMPARE(filter->text(), QString());
        QVERIFY(spells->isVisible());
        for (int r = 0; r < rows; ++r) QVERIFY(!list->isRowHidden(r));

        // Accented letters match in either case. The one row shown stands
        // at the top, and a double-click there opens row 10's own record.
        filter->setText(QString::fromLatin1("\xe9" "CLA"));
        for (int r = 0; r < rows; ++r) QCOMPARE(list->isRowHidden(r), r != 10);
        QCOMPARE(list->rowAt(1), 10);
        EditDialog* editor = Open(spells, 10);
        QVERIFY(editor);
        QCOMPARE(editor->ValueField(0)->text(), QString::fromLatin1("\xc9" "clair"));
        QCOMPARE(editor->ValueField(kSpellCost)->text(), Grid(kSpells, 10, kSpellCost));
        editor->close();

        // The spell-ID list has the same field.
        QDialog* ids = OpenSpellIdList(*ctx_);
        auto* idFilter = ids->findChild<QLineEdit*>("filter");
        QVERIFY(idFilter);
        QCOMPARE(idFilter->placeholderText(), QStringLiteral("Filter by name"));
        auto* idList = ids->findChild<QTableWidget*>("list");
        idFilter->setText(QString::fromLatin1("\xe9" "CLA"));
        for (int r = 0; r < rows; ++r) QCOMPARE(idList->isRowHidden(r), list->isRowHidden(r));
        // Filled again (after a load or an extraction), both keep their filter.
        RefillOpenWindows(*ctx_);
        for (int r = 0; r < rows; ++r) {
            QCOMPARE(idList->isRowHidden(r), r != 10);
            QCOMPARE(list->isRowHidden(r), r != 10);
        }
        QTest::keyClick(idFilter, Qt::Key_Escape);
        QCOMPARE(idFilter->text(), QString());
        QVERIFY(ids->isVisible());
        // Escape in an empty field is the window's own Escape: it goes.
        QTest::keyClick(idFilter, Qt::Key_Escape);
        QVERIFY(!ids->isVisible());
        filter->clear();
        filter->setFocus();
        QTest::keyClick(filter, Qt::Key_Escape);
        QVERIFY(!spells->isVisible());
    }
};

QTEST_MAIN(GuiCheckTest)
#include "gui_check_test.moc"
