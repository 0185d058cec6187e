// quorvane_gui_bench: what the table windows cost, offscreen. Opens and fills
// the Spells table (215 rows of 16 columns) and the largest unit table (44
// rows of 33), and stores each back into the editor's data with "Close Tab"
// after one cell of every row was changed. Prints the median of the runs, in
// milliseconds, and whether each stays under 20 ms.
#include <QApplication>
#include <QElapsedTimer>
#include <QSettings>
#include <QTableWidget>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "actions/actions.h"
#include "catalogue/catalogue.h"
#include "gui/document.h"
#include "gui/gui_context.h"
#include "sample/sample_game.h"
#include "tables/section_chooser.h"
#include "tables/table_dialog.h"

namespace {

using namespace quorvane;
using namespace quorvane::gui;

constexpr int kRuns = 15;
constexpr double kTargetMs = 20.0;

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir dir;
    if (!dir.isValid()) return 2;
    RecordingErrorSink errors;
    NullProgress progress;
    Session session(errors, progress);
    session.gameFolder = PathFromQ(dir.filePath(QStringLiteral("game")));
    session.rulesPath = PathFromQ(dir.filePath(QStringLiteral("rules.txt")));
    if (!WriteSampleGame(session.gameFolder, 1)) return 2;
    ExtractCommand(session);
    if (!errors.texts.empty()) {
        std::fprintf(stderr, "quorvane_gui_bench: extraction reported %s\n", errors.texts.front().c_str());
        return 2;
    }
    QSettings settings(dir.filePath(QStringLiteral("settings.ini")), QSettings::IniFormat);
    WindowRegistry registry;
    Document document(session);
    GuiContext ctx{session, settings, registry, document};

    std::printf("Table windows, offscreen, median of %d runs, milliseconds\n", kRuns);
    std::printf("%-28s%10s%10s\n", "table", "open", "close tab");
    bool met = true;
    for (const int section : {2, kLastUnitSection}) {
        std::vector<double> open, close;
        for (int run = 0; run < kRuns; ++run) {
            QElapsedTimer timer;
            timer.start();
            auto* table = qobject_cast<TableDialog*>(DispatchSection(ctx, section));
            QApplication::processEvents();
            open.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
            if (!table) return 2;
            // One changed cell in every row, so that storing has work to do.
            QTableWidget* list = table->list();
            for (int row = 0; row < list->rowCount(); ++row)
                list->item(row, 1)->setText(QString::number((run + row) % 100));
            timer.restart();
            table->CloseTab();
            QApplication::processEvents();
            close.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
        }
        const double o = Median(open), c = Median(close);
        met = met && o < kTargetMs && c < kTargetMs;
        std::printf("%-28s%10.2f%10.2f\n", DisplayName(section).c_str(), o, c);
    }
    std::printf("Target: every table opens and closes in under %.0f ms: %s\n", kTargetMs, met ? "met" : "MISSED");
    return 0;
}
