#include "gui/check_marks.h"

#include <QLineEdit>
#include <QPalette>

#include "gui/gui_context.h"
#include "writeback/cell_check.h"

namespace quorvane::gui {

CheckResult CheckText(int i, int j, int step, const std::string& text) {
    const CellCheck check = CheckCell(i, j, step, text);
    CheckResult result;
    switch (check.verdict) {
    case CellCheck::Verdict::Written:
        break;
    case CellCheck::Verdict::Warning:
        result.mark = CheckMark::Warning;
        result.tip = ToQ(check.message);
        break;
    case CellCheck::Verdict::Refused:
        result.mark = CheckMark::Error;
        result.tip = ToQ(check.message).trimmed() + QStringLiteral(" Allowed: ") + ToQ(check.range);
        break;
    }
    return result;
}

QColor CheckTint(const QPalette& palette, CheckMark mark) {
    const QColor base = palette.color(QPalette::Base);
    const QColor colour = mark == CheckMark::Error ? QColor(0xe5, 0x39, 0x35) : QColor(0xff, 0xa0, 0x00);
    // Dark bases take less of the colour so that light text stays readable.
    const qreal share = base.lightnessF() < 0.5 ? 0.35 : 0.4;
    const auto mix = [share](int from, int to) { return static_cast<int>(from + (to - from) * share + 0.5); };
    return QColor(mix(base.red(), colour.red()), mix(base.green(), colour.green()), mix(base.blue(), colour.blue()));
}

void MarkField(QLineEdit* field, int i, int j, int step) {
    const CheckResult check = CheckText(i, j, step, FromField(field->text()));
    const char* name = check.mark == CheckMark::Error ? "error" : check.mark == CheckMark::Warning ? "warning" : "";
    if (field->property("check").toString() == QLatin1String(name) && field->toolTip() == check.tip) return;
    field->setProperty("check", QString::fromLatin1(name));
    field->setToolTip(check.tip);
    if (check.mark == CheckMark::None) {
        field->setPalette(QPalette());  // back to the inherited palette
    } else {
        QPalette palette;
        palette.setColor(QPalette::Base, CheckTint(field->parentWidget() ? field->parentWidget()->palette()
                                                                         : field->palette(),
                                                   check.mark));
        field->setPalette(palette);
    }
}

void CheckFieldAsTyped(QLineEdit* field, int i, int j, int step) {
    QObject::connect(field, &QLineEdit::textChanged, field, [field, i, j, step] { MarkField(field, i, j, step); });
    MarkField(field, i, j, step);
}

}  // namespace quorvane::gui
