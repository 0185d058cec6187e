// The Changes window, driven through the real windows: it lists an edit made
// in Spell Edit once the table is closed, reverts it, shows a value the write
// refuses with the write's message, lists exactly the cells a real save and
// write then change, reports a missing game folder in its list, and never
// changes a file of the game folder.
#include <QAbstractButton>
#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QSettings>
#include <QTableView>
#include <QTemporaryDir>
#include <QtTest>

#include <map>
#include <memory>
#include <tuple>

#include "actions/actions.h"
#include "app/changes_window.h"
#include "app/editor_app.h"
#include "app/main_window.h"
#include "app/settings_dialog.h"
#include "catalogue/catalogue.h"
#include "catalogue/layout.h"
#include "sample/sample_game.h"
#include "tables/edit_dialog.h"
#include "tables/section_chooser.h"
#include "tables/table_dialog.h"

#include "gui_answer.h"
#include "gui_window_test.h"

using namespace quorvane;
using namespace quorvane::gui;
using namespace views;

namespace {

constexpr int kSpells = 2;
constexpr int kSpellCost = 8;
constexpr int kHealing = 23;

enum { kSectionCol, kRecordCol, kColumnCol, kGameCol, kNewCol, kProblemCol };

QAbstractButton* Button(QWidget* window, const QString& text) {
    if (!window) return nullptr;
    for (auto* b : window->findChildren<QAbstractButton*>())
        if (b->text() == text && b->isVisible()) return b;
    return nullptr;
}

void Click(QWidget* window, const QString& text) {
    QAbstractButton* b = Button(window, text);
    QVERIFY2(b, qPrintable(text));
    QTest::mouseClick(b, Qt::LeftButton);
}

// Every file of a folder (hidden ones too) with its bytes and time.
using FolderState = std::map<QString, std::pair<QByteArray, QDateTime>>;
FolderState Snapshot(const QString& dir) {
    FolderState state;
    for (const QFileInfo& info : QDir(dir).entryInfoList(QDir::Files | QDir::Hidden | QDir::System)) {
        QFile f(info.filePath());
        if (f.open(QIODevice::ReadOnly)) state[info.fileName()] = {f.readAll(), info.lastModified()};
    }
    return state;
}

// Every value cell of the game files as a fresh extraction reads them.
std::map<std::tuple<int, int, int>, std::string> Extracted(const QString& game, const QString& rules) {
    RecordingErrorSink errors;
    NullProgress none;
    Session s(errors, none);
    s.gameFolder = FromQ(game);
    s.rulesPath = FromQ(rules);
    ExtractCommand(s);
    std::map<std::tuple<int, int, int>, std::string> cells;
    for (int i = 0; i < kSectionCount; ++i)
        for (int j = 0; j < Rows(i); ++j)
            for (int step = 1; step < Columns(i); ++step) cells[{i, j, step}] = s.grid.GetArrayValue(i, j, step);
    return cells;
}

// One editor on a fresh sample game, extracted into rules.txt. The sample
// has a few second copies that differ from their first places; unless
// `keepCopies`, a first write puts every value at all its places, so that
// the editor's data and the game files agree.
class Editor {
public:
    explicit Editor(bool keepCopies = false) {
        QVERIFY(dir.isValid());
        QVERIFY(QDir::setCurrent(dir.path()));
        std::filesystem::path error;
        QVERIFY2(WriteSampleGame(PathFromQ(game()), 7, &error), qPrintable(PathToQ(error)));
        app = std::make_unique<CQuorvaneEditorApp>(
            std::make_unique<QSettings>(dir.filePath("settings.ini"), QSettings::IniFormat),
            [this](const QString& text, const QString&) { reports << text; });
        app->InitInstance();
        app->mainWindow()->settingsAction()->trigger();
        settings()->gameFolderField()->setText(game());
        settings()->rulesFileField()->setText(dir.filePath("rules.txt"));
        Click(settings(), "Extract From Quorvane Files");
        if (!keepCopies) Click(settings(), "Write to Quorvane Files");
    }
    ~Editor() {
        QList<QPointer<QWidget>> all;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w != app->mainWindow() && !w->parentWidget()) all << w;
        for (const QPointer<QWidget>& w : all) delete w.data();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        app.reset();
        QDir::setCurrent(QDir::tempPath());
    }

    QString game() const { return dir.filePath("game"); }
    CSettings* settings() const { return app->mainWindow()->findChild<CSettings*>("CSettings"); }
    std::string Cell(int i, int j, int s) const { return std::string(app->session().grid.GetArrayValue(i, j, s)); }

    // Presses "Review Changes" and returns the Changes window.
    CChanges* Review() {
        Click(settings(), "Review Changes");
        auto* window = qobject_cast<CChanges*>(app->context().registry.Find("CChanges"));
        if (window && !window->isVisible()) return nullptr;
        return window;
    }

    // In the Spells table: double-click row `row`, type `text` into column
    // `column`, "Save Changes And Close Tab", then "Close Tab" on the table.
    void EditSpell(int row, int column, const QString& text) {
        auto* table = qobject_cast<TableDialog*>(DispatchSection(app->context(), kSpells));
        QVERIFY(table);
        DoubleClickRow(table->list(), row);
        EditDialog* editor = nullptr;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* e = qobject_cast<EditDialog*>(w); e && e->isVisible() && !e->IsClosed()) editor = e;
        QVERIFY(editor);
        QLineEdit* field = editor->ValueField(column);
        field->setFocus();
        field->selectAll();
        QTest::keyClicks(field, text);
        Click(editor, "Save Changes And Close Tab");
        Click(table, "Close Tab");
        QCOMPARE(Cell(kSpells, row, column), FromQ(text));
    }

    QTemporaryDir dir;
    QStringList reports;
    std::unique_ptr<CQuorvaneEditorApp> app;
};

// A Byte column of the spells, written at one place only.
int SpellByteColumn() {
    for (int step = 1; step < Columns(kSpells); ++step)
        if (GetFieldKind(kSpells, 0, step) == FieldKind::Byte && !SecondCopyOf(kSpells, 0, step)) return step;
    return -1;
}

}  // namespace

class GuiReviewTest : public QObject {
    Q_OBJECT

private slots:
    // An edit made in Spell Edit is listed once the table is closed; Revert
    // empties the list and puts the game value back in the editor's data. No
    // file of the game folder changes meanwhile, and no report box appears.
    void listsAnEditAndRevertsIt() {
        Editor e;
        const FolderState before = Snapshot(e.game());
        const std::string oldCost = e.Cell(kSpells, 5, kSpellCost);
        const QString newCost = oldCost == "77" ? "78" : "77";
        e.EditSpell(5, kSpellCost, newCost);

        CChanges* changes = e.Review();
        QVERIFY(changes);
        QCOMPARE(changes->windowTitle(), QStringLiteral("Changes"));
        QTableView* t = changes->table();
        QStringList headers;
        for (int c = 0; c < t->model()->columnCount(); ++c) headers << t->model()->headerData(c, Qt::Horizontal).toString();
        QCOMPARE(headers, (QStringList{"Section", "Record", "Column", "Game Value", "New Value", "Problem"}));
        QCOMPARE(RowCount(t), 1);
        QCOMPARE(Text(t, 0, kSectionCol), QStringLiteral("Spells"));
        QCOMPARE(Text(t, 0, kRecordCol), ToQ(e.Cell(kSpells, 5, 0)));
        QCOMPARE(Text(t, 0, kColumnCol), ToQ(ColumnName(kSpells, kSpellCost)));
        QCOMPARE(Text(t, 0, kGameCol), ToQ(oldCost));
        QCOMPARE(Text(t, 0, kNewCol), newCost);
        QCOMPARE(Text(t, 0, kProblemCol), QString());
        QCOMPARE(changes->countLine()->text(), QStringLiteral("1 change, 0 problems."));

        // A second press brings up the same window.
        QCOMPARE(e.Review(), changes);

        t->selectRow(0);
        Click(changes, "Revert");
        QCOMPARE(e.Cell(kSpells, 5, kSpellCost), oldCost);
        QCOMPARE(RowCount(t), 0);
        QCOMPARE(changes->countLine()->text(), QStringLiteral("No changes."));

        // The list follows later edits by itself.
        e.EditSpell(6, kSpellCost, newCost == "77" ? "79" : "77");
        QCOMPARE(RowCount(t), 1);
        Click(changes, "Refresh");
        QCOMPARE(RowCount(t), 1);

        QCOMPARE(Snapshot(e.game()), before);
        QCOMPARE(e.reports, QStringList());
    }

    // Revert refills the Spells table; when the table holds an edit of its
    // own it asks first, and Cancel reverts nothing.
    void revertAsksBeforeDroppingATablesEdit() {
        Editor e;
        const std::string oldCost = e.Cell(kSpells, 5, kSpellCost);
        e.EditSpell(5, kSpellCost, oldCost == "77" ? "78" : "77");
        CChanges* changes = e.Review();
        QVERIFY(changes);
        auto* table = qobject_cast<TableDialog*>(DispatchSection(e.app->context(), kSpells));
        QVERIFY(table);
        QStringList row6;
        for (int c = 0; c < Columns(kSpells); ++c) row6 << Text(table->list(), 6, c);
        row6[kSpellCost] = QStringLiteral("4321");
        table->SaveRow(6, row6);  // pending in the table, not in the grid
        changes->table()->selectRow(0);

        auto asked = testing::AnswerNextBox("Cancel");
        Click(changes, "Revert");
        QCOMPARE(asked->asked, 1);
        QVERIFY2(asked->text.startsWith("1 table holds changes"), qPrintable(asked->text));
        QVERIFY(e.Cell(kSpells, 5, kSpellCost) != oldCost);
        QCOMPARE(Text(table->list(), 6, kSpellCost), QStringLiteral("4321"));

        asked = testing::AnswerNextBox("Revert");
        Click(changes, "Revert");
        QCOMPARE(asked->asked, 1);
        QCOMPARE(e.Cell(kSpells, 5, kSpellCost), oldCost);
        QCOMPARE(Text(table->list(), 5, kSpellCost), ToQ(oldCost));
        QCOMPARE(Text(table->list(), 6, kSpellCost), ToQ(e.Cell(kSpells, 6, kSpellCost)));
        QCOMPARE(changes->countLine()->text(), QStringLiteral("No changes."));
        table->Discard();
    }

    // A value the write refuses is listed with the write's message, marked,
    // and opens its record in the Spells table on a double-click.
    void refusedValueShowsTheWritesMessage() {
        Editor e;
        const int byteColumn = SpellByteColumn();
        QVERIFY(byteColumn > 0);
        const std::string game = e.Cell(kSpells, 9, byteColumn);
        e.EditSpell(9, byteColumn, "300");
        const std::string oldCost = e.Cell(kSpells, 3, kSpellCost);
        e.EditSpell(3, kSpellCost, oldCost == "77" ? "78" : "77");

        CChanges* changes = e.Review();
        QVERIFY(changes);
        QTableView* t = changes->table();
        QCOMPARE(RowCount(t), 2);
        // Write order: row 3 before row 9.
        QCOMPARE(Text(t, 0, kProblemCol), QString());
        QCOMPARE(Text(t, 1, kSectionCol), QStringLiteral("Spells"));
        QCOMPARE(Text(t, 1, kColumnCol), ToQ(ColumnName(kSpells, byteColumn)));
        QCOMPARE(Text(t, 1, kGameCol), ToQ(game));
        QCOMPARE(Text(t, 1, kNewCol), QStringLiteral("300"));
        QCOMPARE(Text(t, 1, kProblemCol), QStringLiteral("Value out of range."));
        QVERIFY(IsTinted(t, 1, kNewCol));
        QVERIFY(!IsTinted(t, 0, kNewCol));
        QCOMPARE(changes->countLine()->text(), QStringLiteral("1 change, 1 problem."));

        // The double-click shows the row even where the table's filter hid it.
        auto* table = qobject_cast<TableDialog*>(DispatchSection(e.app->context(), kSpells));
        QVERIFY(table);
        table->filterField()->setText("no spell is named so");
        QVERIFY(!RowShown(table->list(), 9));
        DoubleClickRow(t, 1);
        QVERIFY(table->isVisible());
        QVERIFY(RowShown(table->list(), 9));
        const QModelIndexList selected = table->list()->selectionModel()->selectedRows();
        QCOMPARE(selected.size(), 1);
        QCOMPARE(selected.front().row(), 9);
        table->Discard();
        QCOMPARE(e.reports, QStringList());
    }

    // A value whose second copy differs from it in the game is listed too,
    // with the same text on both sides, marked as kept in step with that
    // copy, with a tooltip saying why: the write changes the copy. Such rows
    // come after the user's own changes and are counted apart. There is
    // nothing to revert; once written, the list is empty.
    void secondCopiesThatDifferAreListed() {
        Editor e(/*keepCopies=*/true);
        const std::string oldCost = e.Cell(kSpells, 5, kSpellCost);
        e.EditSpell(5, kSpellCost, oldCost == "77" ? "78" : "77");
        CChanges* changes = e.Review();
        QVERIFY(changes);
        QTableView* t = changes->table();
        QVERIFY(RowCount(t) > 1);
        QCOMPARE(Text(t, 0, kSectionCol), QStringLiteral("Spells"));
        QCOMPARE(Text(t, 0, kProblemCol), QString());
        for (int r = 1; r < RowCount(t); ++r) {
            QCOMPARE(Text(t, r, kGameCol), Text(t, r, kNewCol));
            const std::optional<Place> copy = SecondCopyOf(changes->review().rows[static_cast<std::size_t>(r)].i,
                                                           changes->review().rows[static_cast<std::size_t>(r)].j, 1);
            QVERIFY(copy);
            QVERIFY2(Text(t, r, kProblemCol).startsWith(QStringLiteral("kept in step with its second copy in ") +
                                                        GameFileName(copy->file)),
                     qPrintable(Text(t, r, kProblemCol)));
            QVERIFY(!IsTinted(t, r, kProblemCol));
            QVERIFY(Tip(t, r, kGameCol).startsWith("The game holds a second copy of this value"));
        }
        QCOMPARE(changes->countLine()->text(),
                 QStringLiteral("1 change, %1 kept in step, 0 problems.").arg(RowCount(t) - 1));
        t->selectRow(1);
        QVERIFY(!Button(changes, "Revert")->isEnabled());
        Click(e.settings(), "Save to Text File");
        Click(e.settings(), "Write to Quorvane Files");
        QCOMPARE(e.reports, QStringList());
        QCOMPARE(changes->countLine()->text(), QStringLiteral("No changes."));
    }

    // The listed cells are exactly those a real "Save to Text File" and
    // "Write to Quorvane Files" then change in the game files.
    void listsWhatTheWriteChanges() {
        Editor e;
        const auto before = Extracted(e.game(), e.dir.filePath("before.txt"));
        e.EditSpell(7, kSpellCost, e.Cell(kSpells, 7, kSpellCost) == "11" ? "12" : "11");
        e.EditSpell(8, SpellByteColumn(), "-3");  // written as 253
        auto* form = qobject_cast<QDialog*>(DispatchSection(e.app->context(), kHealing));
        QVERIFY(form);
        const QString heal = e.Cell(kHealing, 0, 1) == "12" ? "13" : "12";
        form->findChild<QLineEdit*>("value0")->setText(heal);
        Click(form, "Save Changes And Close Tab");
        QCOMPARE(e.Cell(kHealing, 0, 1), FromQ(heal));

        CChanges* changes = e.Review();
        QVERIFY(changes);
        std::map<std::tuple<int, int, int>, std::string> listed;
        for (const ReviewRow& row : changes->review().rows) {
            QVERIFY(!row.IsProblem());
            listed[{row.i, row.j, row.step}] = row.newText;
        }
        QCOMPARE(static_cast<int>(listed.size()), 3);

        // Double-clicking the healing row opens the form.
        for (int r = 0; r < RowCount(changes->table()); ++r)
            if (changes->review().rows[static_cast<std::size_t>(r)].i == kHealing) DoubleClickRow(changes->table(), r);
        QVERIFY(e.app->context().registry.Find("CHealing"));

        Click(e.settings(), "Save to Text File");
        Click(e.settings(), "Write to Quorvane Files");
        QCOMPARE(e.reports, QStringList());
        const auto after = Extracted(e.game(), e.dir.filePath("after.txt"));
        std::map<std::tuple<int, int, int>, std::string> written;
        for (const auto& [cell, text] : after)
            if (before.at(cell) != text) written[cell] = text;
        QVERIFY(written == listed);
        // Written, the list is empty again.
        QCOMPARE(changes->countLine()->text(), QStringLiteral("No changes."));
    }

    // Without the game folder the write's "Error opening" reports are listed,
    // never shown as boxes.
    void missingGameFolderIsListedNotShown() {
        Editor e;
        e.settings()->gameFolderField()->setText(e.dir.filePath("no such folder"));
        CChanges* changes = e.Review();
        QVERIFY(changes);
        QTableView* t = changes->table();
        QCOMPARE(RowCount(t), kGameFileCount);
        for (int r = 0; r < RowCount(t); ++r) {
            QVERIFY2(Text(t, r, kProblemCol).startsWith("Error opening "), qPrintable(Text(t, r, kProblemCol)));
            QCOMPARE(Text(t, r, kSectionCol), QString());
        }
        QCOMPARE(changes->countLine()->text(), QStringLiteral("0 changes, 6 problems."));
        QVERIFY(!QFileInfo::exists(e.dir.filePath("no such folder")));
        QCOMPARE(e.reports, QStringList());
    }
};

QTEST_MAIN(GuiReviewTest)
#include "gui_review_test.moc"
