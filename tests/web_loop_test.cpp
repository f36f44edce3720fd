// SPDX-FileCopyrightText: 2026 The morph-viewer authors
//
// SPDX-License-Identifier: MIT

// GLUT's loop in a web page, on a fake clock and a fake fence: one idle call
// per displayed frame, no frames for a hidden page, the pause, the bounded
// looks at an unfinished frame, a lost and restored context, and exit().
#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <string>
#include <vector>

#include "web/loop/frame_pacer.h"

namespace morph::web {
namespace {

// The browser's clock, run by hand: animation frames while asked for, and
// the tasks posted, run in order.
class FakeClock final : public Clock {
public:
    void requestAnimationFrames() override {
        ++requests;
        looping = true;
    }
    void postTurn() override { tasks.push_back(Task::Turn); }
    void postRetry(double milliseconds) override {
        EXPECT_GT(milliseconds, 0.0);
        tasks.push_back(Task::Retry);
    }

    // One animation frame, then every task it posted (and those they post).
    void frame(FramePacer& pacer) {
        if (looping) {
            looping = pacer.onAnimationFrame();
        }
        while (!tasks.empty()) {
            const Task task = tasks.front();
            tasks.pop_front();
            if (task == Task::Turn) {
                pacer.runTurn();
            } else {
                pacer.retryShow();
            }
        }
    }

    int requests = 0;
    bool looping = false;

private:
    enum class Task { Turn, Retry };
    std::deque<Task> tasks;
};

// The GPU: a frame presented is finished once `busyLooks` looks at it have
// found it unfinished; a finished frame is shown at the next look.
class FakeFence final : public Fence {
public:
    bool showFinishedFrame() override {
        ++looks;
        if (!pending) {
            return true;
        }
        if (busyLeft > 0) {
            --busyLeft;
            return false;
        }
        pending = false;
        ++shown;
        return true;
    }
    void present() {
        pending = true;
        busyLeft = busyLooks;
    }

    int busyLooks = 0;
    int busyLeft = 0;
    bool pending = false;
    int looks = 0;
    int shown = 0;
};

// The viewer's callbacks, recording what the loop called, in order. Plain
// function pointers, as GLUT takes them: the record is the test's one global.
struct Record {
    std::string calls;  // d: display, k<key>: keyboard, i: idle, n: the page told of keys
    FakeFence* fence = nullptr;
    FramePacer* pacer = nullptr;
};
Record record;

void display() {
    record.calls += 'd';
    record.fence->present();
}
void keyboard(unsigned char key, int /*x*/, int /*y*/) {
    record.calls += 'k';
    record.calls += static_cast<char>(key);
    record.pacer->postRedisplay();  // as the viewer's onKey does
}
void idle() {
    record.calls += 'i';
    record.pacer->postRedisplay();  // as the viewer's onIdle does
}
void keysDelivered() {
    record.calls += 'n';
}

// A loop as the page starts it: callbacks registered, the first redraw
// posted, animation frames asked for.
struct Loop {
    Loop() {
        record = {};
        record.fence = &fence;
        record.pacer = &pacer;
        pacer.callbacks() = {display, keyboard, idle, keysDelivered};
        pacer.postRedisplay();  // a new window is drawn once it shows
        pacer.start();
    }
    void frames(int n) {
        for (int i = 0; i < n; ++i) {
            clock.frame(pacer);
        }
    }
    // What the loop called since the last look.
    static std::string calls() {
        std::string taken;
        taken.swap(record.calls);
        return taken;
    }

    FakeClock clock;
    FakeFence fence;
    FramePacer pacer{clock, fence};
};

class FramePacerTest : public ::testing::Test {
protected:
    void frames(int n) { loop.frames(n); }
    static std::string calls() { return Loop::calls(); }

    Loop loop;
    FakeClock& clock = loop.clock;
    FakeFence& fence = loop.fence;
    FramePacer& pacer = loop.pacer;
};

TEST_F(FramePacerTest, OneIdleCallAndOneRedrawPerDisplayedFrame) {
    frames(1);
    EXPECT_EQ(calls(), "di");
    const int shownBefore = fence.shown;
    const int idleBefore = pacer.idleCalls();
    frames(100);
    EXPECT_EQ(fence.shown - shownBefore, 100);
    EXPECT_EQ(pacer.idleCalls() - idleBefore, 100);
    EXPECT_EQ(clock.requests, 1) << "the loop asked for animation frames more than once";
}

TEST_F(FramePacerTest, KeysComeFirstInATurnAndThePageIsToldOnce) {
    frames(1);
    calls();
    pacer.pressKey('1');
    pacer.pressKey('2');
    frames(1);
    EXPECT_EQ(calls(), "k1k2ndi");
    EXPECT_EQ(pacer.keysDelivered(), 2);
    frames(1);
    EXPECT_EQ(calls(), "di") << "a turn without keys told the page of keys";
}

TEST_F(FramePacerTest, AHiddenPageAsksForNoFramesUntilShown) {
    frames(3);
    pacer.setHidden(true);
    frames(1);  // the animation frame already asked for ends the loop
    EXPECT_FALSE(clock.looping);
    const int idle = pacer.idleCalls();
    const int looks = fence.looks;
    frames(20);
    EXPECT_EQ(pacer.idleCalls(), idle);
    EXPECT_EQ(fence.looks, looks);
    EXPECT_EQ(clock.requests, 1);
    pacer.setHidden(false);
    EXPECT_EQ(clock.requests, 2);
    frames(5);
    EXPECT_EQ(pacer.idleCalls(), idle + 5);
}

TEST_F(FramePacerTest, PauseStopsIdleCallsWhileKeysStillRedraw) {
    frames(2);
    pacer.setPaused(true);
    frames(1);  // the redisplay the last idle call asked for
    calls();
    const int idle = pacer.idleCalls();
    frames(10);
    EXPECT_EQ(calls(), "");
    EXPECT_EQ(pacer.idleCalls(), idle);
    pacer.pressKey('2');
    frames(2);
    EXPECT_EQ(calls(), "k2nd");
    pacer.setPaused(false);
    frames(1);
    EXPECT_EQ(calls(), "i");
    frames(1);
    EXPECT_EQ(calls(), "di");
}

TEST(FramePacerRetryTest, AnUnfinishedFrameIsLookedAtABoundedNumberOfTimes) {
    struct Case {
        int busyLooks;  // looks that find the frame unfinished
        int turns;      // in the animation frame after the one that drew it
    };
    for (const Case c : {Case{0, 1}, Case{3, 1}, Case{FramePacer::kRetries, 1},
                         Case{FramePacer::kRetries + 1, 0}, Case{50, 0}}) {
        SCOPED_TRACE(c.busyLooks);
        Loop loop;
        loop.frames(1);  // draws the first frame
        loop.fence.busyLeft = c.busyLooks;
        const int looks = loop.fence.looks;
        const int idle = loop.pacer.idleCalls();
        loop.frames(1);
        // The look of the animation frame, and at most kRetries more.
        EXPECT_EQ(loop.fence.looks - looks, std::min(c.busyLooks, FramePacer::kRetries) + 1);
        EXPECT_EQ(loop.pacer.idleCalls() - idle, c.turns);
        // However long the GPU takes, each animation frame looks again.
        loop.frames(10);
        EXPECT_GT(loop.pacer.idleCalls() - idle, 0);
    }
}

TEST_F(FramePacerTest, ALostContextPausesAndARestoredOneResumesWithTheSameState) {
    frames(3);
    pacer.setPaused(true);
    frames(1);
    calls();
    pacer.loseContext();
    pacer.pressKey('1');
    const int looks = fence.looks;
    frames(10);
    EXPECT_EQ(calls(), "") << "a turn ran without a context";
    EXPECT_EQ(fence.looks, looks) << "a frame was shown without a context";
    EXPECT_TRUE(clock.looping) << "the loop gave up on a lost context";
    pacer.restoreContext();
    frames(1);
    EXPECT_EQ(calls(), "k1nd") << "the key or the redraw was lost, or the pause";
    EXPECT_TRUE(pacer.paused());
}

TEST_F(FramePacerTest, ExitStopsEverythingAndKeysAfterItAreIgnored) {
    frames(3);
    calls();
    pacer.pressKey('2');  // pressed before exit, never delivered
    pacer.stop();
    pacer.pressKey('1');
    const int looks = fence.looks;
    frames(5);
    EXPECT_EQ(calls(), "");
    EXPECT_FALSE(clock.looping);
    EXPECT_EQ(fence.looks, looks);
    pacer.setHidden(false);
    pacer.start();
    EXPECT_EQ(clock.requests, 1) << "the loop started again after exit";
}

TEST_F(FramePacerTest, KeysBeyondTheQueuesBoundAreDropped) {
    for (std::size_t i = 0; i < FramePacer::kMaxQueuedKeys + 10; ++i) {
        pacer.pressKey('x');
    }
    frames(1);
    EXPECT_EQ(pacer.keysDelivered(), static_cast<int>(FramePacer::kMaxQueuedKeys));
}

}  // namespace
}  // namespace morph::web
