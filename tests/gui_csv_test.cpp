// The CSV export and import of a table window's row menu, driven offscreen on
// an extracted sample game with the file dialogs answered by the test.
#include <QAction>
#include <QLabel>
#include <QApplication>
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
#include "catalogue/catalogue.h"
#include "exchange/csv.h"
#include "exchange/section_csv.h"
#include "gui/document.h"
#include "gui/gui_context.h"
#include "io/file_io.h"
#include "io/path_text.h"
#include "io/progress.h"
#include "sample/sample_game.h"
#include "session/session.h"
#include "tables/section_chooser.h"
#include "tables/table_dialog.h"

#include "gui_window_test.h"

using namespace quorvane;
using namespace quorvane::gui;
using namespace views;

namespace {

constexpr int kSpells = 2;
constexpr int kSpellByte = 7;  // a one-byte column of the spells
constexpr int kSpellCost = 8;  // a two-byte column

const QString kExport = QStringLiteral("Export Section to CSV\u2026");
const QString kImport = QStringLiteral("Import Section from CSV\u2026");

void Flush() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

std::string ReadText(const QString& path) {
    std::string text;
    ReadWholeFile(PathFromQ(path), &text);
    return text;
}

std::vector<CsvRow> ReadCsv(const QString& path) {
    std::vector<CsvRow> rows;
    std::string problem;
    if (!ParseCsv(ReadText(path), &rows, &problem)) qWarning("%s", problem.c_str());
    return rows;
}

void WriteCsv(const QString& path, const std::vector<CsvRow>& rows) {
    std::string text;
    for (const CsvRow& row : rows) AppendCsvRow(text, row);
    QVERIFY(ReplaceFileContents(PathFromQ(path), text));
}

}  // namespace

class GuiCsvTest : public WindowTestBase {
    Q_OBJECT

private:
    QStringList asked_;  // what the file chooser was asked: "save <suggested>" / "open"

    QString Grid(int r, int c) const { return ToQ(session_->grid.GetArrayValue(kSpells, r, c)); }
    QString Path(const char* name) const { return tmp_->filePath(QString::fromLatin1(name)); }

    // The Spells table, shown, with its file dialogs answered by `file`.
    TableDialog* Spells(const QString& file) {
        auto* table = qobject_cast<TableDialog*>(DispatchSection(*ctx_, kSpells));
        table->SetFileChooser([this, file](QWidget*, bool save, const QString& suggested) {
            asked_ << (save ? QStringLiteral("save ") + suggested : QStringLiteral("open"));
            return file;
        });
        table->show();
        return table;
    }

    // Chooses `entry` in the context menu of row `row`, as a right click does.
    static void ChooseFromRowMenu(TableDialog* table, int row, const QString& entry) {
        QTableView* list = table->list();
        emit list->customContextMenuRequested(list->visualRect(ViewIndex(list, row)).center());
        auto* menu = table->findChild<QMenu*>(QStringLiteral("rowMenu"));
        QVERIFY(menu && menu->isVisible());
        QAction* chosen = nullptr;
        for (QAction* a : menu->actions())
            if (a->text() == entry) chosen = a;
        QVERIFY2(chosen, qPrintable(entry));
        chosen->trigger();
        menu->close();
        Flush();
    }

    QStringList Column(const QTableView* list, int c) const {
        QStringList texts;
        for (int r = 0; r < RowCount(list); ++r) texts << Text(list, r, c);
        return texts;
    }

private slots:
    void init() {
        asked_.clear();
        StartWithSampleGame();
    }

    void cleanup() { CloseEveryWindow(); }

    // The export writes what the command-line export writes for the same
    // texts, names in UTF-8; imported unchanged it changes nothing and adds
    // no undo step.
    void exportThenImportUnchangedChangesNothing() {
        session_->grid.SetArrayValue(kSpells, 10, 0, "Caf\xe9 Bolt");
        session_->grid.SetArrayValue(kSpells, 11, 0, "=1+2");
        QVERIFY(SaveCommand(*session_));
        const QString file = Path("spells.csv");
        TableDialog* spells = Spells(file);
        QTableView* list = spells->list();

        ChooseFromRowMenu(spells, 3, kExport);
        QCOMPARE(asked_, QStringList{QStringLiteral("save ") + Path("SPELLS.csv")});
        std::string expected;
        QVERIFY(ExportSectionCsv(errors_, ReadText(Path("rules.txt")), "rules.txt", kSpells, &expected));
        const std::string written = ReadText(file);
        QCOMPARE(written, expected);
        QVERIFY(written.find("\r\nCaf\xc3\xa9 Bolt,") != std::string::npos);
        QVERIFY(written.find("\r\n'=1+2,") != std::string::npos);  // not a formula to a spreadsheet
        QCOMPARE(spells->csvStatus()->text(), QStringLiteral("Exported 215 rows to spells.csv."));
        QVERIFY(spells->csvStatus()->isVisible());

        const QStringList names = Column(list, 0), costs = Column(list, kSpellCost);
        ChooseFromRowMenu(spells, 3, kImport);
        QCOMPARE(asked_.last(), QStringLiteral("open"));
        QCOMPARE(document_->history().count(), 0);
        QCOMPARE(Column(list, 0), names);
        QCOMPARE(Column(list, kSpellCost), costs);
        QCOMPARE(Text(list, 10, 0), QString::fromLatin1("Caf\xe9 Bolt"));
        QCOMPARE(spells->windowTitle(), QStringLiteral("Spells"));
        QCOMPARE(spells->PendingRows(), 0);
        QCOMPARE(spells->csvStatus()->text(), QStringLiteral("Imported 215 rows, 0 values changed."));
        QVERIFY(!spells->csvProblems());
    }

    // Rows come in by name, in any order: a changed cost in a sorted file
    // comes in as one pending step that Undo takes back; "Close Tab" stores
    // the value.
    void editedCsvBecomesOneUndoableStep() {
        const QString file = Path("spells.csv");
        TableDialog* spells = Spells(file);
        QTableView* list = spells->list();
        QVERIFY(spells->ExportCsv(file));
        std::vector<CsvRow> rows = ReadCsv(file);
        QCOMPARE(rows.size(), std::size_t(216));
        const QString oldCost = Grid(4, kSpellCost);
        const QString newCost = QString::number(oldCost.toInt() == 7 ? 8 : 7);
        rows[5][kSpellCost] = FromQ(newCost);  // row 4 of the section: rows[0] is the header
        std::stable_sort(rows.begin() + 1, rows.end(), [](const CsvRow& a, const CsvRow& b) { return a[0] < b[0]; });
        QVERIFY(rows[5][kSpellCost] != FromQ(newCost));
        WriteCsv(file, rows);

        ChooseFromRowMenu(spells, 0, kImport);
        QCOMPARE(document_->history().count(), 1);
        QCOMPARE(Text(list, 4, kSpellCost), newCost);
        QVERIFY(IsBold(list, 4, kSpellCost));
        QVERIFY(!IsBold(list, 4, kSpellByte));
        QVERIFY(!IsBold(list, 5, kSpellCost));
        QCOMPARE(spells->windowTitle(), QStringLiteral("Spells[*]"));
        QCOMPARE(Grid(4, kSpellCost), oldCost);
        QCOMPARE(spells->csvStatus()->text(), QStringLiteral("Imported 215 rows, 1 value changed."));

        spells->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(spells));
        QTest::keyClick(list, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(Text(list, 4, kSpellCost), oldCost);
        QVERIFY(!IsBold(list, 4, kSpellCost));
        QCOMPARE(spells->windowTitle(), QStringLiteral("Spells"));
        QTest::keyClick(list, Qt::Key_Y, Qt::ControlModifier);
        QCOMPARE(Text(list, 4, kSpellCost), newCost);

        spells->findChild<QPushButton*>(QStringLiteral("closeTab"))->click();
        Flush();
        QCOMPARE(Grid(4, kSpellCost), newCost);
    }

    // A refused row or value, or a file that cannot be read or written,
    // changes nothing; the problems of a file, hundreds or one, are listed in
    // one window: CSV line, record, column and message each.
    void refusalsChangeNothing() {
        const QString file = Path("spells.csv");
        TableDialog* spells = Spells(file);
        QTableView* list = spells->list();
        QVERIFY(spells->ExportCsv(file));
        std::vector<CsvRow> rows = ReadCsv(file);
        const std::string name2 = FromQ(Grid(2, 0)), name5 = FromQ(Grid(5, 0));
        const QStringList costs = Column(list, kSpellCost), bytes = Column(list, kSpellByte);
        rows[1][kSpellCost] = rows[1][kSpellCost] == "7" ? "8" : "7";  // fits, but comes with a refusal
        rows[3][kSpellByte] = "300";
        rows[6][0] = "Renamed";
        WriteCsv(file, rows);

        QVERIFY(!spells->ImportCsv(file));
        CsvProblemsWindow* problems = spells->csvProblems();
        QVERIFY(problems && problems->isVisible());
        QCOMPARE(problems->windowTitle(), QStringLiteral("CSV Import Problems"));
        const QString refused = QStringLiteral("Nothing was imported; the table was left unchanged.");
        QCOMPARE(problems->summary()->text(), QStringLiteral("spells.csv: 3 problems were found. ") + refused);
        const QTableView* shown = problems->list();
        QCOMPARE(shown->model()->headerData(0, Qt::Horizontal).toString(), QStringLiteral("CSV Line"));
        QCOMPARE(shown->model()->headerData(3, Qt::Horizontal).toString(), QStringLiteral("Message"));
        const auto line = [&](int r) {
            QStringList texts;
            for (int c = 0; c < shown->model()->columnCount(); ++c) texts << Text(shown, r, c);
            return texts;
        };
        QCOMPARE(RowCount(shown), 3);
        QCOMPARE(line(0), (QStringList{QStringLiteral("4"), ToQ(name2), ToQ(ColumnName(kSpells, kSpellByte)),
                                       QStringLiteral("Value out of range.")}));
        QCOMPARE(line(1), (QStringList{QStringLiteral("7"), QStringLiteral("Renamed"), QString(),
                                       QStringLiteral("No record of section \"Spells\" has this name.")}));
        QCOMPARE(line(2), (QStringList{QString(), QStringLiteral("6 (") + ToQ(name5) + QLatin1Char(')'), QString(),
                                       QStringLiteral("No row of spells.csv holds this record.")}));
        QCOMPARE(spells->csvStatus()->text(), refused);
        QCOMPARE(Column(list, kSpellCost), costs);
        QCOMPARE(Column(list, kSpellByte), bytes);
        QCOMPARE(document_->history().count(), 0);

        for (std::size_t r = 1; r < rows.size(); ++r) rows[r][kSpellByte] = "300";
        WriteCsv(file, rows);
        QVERIFY(!spells->ImportCsv(file));
        QCOMPARE(spells->csvProblems(), problems);  // the same window, listing the new problems
        QCOMPARE(RowCount(problems->list()), 216);
        QCOMPARE(problems->summary()->text(), QStringLiteral("spells.csv: 216 problems were found. ") + refused);
        QCOMPARE(Column(list, kSpellByte), bytes);

        // A file that cannot be read or written: reported, and the status
        // line says what became of the import or export.
        const QString missing = Path("no folder/spells.csv");
        QVERIFY(!spells->ImportCsv(missing));
        QCOMPARE(spells->csvStatus()->text(),
                 QStringLiteral("Nothing was imported: spells.csv could not be read; the table was left unchanged."));
        QVERIFY(!spells->ExportCsv(missing));
        QCOMPARE(spells->csvStatus()->text(), QStringLiteral("Nothing was exported: spells.csv could not be written."));
        QCOMPARE(errors_.texts,
                 (std::vector<std::string>{"Error opening " + PathText(PathFromQ(missing)),
                                            "Error writing " + PathText(PathFromQ(missing))}));
        errors_.texts.clear();
        QCOMPARE(document_->history().count(), 0);
    }
};

QTEST_MAIN(GuiCsvTest)
#include "gui_csv_test.moc"
