// The editor's side of mods, driven offscreen on an extracted sample game:
// the Mods window lists two mods' changes with the conflict between them and
// its winner, applies them in one undo step, refuses a broken mod by its
// line and exports the editor's changes after storing what the tables hold;
// the Changes window compares with the original game; and "Restore Original
// Game Files..." asks, restores and refills an open table.
#include <QAbstractButton>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QTableView>
#include <QUndoStack>
#include <QtTest>

#include <string>
#include <vector>

#include "actions/actions.h"
#include "app/changes_window.h"
#include "app/mods_window.h"
#include "app/settings_dialog.h"
#include "gui/edit_step.h"
#include "gui/mod_plan_model.h"
#include "io/file_io.h"
#include "mods/mod_file.h"
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

void Click(QWidget* window, const QString& text) {
    for (auto* b : window->findChildren<QAbstractButton*>())
        if (b->text() == text) {
            QVERIFY2(b->isEnabled(), qPrintable(text));
            QTest::mouseClick(b, Qt::LeftButton);
            return;
        }
    QFAIL(qPrintable(QStringLiteral("no button ") + text));
}

// A value other than `text`.
std::string Other(const std::string& text, const char* value = "77") { return text == value ? "78" : value; }

}  // namespace

class GuiModsTest : public WindowTestBase {
    Q_OBJECT

    std::string Cell(int i, int j, int s) const { return std::string(session_->grid.GetArrayValue(i, j, s)); }
    QString File(const char* name) const { return tmp_->filePath(QString::fromLatin1(name)); }

    // A mod file `name` of the changes (cell, new value) from the editor's
    // values now.
    std::filesystem::path WriteMod(const char* name, const std::vector<std::pair<std::array<int, 3>, std::string>>& changes) {
        Mod mod;
        mod.name = std::string("Mod ") + name;
        for (const auto& [at, value] : changes)
            mod.changes.push_back({at[0], at[1], at[2], Cell(at[0], at[1], 0), Cell(at[0], at[1], at[2]), value, 0});
        const std::filesystem::path file = PathFromQ(File(name));
        if (!ReplaceFileContents(file, FormatMod(mod))) qFatal("cannot write %s", name);
        return file;
    }

    std::string GameFile(const QString& folder, const char* name) const {
        std::string bytes;
        ReadWholeFile(PathFromQ(folder + QStringLiteral("/") + QString::fromLatin1(name)), &bytes);
        return bytes;
    }

    // The settings dialog on the sample's folder and rules file.
    CSettings* Settings() {
        const QString folder = PathToQ(session_->gameFolder), rules = PathToQ(session_->rulesPath);
        auto* settings = new CSettings(*ctx_, nullptr);
        settings->gameFolderField()->setText(folder);
        settings->rulesFileField()->setText(rules);
        settings->show();
        return settings;
    }

private slots:
    void init() { StartWithSampleGame(); }
    void cleanup() { CloseEveryWindow(); }

    // Two mods change a spell's cost differently: both changes are listed,
    // the later mod's marked as the winner, the earlier one overridden; the
    // switch shows the conflicts only. "Apply to Editor" puts the winner in
    // as a pending edit of the Spells table and the heal amount into the
    // grid, as one step that Undo takes back. Moving the first mod down
    // makes it the winner.
    void listsAConflictAndAppliesInOneStep() {
        const std::string cost = Cell(kSpells, 0, kSpellCost);
        const std::string heal = Cell(kHealing, 0, 1);
        const std::string costA = Other(cost, "11"), costB = Other(cost, "22"), healA = Other(heal);
        const auto a = WriteMod("a.qmod", {{{kSpells, 0, kSpellCost}, costA}, {{kHealing, 0, 1}, healA}});
        const auto b = WriteMod("b.qmod", {{{kSpells, 0, kSpellCost}, costB}});

        CMods* mods = OpenModsWindow(*ctx_);
        QCOMPARE(mods->windowTitle(), QStringLiteral("Mods"));
        QVERIFY(mods->AddMod(a));
        QVERIFY(mods->AddMod(b));
        QTableView* list = mods->modList();
        QCOMPARE(RowCount(list), 2);
        QCOMPARE(QStringList({Text(list, 0, 0), Text(list, 0, 1), Text(list, 1, 0), Text(list, 1, 1)}),
                 QStringList({"Mod a.qmod", "2", "Mod b.qmod", "1"}));

        QTableView* t = mods->changes();
        QStringList headers;
        for (int c = 0; c < ModPlanModel::kColumnCount; ++c)
            headers << t->model()->headerData(c, Qt::Horizontal).toString();
        QCOMPARE(headers, QStringList({"Mod", "Section", "Record", "Column", "Original", "Mod Value", "Editor Value",
                                       "Status", "Conflict"}));
        QCOMPARE(RowCount(t), 3);
        const auto row = [&](int r) {
            QStringList texts;
            for (int c : {ModPlanModel::kMod, ModPlanModel::kColumn, ModPlanModel::kOriginal, ModPlanModel::kModValue,
                          ModPlanModel::kEditorValue, ModPlanModel::kStatus, ModPlanModel::kConflict})
                texts << Text(t, r, c);
            return texts;
        };
        const QString c = ToQ(cost);
        QCOMPARE(row(0), QStringList({"Mod a.qmod", "Cost", c, ToQ(costA), c, "Overridden By A Later Mod", ""}));
        QCOMPARE(row(2), QStringList({"Mod b.qmod", "Cost", c, ToQ(costB), c, "Applies", "Wins"}));
        QCOMPARE(Text(t, 1, ModPlanModel::kStatus), QStringLiteral("Applies"));
        QVERIFY(IsBold(t, 2, 0) && !IsBold(t, 0, 0));
        mods->conflictsOnly()->setChecked(true);
        QVERIFY(RowShown(t, 0) && !RowShown(t, 1) && RowShown(t, 2));
        mods->conflictsOnly()->setChecked(false);
        QVERIFY(RowShown(t, 1));

        QUndoStack& history = document_->history();
        const int steps = history.count();
        Click(mods, "Apply to Editor");
        QCOMPARE(history.count(), steps + 1);
        QVERIFY(document_->IsPending(kSpells, 0, kSpellCost));
        QCOMPARE(std::string(document_->Shown(kSpells, 0, kSpellCost)), costB);
        QCOMPARE(Cell(kSpells, 0, kSpellCost), cost);
        QCOMPARE(Cell(kHealing, 0, 1), healA);
        QTRY_COMPARE(Text(t, 2, ModPlanModel::kStatus), QStringLiteral("Already There"));
        QCOMPARE(Text(t, 2, ModPlanModel::kEditorValue), ToQ(costB));

        history.undo();
        QVERIFY(!document_->IsPending(kSpells, 0, kSpellCost));
        QCOMPARE(Cell(kHealing, 0, 1), heal);
        QTRY_COMPARE(Text(t, 2, ModPlanModel::kStatus), QStringLiteral("Applies"));

        // A value of the editor's own, pending in its table, is not changed.
        EditBuilder own(*document_, QStringLiteral("Save Row"));
        own.Show(kSpells, 0, kSpellCost, "5");
        own.Push();
        QTRY_COMPARE(Text(t, 2, ModPlanModel::kStatus), QStringLiteral("Conflicts With Your Values"));
        history.undo();

        list->selectRow(0);
        Click(mods, "Move Down");
        QCOMPARE(Text(list, 1, 0), QStringLiteral("Mod a.qmod"));
        QCOMPARE(row(1), QStringList({"Mod a.qmod", "Cost", c, ToQ(costA), c, "Applies", "Wins"}));
        QCOMPARE(Text(t, 0, ModPlanModel::kStatus), QStringLiteral("Overridden By A Later Mod"));
        QVERIFY(errors_.texts.empty());
    }

    // A mod with a value the write refuses is not added, and its report
    // names the line. "Export My Changes..." asks about the table's pending
    // edit, stores it, and writes exactly the editor's changes.
    void refusesABrokenModAndExportsTheEditorsChanges() {
        const std::filesystem::path bad = WriteMod("bad.qmod", {{{kSpells, 1, kSpellCost}, "70000"}});
        CMods* mods = OpenModsWindow(*ctx_);
        QVERIFY(!mods->AddMod(bad));
        QCOMPARE(RowCount(mods->modList()), 0);
        QCOMPARE(errors_.texts.size(), std::size_t{1});
        const std::string name = PathText(bad);
        QCOMPARE(errors_.texts[0], name + ": line 4: the new value \"70000\" is refused: Value out of range.\n" +
                                       "Nothing was applied from " + name + ".");
        errors_.texts.clear();

        const std::string cost = Other(Cell(kSpells, 1, kSpellCost));
        const std::string heal = Other(Cell(kHealing, 0, 1));
        EditBuilder edits(*document_, QStringLiteral("Edits"));
        edits.Show(kSpells, 1, kSpellCost, cost);
        edits.Store(kHealing, 0, 1, heal);
        edits.Push();

        const std::filesystem::path out = PathFromQ(File("mine.qmod"));
        auto asked = testing::AnswerNextBox(QStringLiteral("Export Them Too"));
        QVERIFY(mods->ExportTo(out));
        QCOMPARE(asked->asked, 1);
        QVERIFY2(asked->text.startsWith("1 table holds changes"), qPrintable(asked->text));
        QCOMPARE(Cell(kSpells, 1, kSpellCost), cost);
        std::string text;
        QVERIFY(ReadWholeFile(out, &text));
        const ModRead read = ReadMod(text);
        QVERIFY(read.Readable());
        QCOMPARE(read.mod.name, std::string("mine"));
        QCOMPARE(read.mod.changes.size(), std::size_t{2});
        QCOMPARE(read.mod.changes[0].value, cost);
        QCOMPARE(read.mod.changes[1].value, heal);
        QCOMPARE(mods->statusLine()->text(), QStringLiteral("2 changes written to ") + PathToQ(out) + ".");
    }

    // Once a mod is written into the game, the Changes window lists nothing
    // against the game files as they are, and the mod's value against the
    // original game. Restore asks first (Cancel, the default, changes
    // nothing), then gives the game files their backups' bytes again and
    // refills the open Spells table and Healing form with the original
    // values; the undo history is cleared and the rules file is left as it
    // was.
    void restoreAsksAndRefillsAnOpenTable() {
        const QString game = PathToQ(session_->gameFolder);
        const QString fresh = File("fresh");
        QVERIFY(WriteSampleGame(PathFromQ(fresh), 7, nullptr));
        const std::string cost = Cell(kSpells, 3, kSpellCost);
        session_->grid.SetArrayValue(kSpells, 3, kSpellCost, Other(cost));
        QVERIFY(SaveCommand(*session_));
        WriteCommand(*session_);
        const std::string rules = GameFile(tmp_->path(), "rules.txt");
        const std::string modded = GameFile(game, "SPELLDAT.LBX");
        QVERIFY(modded != GameFile(fresh, "SPELLDAT.LBX"));

        CChanges* changes = OpenChangesWindow(*ctx_);
        QCOMPARE(changes->countLine()->text(), QStringLiteral("No changes."));
        changes->compareWithOriginal()->setChecked(true);
        QCOMPARE(changes->table()->model()->headerData(3, Qt::Horizontal).toString(), QStringLiteral("Original Value"));
        bool listed = false;
        for (const ReviewRow& r : changes->review().rows)
            listed = listed || (r.i == kSpells && r.j == 3 && r.step == kSpellCost && r.gameText == cost &&
                                r.newText == Other(cost));
        QVERIFY(listed);

        auto* table = qobject_cast<TableDialog*>(DispatchSection(*ctx_, kSpells));
        QVERIFY(table);
        QCOMPARE(Text(table->list(), 3, kSpellCost), ToQ(Other(cost)));
        const std::string heal = Cell(kHealing, 0, 1);
        QWidget* form = DispatchSection(*ctx_, kHealing);
        QVERIFY(form);
        EditBuilder step(*document_, QStringLiteral("Edit"));
        step.Store(kHealing, 0, 1, Other(heal));
        step.Push();

        CSettings* settings = Settings();
        auto asked = testing::AnswerNextBox(QStringLiteral("Cancel"));
        Click(settings, QStringLiteral("Restore Original Game Files..."));
        QCOMPARE(asked->asked, 1);
        QCOMPARE(asked->defaultButton, QStringLiteral("Cancel"));
        QVERIFY2(asked->text.contains("SPELLDAT.LBX would be restored from SPELLDAT.LBX.bak: 1 value changes back."),
                 qPrintable(asked->text));
        QCOMPARE(GameFile(game, "SPELLDAT.LBX"), modded);

        asked = testing::AnswerNextBox(QStringLiteral("Restore"));
        Click(settings, QStringLiteral("Restore Original Game Files..."));
        QCOMPARE(asked->asked, 1);
        for (const char* file : {"ITEMPOW.LBX", "BUILDDAT.LBX", "SPELLDAT.LBX", "WIZARDS.EXE", "MAGIC.EXE", "ITEMMAKE.EXE"})
            QVERIFY2(GameFile(game, file) == GameFile(fresh, file), file);
        QCOMPARE(Text(table->list(), 3, kSpellCost), ToQ(cost));
        QCOMPARE(form->findChild<QLineEdit*>("value0")->text(), ToQ(heal));
        QCOMPARE(document_->history().count(), 0);
        QVERIFY(document_->HasUnsavedEdits());
        QVERIFY2(settings->statusLine()->text().endsWith("The undo history was cleared."),
                 qPrintable(settings->statusLine()->text()));
        QCOMPARE(GameFile(tmp_->path(), "rules.txt"), rules);
        // The editor holds the original game: nothing differs from it but
        // the sample's second copies that a write would put in line.
        for (const ReviewRow& r : changes->review().rows) QVERIFY(r.furtherPlaceOnly);
        table->Discard();
    }
};

QTEST_MAIN(GuiModsTest)
#include "gui_mods_test.moc"
