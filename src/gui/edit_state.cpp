#include "gui/edit_state.h"

#include <QAbstractButton>
#include <QPushButton>
#include <QStringList>

namespace quorvane::gui {

QString CountOf(int n, const char* one, const char* many) {
    return QStringLiteral("%1 %2").arg(n).arg(QString::fromLatin1(n == 1 ? one : many));
}

QString PendingText(const PendingEdits& pending) {
    QStringList parts;
    int total = 0;
    if (pending.tables > 0) parts << CountOf(pending.tables, "table", "tables");
    if (pending.editWindows > 0) parts << CountOf(pending.editWindows, "edit window", "edit windows");
    if (pending.forms > 0) parts << CountOf(pending.forms, "form", "forms");
    total = pending.tables + pending.editWindows + pending.forms;

    QString text;
    if (!parts.isEmpty()) {
        QString subject = parts.first();
        for (qsizetype k = 1; k < parts.size(); ++k)
            subject += (k + 1 == parts.size() ? QStringLiteral(" and ") : QStringLiteral(", ")) + parts[k];
        const bool one = total == 1;
        text = subject + (one ? QStringLiteral(" holds") : QStringLiteral(" hold")) +
               QStringLiteral(" changes that are not in the rules file.");
    }
    if (pending.grid) {
        if (!text.isEmpty()) text += QLatin1Char(' ');
        text += text.isEmpty() ? QStringLiteral("The editor holds edits that are not in the rules file.")
                               : QStringLiteral("The editor also holds edits that are not in the rules file.");
    }
    return text;
}

Answer AskQuestion(QWidget* parent, const QString& text, QMessageBox::StandardButton firstStandard,
                   const QString& firstText, const QString& secondText, bool cancelIsDefault) {
    QMessageBox box(QMessageBox::Question, QStringLiteral("Quorvane Editor"), text, QMessageBox::NoButton, parent);
    QAbstractButton* first = firstStandard != QMessageBox::NoButton
                                 ? static_cast<QAbstractButton*>(box.addButton(firstStandard))
                                 : box.addButton(firstText, QMessageBox::AcceptRole);
    QAbstractButton* second = secondText.isEmpty() ? nullptr : box.addButton(secondText, QMessageBox::DestructiveRole);
    QAbstractButton* cancel = box.addButton(QMessageBox::Cancel);
    box.setDefaultButton(qobject_cast<QPushButton*>(cancelIsDefault ? cancel : first));
    box.setEscapeButton(cancel);
    box.exec();
    QAbstractButton* clicked = box.clickedButton();
    if (clicked && clicked == first) return Answer::First;
    if (clicked && clicked == second) return Answer::Second;
    return Answer::Cancel;
}

}  // namespace quorvane::gui
