#include "tables/csv_problems.h"

#include "gui/edit_state.h"
#include "gui/qt_text.h"
#include "gui/report_sinks.h"

namespace quorvane::gui {

CsvProblemsWindow::CsvProblemsWindow(QWidget* parent)
    : ProblemListWindow(parent, kCsvProblemsClass, kCsvProblemsCaption,
                        {QStringLiteral("CSV Line"), QStringLiteral("Record"), QStringLiteral("Column"),
                         QStringLiteral("Message")},
                        QSize(760, 360)) {}

void CsvProblemsWindow::Show(const QString& file, const QString& outcome, const std::vector<CsvProblem>& problems) {
    QList<QStringList> rows;
    rows.reserve(static_cast<qsizetype>(problems.size()));
    for (const CsvProblem& p : problems) {
        // A record with no CSV line is one the file lacks: its row in the
        // section tells which.
        const QString record = p.line == 0 && p.row > 0 ? QStringLiteral("%1 (%2)").arg(p.row).arg(ToQ(p.record))
                                                        : ToQ(p.record);
        rows.push_back({p.line > 0 ? QString::number(p.line) : QString(), record, ToQ(p.column), ReportText(p.message)});
    }
    SetProblems(file + QStringLiteral(": ") +
                    CountOf(static_cast<int>(problems.size()), "problem was found.", "problems were found.") +
                    QLatin1Char(' ') + outcome,
                std::move(rows));
    show();
    raise();
    activateWindow();
}

}  // namespace quorvane::gui
