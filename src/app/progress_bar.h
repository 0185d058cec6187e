// The progress sink of the settings dialog: moves a QProgressBar and, after
// each step, pauses 10 ms with the bar repainted so the user sees it move.
#pragma once

#include <QPointer>

#include "io/progress.h"

#include <QProgressBar>

namespace quorvane::gui {

inline constexpr int kStepPauseMs = 10;

class BarProgressSink : public ProgressSink {
public:
    explicit BarProgressSink(QProgressBar* bar) : bar_(bar) {}
    void Begin(int minimum, int maximum) override;
    void Step() override;
    void Reset() override;

private:
    QPointer<QProgressBar> bar_;
};

// Lets the window system repaint for `ms` milliseconds without taking any
// keyboard or mouse input, so nothing can start while an action runs.
void PauseWithoutInput(int ms);

}  // namespace quorvane::gui
