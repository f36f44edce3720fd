// SPDX-FileCopyrightText: 2026 The morph-viewer authors
//
// SPDX-License-Identifier: MIT

// GLUT's loop in a web page, as a pure state machine: when a turn runs (keys,
// redraw, idle call), when a finished frame is shown, how often an unfinished
// one is looked at again, and what a hidden page, the pause, a lost context
// and exit() do to it. The browser's clock and the GPU's fence are
// interfaces, so the loop runs on the host with fakes in its tests; the
// browser's GLUT layer (glut.cpp) gives it the real ones.
//
// The loop runs as freeglut's does, one turn per displayed frame: deliver the
// keys pressed since the last turn, redraw if a redisplay was posted, then
// one idle call. So the morph advances one idle call per frame, at the
// display's rate. Each turn is a task of its own, run just after the browser
// has shown a frame, so that the GPU draws the new frame while the thread is
// free; the frame is shown on a later animation frame, once the fence says
// the GPU has drawn it.
#pragma once

#include <cstddef>
#include <deque>

namespace morph::web {

// The browser's clock, as far as the loop needs it.
class Clock {
public:
    Clock() = default;
    Clock(const Clock&) = delete;
    Clock& operator=(const Clock&) = delete;
    Clock(Clock&&) = delete;
    Clock& operator=(Clock&&) = delete;
    virtual ~Clock() = default;

    // From now on, calls FramePacer::onAnimationFrame once per frame the
    // browser shows, until it returns false.
    virtual void requestAnimationFrames() = 0;
    // Calls FramePacer::runTurn in a task of its own, after the current one.
    virtual void postTurn() = 0;
    // Calls FramePacer::retryShow after MILLISECONDS.
    virtual void postRetry(double milliseconds) = 0;
};

// The GPU's progress on the last frame drawn.
class Fence {
public:
    Fence() = default;
    Fence(const Fence&) = delete;
    Fence& operator=(const Fence&) = delete;
    Fence(Fence&&) = delete;
    Fence& operator=(Fence&&) = delete;
    virtual ~Fence() = default;

    // Shows the last frame if the GPU has drawn it; whether the loop may
    // draw the next one (false while the GPU is still at work).
    virtual bool showFinishedFrame() = 0;
};

// The callbacks GLUT was given, and what the page is told after keys.
struct LoopCallbacks {
    void (*display)() = nullptr;
    void (*keyboard)(unsigned char key, int x, int y) = nullptr;
    void (*idle)() = nullptr;
    void (*keysDelivered)() = nullptr;
};

class FramePacer {
public:
    // Looks at an unfinished frame up to kRetries times, every
    // kRetryMilliseconds, before the next animation frame: a slow GPU then
    // costs a moment rather than a whole display frame.
    static constexpr int kRetries = 6;
    static constexpr double kRetryMilliseconds = 2.0;
    // Keys pressed in one frame beyond this many are dropped.
    static constexpr std::size_t kMaxQueuedKeys = 4096;

    FramePacer(Clock& clock, Fence& fence) : clock_(clock), fence_(fence) {}

    LoopCallbacks& callbacks() { return callbacks_; }

    // glutPostRedisplay: the next turn redraws.
    void postRedisplay() { redisplayPosted_ = true; }
    // A key for the keyboard callback, delivered at the next turn; ignored
    // once the loop has stopped.
    void pressKey(unsigned char key);
    // Paused, turns make no idle calls; keys still redraw.
    void setPaused(bool paused) { paused_ = paused; }
    // A hidden page asks for no animation frames; shown again, it does.
    void setHidden(bool hidden);
    // The GL context is gone: no turn runs and no frame is shown. Restored,
    // the loop goes on where it was and redraws.
    void loseContext() { contextLost_ = true; }
    void restoreContext();
    // exit(): no turn runs again, and keys are ignored.
    void stop() { stopped_ = true; }
    // glutMainLoop: asks for animation frames, unless hidden or stopped.
    void start();

    // Called by the clock.
    bool onAnimationFrame();
    void runTurn();
    void retryShow();

    [[nodiscard]] bool paused() const { return paused_; }
    [[nodiscard]] bool contextLost() const { return contextLost_; }
    // Idle calls the loop has made and keys delivered, for the page's tests
    // and benchmark.
    [[nodiscard]] int idleCalls() const { return idleCalls_; }
    [[nodiscard]] int keysDelivered() const { return keysDelivered_; }

private:
    void showOrRetry();

    Clock& clock_;
    Fence& fence_;
    LoopCallbacks callbacks_;
    std::deque<unsigned char> pendingKeys_;
    bool redisplayPosted_ = false;
    bool paused_ = false;
    bool hidden_ = false;
    bool contextLost_ = false;
    bool stopped_ = false;
    bool looping_ = false;      // asking for animation frames
    bool turnPosted_ = false;   // a turn waits to run
    bool retryPosted_ = false;  // a look at an unfinished frame waits to run
    int retries_ = 0;           // such looks since the last animation frame
    int idleCalls_ = 0;
    int keysDelivered_ = 0;
};

}  // namespace morph::web
