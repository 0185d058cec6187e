// The constant-group forms, driven offscreen: what each shows, what save,
// discard, the close box and Escape do to the grid, and the destroyed-items
// check.
#include <QDialog>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

#include "gui/gui_context.h"
#include "io/progress.h"
#include "session/session.h"
#include "catalogue/catalogue.h"
#include "app/screenshot_renderers.h"
#include "forms/constant_form.h"
#include "forms/form_table.h"

#include "gui_window_test.h"

using namespace quorvane;
using namespace quorvane::gui;

namespace {

// The values a form's save writes: (row, column) pairs in field order.
std::vector<std::pair<int, int>> ValueCells(int s) {
    std::vector<std::pair<int, int>> cells;
    if (s == 34) {
        for (int c = 1; c <= 10; ++c) cells.emplace_back(0, c);
    } else {
        for (int r = 0; r < Rows(s); ++r) cells.emplace_back(r, 1);
    }
    return cells;
}

std::string CellText(int s, int r, int c) {
    return "v" + std::to_string(s) + "." + std::to_string(r) + "." + std::to_string(c);
}

QList<QLineEdit*> Fields(QWidget* form, const char* prefix) {
    QList<QLineEdit*> out;
    for (int k = 0;; ++k) {
        auto* f = form->findChild<QLineEdit*>(QString::fromLatin1(prefix) + QString::number(k));
        if (!f) return out;
        out.push_back(f);
    }
}

QPushButton* Button(QWidget* w, const QString& text) {
    for (auto* b : w->findChildren<QPushButton*>())
        if (b->text() == text) return b;
    return nullptr;
}

}  // namespace

class GuiFormsTest : public WindowTestBase {
    Q_OBJECT

private:

    // Every in-use cell of every section gets a text of its own.
    void FillGrid() {
        for (int s = 0; s < kSectionCount; ++s)
            for (int r = 0; r < Rows(s); ++r)
                for (int c = 0; c < Columns(s); ++c) session_->grid.SetArrayValue(s, r, c, CellText(s, r, c));
    }

    // Opens the form as the section dispatcher does.
    QDialog* Open(int s) {
        QDialog* form = CreateConstantForm(*ctx_, s);
        if (!form) return nullptr;
        registry_.Set(ConstantFormClass(s), form);
        form->show();
        form->setWindowTitle(ToQ(DisplayName(s)));
        return form;
    }

    // Snapshot of every in-use cell.
    std::vector<std::string> Grid() const {
        std::vector<std::string> all;
        for (int s = 0; s < kSectionCount; ++s)
            for (int r = 0; r < Rows(s); ++r)
                for (int c = 0; c < Columns(s); ++c) all.emplace_back(session_->grid.GetArrayValue(s, r, c));
        return all;
    }

    void ExpectClosed(QPointer<QDialog> form, int s) {
        QTRY_VERIFY(form.isNull());
        QVERIFY(registry_.Find(ConstantFormClass(s)) == nullptr);
    }

private slots:
    void init() {
        StartSession();
        FillGrid();
    }

    void cleanup() {
        QList<QPointer<QWidget>> dialogs;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (qobject_cast<QDialog*>(w) && !w->parentWidget()) dialogs << w;
        for (const QPointer<QWidget>& w : dialogs) delete w.data();
        registry_ = WindowRegistry();
    }

    void classNamesCoverExactlyTheConstantSections() {
        QCOMPARE(ConstantFormClass(22), QString());
        QCOMPARE(ConstantFormClass(43), QString());
        QCOMPARE(ConstantFormClass(-1), QString());
        QVERIFY(CreateConstantForm(*ctx_, 22) == nullptr);
        QVERIFY(CreateConstantForm(*ctx_, 43) == nullptr);
        QCOMPARE(ConstantFormClass(23), QStringLiteral("CHealing"));
        QCOMPARE(ConstantFormClass(33), QStringLiteral("CDestroyedItems"));
        QCOMPARE(ConstantFormClass(34), QStringLiteral("CSpellsPerBook"));
        QCOMPARE(ConstantFormClass(42), QStringLiteral("CFoodBonuses"));
    }

    void everyFormShowsItsSection_data() {
        QTest::addColumn<int>("section");
        for (int s = 23; s <= 42; ++s) QTest::addRow("%s", qPrintable(ConstantFormClass(s))) << s;
    }
    void everyFormShowsItsSection() {
        QFETCH(int, section);
        QDialog* form = CreateConstantForm(*ctx_, section);
        QVERIFY(form);
        QCOMPARE(form->objectName(), ConstantFormClass(section));
        QCOMPARE(form->windowTitle(), QString::fromLatin1(FindFormSpec(section)->templateCaption));
        QVERIFY(form->testAttribute(Qt::WA_DeleteOnClose));

        const auto names = Fields(form, "name");
        const auto values = Fields(form, "value");
        const auto cells = ValueCells(section);
        QCOMPARE(values.size(), qsizetype(cells.size()));
        QCOMPARE(names.size(), section == 34 ? qsizetype(1) : qsizetype(Rows(section)));
        for (int k = 0; k < names.size(); ++k) {
            QVERIFY(names[k]->isReadOnly());
            QCOMPARE(FromQ(names[k]->text()), CellText(section, k, 0));
        }
        for (int k = 0; k < values.size(); ++k) {
            QVERIFY(!values[k]->isReadOnly());
            QCOMPARE(FromQ(values[k]->text()), CellText(section, cells[k].first, cells[k].second));
        }
        QVERIFY(Button(form, "Discard Changes and Close Tab"));
        QVERIFY(Button(form, "Save Changes And Close Tab"));
        QCOMPARE(form->findChildren<QPushButton*>().size(), 2);
        delete form;
    }

    void captionIsTheDisplayNameOnceShown() {
        QDialog* form = Open(36);
        QCOMPARE(form->windowTitle(), QStringLiteral("Map Generation"));
        form->close();
        form = Open(37);
        QCOMPARE(form->windowTitle(), QStringLiteral("Research Bonus From Books"));
    }

    void hireFormsShowTheirFormulaLines() {
        const QStringList hero{"Hero For Hire Formula :", "Chance = ((Fame / i + j) x 2 if Famous) ",
                               "if more then k% Capped At l% Additional m% For AI Players",
                               "Then Check Heroes Already Hired :",
                               "Chance = Chance / ((#Heroes + 1) / 2 + 1)"};
        const QStringList merc{"Merc For Hire Formula :", "Chance = ((Fame / i + 1) x j if Famous)",
                               "if more then k% Capped At l% Additional m% For AI Players"};
        for (auto [s, expected] : {std::pair{38, hero}, std::pair{39, merc}}) {
            std::unique_ptr<QDialog> form(CreateConstantForm(*ctx_, s));
            QStringList shown;
            for (auto* l : form->findChildren<QLabel*>()) shown << l->text();
            QCOMPARE(shown, expected);
        }
        // No other form carries fixed lines.
        std::unique_ptr<QDialog> healing(CreateConstantForm(*ctx_, 23));
        QVERIFY(healing->findChildren<QLabel*>().isEmpty());
    }

    void spellsPerBookLabelsSitAboveTheirValues() {
        QDialog* form = Open(34);
        const auto values = Fields(form, "value");
        QCOMPARE(values.size(), 10);
        const QLineEdit* name = Fields(form, "name").front();
        for (int k = 0; k < 10; ++k) {
            auto* label = form->findChild<QLabel*>(QStringLiteral("label%1").arg(k));
            QVERIFY(label);
            QCOMPARE(label->text(), QStringLiteral("%1 Books").arg(k + 2));
            QVERIFY(label->geometry().bottom() <= values[k]->geometry().top());
            QVERIFY(qAbs(label->geometry().center().x() - values[k]->geometry().center().x()) < values[k]->width());
            QVERIFY(name->geometry().bottom() < label->geometry().top());
        }
        // Two lines of five.
        QCOMPARE(values[4]->y(), values[0]->y());
        QVERIFY(values[5]->y() > values[0]->y());
        QCOMPARE(values[5]->x(), values[0]->x());
        // The name runs across the top, over the width of the five columns.
        QVERIFY(name->width() >= values[4]->geometry().right() - values[0]->x());
    }

    void twoColumnFormsSplitWhereTheyShould_data() {
        QTest::addColumn<int>("section");
        QTest::addColumn<int>("split");
        QTest::newRow("CMapGeneration") << 36 << 9;
        QTest::newRow("CBookResearch") << 37 << 8;
        QTest::newRow("CHireHero") << 38 << 3;
        QTest::newRow("CHireMerc") << 39 << 3;
        QTest::newRow("CMisc") << 41 << 9;  // one column
    }
    void twoColumnFormsSplitWhereTheyShould() {
        QFETCH(int, section);
        QFETCH(int, split);
        QDialog* form = Open(section);
        const auto names = Fields(form, "name");
        const auto values = Fields(form, "value");
        for (int r = 0; r < names.size(); ++r) {
            // Each value sits to the right of its own name, on its line.
            QCOMPARE(values[r]->y(), names[r]->y());
            QVERIFY(values[r]->x() > names[r]->geometry().right());
            const int above = r == split ? -1 : r - 1;
            if (r > 0 && above >= 0) QVERIFY(names[r]->y() > names[above]->y());
        }
        if (split < names.size()) {
            QCOMPARE(names[split]->y(), names[0]->y());
            QVERIFY(names[split]->x() > values[0]->geometry().right());
            QCOMPARE(names[split]->x(), names.back()->x());
        } else {
            QCOMPARE(names.back()->x(), names[0]->x());
        }
    }

    void longLabelsAreNotClipped() {
        // The labels the game data gives these rows must fit their fields.
        for (int s = 23; s <= 42; ++s) {
            for (int r = 0; r < Rows(s); ++r) session_->grid.SetArrayValue(s, r, 0, RowLabel(s, r));
            QDialog* form = Open(s);
            for (QLineEdit* name : Fields(form, "name")) {
                const int needed = name->fontMetrics().horizontalAdvance(name->text());
                QVERIFY2(name->contentsRect().width() - 4 >= needed, qPrintable(name->text()));
            }
            form->close();
        }
    }

    void saveStoresExactlyTheValueColumn_data() { everyFormShowsItsSection_data(); }
    void saveStoresExactlyTheValueColumn() {
        QFETCH(int, section);
        QPointer<QDialog> form = Open(section);
        const auto values = Fields(form, "value");
        for (int k = 0; k < values.size(); ++k) {
            values[k]->clear();
            // Section 33 needs an accepted value; the others take any text.
            QTest::keyClicks(values[k], section == 33 ? QStringLiteral("25") : QStringLiteral("new %1").arg(k));
        }
        Button(form, "Save Changes And Close Tab")->click();
        ExpectClosed(form, section);

        const auto cells = ValueCells(section);
        for (int s = 0; s < kSectionCount; ++s)
            for (int r = 0; r < Rows(s); ++r)
                for (int c = 0; c < Columns(s); ++c) {
                    auto it = std::find(cells.begin(), cells.end(), std::pair{r, c});
                    std::string expected = CellText(s, r, c);
                    if (s == section && it != cells.end())
                        expected = section == 33 ? "25" : "new " + std::to_string(it - cells.begin());
                    QCOMPARE(session_->grid.GetArrayValue(s, r, c), expected);
                }
        QVERIFY(errors_.texts.empty());
    }

    void emptyAndOddTextsAreStoredAsTyped() {
        QPointer<QDialog> form = Open(24);
        const auto values = Fields(form, "value");
        values[0]->clear();
        values[1]->setText(QString::fromLatin1("\xE9t\xE9 ,;"));
        Button(form, "Save Changes And Close Tab")->click();
        ExpectClosed(form, 24);
        QCOMPARE(session_->grid.GetArrayValue(24, 0, 1), std::string());
        QCOMPARE(session_->grid.GetArrayValue(24, 1, 1), std::string("\xE9t\xE9 ,;"));
    }

    void discardCloseBoxAndEscapeLeaveTheGrid_data() {
        QTest::addColumn<int>("section");
        QTest::addColumn<int>("how");  // 0 discard button, 1 close box, 2 Escape
        for (int s : {23, 33, 34, 38}) {
            QTest::addRow("%d discard", s) << s << 0;
            QTest::addRow("%d close box", s) << s << 1;
            QTest::addRow("%d escape", s) << s << 2;
        }
    }
    void discardCloseBoxAndEscapeLeaveTheGrid() {
        QFETCH(int, section);
        QFETCH(int, how);
        const auto before = Grid();
        QPointer<QDialog> form = Open(section);
        const auto values = Fields(form, "value");
        for (QLineEdit* v : values) QTest::keyClicks(v, "99");
        if (how == 0)
            Button(form, "Discard Changes and Close Tab")->click();
        else if (how == 1)
            form->close();
        else
            QTest::keyClick(values.front(), Qt::Key_Escape);
        ExpectClosed(form, section);
        QVERIFY(Grid() == before);
        QVERIFY(errors_.texts.empty());
    }

    // Enter in a value field saves, as in the edit dialogs, whose button
    // order the form keeps: save first.
    void enterInAValueFieldSaves() {
        QPointer<QDialog> form = Open(23);
        QVERIFY(Button(form, "Save Changes And Close Tab")->x() < Button(form, "Discard Changes and Close Tab")->x());
        QLineEdit* v = Fields(form, "value").front();
        v->setText("17");
        QTest::keyClick(v, Qt::Key_Return);
        ExpectClosed(form, 23);
        QCOMPARE(session_->grid.GetArrayValue(23, 0, 1), std::string("17"));
    }

    void valuesAreCutTo254Characters() {
        QPointer<QDialog> form = Open(31);
        const QString longText(300, QChar('7'));
        Fields(form, "value")[3]->setText(longText);
        Fields(form, "value")[4]->setText(longText.left(254));
        Button(form, "Save Changes And Close Tab")->click();
        ExpectClosed(form, 31);
        QCOMPARE(session_->grid.GetArrayValue(31, 3, 1), std::string(254, '7'));
        QCOMPARE(session_->grid.GetArrayValue(31, 4, 1), std::string(254, '7'));
    }

    void destroyedItemsAcceptsOnly25Or50_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("25") << "25" << true;
        QTest::newRow("50") << "50" << true;
        QTest::newRow("30") << "30" << false;
        QTest::newRow("50x") << "50x" << true;
        QTest::newRow("x50") << "x50" << false;
        QTest::newRow("leading blanks") << "  25" << true;
        QTest::newRow("plus sign") << "+50" << true;
        QTest::newRow("minus 25") << "-25" << false;
        QTest::newRow("050") << "050" << true;
        QTest::newRow("25.0") << "25.0" << true;
        QTest::newRow("empty") << "" << false;
        QTest::newRow("blank") << "   " << false;
        QTest::newRow("overflow") << "99999999999999999999" << false;
        QTest::newRow("wraps to 50 modulo 2^32") << "4294967346" << false;
        QTest::newRow("sign alone") << "-" << false;
    }
    void destroyedItemsAcceptsOnly25Or50() {
        QFETCH(QString, typed);
        QFETCH(bool, accepted);
        QCOMPARE(IsDestroyedItemsValue(FromQ(typed)), accepted);

        const auto before = Grid();
        QPointer<QDialog> form = Open(33);
        QLineEdit* value = Fields(form, "value").front();
        value->clear();
        QTest::keyClicks(value, typed);
        Button(form, "Save Changes And Close Tab")->click();
        if (accepted) {
            ExpectClosed(form, 33);
            QCOMPARE(session_->grid.GetArrayValue(33, 0, 1), FromQ(typed));
            QVERIFY(errors_.texts.empty());
        } else {
            QTest::qWait(20);
            QVERIFY(!form.isNull() && form->isVisible());
            QCOMPARE(value->text(), typed);
            QCOMPARE(registry_.Find("CDestroyedItems"), static_cast<QWidget*>(form.data()));
            QCOMPARE(errors_.texts, std::vector<std::string>{"Value Must Be Either 25 or 50."});
            QVERIFY(Grid() == before);
            // Correcting the text then saves it.
            value->setText("50");
            Button(form, "Save Changes And Close Tab")->click();
            ExpectClosed(form, 33);
            QCOMPARE(session_->grid.GetArrayValue(33, 0, 1), std::string("50"));
        }
    }

    void placementIsKeptUnderTheClassName() {
        QPointer<QDialog> form = Open(29);
        form->setGeometry(120, 140, 700, 420);
        QTest::qWait(20);
        form->close();
        ExpectClosed(form, 29);
        QCOMPARE(settings_->value("CRetortEffects/Width").toInt(), 700);
        form = Open(29);
        QCOMPARE(form->width(), 700);
        QCOMPARE(form->height(), 420);
    }

    void reopeningReadsTheCurrentGrid() {
        QPointer<QDialog> form = Open(28);
        Fields(form, "value").front()->setText("17");
        Button(form, "Save Changes And Close Tab")->click();
        ExpectClosed(form, 28);
        session_->grid.SetArrayValue(28, 0, 0, "Renamed");
        form = Open(28);
        QCOMPARE(Fields(form, "value").front()->text(), QStringLiteral("17"));
        QCOMPARE(Fields(form, "name").front()->text(), QStringLiteral("Renamed"));
    }

    void closingAStaleFormKeepsTheNewerRegistration() {
        // A form that is not the registered one must not clear the entry.
        QDialog* stale = CreateConstantForm(*ctx_, 40);
        QDialog* current = Open(40);
        stale->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCOMPARE(registry_.Find("CItemBuyChance"), static_cast<QWidget*>(current));
    }

    void screenshotsCoverEveryForm() {
        const QString dir = tmp_->filePath("shots");
        RenderFormScreenshots(*ctx_, dir);
        for (int s = 23; s <= 42; ++s) {
            QImage image(QDir(dir).filePath(ConstantFormClass(s) + ".png"));
            QVERIFY2(!image.isNull(), qPrintable(ConstantFormClass(s)));
            QVERIFY(image.width() > 200 && image.height() > 50);
        }
        QVERIFY(registry_.Find("CHealing") == nullptr);
    }
};

QTEST_MAIN(GuiFormsTest)
#include "gui_forms_test.moc"
