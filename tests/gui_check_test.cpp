// Check as you type, undo and redo of the rows saved into a table, and the
// name filter, driven offscreen on an extracted sample game.
#include <QAction>
#include <QCheckBox>
#include <QHeaderView>
#include <QToolButton>
#include <QApplication>
#include <QLineEdit>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QSettings>
#include <QTableView>
#include <QTemporaryDir>
#include <QUndoStack>
#include <QtTest>

#include <algorithm>
#include <memory>

#include "actions/actions.h"
#include "gui/check_marks.h"
#include "gui/document.h"
#include "gui/edit_step.h"
#include "gui/section_model.h"
#include "gui/gui_context.h"
#include "io/progress.h"
#include "sample/sample_game.h"
#include "session/session.h"
#include "tables/edit_dialog.h"
#include "tables/list_binding.h"
#include "tables/open_windows.h"
#include "tables/section_chooser.h"
#include "tables/table_dialog.h"

#include "gui_window_test.h"

using namespace quorvane;
using namespace quorvane::gui;
using namespace views;

namespace {

constexpr int kItemPowers = 0;
constexpr int kSpells = 2;
constexpr int kSpellByte = 7;   // a one-byte column of the spells
constexpr int kSpellCost = 8;   // a two-byte column
constexpr int kFlagColumn = 1;  // "Placed On (1)", eight flag digits
constexpr int kHealing = 23;

void Flush() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

QString Check(const QLineEdit* field) { return field->property("check").toString(); }

QAction* ActionNamed(QWidget* w, const QString& text) {
    for (QAction* a : w->findChildren<QAction*>())
        if (a->text() == text) return a;
    return nullptr;
}

QColor Tint(const QTableView* list, int r, int c) {
    return views::Data(list, r, c, Qt::BackgroundRole).value<QBrush>().color();
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
        QTableView* list = spells->list();
        QVERIFY(IsBold(list, 4, kSpellByte));
        QCOMPARE(Tip(list, 4, kSpellByte), byte->toolTip());
        QCOMPARE(Tint(list, 4, kSpellByte), CheckTint(list->palette(), CheckMark::Error));
        QCOMPARE(Tip(list, 4, kSpellCost), QStringLiteral("Written as 60000."));
        QCOMPARE(Tint(list, 4, kSpellCost), CheckTint(list->palette(), CheckMark::Warning));
        QVERIFY(!IsTinted(list, 5, kSpellByte));

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
        QTableView* list = spells->list();
        const QString old4 = Grid(kSpells, 4, kSpellCost), old5 = Grid(kSpells, 5, kSpellCost);
        const QString new4 = NewCost(4, 1), new5 = NewCost(5, 2);
        SaveCell(spells, 4, kSpellCost, new4);
        SaveCell(spells, 5, kSpellCost, new5);
        QCOMPARE(document_->history().count(), 2);
        auto cost = [list](int row) { return Text(list, row, kSpellCost); };

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

        // "Revert Row" from the row's context menu puts the texts of the
        // extraction back, as one more step that Undo takes back.
        const QPoint at = list->visualRect(ViewIndex(list, 4)).center();
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
        // A grid replaced by a load or an extraction empties the history:
        // its steps were on texts that are gone.
        QVERIFY(document_->GridReplaced());
        RefillOpenWindows(*ctx_);
        QCOMPARE(document_->history().count(), 0);
        QVERIFY(!ActionNamed(spells, "Undo")->isEnabled());
        QCOMPARE(cost(4), old4);
    }

    // A click on a column header sorts by its numbers, a second one the
    // other way, a third goes back to file order; "Changed rows only" shows
    // the rows with pending edits or values other than the extraction's.
    // Whatever the order, a row opens its own record.
    void sortingAndChangedRowsKeepEachRowItsRecord() {
        TableDialog* spells = Table(kSpells);
        spells->show();
        QTableView* list = spells->list();
        QAbstractItemModel* shown = list->model();
        QHeaderView* header = list->horizontalHeader();
        auto costs = [&] {
            QList<qlonglong> out;
            for (int r = 0; r < shown->rowCount(); ++r) out << shown->index(r, kSpellCost).data().toLongLong();
            return out;
        };
        auto clickCost = [&] {
            QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                              QPoint(header->sectionViewportPosition(kSpellCost) + 4, header->height() / 2));
        };
        QList<qlonglong> fileOrder = costs();
        clickCost();
        QList<qlonglong> sorted = fileOrder;
        std::sort(sorted.begin(), sorted.end());
        QCOMPARE(costs(), sorted);
        QVERIFY(costs() != fileOrder);
        const int top = ListFilter(list)->SourceRow(0);
        EditDialog* editor = Open(spells, top);
        QVERIFY(editor);
        QCOMPARE(editor->ValueField(0)->text(), Grid(kSpells, top, 0));
        editor->close();
        clickCost();
        std::reverse(sorted.begin(), sorted.end());
        QCOMPARE(costs(), sorted);
        clickCost();
        QCOMPARE(costs(), fileOrder);

        SaveCell(spells, 4, kSpellCost, NewCost(4, 1));  // pending
        EditBuilder stored(*document_, QStringLiteral("Store"));
        stored.Store(kSpells, 9, kSpellByte, Grid(kSpells, 9, kSpellByte) == "1" ? "2" : "1");  // other than extracted
        QVERIFY(stored.Push());
        spells->changedOnlySwitch()->setChecked(true);
        QCOMPARE(shown->rowCount(), 2);
        QCOMPARE(ListFilter(list)->SourceRow(0), 4);
        QCOMPARE(ListFilter(list)->SourceRow(1), 9);
        spells->changedOnlySwitch()->setChecked(false);
        QCOMPARE(shown->rowCount(), 215);
    }

    // A row stored into the grid goes back to its values of the extraction
    // with "Revert Row", as a pending edit that "Close Tab" stores.
    void aStoredRowRevertsToItsGameValue() {
        TableDialog* spells = Table(kSpells);
        const QString old = Grid(kSpells, 4, kSpellCost);
        SaveCell(spells, 4, kSpellCost, NewCost(4, 1));
        spells->CloseTab();
        Flush();
        QVERIFY(Grid(kSpells, 4, kSpellCost) != old);
        spells = Table(kSpells);
        auto revert = [&] {
            QMenu* menu = spells->NewRowMenu(4);
            QAction* action = ActionNamed(menu, "Revert Row");
            const bool enabled = action->isEnabled();
            if (enabled) action->trigger();
            delete menu;
            return enabled;
        };
        QVERIFY(revert());
        QCOMPARE(Text(spells->list(), 4, kSpellCost), old);
        QVERIFY(IsBold(spells->list(), 4, kSpellCost));
        spells->CloseTab();
        Flush();
        QCOMPARE(Grid(kSpells, 4, kSpellCost), old);
        spells = Table(kSpells);
        QVERIFY(!revert());  // nothing left to revert
    }

    // Beside a value field of an edit dialog and of a form, a mark shows
    // while the field differs from the extraction, with that value in its
    // tooltip; pressed, it puts the value back.
    void fieldsDifferingFromTheirGameValueAreMarked() {
        EditDialog* editor = Open(Table(kSpells), 4);
        QVERIFY(editor);
        auto* form = qobject_cast<QDialog*>(DispatchSection(*ctx_, kHealing));
        QVERIFY(form);
        const struct {
            QLineEdit* field;
            QToolButton* mark;
            QString game;
        } fields[] = {
            {editor->ValueField(kSpellCost), editor->BaseMark(kSpellCost), Grid(kSpells, 4, kSpellCost)},
            {form->findChild<QLineEdit*>("value0"), form->findChild<QToolButton*>("value0Base"), Grid(kHealing, 0, 1)},
        };
        for (const auto& f : fields) {
            QVERIFY(f.field && f.mark);
            QVERIFY(f.mark->isHidden());
            QCOMPARE(f.mark->accessibleName(), QStringLiteral("Revert to game value"));
            f.field->setText(f.game + QStringLiteral("1"));
            QVERIFY(!f.mark->isHidden());
            QVERIFY2(f.mark->toolTip().contains(QLatin1Char('"') + f.game + QLatin1Char('"')), qPrintable(f.mark->toolTip()));
            f.mark->click();
            QCOMPARE(f.field->text(), f.game);
            QVERIFY(f.mark->isHidden());
        }
        // A form opened on a value stored since shows the mark at once.
        form->findChild<QLineEdit*>("value0")->setText(fields[1].game + QStringLiteral("1"));
        form->findChild<QPushButton*>("save")->click();
        Flush();
        form = qobject_cast<QDialog*>(DispatchSection(*ctx_, kHealing));
        QVERIFY(!form->findChild<QToolButton*>("value0Base")->isHidden());
    }

    // The grid counts as saved while the history stands where it stood at
    // the save, whatever steps were undone and redone in between; steps of
    // pending edits alone never make it unsaved; a step that changes nothing
    // is none.
    void historyTellsWhetherTheGridIsSaved() {
        Document& doc = *document_;
        auto store = [&](const char* text) {
            EditBuilder step(doc, QStringLiteral("Store"));
            step.Store(kHealing, 0, 1, text);
            return step.Push();
        };
        QVERIFY(!doc.HasUnsavedEdits());
        QVERIFY(store("12"));
        QVERIFY(doc.HasUnsavedEdits());
        doc.MarkSaved(doc.GridState());
        QVERIFY(!doc.HasUnsavedEdits());
        QVERIFY(!store("12"));  // the same text: no step
        QVERIFY(store("13"));
        QVERIFY(doc.HasUnsavedEdits());
        doc.history().undo();
        QVERIFY(!doc.HasUnsavedEdits());
        EditBuilder pending(doc, QStringLiteral("Show"));
        pending.Show(kSpells, 4, kSpellCost, "1234");
        QVERIFY(pending.Push());
        QVERIFY(!doc.HasUnsavedEdits());
        QCOMPARE(doc.PendingRows(kSpells), 1);
        doc.history().undo();
        doc.history().undo();  // the "12"
        QVERIFY(doc.HasUnsavedEdits());
        doc.history().redo();
        QVERIFY(!doc.HasUnsavedEdits());
        doc.history().undo();
        QVERIFY(store("14"));  // another way from before the save
        QVERIFY(doc.HasUnsavedEdits());
        doc.history().undo();
        QVERIFY(doc.HasUnsavedEdits());  // the saved state is no longer in the history
    }

    void filterHidesRowsByName() {
        session_->grid.SetArrayValue(kSpells, 10, 0, "\xc9" "clair");
        TableDialog* spells = Table(kSpells);
        spells->show();
        QTableView* list = spells->list();
        QLineEdit* filter = spells->filterField();
        QCOMPARE(filter->placeholderText(), QStringLiteral("Filter by name"));
        QCOMPARE(filter->accessibleName(), QStringLiteral("Filter by name"));

        // A part of row 9's name in the other case.
        const QString name = Text(list, 9, 0);
        QString part = name.mid(1, 3).toUpper();
        if (part == name.mid(1, 3)) part = part.toLower();
        filter->setFocus();
        QTest::keyClicks(filter, part);
        const int rows = RowCount(list);
        QCOMPARE(rows, 215);
        int shown = 0;
        for (int r = 0; r < rows; ++r) {
            const bool match = Text(list, r, 0).contains(part, Qt::CaseInsensitive);
            QCOMPARE(RowShown(list, r), match);
            shown += match;
        }
        QVERIFY(shown >= 1 && shown < rows);
        QVERIFY(RowShown(list, 9));

        // Escape clears the filter and leaves the window shown.
        filter->setFocus();
        QTest::keyClick(filter, Qt::Key_Escape);
        QCOMPARE(filter->text(), QString());
        QVERIFY(spells->isVisible());
        for (int r = 0; r < rows; ++r) QVERIFY(RowShown(list, r));

        // Accented letters match in either case. The one row shown stands
        // at the top, and a double-click there opens row 10's own record.
        filter->setText(QString::fromLatin1("\xe9" "CLA"));
        for (int r = 0; r < rows; ++r) QCOMPARE(RowShown(list, r), r == 10);
        QCOMPARE(list->rowAt(1), 0);
        QCOMPARE(ViewIndex(list, 10).row(), 0);
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
        auto* idList = ids->findChild<QTableView*>("list");
        idFilter->setText(QString::fromLatin1("\xe9" "CLA"));
        for (int r = 0; r < rows; ++r) QCOMPARE(RowShown(idList, r), RowShown(list, r));
        // Filled again (after a load or an extraction), both keep their filter.
        document_->GridReplaced();
        RefillOpenWindows(*ctx_);
        for (int r = 0; r < rows; ++r) {
            QCOMPARE(RowShown(idList, r), r == 10);
            QCOMPARE(RowShown(list, r), r == 10);
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
