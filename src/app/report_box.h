// How the desktop program shows error reports: a plain message box per
// report (during a file action capped, with the sinks of gui/report_sinks.h).
#pragma once

#include <QString>
#include <QStringList>

#include <functional>
#include <string>
#include <vector>

#include "gui/report_sinks.h"
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

// The program's error sink: every report is one box.
class BoxErrorSink : public DetailedErrorSink {
public:
    explicit BoxErrorSink(ReportBoxFunction show = ShowReportBox) : show_(std::move(show)) {}
    void Report(const std::string& text) override;
    void ReportWithDetails(const QString& text, const QString& details) override;

private:
    ReportBoxFunction show_;
};

}  // namespace quorvane::gui
