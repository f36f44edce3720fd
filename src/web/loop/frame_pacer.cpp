// SPDX-FileCopyrightText: 2026 The morph-viewer authors
//
// SPDX-License-Identifier: MIT

// GLUT's loop in a web page (see frame_pacer.h).
#include "web/loop/frame_pacer.h"

namespace morph::web {

void FramePacer::pressKey(unsigned char key) {
    if (!stopped_ && pendingKeys_.size() < kMaxQueuedKeys) {
        pendingKeys_.push_back(key);
    }
}

void FramePacer::setHidden(bool hidden) {
    hidden_ = hidden;
    start();
}

void FramePacer::restoreContext() {
    contextLost_ = false;
    redisplayPosted_ = true;
}

void FramePacer::start() {
    if (!looping_ && !hidden_ && !stopped_) {
        looping_ = true;
        clock_.requestAnimationFrames();
    }
}

// Each animation frame shows the last frame once drawn, then lets the next
// turn run after the browser has painted.
bool FramePacer::onAnimationFrame() {
    if (stopped_ || hidden_) {
        looping_ = false;
        return false;
    }
    if (contextLost_ || turnPosted_ || retryPosted_) {
        return true;
    }
    retries_ = 0;
    showOrRetry();
    return true;
}

// Shows the last frame if the GPU has drawn it and lets the next turn run;
// if not, looks again a little later, a bounded number of times.
void FramePacer::showOrRetry() {
    if (fence_.showFinishedFrame()) {
        turnPosted_ = true;
        clock_.postTurn();
    } else if (retries_++ < kRetries) {
        retryPosted_ = true;
        clock_.postRetry(kRetryMilliseconds);
    }
}

void FramePacer::retryShow() {
    retryPosted_ = false;
    if (!stopped_ && !hidden_ && !contextLost_ && !turnPosted_) {
        showOrRetry();
    }
}

void FramePacer::runTurn() {
    turnPosted_ = false;
    if (stopped_ || contextLost_) {
        return;
    }
    if (!pendingKeys_.empty()) {
        while (!pendingKeys_.empty()) {
            const unsigned char key = pendingKeys_.front();
            pendingKeys_.pop_front();
            if (callbacks_.keyboard != nullptr) {
                ++keysDelivered_;
                callbacks_.keyboard(key, 0, 0);
            }
        }
        if (callbacks_.keysDelivered != nullptr) {
            callbacks_.keysDelivered();
        }
    }
    if (redisplayPosted_ && callbacks_.display != nullptr) {
        redisplayPosted_ = false;
        callbacks_.display();
    }
    if (!paused_ && callbacks_.idle != nullptr) {
        callbacks_.idle();
        ++idleCalls_;
    }
}

}  // namespace morph::web
