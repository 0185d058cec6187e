#include "app/write_problems.h"

#include <QCloseEvent>
#include <QTableView>

#include <string_view>

#include "app/changes_window.h"
#include "catalogue/catalogue.h"
#include "gui/edit_state.h"
#include "gui/gui_context.h"
#include "gui/placement.h"
#include "gui/report_sinks.h"

namespace quorvane::gui {

namespace {

// The lines of a rules text, numbered from 1 as the write counts them, a
// carriage return before the line feed not part of a line.
std::vector<std::string_view> Lines(const std::string& text) {
    std::vector<std::string_view> lines;
    std::size_t at = 0;
    while (at < text.size()) {
        std::size_t end = text.find('\n', at);
        if (end == std::string::npos) end = text.size();
        std::string_view line(text.data() + at, end - at);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        lines.push_back(line);
        at = end + 1;
    }
    return lines;
}

std::string_view Trimmed(std::string_view text) {
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

// A record line read as a save writes it: the name in double quotes, then
// the values after commas, up to the semicolon.
struct RecordLine {
    std::string name;
    std::vector<std::string> values;  // values[0] is column 1
};

bool ReadRecordLine(std::string_view line, RecordLine* out) {
    const std::size_t open = line.find('"');
    if (open == std::string_view::npos) return false;
    const std::size_t close = line.find('"', open + 1);
    if (close == std::string_view::npos) return false;
    out->name = std::string(line.substr(open + 1, close - open - 1));
    out->values.clear();
    std::size_t at = line.find(',', close);
    while (at != std::string_view::npos && at < line.size()) {
        std::size_t end = line.find_first_of(",;", at + 1);
        if (end == std::string_view::npos) end = line.size();
        out->values.emplace_back(Trimmed(line.substr(at + 1, end - at - 1)));
        if (end >= line.size() || line[end] == ';') break;
        at = end;
    }
    return true;
}

}  // namespace

std::vector<WriteProblem> PlaceWriteProblems(const std::vector<Problem>& problems, const std::string& rules) {
    const std::vector<std::string_view> lines = Lines(rules);
    std::vector<WriteProblem> out;
    out.reserve(problems.size());
    for (const Problem& p : problems) {
        WriteProblem problem;
        problem.text = ProblemText(p);
        if (p.section >= 0 && p.section < kSectionCount) {
            problem.i = p.section;
            problem.j = p.row < Rows(p.section) ? p.row : -1;
            problem.step = p.column < Columns(p.section) ? p.column : -1;
        }
        // The record's name and the value as the rules file's line holds them.
        RecordLine record;
        if (problem.j >= 0 && p.line >= 1 && p.line <= static_cast<int>(lines.size()) &&
            ReadRecordLine(lines[static_cast<std::size_t>(p.line - 1)], &record)) {
            problem.record = std::move(record.name);
            if (problem.step >= 1 && problem.step - 1 < static_cast<int>(record.values.size()))
                problem.value = record.values[static_cast<std::size_t>(problem.step - 1)];
        }
        out.push_back(std::move(problem));
    }
    return out;
}

WriteProblemsWindow::WriteProblemsWindow(GuiContext& ctx, QWidget* owner)
    : ProblemListWindow(owner, kWriteProblemsClass, kWriteProblemsCaption,
                        {QStringLiteral("Section"), QStringLiteral("Record"), QStringLiteral("Column"),
                         QStringLiteral("Value"), QStringLiteral("Problem")},
                        QSize(860, 360)),
      ctx_(ctx) {
    list()->setSelectionMode(QAbstractItemView::SingleSelection);
    connect(list(), &QTableView::doubleClicked, this, [this](const QModelIndex& index) {
        if (index.row() < 0 || index.row() >= static_cast<int>(problems_.size())) return;
        const WriteProblem& p = problems_[static_cast<std::size_t>(index.row())];
        ShowCell(ctx_, p.i, p.j, p.step);
    });
    TrackPlacement(ctx_.settings, objectName(), this);
    ctx_.registry.Register(this);
}

void WriteProblemsWindow::Show(const QString& rulesName, std::vector<WriteProblem> problems) {
    problems_ = std::move(problems);
    QList<QStringList> rows;
    rows.reserve(static_cast<qsizetype>(problems_.size()));
    for (const WriteProblem& p : problems_)
        rows.push_back({p.i >= 0 ? ToQ(DisplayName(p.i)) : QString(), ToQ(p.record), CellColumnLabel(p.i, p.step),
                        ToQ(p.value), ReportText(p.text)});
    SetProblems(QStringLiteral("Writing ") + rulesName + QStringLiteral(" to the game files found ") +
                    CountOf(static_cast<int>(problems_.size()), "problem", "problems") + QLatin1Char('.'),
                std::move(rows));
    BringToFront(this);
}

void WriteProblemsWindow::closeEvent(QCloseEvent* event) {
    ctx_.registry.Forget(this);
    ClosingDialog::closeEvent(event);
}

WriteProblemsWindow* ShowWriteProblems(GuiContext& ctx, const QString& rulesName, std::vector<WriteProblem> problems) {
    auto* window = qobject_cast<WriteProblemsWindow*>(ctx.registry.Find(QString::fromLatin1(kWriteProblemsClass)));
    if (problems.empty()) {
        if (window) window->close();
        return nullptr;
    }
    if (!window) window = new WriteProblemsWindow(ctx, ctx.registry.Find(QString::fromLatin1(kMainWindowClass)));
    window->Show(rulesName, std::move(problems));
    return window;
}

}  // namespace quorvane::gui
