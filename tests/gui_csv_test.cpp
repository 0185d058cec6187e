// The CSV export and import of a table window's row menu, driven offscreen on
// an extracted sample game with the file dialogs answered by the test.
#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QSettings>
#include <QTableView>
#include <QTemporaryDir>
#include <QUndoStack>
#include <QtTest>

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

        const QStringList names = Column(list, 0), costs = Column(list, kSpellCost);
        ChooseFromRowMenu(spells, 3, kImport);
        QCOMPARE(asked_.last(), QStringLiteral("open"));
        QCOMPARE(document_->history().count(), 0);
        QCOMPARE(Column(list, 0), names);
        QCOMPARE(Column(list, kSpellCost), costs);
        QCOMPARE(Text(list, 10, 0), QString::fromLatin1("Caf\xe9 Bolt"));
        QCOMPARE(spells->windowTitle(), QStringLiteral("Spells"));
        QCOMPARE(spells->PendingRows(), 0);
    }

    // A changed cost comes in as one pending step that Undo takes back; a
    // changed name is reported and not taken; "Close Tab" stores the value.
    void editedCsvBecomesOneUndoableStep() {
        const QString file = Path("spells.csv");
        TableDialog* spells = Spells(file);
        QTableView* list = spells->list();
        QVERIFY(spells->ExportCsv(file));
        std::vector<CsvRow> rows = ReadCsv(file);
        QCOMPARE(rows.size(), std::size_t(216));
        const QString oldCost = Grid(4, kSpellCost);
        const QString newCost = QString::number(oldCost.toInt() == 7 ? 8 : 7);
        const QString name5 = Grid(5, 0);
        rows[5][kSpellCost] = FromQ(newCost);  // row 4 of the section: rows[0] is the header
        rows[6][0] = "Renamed";
        WriteCsv(file, rows);

        ChooseFromRowMenu(spells, 0, kImport);
        QCOMPARE(errors_.texts, std::vector<std::string>{"Row 6 (" + FromQ(name5) + "): the name \"Renamed\" in " +
                                                         PathText(PathFromQ(file)) + " differs from the table's; the table's name "
                                                         "is kept."});
        errors_.texts.clear();
        QCOMPARE(document_->history().count(), 1);
        QCOMPARE(Text(list, 4, kSpellCost), newCost);
        QVERIFY(IsBold(list, 4, kSpellCost));
        QVERIFY(!IsBold(list, 4, kSpellByte));
        QCOMPARE(Text(list, 5, 0), name5);
        QCOMPARE(spells->windowTitle(), QStringLiteral("Spells[*]"));
        QCOMPARE(Grid(4, kSpellCost), oldCost);

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

    // A refused value or a file that cannot be read or written changes
    // nothing and is reported; hundreds of refusals come as a few reports.
    void refusalsChangeNothing() {
        const QString file = Path("spells.csv");
        TableDialog* spells = Spells(file);
        QTableView* list = spells->list();
        QVERIFY(spells->ExportCsv(file));
        std::vector<CsvRow> rows = ReadCsv(file);
        const QString name2 = Grid(2, 0);
        const QStringList costs = Column(list, kSpellCost), bytes = Column(list, kSpellByte);
        rows[1][kSpellCost] = rows[1][kSpellCost] == "7" ? "8" : "7";  // fits, but comes with a refusal
        rows[3][kSpellByte] = "300";
        WriteCsv(file, rows);

        QVERIFY(!spells->ImportCsv(file));
        QCOMPARE(errors_.texts,
                 (std::vector<std::string>{"Row 3 (" + FromQ(name2) + "), column \"" + ColumnName(kSpells, kSpellByte) +
                                               "\": Value out of range.",
                                           "Nothing was imported; the table was left unchanged."}));
        errors_.texts.clear();
        QCOMPARE(Column(list, kSpellCost), costs);
        QCOMPARE(Column(list, kSpellByte), bytes);
        QCOMPARE(document_->history().count(), 0);

        for (std::size_t r = 1; r < rows.size(); ++r) rows[r][kSpellByte] = "300";
        WriteCsv(file, rows);
        QVERIFY(!spells->ImportCsv(file));
        QCOMPARE(errors_.texts.size(), std::size_t(22));
        QVERIFY(errors_.texts[20].starts_with("195 more problems were found.\nRow 21 ("));
        QCOMPARE(errors_.texts.back(), std::string("Nothing was imported; the table was left unchanged."));
        errors_.texts.clear();
        QCOMPARE(Column(list, kSpellByte), bytes);

        const QString missing = Path("no folder/spells.csv");
        QVERIFY(!spells->ImportCsv(missing));
        QVERIFY(!spells->ExportCsv(missing));
        QCOMPARE(errors_.texts,
                 (std::vector<std::string>{"Error opening " + PathText(PathFromQ(missing)),
                                            "Error writing " + PathText(PathFromQ(missing))}));
        errors_.texts.clear();
        QCOMPARE(document_->history().count(), 0);
    }
};

QTEST_MAIN(GuiCsvTest)
#include "gui_csv_test.moc"
