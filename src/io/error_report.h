// The error report: a problem, or up to twelve text pieces joined without
// separators, handed to whatever shows it (a message box, stderr, a test).
#pragma once

#include <string>
#include <vector>

#include "io/problem.h"

namespace quorvane {

class ErrorSink {
public:
    virtual ~ErrorSink() = default;
    // One report, its text whole.
    virtual void Report(const std::string& text) = 0;
    // One problem with what is known of it. A sink that reads problems
    // overrides this; any other is handed the problem's text.
    virtual void ReportProblem(const Problem& problem) { Report(ProblemText(problem)); }
};

// Joins the pieces in order and passes the one text to the sink.
void ReportError(ErrorSink& sink, const std::string& p1 = {}, const std::string& p2 = {},
                 const std::string& p3 = {}, const std::string& p4 = {}, const std::string& p5 = {},
                 const std::string& p6 = {}, const std::string& p7 = {}, const std::string& p8 = {},
                 const std::string& p9 = {}, const std::string& p10 = {}, const std::string& p11 = {},
                 const std::string& p12 = {});

// Keeps every report, in order, as text and as a problem (a report given as
// text is a Text problem). Used by the command-line tool and by tests.
class RecordingErrorSink : public ErrorSink {
public:
    void Report(const std::string& text) override {
        texts.push_back(text);
        problems.push_back(Problem::Text(text));
    }
    void ReportProblem(const Problem& problem) override {
        texts.push_back(ProblemText(problem));
        problems.push_back(problem);
    }
    void Clear() {
        texts.clear();
        problems.clear();
    }
    std::vector<std::string> texts;
    std::vector<Problem> problems;
};

}  // namespace quorvane
