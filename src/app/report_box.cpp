#include "app/report_box.h"

#include <QMessageBox>

#include "gui/gui_context.h"

namespace quorvane::gui {

QMessageBox* CreateReportBox(const QString& text, const QString& details) {
    auto* box = new QMessageBox(QMessageBox::NoIcon, QStringLiteral(" "), text, QMessageBox::Ok, nullptr);
    box->setTextFormat(Qt::PlainText);
    if (!details.isEmpty()) box->setDetailedText(details);
    return box;
}

void ShowReportBox(const QString& text, const QString& details) {
    QMessageBox* box = CreateReportBox(text, details);
    box->exec();
    delete box;
}

void BoxErrorSink::Report(const std::string& text) { show_(ReportText(text), QString()); }

void BoxErrorSink::ReportWithDetails(const QString& text, const QString& details) { show_(text, details); }

}  // namespace quorvane::gui
