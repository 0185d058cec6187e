// The progress sink the four file actions drive: begun with the range 0 .. 43,
// stepped once after each section, reset to 0 at the end. The core never
// waits; a sink that wants the bar to be seen moving pauses in Step.
#pragma once

namespace quorvane {

class ProgressSink {
public:
    virtual ~ProgressSink() = default;
    virtual void Begin(int minimum, int maximum) = 0;
    virtual void Step() = 0;
    virtual void Reset() = 0;
};

class NullProgress : public ProgressSink {
public:
    void Begin(int, int) override {}
    void Step() override {}
    void Reset() override {}
};

// Counts calls; for tests.
class CountingProgress : public ProgressSink {
public:
    void Begin(int minimum, int maximum) override { hi = maximum; ++begins; position = minimum; }
    void Step() override { ++steps; ++position; }
    void Reset() override { position = 0; }
    int hi = -1, begins = 0, steps = 0, position = 0;
};

}  // namespace quorvane
