// Error sinks every window may use: the reading of a report's bytes as shown,
// and a cap on the number of reports shown one by one, so that a broken file
// cannot bury the user under thousands of boxes.
#pragma once

#include <QString>

#include <string>
#include <vector>

#include "io/error_report.h"

namespace quorvane::gui {

// A report's bytes as shown: in the file system's encoding (in which paths
// reach the reports), or as Latin-1 where they are not valid in it.
QString ReportText(const std::string& text);

// A sink that can also show a report with details under it (the program's
// report box).
class DetailedErrorSink : public ErrorSink {
public:
    virtual void ReportWithDetails(const QString& text, const QString& details) = 0;
};

inline constexpr int kReportCap = 20;

// Passes the first `cap` reports to `inner`, keeps the rest, and at Finish()
// reports once how many more there were, with every kept text one per line
// as the details (as plain text appended when `inner` cannot show details).
class CappedErrorSink : public ErrorSink {
public:
    explicit CappedErrorSink(ErrorSink& inner, int cap = kReportCap) : inner_(inner), cap_(cap) {}
    void Report(const std::string& text) override;
    void Finish();

    // "1 more problem was found." / "N more problems were found."
    static QString SummaryText(qsizetype more);

private:
    ErrorSink& inner_;
    int cap_;
    int shown_ = 0;
    std::vector<std::string> held_;  // the reports past the cap, as raised
};

}  // namespace quorvane::gui
