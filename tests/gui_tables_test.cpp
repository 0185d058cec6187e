// The section chooser, the table dialogs, the edit dialogs and the help tabs,
// driven offscreen as a user would: double-clicks, typing, button presses.
#include <QApplication>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QSet>
#include <QSettings>
#include <QTableView>
#include <QTemporaryDir>
#include <QtTest>

#include <fstream>
#include <map>
#include <memory>

#include "actions/actions.h"
#include "gui/gui_context.h"
#include "gui/placement.h"
#include "io/progress.h"
#include "session/session.h"
#include "catalogue/catalogue.h"
#include "catalogue/layout.h"
#include "sample/sample_game.h"
#include "gui/document.h"
#include "tables/edit_dialog.h"
#include "tables/list_binding.h"
#include "tables/section_chooser.h"
#include "tables/table_dialog.h"

#include "gui_answer.h"

#include "gui_window_test.h"

using namespace quorvane;
using namespace quorvane::gui;
using namespace views;

namespace {

std::string Cell(int s, int r, int c) {
    return "v" + std::to_string(s) + "." + std::to_string(r) + "." + std::to_string(c);
}

QString Q(const std::string& s) { return QString::fromLatin1(s.c_str()); }

QPushButton* Button(QWidget* w, const QString& text) {
    for (auto* b : w->findChildren<QPushButton*>())
        if (b->text() == text) return b;
    return nullptr;
}

QList<QWidget*> Windows(const QString& name) {
    QList<QWidget*> out;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == name && w->isVisible()) out.push_back(w);
    return out;
}

QStringList WindowTitles(const QString& name) {
    QStringList out;
    for (QWidget* w : Windows(name)) out << w->windowTitle();
    return out;
}

void Flush() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

// A user's double-click: press and release, then the second press that the
// window system reports as a double-click.
void DoubleClick(QWidget* viewport, QPoint at) {
    QTest::mouseClick(viewport, Qt::LeftButton, {}, at);
    QTest::mouseDClick(viewport, Qt::LeftButton, {}, at);
}

void DoubleClickEntry(QListWidget* list, int row) {
    list->scrollToItem(list->item(row));
    DoubleClick(list->viewport(), list->visualItemRect(list->item(row)).center());
}

// Presses a help button and returns the window it opened (of object name
// `kind`), or nullptr when it opened none or more than one.
QWidget* PressForWindow(QWidget* button, const QString& kind = "HelpTab") {
    const QList<QWidget*> before = Windows(kind);
    qobject_cast<QPushButton*>(button)->click();
    QWidget* opened = nullptr;
    for (QWidget* w : Windows(kind)) {
        if (before.contains(w)) continue;
        if (opened) return nullptr;
        opened = w;
    }
    return opened;
}

// Texts of a help tab in the order they are shown.
QStringList LabelTexts(QWidget* w) {
    QStringList out;
    for (auto* l : w->findChildren<QLabel*>()) out << l->text();
    return out;
}

QStringList FlagTab(const QStringList& meanings) {
    QStringList lines = {"This is the order of the flags :", " 00001001", "|           |", "flag #7       flag #0",
                         "If a flag is set (=1), that means the corresponding statement is true. Otherwise, it's "
                         "false."};
    for (int b = 0; b < meanings.size(); ++b) lines << QStringLiteral("#%1 = %2").arg(b).arg(meanings[b]);
    return lines;
}

QStringList CodeLines(bool unitsOnly) {
    QStringList lines = {"3\tBarracks",          "4\tArmory",
                         "5\tFighters Guild",    "6\tArmorers Guild",
                         "7\tWar College",       "8\tSmithy",
                         "9\tStables",           "10\tAnimists Guild",
                         "11\tFantastic Stable", "12\tShipwrights Guild",
                         "13\tShip Yard",        "14\tMaritime Guild",
                         "15\tSawmill",          "16\tLibrary",
                         "17\tSages Guild",      "18\tOracle",
                         "19\tAlchemists Guild", "20\tUniversity",
                         "21\tWizards Guild",    "22\tShrine",
                         "23\tTemple",           "24\tParthenon",
                         "25\tCathedral",        "26\tMarketplace",
                         "27\tBank",             "28\tMerchants Guild",
                         "29\tGranary",          "30\tFarmers Market",
                         "31\tForesters Guild",  "32\tBuilders Hall",
                         "33\tMechanicians Guild", "34\tMiners Guild",
                         "35\tCity Walls"};
    if (!unitsOnly) lines << "101\tForest Terrain" << "110\tWater Terrain" << "200\tMineral Terrain Specials";
    return lines;
}

// Every help button, editor by editor: column and the title of what it opens
// ("Spell ID's" for the spell-ID list).
const std::map<QString, std::map<int, QString>>& HelpMapping() {
    static const std::map<QString, std::map<int, QString>> m = {
        {"CitemPwrEdit",
         {{1, "Can Be Enchanted on (1)"}, {2, "Can Be Enchanted on (2)"}, {4, "Power Type"},
          {5, "Stat Bonus / Spell Books"}, {6, "Specials (1)"}, {7, "Specials (2)"}, {8, "Specials (3)"},
          {9, "Specials (4)"}}},
        {"CBuildingEdit",
         {{1, "Building Requierment One"}, {2, "Building Requierment Two"}, {3, "Building Replaces"},
          {4, "Building Regular Exp"}, {5, "Building Veteran Exp"}, {6, "Building Magical Weapons"}}},
        {"CSpellEdit",
         {{4, "Spell Book Section"}, {5, "Magic Realm"}, {6, "Spell Casting Eligibility"}, {8, "Casting Cost"},
          {10, "Casting Sound Effect"}, {12, "Summoned Unit Values"}}},
        {"CUnitEdit",
         {{3, "Ranged Attack Type"}, {8, "Units Movement"}, {9, "Units Cost"}, {10, "Summoned Units Cost"},
          {11, "Units Race Code"}, {12, "Units Building Requiered"}, {13, "Units Hero Item Slots"},
          {16, "Units Hit Points"}, {18, "Transport Capacity"}, {19, "Units Figurines"},
          {20, "Unit Contruction Capacity"}, {22, "Units Movement Flags"}, {24, "Units Imunity Flags"},
          {25, "Units Attribute Flags (1)"}, {26, "Units Attribute Flags (2)"}, {28, "Units Attribute Flags (3)"},
          {29, "Units Attribute Flags (4)"}, {30, "Units Special Attacks (1)"}, {31, "Units Special Attacks (2)"}}},
        {"CRaceEdit",
         {{1, "Number of Banned Buildings"}, {2, "1st Building Banned"}, {3, "2nd Building Banned"},
          {4, "3rd Building Banned"}, {5, "4th Building Banned"}, {6, "5th Building Banned"},
          {7, "6th Building Banned"}, {8, "7th Building Banned"}, {9, "Outpost Growth"}, {10, "City Growth"},
          {11, "Housing Picture"}}},
        {"CUpkeepEdit", {}},
        {"CHeroStatsEdit",
         {{5, "Hero Abilities (1)"}, {6, "Hero Abilities (2)"}, {7, "Hero Abilities (3)"}, {8, "Hero Abilities (4)"},
          {11, "Spell ID's"}, {13, "Spell ID's"}, {15, "Spell ID's"}, {17, "Spell ID's"}}},
    };
    return m;
}

struct EditExpectation {
    int section;
    const char* table;
    const char* editor;
    const char* caption;
    const char* discard;
};
const EditExpectation kEditors[] = {
    {0, "CItemPwr", "CitemPwrEdit", "Item Powers Edit", "Discard Changes and Close Tab"},
    {1, "CBuilding", "CBuildingEdit", "Building Edit", "Discard Changes and Close Tab"},
    {2, "CSpell", "CSpellEdit", "Spell Edit", "Discard Changes and Close Tab"},
    {19, "CUnits", "CUnitEdit", "Unit Edit", "Discard Changes and Close Tab"},
    {20, "CRaceData", "CRaceEdit", "Race Edit", "Discard Changes And Close Tab"},
    {21, "CUpkeepCost", "CUpkeepEdit", "Upkeep Cost Edit", "Discard Changes and Close Tab"},
    {22, "CHeroStats", "CHeroStatsEdit", "Hero Stats Edit", "Discard Changes and Close Tab"},
};

}  // namespace

class GuiTablesTest : public WindowTestBase {
    Q_OBJECT

private:

    void FillGrid() {
        for (int s = 0; s < kSectionCount; ++s)
            for (int r = 0; r < Rows(s); ++r)
                for (int c = 0; c < Columns(s); ++c) session_->grid.SetArrayValue(s, r, c, Cell(s, r, c));
    }

    std::string G(int s, int r, int c) const { return std::string(session_->grid.GetArrayValue(s, r, c)); }

    TableDialog* Table(int s) { return qobject_cast<TableDialog*>(DispatchSection(*ctx_, s)); }

    // Sets one cell of a table's row as a saved edit dialog would.
    static void EditCell(TableDialog* table, int row, int column, const QString& text) {
        QStringList texts;
        for (int c = 0; c < table->list()->model()->columnCount(); ++c) texts << Text(table->list(), row, c);
        texts[column] = text;
        table->SaveRow(row, texts);
    }

    EditDialog* OpenByDoubleClick(TableDialog* table, int row) {
        const int before = Windows(table->kind().edit->className).size();
        DoubleClickRow(table->list(), row);
        const QList<QWidget*> after = Windows(table->kind().edit->className);
        if (after.size() != before + 1) return nullptr;
        for (QWidget* w : after) {
            auto* e = qobject_cast<EditDialog*>(w);
            if (e && e->row() == row) return e;
        }
        return nullptr;
    }

private slots:
    void init() {
        StartSession();
        FillGrid();
    }

    void cleanup() { CloseEveryWindow(); }

    void chooserListsTheSectionsInOrder() {
        QWidget* chooser = OpenSectionChooser(*ctx_, nullptr);
        QVERIFY(chooser);
        QCOMPARE(chooser->objectName(), QStringLiteral("CSection"));
        QCOMPARE(chooser->windowTitle(), QStringLiteral("Select a Section"));
        QVERIFY(Button(chooser, "Close Tab"));
        auto* list = chooser->findChild<QListWidget*>();
        QVERIFY(list);
        QCOMPARE(list->count(), 43);
        for (int i = 0; i < 43; ++i) {
            QCOMPARE(list->item(i)->text(), Q(DisplayName(i)));
            QCOMPARE(list->visualItemRect(list->item(i)).height(), 25);
        }
        QCOMPARE(list->item(0)->text(), QStringLiteral("Item Powers"));
        QCOMPARE(list->item(10)->text(), QStringLiteral("Gnoll units"));
        QCOMPARE(list->item(42)->text(), QStringLiteral("Food Buildings"));
        // One chooser at a time; Escape ends it and frees its registry entry.
        QCOMPARE(OpenSectionChooser(*ctx_, nullptr), chooser);
        QPointer<QWidget> guard = chooser;
        QTest::keyClick(list, Qt::Key_Escape);
        Flush();
        QVERIFY(guard.isNull());
        QVERIFY(registry_.Find("CSection") == nullptr);
        QVERIFY(OpenSectionChooser(*ctx_, nullptr) != nullptr);
    }

    void chooserDoubleClickOpensOneWindowPerKind() {
        QWidget* chooser = OpenSectionChooser(*ctx_, nullptr);
        auto* list = chooser->findChild<QListWidget*>();
        DoubleClickEntry(list, 2);
        DoubleClickEntry(list, 2);
        QCOMPARE(WindowTitles("CSpell"), QStringList{"Spells"});
        DoubleClickEntry(list, 30);
        QCOMPARE(WindowTitles(SectionWindowClass(30)), QStringList{"Create Spell Charges Costs"});
        // Tables and forms stay when the chooser closes.
        Button(chooser, "Close Tab")->click();
        Flush();
        QCOMPARE(Windows("CSpell").size(), 1);
        QCOMPARE(Windows(SectionWindowClass(30)).size(), 1);
    }

    void dispatcherHasTwentySevenKindsAndCaptionsByDisplayName() {
        // The caption each window has when it is first shown.
        struct FirstShownTitles : QObject {
            QHash<QString, QString> titles;
            bool eventFilter(QObject* o, QEvent* e) override {
                auto* w = qobject_cast<QWidget*>(o);
                if (e->type() == QEvent::Show && w && w->isWindow() && !titles.contains(w->objectName()))
                    titles.insert(w->objectName(), w->windowTitle());
                return false;
            }
        } shown;
        qApp->installEventFilter(&shown);
        QSet<QString> kinds;
        for (int s = 0; s < 43; ++s) {
            QWidget* w = DispatchSection(*ctx_, s);
            QVERIFY(w);
            QCOMPARE(w->objectName(), SectionWindowClass(s));
            QCOMPARE(w->windowTitle(), Q(DisplayName(s)));
            QVERIFY(w->isVisible());
            QVERIFY(w->parentWidget() == nullptr);
            kinds.insert(SectionWindowClass(s));
            QCOMPARE(DispatchSection(*ctx_, s), w);
        }
        qApp->removeEventFilter(&shown);
        // A form never shows its own template caption.
        for (int s = kFirstConstantSection; s < kSectionCount; ++s)
            QCOMPARE(shown.titles.value(SectionWindowClass(s)), Q(DisplayName(s)));
        QCOMPARE(kinds.size(), 27);
        QCOMPARE(SectionWindowClass(0), QStringLiteral("CItemPwr"));
        QCOMPARE(SectionWindowClass(3), QStringLiteral("CUnits"));
        QCOMPARE(SectionWindowClass(19), QStringLiteral("CUnits"));
        QCOMPARE(SectionWindowClass(22), QStringLiteral("CHeroStats"));
        QVERIFY(DispatchSection(*ctx_, -1) == nullptr);
        QVERIFY(DispatchSection(*ctx_, 43) == nullptr);
        QVERIFY(SectionWindowClass(43).isEmpty());
    }

    void tableShowsItsSectionWithCloseTabOnTop() {
        TableDialog* t = Table(0);
        QCOMPARE(t->objectName(), QStringLiteral("CItemPwr"));
        QTableView* list = t->list();
        QCOMPARE(RowCount(list), 66);
        QCOMPARE(list->model()->columnCount(), 10);
        QCOMPARE(list->model()->headerData(1, Qt::Horizontal).toString(), QStringLiteral("Placed On (1)"));
        QCOMPARE(Text(list, 65, 9), Q(Cell(0, 65, 9)));
        // Default widths: the names as wide as the longest, the others
        // (characters + 1) * 10.
        for (int r = 0; r < RowCount(list); ++r)
            QVERIFY(list->columnWidth(0) > list->fontMetrics().horizontalAdvance(Text(list, r, 0)));
        QCOMPARE(list->columnWidth(1), 140);
        QCOMPARE(list->selectionBehavior(), QAbstractItemView::SelectRows);
        QCOMPARE(list->selectionMode(), QAbstractItemView::SingleSelection);
        QVERIFY(list->editTriggers() == QAbstractItemView::NoEditTriggers);
        QVERIFY(!(t->windowFlags() & Qt::WindowCloseButtonHint));
        QPushButton* close = Button(t, "Close Tab");
        QVERIFY(close);
        QVERIFY(close->geometry().bottom() < list->geometry().top());
    }

    void escapeHidesAndTheSameWindowComesBackWithItsEdits() {
        TableDialog* t = Table(2);
        EditDialog* e = OpenByDoubleClick(t, 4);
        QVERIFY(e);
        e->ValueField(8)->setText("777");
        Button(e, "Save Changes And Close Tab")->click();
        QCOMPARE(Text(t->list(), 4, 8), QStringLiteral("777"));
        QTest::keyClick(t->list(), Qt::Key_Escape);
        QVERIFY(!t->isVisible());
        QCOMPARE(registry_.Find("CSpell"), t);
        QCOMPARE(G(2, 4, 8), Cell(2, 4, 8));  // not stored by hiding
        QCOMPARE(Table(2), t);
        QVERIFY(t->isVisible());
        QCOMPARE(Text(t->list(), 4, 8), QStringLiteral("777"));
        Button(t, "Close Tab")->click();
        Flush();
        QCOMPARE(G(2, 4, 8), std::string("777"));
        QVERIFY(registry_.Find("CSpell") == nullptr);
        // Chosen again after closing: a fresh window filled from the grid.
        TableDialog* again = Table(2);
        QVERIFY(again);
        QCOMPARE(Text(again->list(), 4, 8), QStringLiteral("777"));
    }

    void closeTabStoresExactlyItsOwnSection() {
        TableDialog* items = Table(0);
        TableDialog* buildings = Table(1);
        EditCell(items, 3, 2, "item edit");
        EditCell(buildings, 3, 2, "building edit");
        Button(items, "Close Tab")->click();
        Flush();
        QCOMPARE(G(0, 3, 2), std::string("item edit"));
        QCOMPARE(G(1, 3, 2), Cell(1, 3, 2));
        QCOMPARE(G(0, 3, 3), Cell(0, 3, 3));
        // Closing without edits writes the same texts back.
        document_->MarkSaved(document_->GridState());
        Button(buildings, "Close Tab")->click();
        Flush();
        QCOMPARE(G(1, 3, 2), std::string("building edit"));
        QVERIFY(document_->HasUnsavedEdits());
        document_->MarkSaved(document_->GridState());
        Button(Table(1), "Close Tab")->click();
        QVERIFY(!document_->HasUnsavedEdits());
        QCOMPARE(G(1, 35, 16), Cell(1, 35, 16));
    }

    void editDialogsSaveIntoTheirOwnRows() {
        TableDialog* t = Table(2);
        EditDialog* a = OpenByDoubleClick(t, 3);
        EditDialog* b = OpenByDoubleClick(t, 7);
        QVERIFY(a && b);
        QCOMPARE(a->ValueField(0)->text(), Q(Cell(2, 3, 0)));
        QCOMPARE(b->ValueField(8)->text(), Q(Cell(2, 7, 8)));
        QVERIFY(a->ValueField(0)->isReadOnly());
        QVERIFY(!a->ValueField(1)->isReadOnly());
        QTest::keyClicks(a->ValueField(0), "typed");  // the name cannot be typed into
        QCOMPARE(a->ValueField(0)->text(), Q(Cell(2, 3, 0)));
        a->ValueField(8)->setText("abc");  // not checked: any text goes
        b->ValueField(9)->setText("42");
        Button(b, "Save Changes And Close Tab")->click();
        Button(a, "Save Changes And Close Tab")->click();
        QCOMPARE(Text(t->list(), 3, 8), QStringLiteral("abc"));
        QCOMPARE(Text(t->list(), 7, 9), QStringLiteral("42"));
        QCOMPARE(Text(t->list(), 3, 9), Q(Cell(2, 3, 9)));
        QCOMPARE(Text(t->list(), 7, 8), Q(Cell(2, 7, 8)));
        // Discard and Escape leave the row alone.
        EditDialog* c = OpenByDoubleClick(t, 3);
        c->ValueField(8)->setText("discarded");
        Button(c, "Discard Changes and Close Tab")->click();
        EditDialog* d = OpenByDoubleClick(t, 3);
        QCOMPARE(d->ValueField(8)->text(), QStringLiteral("abc"));  // filled from the list
        d->ValueField(8)->setText("escaped");
        QTest::keyClick(d->ValueField(8), Qt::Key_Escape);
        Flush();
        QVERIFY(Windows("CSpellEdit").isEmpty());
        QCOMPARE(Text(t->list(), 3, 8), QStringLiteral("abc"));
        Button(t, "Close Tab")->click();
        QCOMPARE(G(2, 3, 8), std::string("abc"));
        QCOMPARE(G(2, 7, 9), std::string("42"));
    }

    void doubleClickOnNoRowOpensNothing() {
        TableDialog* t = Table(21);
        t->list()->clearSelection();
        // Below the last row: nothing is hit and nothing is selected.
        t->resize(600, 4000);
        QCoreApplication::processEvents();
        const QRect last = t->list()->visualRect(t->list()->model()->index(81, 0));
        QVERIFY(last.bottom() + 20 < t->list()->viewport()->height());
        DoubleClick(t->list()->viewport(), QPoint(10, last.bottom() + 10));
        QVERIFY(Windows("CUpkeepEdit").isEmpty());
        QVERIFY(t->OpenEditor(-1) == nullptr);
    }

    void fieldsAreCutAt254OnlyWhenTyped() {
        const std::string long300(300, 'x');
        session_->grid.SetArrayValue(2, 0, 1, long300);
        TableDialog* t = Table(2);
        QCOMPARE(Text(t->list(), 0, 1).size(), 300);  // shown unchanged
        EditDialog* e = OpenByDoubleClick(t, 0);
        QVERIFY(e);
        QCOMPARE(e->ValueField(1)->text().size(), 300);  // filled from the cell, whole
        e->ValueField(2)->setText(QString(300, 'y'));
        e->ValueField(3)->setText(QString(254, 'z'));
        Button(e, "Save Changes And Close Tab")->click();
        QCOMPARE(Text(t->list(), 0, 1), Q(long300));  // not typed into: kept whole
        QCOMPARE(Text(t->list(), 0, 2), QString(254, 'y'));
        QCOMPARE(Text(t->list(), 0, 3), QString(254, 'z'));
        EditCell(t, 0, 4, QString(300, 'w'));
        Button(t, "Close Tab")->click();
        QCOMPARE(G(2, 0, 4), std::string(300, 'w'));  // cells are read back whole
        QCOMPARE(G(2, 0, 2), std::string(254, 'y'));
        QCOMPARE(G(2, 0, 1), long300);
    }

    void unusableColumnWidthsRestoreTheDefault_data() {
        QTest::addColumn<int>("stored");
        QTest::addColumn<int>("shown");
        QTest::newRow("zero") << 0 << 160;  // "Requierment (1)": (15 + 1) * 10
        QTest::newRow("negative") << -40 << 160;
        QTest::newRow("just too small") << kSmallestColumnWidth - 1 << 160;
        QTest::newRow("narrow but usable") << 30 << 30;
    }

    void unusableColumnWidthsRestoreTheDefault() {
        QFETCH(int, stored);
        QFETCH(int, shown);
        SaveColumnWidth(*ctx_, 1, 1, stored);
        QCOMPARE(Table(1)->list()->columnWidth(1), shown);
    }

    void columnWidthsPersistUnderTheNestedKey() {
        QCOMPARE(ColumnWidthGroup(1, 3), QStringLiteral("List Control Settings/BUILDINGS/3"));
        QCOMPARE(ColumnWidthEntry(3), QStringLiteral("3"));
        QCOMPARE(GetColumnWidth(*ctx_, 1, 3), -1);
        TableDialog* t = Table(1);
        QCOMPARE(t->list()->columnWidth(3), 90);  // "Replaces": (8 + 1) * 10
        const int names = t->list()->columnWidth(0);
        t->list()->setColumnWidth(3, 222);
        Button(t, "Close Tab")->click();
        Flush();
        QCOMPARE(GetColumnWidth(*ctx_, 1, 3), 222);
        QCOMPARE(GetColumnWidth(*ctx_, 1, 0), names);
        // Nested: List Control Settings, then the header, then the column,
        // holding a value named by the column.
        settings_->beginGroup("List Control Settings");
        QVERIFY(settings_->childGroups().contains("BUILDINGS"));
        settings_->beginGroup("BUILDINGS");
        QVERIFY(settings_->childGroups().contains("3"));
        settings_->beginGroup("3");
        QCOMPARE(settings_->childKeys(), QStringList{"3"});
        QCOMPARE(settings_->value("3").toInt(), 222);
        settings_->endGroup();
        settings_->endGroup();
        settings_->endGroup();
        settings_->sync();
        QFile file(settings_->fileName());
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray ini = file.readAll();
        QVERIFY(ini.contains("[List%20Control%20Settings]"));
        QVERIFY(ini.contains("BUILDINGS\\3\\3=222"));
        // A later session's table opens with the stored width.
        QSettings reread(settings_->fileName(), QSettings::IniFormat);
        GuiContext other{*session_, reread, registry_, *document_};
        QCOMPARE(GetColumnWidth(other, 1, 3), 222);
        QCOMPARE(Table(1)->list()->columnWidth(3), 222);
    }

    void spellIdListShowsEverySpellWithItsId() {
        QTemporaryDir logDir;
        QVERIFY(session_->log.Open(logDir.filePath("trace.txt").toStdString()));
        QDialog* ids = OpenSpellIdList(*ctx_);
        session_->log.Close();
        QCOMPARE(ids->objectName(), QStringLiteral("CSpellID"));
        QCOMPARE(ids->windowTitle(), QStringLiteral("Spell ID's"));
        auto* list = ids->findChild<QTableView*>();
        QCOMPARE(RowCount(list), 215);
        QCOMPARE(list->model()->columnCount(), 2);
        QCOMPARE(list->model()->headerData(0, Qt::Horizontal).toString(), QStringLiteral("Spell Name"));
        QCOMPARE(list->model()->headerData(1, Qt::Horizontal).toString(), QStringLiteral("Spell ID"));
        QCOMPARE(list->columnWidth(0), 165);
        QCOMPARE(list->columnWidth(1), 135);
        QCOMPARE(Text(list, 0, 1), QStringLiteral("-1"));
        QCOMPARE(Text(list, 1, 1), QStringLiteral("0"));
        QCOMPARE(Text(list, 214, 1), QStringLiteral("213"));
        QCOMPARE(Text(list, 214, 0), Q(Cell(2, 214, 0)));
        QPushButton* close = Button(ids, "Close Tab");
        QVERIFY(close->geometry().top() > list->geometry().bottom());
        DoubleClickRow(list, 3);
        QCOMPARE(Windows("CSpellEdit").size(), 0);
        QFile trace(logDir.filePath("trace.txt"));
        QVERIFY(trace.open(QIODevice::ReadOnly));
        const QByteArray text = trace.readAll();
        QVERIFY(text.startsWith("LoadArrayTable shows section 2\n"));
        QVERIFY(text.contains("LoadArrayTable j 0\n"));
        QVERIFY(text.contains("LoadArrayTable j 214\n"));
        // The widths of this list are never stored.
        close->click();
        QVERIFY(!settings_->childGroups().contains("List Control Settings"));
    }

    void unitWindowStoresAndReloadsOnAnotherUnitSection() {
        TableDialog* units = Table(5);  // Barbarian Units, 7 rows
        QCOMPARE(RowCount(units->list()), 7);
        EditCell(units, 0, 1, "barbarian edit");
        QPointer<EditDialog> editor = OpenByDoubleClick(units, 2);
        QVERIFY(editor);
        // The list holds an edit: the window asks before it switches.
        auto asked = testing::AnswerNextBox("Store and Switch");
        QCOMPARE(Table(6), units);  // Beastmen Units, 11 rows
        QCOMPARE(asked->asked, 1);
        Flush();
        QCOMPARE(Windows("CUnits").size(), 1);
        QCOMPARE(units->windowTitle(), QStringLiteral("Beastmen Units"));
        QCOMPARE(units->boundSection(), 6);
        QCOMPARE(RowCount(units->list()), 11);
        QCOMPARE(Text(units->list(), 10, 32), Q(Cell(6, 10, 32)));
        QCOMPARE(G(5, 0, 1), std::string("barbarian edit"));
        QVERIFY(editor.isNull());  // its rows are gone from the window
        EditCell(units, 0, 1, "beastmen edit");
        Button(units, "Close Tab")->click();
        QCOMPARE(G(6, 0, 1), std::string("beastmen edit"));
        QCOMPARE(G(5, 0, 1), std::string("barbarian edit"));
    }

    void closingATableClosesItsEditDialogs() {
        TableDialog* t = Table(22);
        QPointer<EditDialog> e = OpenByDoubleClick(t, 1);
        QVERIFY(e);
        e->ValueField(2)->setText("lost");
        // The typed value is dropped only when the user says so.
        auto asked = testing::AnswerNextBox("Discard and Close");
        Button(t, "Close Tab")->click();
        QCOMPARE(asked->asked, 1);
        Flush();
        QVERIFY(e.isNull());
        QCOMPARE(G(22, 1, 2), Cell(22, 1, 2));
    }

    void editDialogsHaveTheirCaptionsButtonsAndLayout() {
        for (const EditExpectation& x : kEditors) {
            TableDialog* t = Table(x.section);
            QCOMPARE(t->objectName(), QString(x.table));
            EditDialog* e = OpenByDoubleClick(t, 0);
            QVERIFY2(e, x.editor);
            QCOMPARE(e->objectName(), QString(x.editor));
            // The caption names the record.
            QCOMPARE(e->windowTitle(), QString(x.caption) + QStringLiteral(" - ") + Q(Cell(x.section, 0, 0)));
            QVERIFY(Button(e, "Save Changes And Close Tab"));
            QVERIFY2(Button(e, x.discard), x.editor);
            const auto& help = HelpMapping().at(x.editor);
            int buttons = 0;
            for (int c = 0; c < Columns(x.section); ++c) {
                QWidget* label = e->LabelWidget(c);
                QLineEdit* value = e->ValueField(c);
                const QString name = Q(ColumnName(x.section, c));
                if (help.count(c)) {
                    auto* b = qobject_cast<QPushButton*>(label);
                    QVERIFY2(b, qPrintable(QString("%1 %2").arg(x.editor).arg(c)));
                    QCOMPARE(b->text(), name);
                    ++buttons;
                } else {
                    auto* f = qobject_cast<QLineEdit*>(label);
                    QVERIFY2(f && f->isReadOnly(), qPrintable(QString("%1 %2").arg(x.editor).arg(c)));
                    QCOMPARE(f->text(), name);
                }
                QCOMPARE(value->text(), Q(Cell(x.section, 0, c)));
                QVERIFY(label->geometry().bottom() < value->geometry().top());
                QCOMPARE(label->geometry().left(), value->geometry().left());
            }
            QCOMPARE(buttons, static_cast<int>(help.size()));
        }
        // Five to a line: column 5 starts the second line under column 0.
        EditDialog* spell = qobject_cast<EditDialog*>(Windows("CSpellEdit").first());
        QCOMPARE(spell->ValueField(5)->x(), spell->ValueField(0)->x());
        QVERIFY(spell->ValueField(5)->y() > spell->ValueField(4)->y());
        QCOMPARE(spell->ValueField(4)->y(), spell->ValueField(0)->y());
        // Buildings: 15 and 16 in the first and fifth place of the fourth line.
        auto* b = qobject_cast<EditDialog*>(Windows("CBuildingEdit").first());
        QCOMPARE(b->ValueField(15)->x(), b->ValueField(0)->x());
        QCOMPARE(b->ValueField(16)->x(), b->ValueField(4)->x());
        QCOMPARE(b->ValueField(16)->y(), b->ValueField(15)->y());
        QVERIFY(b->ValueField(15)->y() > b->ValueField(14)->y());
        // Hero stats: the last line holds four wider places.
        auto* h = qobject_cast<EditDialog*>(Windows("CHeroStatsEdit").first());
        QCOMPARE(h->ValueField(15)->x(), h->ValueField(0)->x());
        QCOMPARE(h->ValueField(18)->y(), h->ValueField(15)->y());
        QVERIFY(h->ValueField(15)->width() > h->ValueField(0)->width());
        QVERIFY(h->ValueField(18)->geometry().right() >= h->ValueField(14)->geometry().right() - 2);
    }

    void everyHelpButtonOpensAMappedTab() {
        for (const EditExpectation& x : kEditors) {
            EditDialog* e = OpenByDoubleClick(Table(x.section), 0);
            QVERIFY(e);
            for (const auto& [column, title] : HelpMapping().at(x.editor)) {
                auto* button = qobject_cast<QPushButton*>(e->LabelWidget(column));
                QVERIFY(button);
                const QString kind = title == "Spell ID's" ? "CSpellID" : "HelpTab";
                QWidget* opened = PressForWindow(button, kind);
                QVERIFY2(opened, qPrintable(title));
                QCOMPARE(opened->windowTitle(), title);
                if (kind == "HelpTab") QVERIFY(!LabelTexts(opened).isEmpty());
            }
        }
        // Each press opens another one, and they outlive their editor.
        EditDialog* items = qobject_cast<EditDialog*>(Windows("CitemPwrEdit").first());
        const int powerTabs = WindowTitles("HelpTab").count("Power Type");
        qobject_cast<QPushButton*>(items->LabelWidget(4))->click();
        qobject_cast<QPushButton*>(items->LabelWidget(4))->click();
        items->close();
        Flush();
        QCOMPARE(WindowTitles("HelpTab").count("Power Type"), powerTabs + 2);
        // The hero editor's four Known Spell buttons open spell-ID lists.
        QCOMPARE(Windows("CSpellID").size(), 4);
        for (QWidget* w : Windows("CSpellID")) QCOMPARE(RowCount(w->findChild<QTableView*>()), 215);
    }

    void flagByteTabShowsItsFullText() {
        EditDialog* e = OpenByDoubleClick(Table(0), 0);
        QWidget* tab = PressForWindow(e->LabelWidget(7));
        QVERIFY(tab);
        QCOMPARE(tab->windowTitle(), QStringLiteral("Specials (2)"));
        QCOMPARE(LabelTexts(tab), FlagTab({"Invisibility", "Haste", "Edurance", "Stoning", "Chaos", "Elemental Armor",
                                           "Resist Elements", "Water Walking"}));
        QPushButton* close = Button(tab, "Close Tab");
        QVERIFY(close);
        QVERIFY(close->geometry().bottom() < tab->findChildren<QLabel*>().first()->geometry().top());
        QPointer<QWidget> guard = tab;
        close->click();
        Flush();
        QVERIFY(guard.isNull());

        // A flag tab with a note below its flags.
        EditDialog* u = OpenByDoubleClick(Table(3), 0);
        QWidget* noted = PressForWindow(u->LabelWidget(28));
        QVERIFY(noted);
        QStringList expected = FlagTab({"This bit is set for all summoned units.See Note One.", "Large Shield",
                                        "Plane Shift", "Wall Crusher", "Healer", "Create Outpost", "Invisibility",
                                        "Create Undead"});
        expected << "Note One : Setting this causes :"
                 << "Upkeep mana instead of gold+food,upkeep calculations unaffected."
                 << "Prevents some spells from being cast on the unit."
                 << "Prevents the unit from gaining XP."
                 << "May have other unknown effects.";
        QCOMPARE(LabelTexts(noted), expected);
    }

    void buildingCodeTabsShowTheirFullText() {
        EditDialog* race = OpenByDoubleClick(Table(20), 0);
        QWidget* tab = PressForWindow(race->LabelWidget(6));
        QVERIFY(tab);
        QCOMPARE(tab->windowTitle(), QStringLiteral("5th Building Banned"));
        QStringList expected = {
            "Fith building banned for this race - ignored if the number of banned buildings is 4 or lower.",
            "Valid Values are :"};
        expected << CodeLines(false);
        QCOMPARE(LabelTexts(tab), expected);
        // Three columns of twelve.
        const QList<QLabel*> labels = tab->findChildren<QLabel*>();
        QCOMPARE(labels[2]->x(), labels[3]->x());
        QVERIFY(labels[14]->x() > labels[2]->x());
        QVERIFY(labels[26]->x() > labels[14]->x());
        QCOMPARE(labels[14]->y(), labels[2]->y());

        EditDialog* unit = OpenByDoubleClick(Table(3), 0);
        tab = PressForWindow(unit->LabelWidget(13));
        QVERIFY(tab);
        QCOMPARE(tab->windowTitle(), QStringLiteral("Units Hero Item Slots"));
        expected = QStringList{"Normal Units :", "Building requiered to create this unit.", "Valid Values Are :"};
        expected << CodeLines(true);
        expected << "Hero Units : "
                 << "Item Slot Configuration - Values are :"
                 << "00 sword/shield/ring"
                 << "01 bow/shield/ring"
                 << "02 mixed/shield/ring"
                 << "03 wand/ring/ring"
                 << "Summoned Units :"
                 << "Always 00.";
        QCOMPARE(LabelTexts(tab), expected);
    }

    void textTabsShowTheirFullText() {
        EditDialog* spell = OpenByDoubleClick(Table(2), 0);
        QWidget* tab = PressForWindow(spell->LabelWidget(6));
        QVERIFY(tab);
        QCOMPARE(tab->windowTitle(), QStringLiteral("Spell Casting Eligibility"));
        QCOMPARE(LabelTexts(tab),
                 QStringList({"Casting Eligibility", "Number values are as follows :", "254\tCombat only",
                              "255\tCombat only", "  0\tCombat or overland, overland cost 5x combat cost",
                              "  1\tOverland only", "  2\tCombat or overland, overland cost 5x combat cost",
                              "  3\tCombat or overland, overland cost 5x combat cost, fri'\n'y city only",
                              "  4\tCombat or overland, overland cost same as combat cost",
                              "  5\tOverland only, only while banished"}));
        QCOMPARE(LabelTexts(PressForWindow(spell->LabelWidget(10))), QStringList{"Sound effect when casting spell."});

        EditDialog* unit = OpenByDoubleClick(Table(3), 0);
        tab = PressForWindow(unit->LabelWidget(3));
        QVERIFY(tab);
        QCOMPARE(tab->windowTitle(), QStringLiteral("Ranged Attack Type"));
        QCOMPARE(LabelTexts(tab),
                 QStringList({"Ranged Attack Type Valid Values :", "255\t\tNone", "10\t\tRock", "20\t\tArrow",
                              "21\t\tBulletSlingers", "30\t\tChaos Magic\t\tWarlock, Chaos Warrior, Storm Giant",
                              "31\t\tChaos Magic\t\tWarrior Mage, Magician, Witch, Golden One, Unknown, Magicians, "
                              "Warlocks",
                              "32\t\tSorcery Magic\t\tSage, Illusionist",
                              "33\t\tChaos Magic\t\tNecromancer, Shadow Demons, Demon Lord",
                              "34\t\tNature Magic\t\tWind Mage", "35\t\tNature Magic\t\tHealer, Priestess, Shamans, Priests",
                              "36\t\tChaos Magic\t\tDark Elves (Spearmen, Swordsmen, Halberdiers, Cavalry, Nightmares)",
                              "37\t\tNature Magic\t\tSprites", "38\t\tNature Magic\t\tDruid", "100\t\tThrown Weapons",
                              "101\t\tFire Breath", "102\t\tLightning Breath\t\tSky Drake",
                              "103\t\tStoning Gaze\t\tBasilisk, Gorgons", "104\t\tMultiple Gaze\t\tChaos Spawn",
                              "105\t\tDeath Gaze\t\tNight Stalker "}));
        QCOMPARE(LabelTexts(PressForWindow(unit->LabelWidget(9))),
                 QStringList({"Heroes :",
                              "The cost to hire a hero also determines the fame needed. The fame level is "
                              "(hire_cost - 100.) / 10. rounded down.",
                              "Normal Units :", "Cost to build.", "Summoned Units * : ",
                              "Cost to place in lair, node or rampaging force.",
                              "*  The cost in the unit table is not used for units summoned by a wizard. For changing "
                              "spell costs see the Spells section.",
                              "* Editing the costs in the unit tables should change the average number of creatures "
                              "in lairs."}));
    }

    // Extract, change a spell's cost by mouse, save, write: the cost lands in
    // SPELLDAT.LBX at the spell's record.
    void typicalUseReachesTheGameFile() {
        QTemporaryDir dir;
        const std::string game = dir.filePath("game").toStdString();
        QVERIFY(WriteSampleGame(game, 7));
        ctx_.reset();
        document_.reset();
        session_ = std::make_unique<Session>(errors_, progress_);
        document_ = std::make_unique<Document>(*session_);
        ctx_ = std::make_unique<GuiContext>(GuiContext{*session_, *settings_, registry_, *document_});
        session_->gameFolder = game;
        session_->rulesPath = dir.filePath("rules.txt").toStdString();
        ExtractCommand(*session_);
        QVERIFY(session_->IsLoaded());
        QVERIFY(errors_.texts.empty());

        const int row = 17;
        const std::string oldCost = G(2, row, 8);
        const std::string newCost = oldCost == "1234" ? "4321" : "1234";

        QWidget* chooser = OpenSectionChooser(*ctx_, nullptr);
        auto* sections = chooser->findChild<QListWidget*>();
        DoubleClickEntry(sections, 2);
        auto* spells = qobject_cast<TableDialog*>(Windows("CSpell").value(0));
        QVERIFY(spells);
        EditDialog* edit = OpenByDoubleClick(spells, row);
        QVERIFY(edit);
        QCOMPARE(edit->ValueField(8)->text(), Q(oldCost));
        edit->ValueField(8)->clear();
        QTest::keyClicks(edit->ValueField(8), Q(newCost));
        QTest::mouseClick(Button(edit, "Save Changes And Close Tab"), Qt::LeftButton);
        QCOMPARE(G(2, row, 8), oldCost);  // only in the list so far
        QTest::mouseClick(Button(spells, "Close Tab"), Qt::LeftButton);
        QCOMPARE(G(2, row, 8), newCost);
        QVERIFY(SaveCommand(*session_));
        WriteCommand(*session_);
        QVERIFY(errors_.texts.empty());

        std::ifstream in(game + "/" + GameFileName(GameFileOf(2)), std::ios::binary);
        QVERIFY(in.good());
        in.seekg(ValueOffset(2, row, 8));
        unsigned char bytes[2] = {0, 0};
        in.read(reinterpret_cast<char*>(bytes), 2);
        QVERIFY(in.good());
        QCOMPARE(bytes[0] | (bytes[1] << 8), std::stoi(newCost));
    }
};

QTEST_MAIN(GuiTablesTest)
#include "gui_tables_test.moc"
