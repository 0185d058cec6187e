// How the desktop program shows error reports: a plain message box per
// report, and during a file action a cap on the number of boxes so that a
// broken rules file cannot bury the user under thousands of them.
#pragma once

#include <QString>
#include <QStringList>

#include <functional>
#include <string>
#include <vector>

#include "io/error_report.h"

class QMessageBox;

namespace quorvane::gui {

// Shows one report: `text` as the message, `details` (may be empty) as the
// box's detailed text. Returns when the report has been dismissed.
using ReportBoxFunction = std::function<void(const QString& text, const QString& details)>;

// The report box, not yet shown: no parent, caption " ", one OK button, no
// icon; `details`, when not empty, becomes the detailed text.
QMessageBox* CreateReportBox(const QString& text, const QString& details = {});
// Creates the report box, runs it modally and deletes it.
void ShowReportBox(const QString& text, const QString& details);

// A report's bytes as shown: in the file system's encoding (in which paths
// reach the reports), or as Latin-1 where they are not valid in it.
QString ReportText(const std::string& text);

// The program's error sink: every report is one box.
class BoxErrorSink : public ErrorSink {
public:
    explicit BoxErrorSink(ReportBoxFunction show = ShowReportBox) : show_(std::move(show)) {}
    void Report(const std::string& text) override;
    void ReportWithDetails(const QString& text, const QString& details);

private:
    ReportBoxFunction show_;
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
