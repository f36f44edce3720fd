// SPDX-FileCopyrightText: 2026 The morph-viewer authors
//
// SPDX-License-Identifier: MIT

// GLUT's loop in a web page, on a fake clock and a fake fence: one idle call
// per displayed frame, no frames for a hidden page, the pause, the bounded
// looks at an unfinished frame, a lost and restored context, and exit(). Then
// the presenter, on fake GL calls: which frame the canvas shows and when,
// alone and under the loop.
#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "web/loop/frame_pacer.h"
#include "web/loop/presenter.h"

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
    std::function<void()> swapBuffers;
    FramePacer* pacer = nullptr;
};
Record record;

void display() {
    record.calls += 'd';
    record.swapBuffers();
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
        record.swapBuffers = [this] {
            fence.present();
        };
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

// The GL calls the presenter makes, as letters: c clear, s show (copy to the
// canvas), f fence, p poll, r release. The GPU is done with every fence while
// `busy` is false. Fences are numbered from 1; `live` are those not released.
class FakeOutput final : public FrameOutput {
public:
    Sync fence() override {
        calls += 'f';
        ++live;
        syncs.push_back(++fences);
        return &syncs.back();  // a deque's elements stay where they are
    }
    bool poll(Sync /*sync*/) override {
        calls += 'p';
        return !busy;
    }
    void release(Sync /*sync*/) override {
        calls += 'r';
        --live;
    }
    void show() override { calls += 's'; }
    void clear() override { calls += 'c'; }

    std::string calls;
    bool busy = false;
    int fences = 0;
    int live = 0;
    std::deque<int> syncs;
};

// Scripts of what the page and the loop do, one letter each: A attach, R a
// new size, D the context lost, E a frame ended, L a look by the loop (Y: it
// may draw, N: not yet), b the GPU busy from now, g done. The record is the GL
// calls and the looks' answers, in order.
TEST(PresenterTest, WhichFrameIsShownAndWhen) {
    struct Case {
        const char* what;
        const char* script;
        const char* record;
        int framesShown;
    };
    const Case cases[] = {
        {"a new canvas is cleared first, then shows each frame once drawn", "ALLELEL", "csfNprYfprsYfprsY",
         2},
        {"a frame the GPU has not drawn waits, and is shown once drawn", "ALLEbLLgL", "csfNprYfpNpNprsY", 1},
        {"nothing is shown before a context, nor after it is lost", "LERALLEDLEL", "NcsfNprYfNN", 0},
        {"a new context clears its canvas first", "ALLDAL", "csfNprYcsfN", 0},
        {"a frame ended while one is pending is dropped", "ALLEEL", "csfNprYfprsY", 1},
        {"a new size drops the pending frame and clears", "ALLERLL", "csfNprYfrcsfNprY", 0},
        {"a new size while the cleared frame is pending clears again", "ALRLL", "csfNrcsfNprY", 0},
        // A new pixel ratio between a shown frame and the turn that draws:
        // the frame that turn draws is at the new size, and is shown.
        {"a frame drawn after a new size is shown, not cleared", "ALLELRELL", "csfNprYfprsYfprsYY", 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        FakeOutput output;
        Presenter presenter(output);
        for (const char* step = c.script; *step != '\0'; ++step) {
            switch (*step) {
                case 'A':
                    presenter.attach();
                    break;
                case 'R':
                    presenter.resize();
                    break;
                case 'D':
                    presenter.detach();
                    break;
                case 'E':
                    presenter.frameEnded();
                    break;
                case 'L':
                    output.calls += presenter.showFinishedFrame() ? 'Y' : 'N';
                    break;
                case 'b':
                    output.busy = true;
                    break;
                case 'g':
                    output.busy = false;
                    break;
                default:
                    FAIL() << "unknown step " << *step;
            }
        }
        EXPECT_EQ(output.calls, c.record);
        EXPECT_EQ(presenter.framesShown(), c.framesShown);
        if (presenter.attached()) {
            EXPECT_LE(output.live, 1) << "a fence was never released";
        }
    }
}

// The loop and the presenter together, as the page runs them: a paused
// viewer whose pixel ratio changes (the page resizes and posts a redisplay)
// at any point of a turn ends up showing a drawn frame, never a cleared one.
TEST(PresenterTest, APausedViewerShowsADrawnFrameAfterANewSize) {
    for (int ratioChangeAt = 0; ratioChangeAt < 4; ++ratioChangeAt) {
        SCOPED_TRACE(ratioChangeAt);
        FakeOutput output;
        Presenter presenter(output);
        FakeClock clock;
        FramePacer pacer(clock, presenter);
        record = {};
        record.swapBuffers = [&presenter] {
            presenter.frameEnded();
        };
        record.pacer = &pacer;
        pacer.callbacks() = {display, keyboard, idle, keysDelivered};
        presenter.attach();
        pacer.setPaused(true);
        pacer.postRedisplay();
        pacer.start();
        for (int frame = 0; frame < 6; ++frame) {
            if (frame == 2) {
                // 0: before the animation frame; 1: after it showed the frame,
                // before the turn; 2: after the turn drew; 3: not at all.
                if (ratioChangeAt == 0) {
                    presenter.resize();
                    pacer.postRedisplay();
                }
                if (clock.looping) {
                    clock.looping = pacer.onAnimationFrame();
                }
                if (ratioChangeAt == 1) {
                    presenter.resize();
                    pacer.postRedisplay();
                }
                clock.frame(pacer);  // the posted turn and looks
                if (ratioChangeAt == 2) {
                    presenter.resize();
                    pacer.postRedisplay();
                }
                continue;
            }
            clock.frame(pacer);
        }
        const std::string& calls = output.calls;
        ASSERT_NE(calls.rfind('s'), std::string::npos);
        EXPECT_GT(calls.rfind('s'), calls.rfind('c') + 1) << "the canvas was left cleared: " << calls;
        EXPECT_EQ(output.live, 0) << calls;
        EXPECT_EQ(pacer.idleCalls(), 0);
    }
}

}  // namespace
}  // namespace morph::web
