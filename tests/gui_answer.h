// Answers the next question box of the program as a user would: waits for
// the modal message box, remembers its text and clicks the button that
// reads `button`. Tests use it so that no question ever blocks them.
#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QStringList>
#include <QTimer>

#include <memory>

namespace quorvane::gui::testing {

struct AskedQuestion {
    QString text;           // the box's text, once it was shown
    QStringList buttons;    // its buttons' texts
    QString defaultButton;  // the text of the button Enter presses
    int asked = 0;          // how many boxes were answered
};

// Arms a poll that answers the next modal message box with `button`. The
// returned record fills in when it has been answered.
inline std::shared_ptr<AskedQuestion> AnswerNextBox(const QString& button) {
    auto record = std::make_shared<AskedQuestion>();
    auto* timer = new QTimer;
    timer->setInterval(5);
    auto tries = std::make_shared<int>(0);
    QObject::connect(timer, &QTimer::timeout, [timer, record, button, tries] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) {
            if (++*tries > 400) timer->deleteLater();  // two seconds: nothing was asked
            return;
        }
        record->text = box->text();
        record->buttons.clear();
        for (QAbstractButton* b : box->buttons()) record->buttons << b->text().remove(QLatin1Char('&'));
        if (box->defaultButton()) record->defaultButton = box->defaultButton()->text().remove(QLatin1Char('&'));
        for (QAbstractButton* b : box->buttons()) {
            if (b->text().remove(QLatin1Char('&')) != button) continue;
            ++record->asked;
            timer->stop();
            timer->deleteLater();
            b->click();
            return;
        }
    });
    timer->start();
    return record;
}

}  // namespace quorvane::gui::testing
