// SPDX-FileCopyrightText: 2026 The morph-viewer authors
//
// SPDX-License-Identifier: MIT

// Which frame the page's canvas shows, and when, as a pure state machine over
// the few GL calls it needs (FrameOutput): the loop's fence. The WebGL back
// end gives it the real calls; the tests give it fakes.
//
// A frame is copied to the canvas only once the GPU has drawn it. When the
// browser shows the canvas it reads it back behind all GL work queued so far,
// and the page's main thread waits for that: a frame copied at once would
// make it wait for the frame's whole drawing (some 100 ms for the first,
// while the shader is made for the pipeline's state). So a frame ends with a
// fence, and GLUT's loop has it copied on a later animation frame, once the
// fence has signalled (showFinishedFrame()).
//
// A new or resized canvas shows a cleared frame first: its first copy and
// read-back take long (some 40 ms here), best while no frame's drawing is
// queued behind them. Not if a frame was drawn at the new size already (a
// new pixel ratio that came between a shown frame and the turn that then
// drew): clearing would lose that frame, and a paused viewer would go on
// showing nothing.
#pragma once

#include "web/loop/frame_pacer.h"

namespace morph::web {

// What showing frames asks of the graphics API.
class FrameOutput {
public:
    // A fence in the GPU's command stream (a GLsync).
    using Sync = void*;

    FrameOutput() = default;
    FrameOutput(const FrameOutput&) = delete;
    FrameOutput& operator=(const FrameOutput&) = delete;
    FrameOutput(FrameOutput&&) = delete;
    FrameOutput& operator=(FrameOutput&&) = delete;
    virtual ~FrameOutput() = default;

    // Fences the GL work queued so far and sends it to the GPU.
    virtual Sync fence() = 0;
    // Whether the GPU has passed SYNC; never waits.
    virtual bool poll(Sync sync) = 0;
    // Lets go of SYNC.
    virtual void release(Sync sync) = 0;
    // Copies the offscreen frame to the canvas.
    virtual void show() = 0;
    // Clears the offscreen frame's colour and depth.
    virtual void clear() = 0;
};

class Presenter final : public Fence {
public:
    explicit Presenter(FrameOutput& output) : output_(output) {}

    // A GL context is ready to draw on a canvas that is new to it.
    void attach();
    // The drawing buffer has a new size: a frame not yet shown is dropped,
    // and the canvas is new again.
    void resize();
    // The GL context is gone (lost, or unable to draw), its fences with it:
    // nothing is shown until attach().
    void detach();

    // Ends a frame (glutSwapBuffers): fenced, to be shown once drawn. A frame
    // ended while the last is still pending is dropped: the loop draws at
    // most one frame per turn, and a turn runs only once the last is shown.
    void frameEnded();

    // Shows the last frame if the GPU has drawn it; whether the loop may draw
    // the next one: false while the GPU has not, and while a new or resized
    // canvas gets its cleared frame.
    bool showFinishedFrame() override;

    [[nodiscard]] bool attached() const { return attached_; }
    // Frames copied to the canvas since the page started (cleared ones not).
    [[nodiscard]] int framesShown() const { return framesShown_; }

private:
    void fence(bool frame);

    FrameOutput& output_;
    bool attached_ = false;
    bool fresh_ = true;                    // the canvas is new or resized: cleared first
    FrameOutput::Sync pending_ = nullptr;  // the fence of what the GPU is drawing
    bool pendingIsFrame_ = false;          // and whether that is a frame to show
    int framesShown_ = 0;
};

}  // namespace morph::web
