#include "gui/report_sinks.h"

#include <QStringList>

#include "gui/qt_text.h"

namespace quorvane::gui {

// Reports are fixed words joined with numbers, section names and file paths;
// the paths are spelled as the file system spells them, so the text is read
// back that way, and byte for byte where it is not valid in that encoding.
QString ReportText(const std::string& text) {
    const QString local = QString::fromLocal8Bit(text.data(), static_cast<qsizetype>(text.size()));
    return local.contains(QChar::ReplacementCharacter) ? ToQ(text) : local;
}

void CappedErrorSink::Report(const std::string& text) {
    if (shown_ < cap_) {
        ++shown_;
        inner_.Report(text);
    } else {
        held_.push_back(text);
    }
}

QString CappedErrorSink::SummaryText(qsizetype more) {
    if (more == 1) return QStringLiteral("1 more problem was found.");
    return QStringLiteral("%1 more problems were found.").arg(more);
}

void CappedErrorSink::Finish() {
    if (held_.empty()) return;
    const QString summary = SummaryText(static_cast<qsizetype>(held_.size()));
    if (auto* boxes = dynamic_cast<DetailedErrorSink*>(&inner_)) {
        QStringList details;
        for (const std::string& text : held_) details << ReportText(text);
        boxes->ReportWithDetails(summary, details.join(QLatin1Char('\n')));
    } else {
        // Another sink gets the reports' own bytes, paths included.
        std::string text = FromQ(summary);
        for (const std::string& held : held_) text += '\n' + held;
        inner_.Report(text);
    }
    held_.clear();
}

}  // namespace quorvane::gui
