#include "app/progress_bar.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QProgressBar>
#include <QThread>

namespace quorvane::gui {

void BarProgressSink::Begin(int minimum, int maximum) {
    if (!bar_) return;
    bar_->setRange(minimum, maximum);
    bar_->setValue(minimum);
}

void BarProgressSink::Step() {
    if (!bar_) return;
    bar_->setValue(bar_->value() + 1);
    bar_->repaint();
    PauseWithoutInput(kStepPauseMs);
}

void BarProgressSink::Reset() {
    if (bar_) bar_->setValue(0);
}

void PauseWithoutInput(int ms) {
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < ms) {
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        if (clock.elapsed() < ms) QThread::msleep(1);
    }
}

}  // namespace quorvane::gui
