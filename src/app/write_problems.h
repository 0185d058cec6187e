// CWriteProblems: the window listing every problem of the last write to the
// game files, one line each, instead of one message box per problem. Each
// line names the section, record, column and value the problem is about
// where it is about one, beside the write's own report text. A double-click
// opens the record's table (or form).
#pragma once

#include <string>
#include <vector>

#include "io/problem.h"
#include "tables/problem_list.h"

namespace quorvane::gui {

struct GuiContext;

inline constexpr const char* kWriteProblemsClass = "CWriteProblems";
inline constexpr const char* kWriteProblemsCaption = "Write Problems";

// One report of a write, with the cell it is about: -1 where it names no
// section, row or column (a file that could not be opened, a missing
// directive).
struct WriteProblem {
    int i = -1, j = -1, step = -1;
    std::string record;  // the record's name in the rules file
    std::string value;   // the value's text in the rules file
    std::string text;    // the report as the write gave it
};

// Each problem of a write of the rules text `rules`, with the record's name
// and the value's text as the problem's line of the rules file holds them.
std::vector<WriteProblem> PlaceWriteProblems(const std::vector<Problem>& problems, const std::string& rules);

class WriteProblemsWindow : public ProblemListWindow {
    Q_OBJECT
public:
    WriteProblemsWindow(GuiContext& ctx, QWidget* owner);

    // Shows `problems` of the write of `rulesName` (the rules file's name
    // as reports spell it), replacing what the window showed.
    void Show(const QString& rulesName, std::vector<WriteProblem> problems);

    const std::vector<WriteProblem>& problems() const { return problems_; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    GuiContext& ctx_;
    std::vector<WriteProblem> problems_;
};

// Shows the problems of a write in the one write-problems window (made on
// first use); closes it when there are none. Returns the window, or nullptr.
WriteProblemsWindow* ShowWriteProblems(GuiContext& ctx, const QString& rulesName, std::vector<WriteProblem> problems);

}  // namespace quorvane::gui
