#include "writeback/review.h"

#include <algorithm>
#include <exception>
#include <new>
#include <tuple>

#include "catalogue/catalogue.h"
#include "catalogue/layout.h"
#include "catalogue/readers.h"
#include "extract/extract.h"
#include "io/file_io.h"
#include "rules/save.h"
#include "writeback/dry_run.h"

namespace quorvane {

namespace {

// Puts the session's sinks and reader state back however the review ends.
class SessionRestorer {
public:
    explicit SessionRestorer(Session& s)
        : s_(s), errors_(s.errors()), progress_(s.progress()), reader_(s.reader) {}
    ~SessionRestorer() {
        s_.SetErrorSink(errors_);
        s_.SetProgressSink(progress_);
        s_.reader = reader_;
    }
    SessionRestorer(const SessionRestorer&) = delete;
    SessionRestorer& operator=(const SessionRestorer&) = delete;

private:
    Session& s_;
    ErrorSink& errors_;
    ProgressSink& progress_;
    ReaderState reader_;
};

std::string WithoutLeadingBlank(std::string text) {
    if (!text.empty() && text.front() == ' ') text.erase(0, 1);
    return text;
}

// The row of section i whose record line spans `line`, or -1.
int RowAtLine(const std::vector<std::pair<int, int>>& rows, int line) {
    const auto it = std::upper_bound(rows.begin(), rows.end(), line,
                                     [](int n, const std::pair<int, int>& span) { return n < span.first; });
    if (it == rows.begin()) return -1;
    const auto& span = *(it - 1);
    return line <= span.second ? static_cast<int>(it - 1 - rows.begin()) : -1;
}

}  // namespace

std::vector<std::vector<std::pair<int, int>>> RecordLines(const Session& s) {
    std::vector<std::vector<std::pair<int, int>>> lines(static_cast<std::size_t>(kSectionCount));
    // The version line and an empty line; then per section its directive,
    // one record line per row (more where a value text holds a line feed; a
    // name is saved without them), the end line and an empty line.
    int line = 2;
    for (int i = 0; i < kSectionCount; ++i) {
        ++line;  // the directive
        auto& rows = lines[static_cast<std::size_t>(i)];
        for (int j = 0; j < Rows(i); ++j) {
            int feeds = 0;
            for (int step = 1; step < Columns(i); ++step) {
                const std::string_view text = s.grid.GetArrayValue(i, j, step);
                feeds += static_cast<int>(std::count(text.begin(), text.end(), '\n'));
            }
            rows.emplace_back(line + 1, line + 1 + feeds);
            line += 1 + feeds;
        }
        line += 2;  // the end line and the empty line
    }
    return lines;
}

namespace {

Review ReviewOf(Session& s, const GameFileSources* compareWith) {
    Review review;
    if (s.grid.GetArrayValue(0, 0, 0) == kNotSet) {
        review.loaded = false;
        return review;
    }
    RecordingErrorSink reports;
    NullProgress quietProgress;
    DryRunResult dry;
    std::vector<std::vector<std::pair<int, int>>> lines;
    {
        SessionRestorer restore(s);
        s.SetErrorSink(reports);
        s.SetProgressSink(quietProgress);
        const std::string text = FormatGrid(s, false);
        lines = RecordLines(s);
        dry = DryRunWrite(s, &text, compareWith);
    }

    const auto addChange = [&](CellChange& cell, bool furtherPlaceOnly) {
        ReviewRow row;
        row.i = cell.i;
        row.j = cell.j;
        row.step = cell.step;
        row.gameText = std::move(cell.gameText);
        row.newText = std::move(cell.newText);
        row.recordName = std::move(cell.recordName);
        row.gameReadable = row.gameText != kValueNotFound;
        row.furtherPlaceOnly = furtherPlaceOnly;
        review.rows.push_back(std::move(row));
    };
    for (CellChange& cell : dry.cells) addChange(cell, false);
    for (CellChange& cell : dry.furtherPlaces) addChange(cell, true);

    // The game files as they are (or the files compared with), for the game
    // text and record name of the cells the write refuses.
    GameImages now;
    bool opened = false;
    DebugLog quiet;
    const auto openGame = [&] {
        if (opened) return;
        opened = true;
        OpenGameImagesToCompare(s, compareWith, now);
    };
    for (const Problem& problem : reports.problems) {
        ReviewRow row;
        // Only the write's reports on a line of a section name a cell; any
        // other (a file that could not be opened) is listed in its words.
        if (problem.code != ProblemCode::RecordLine || problem.section < 0 || problem.section >= kSectionCount) {
            row.problem = ProblemText(problem);
            review.rows.push_back(std::move(row));
            continue;
        }
        row.i = problem.section;
        row.problem = WithoutLeadingBlank(problem.text);
        // The row whose text in the grid became the line the write read: a
        // value holding a line feed puts the rows after it out of step with
        // the rows the write counts, so the row is found by the line.
        const auto& rows = lines[static_cast<std::size_t>(row.i)];
        const int j = RowAtLine(rows, problem.line);
        if (j < 0) {  // not one of the section's record lines
            review.rows.push_back(std::move(row));
            continue;
        }
        row.j = j;
        openGame();
        bool readable = true;
        row.recordName = ExtractedName(row.i, j, now, quiet, &readable);
        if (!readable) row.recordName = s.grid.GetArrayValue(row.i, j, 0);
        // The value the write named: its column counts the fields of the line
        // that begins row j's text.
        if (problem.column >= 1 && problem.line == rows[static_cast<std::size_t>(j)].first) row.step = problem.column;
        if (row.step >= 0) {
            const GameFile f = GameFileOf(row.i);
            row.gameText = ExtractValueText(row.i, j, row.step, ImageOf(now, f), ValueOffset(row.i, j, row.step), quiet);
            row.gameReadable = row.gameText != kValueNotFound;
            row.newText = s.grid.GetArrayValue(row.i, j, row.step);
        }
        review.rows.push_back(std::move(row));
    }

    std::stable_sort(review.rows.begin(), review.rows.end(), [](const ReviewRow& a, const ReviewRow& b) {
        return std::tie(a.i, a.j, a.step) < std::tie(b.i, b.j, b.step);
    });
    for (const ReviewRow& row : review.rows) (row.IsProblem() ? review.problems : review.changes) += 1;
    return review;
}

}  // namespace

Review ReviewGrid(Session& s, const GameFileSources* compareWith) {
    s.log.Line("ReviewGrid() fired");
    // The review holds the game files in memory three times over; running
    // out of memory (or any other failure) ends the review, not the program,
    // and is shown as its one problem.
    const auto stopped = [](std::string text) {
        Review review;
        ReviewRow row;
        row.problem = std::move(text);
        review.rows.push_back(std::move(row));
        review.problems = 1;
        return review;
    };
    try {
        return ReviewOf(s, compareWith);
    } catch (const std::bad_alloc&) {
        return stopped("Not enough memory; the review stopped.");
    } catch (const std::exception& e) {
        return stopped(std::string("The review stopped: ") + e.what());
    }
}

}  // namespace quorvane
