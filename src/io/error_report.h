// The error report: up to twelve text pieces joined without separators and
// handed, as one text, to whatever shows it (a message box, stderr, a test).
#pragma once

#include <string>
#include <vector>

namespace quorvane {

class ErrorSink {
public:
    virtual ~ErrorSink() = default;
    virtual void Report(const std::string& text) = 0;
};

// Joins the pieces in order and passes the one text to the sink. Returns 1,
// the code of the only button the report has.
int ReportError(ErrorSink& sink, const std::string& p1 = {}, const std::string& p2 = {},
                const std::string& p3 = {}, const std::string& p4 = {}, const std::string& p5 = {},
                const std::string& p6 = {}, const std::string& p7 = {}, const std::string& p8 = {},
                const std::string& p9 = {}, const std::string& p10 = {}, const std::string& p11 = {},
                const std::string& p12 = {});

// Keeps every report, in order. Used by the command-line tool and by tests.
class RecordingErrorSink : public ErrorSink {
public:
    void Report(const std::string& text) override { texts.push_back(text); }
    std::vector<std::string> texts;
};

}  // namespace quorvane
