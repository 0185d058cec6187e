// The window that lists every problem of a CSV import into a table: one line
// per problem with its CSV line, record, column and message, under a line
// that says what became of the import.
#pragma once

#include <QString>

#include <vector>

#include "exchange/section_csv.h"
#include "tables/problem_list.h"

namespace quorvane::gui {

inline constexpr const char* kCsvProblemsClass = "CCsvProblems";
inline constexpr const char* kCsvProblemsCaption = "CSV Import Problems";

class CsvProblemsWindow : public ProblemListWindow {
    Q_OBJECT
public:
    explicit CsvProblemsWindow(QWidget* parent);

    // Shows the problems of the import of `file` (its name as reports spell
    // it) under `outcome`, replacing what the window showed.
    void Show(const QString& file, const QString& outcome, const std::vector<CsvProblem>& problems);
};

}  // namespace quorvane::gui
