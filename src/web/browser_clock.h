// SPDX-FileCopyrightText: 2026 The morph-viewer authors
//
// SPDX-License-Identifier: MIT

// The browser's clock for GLUT's loop (loop/frame_pacer.h): animation frames
// from requestAnimationFrame, and each turn and each second look at an
// unfinished frame as a timer task of its own.
#pragma once

#include "web/loop/frame_pacer.h"

namespace morph::web {

class BrowserClock final : public Clock {
public:
    // The loop the clock drives; set once, before the loop starts.
    void drive(FramePacer& pacer) { pacer_ = &pacer; }

    void requestAnimationFrames() override;
    void postTurn() override;
    void postRetry(double milliseconds) override;

private:
    FramePacer* pacer_ = nullptr;
};

}  // namespace morph::web
