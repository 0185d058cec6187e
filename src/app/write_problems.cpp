#include "app/write_problems.h"

#include <QCloseEvent>
#include <QTableView>

#include <map>
#include <string_view>
#include <tuple>

#include "app/changes_window.h"
#include "catalogue/catalogue.h"
#include "gui/edit_state.h"
#include "gui/gui_context.h"
#include "gui/placement.h"
#include "gui/report_sinks.h"
#include "writeback/cell_check.h"

namespace quorvane::gui {

namespace {

// "Line: N In [HEADER] section MESSAGE": N, the section and MESSAGE (with
// its leading blank); false for any other report.
bool ReadLineReport(const std::string& text, int* line, int* section, std::string* message) {
    static const std::string kLine = "Line: ";
    static const std::string kIn = " In [";
    static const std::string kSection = "] section ";
    if (text.compare(0, kLine.size(), kLine) != 0) return false;
    std::size_t k = kLine.size();
    const std::size_t digits = k;
    long long n = 0;
    while (k < text.size() && k - digits < 9 && text[k] >= '0' && text[k] <= '9') n = n * 10 + (text[k++] - '0');
    if (k == digits || text.compare(k, kIn.size(), kIn) != 0) return false;
    const std::size_t headerStart = k + kIn.size();
    const std::size_t headerEnd = text.find(kSection, headerStart);
    if (headerEnd == std::string::npos) return false;
    const std::string header = text.substr(headerStart, headerEnd - headerStart);
    for (int i = 0; i < kSectionCount; ++i)
        if (Header(i) == header) {
            *line = static_cast<int>(n);
            *section = i;
            *message = text.substr(headerEnd + kSection.size());
            return true;
        }
    return false;
}

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

std::vector<WriteProblem> PlaceWriteReports(const std::vector<std::string>& reports, const std::string& rules) {
    const std::vector<std::string_view> lines = Lines(rules);
    std::vector<WriteProblem> out;
    // How many reports of each line and message were placed so far.
    std::map<std::pair<int, std::string>, int> seen;
    for (const std::string& text : reports) {
        WriteProblem problem;
        problem.text = text;
        int line = 0;
        int i = -1;
        std::string message;
        if (!ReadLineReport(text, &line, &i, &message)) {
            out.push_back(std::move(problem));
            continue;
        }
        problem.i = i;
        // The record line's row: the record lines from the section's
        // directive up to it.
        const std::string directive = "[" + Header(i) + "]";
        int row = -1;
        RecordLine record;
        if (line >= 1 && line <= static_cast<int>(lines.size()) &&
            ReadRecordLine(lines[static_cast<std::size_t>(line - 1)], &record)) {
            for (int k = line - 1; k >= 1; --k) {
                const std::string_view before = lines[static_cast<std::size_t>(k - 1)];
                if (Trimmed(before) == directive) {
                    row = 0;
                    for (int r = k + 1; r < line; ++r)
                        if (!lines[static_cast<std::size_t>(r - 1)].empty() && lines[static_cast<std::size_t>(r - 1)][0] == '"')
                            ++row;
                    break;
                }
            }
        }
        if (row < 0 || row >= Rows(i)) {
            out.push_back(std::move(problem));
            continue;
        }
        problem.j = row;
        problem.record = record.name;
        // The n-th report of this message on this line is the n-th value the
        // check refuses with it.
        int& n = seen[{line, message}];
        int refused = 0;
        for (int step = 1; step < Columns(i); ++step) {
            const std::string value =
                step - 1 < static_cast<int>(record.values.size()) ? record.values[static_cast<std::size_t>(step - 1)] : "";
            const CellCheck check = CheckCell(i, row, step, value);
            if (check.verdict != CellCheck::Verdict::Refused || check.message != message) continue;
            if (refused++ < n) continue;
            problem.step = step;
            problem.value = value;
            ++n;
            break;
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
