// quorvane_gui_bench: what the editor's windows cost, offscreen.
//
// Tables: opens the Spells table (215 rows of 16 columns) and the largest unit
// table (44 rows of 33), and stores each back into the editor's data with
// "Close Tab" after one cell of every row was changed. Prints the median of
// the runs, in milliseconds, and whether each stays under 20 ms.
//
// Changes window: changes every value of the sample game's editor data to
// another value its field takes, then opens the Changes window, which
// reviews them all. Prints the rows listed, the time to open it (median of
// the runs) and the process's peak resident memory, and whether they stay
// under 0.5 s and 100 MB.
#include <QApplication>
#include <QElapsedTimer>
#include <QSettings>
#include <QTableView>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "actions/actions.h"
#include "app/changes_window.h"
#include "catalogue/catalogue.h"
#include "gui/document.h"
#include "gui/edit_step.h"
#include "gui/gui_context.h"
#include "gui/review_model.h"
#include "sample/sample_game.h"
#include "tables/section_chooser.h"
#include "tables/table_dialog.h"

namespace {

using namespace quorvane;
using namespace quorvane::gui;

constexpr int kRuns = 15;
constexpr int kReviewRuns = 5;
constexpr double kTargetMs = 20.0;
constexpr double kReviewTargetMs = 500.0;
constexpr double kReviewTargetMb = 100.0;

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

double Ms(const QElapsedTimer& timer) { return static_cast<double>(timer.nsecsElapsed()) / 1e6; }

// The process's peak resident memory in MB, from the kernel's account (0
// where it is not available).
double PeakResidentMb() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmHWM:", 0) == 0) return std::stod(line.substr(6)) / 1024.0;
    return 0;
}

// Another text the field takes: a flag byte with its last bit turned, a
// number one step nearer to zero (0 becomes 1).
std::string Changed(std::string_view text) {
    if (text.size() == 8 && text.find_first_not_of("01") == std::string_view::npos) {
        std::string flags(text);
        flags.back() = flags.back() == '0' ? '1' : '0';
        return flags;
    }
    const long long n = std::stoll(std::string(text));
    return std::to_string(n > 0 ? n - 1 : n < 0 ? n + 1 : 1);
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
            open.push_back(Ms(timer));
            if (!table) return 2;
            // One changed cell in every row, so that storing has work to do.
            EditBuilder step(document, QStringLiteral("Bench"));
            for (int row = 0; row < Rows(section); ++row)
                step.Show(section, row, 1, std::to_string((run + row) % 100));
            step.Push();
            timer.restart();
            table->CloseTab();
            QApplication::processEvents();
            close.push_back(Ms(timer));
        }
        const double o = Median(open), c = Median(close);
        met = met && o < kTargetMs && c < kTargetMs;
        std::printf("%-28s%10.2f%10.2f\n", DisplayName(section).c_str(), o, c);
    }
    std::printf("Target: every table opens and closes in under %.0f ms: %s\n", kTargetMs, met ? "met" : "MISSED");

    // Every value changed, as one step.
    EditBuilder all(document, QStringLiteral("Bench"));
    for (int i = 0; i < kSectionCount; ++i)
        for (int j = 0; j < Rows(i); ++j)
            for (int s = 1; s < Columns(i); ++s) all.Store(i, j, s, Changed(session.grid.GetArrayValue(i, j, s)));
    all.Push();
    std::vector<double> opens;
    int listed = 0;
    for (int run = 0; run < kReviewRuns; ++run) {
        QElapsedTimer timer;
        timer.start();
        CChanges* changes = OpenChangesWindow(ctx);
        QApplication::processEvents();
        opens.push_back(Ms(timer));
        listed = changes->model()->rowCount();
        delete changes;
    }
    const double open = Median(opens), peak = PeakResidentMb();
    const bool reviewMet = open < kReviewTargetMs && peak > 0 && peak < kReviewTargetMb;
    std::printf("\nChanges window, offscreen, median of %d runs\n", kReviewRuns);
    std::printf("%d changed values listed; opens in %.1f ms; peak resident memory %.1f MB\n", listed, open, peak);
    std::printf("Target: opens in under %.0f ms with under %.0f MB resident: %s\n", kReviewTargetMs, kReviewTargetMb,
                reviewMet ? "met" : "MISSED");
    return 0;
}
