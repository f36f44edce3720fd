// SPDX-FileCopyrightText: 2026 The morph-viewer authors
//
// SPDX-License-Identifier: MIT

// Which frame the canvas shows, and when (see presenter.h).
#include "web/loop/presenter.h"

namespace morph::web {

void Presenter::attach() {
    attached_ = true;
    fresh_ = true;
    pending_ = nullptr;  // any earlier fence went with the earlier context
}

void Presenter::resize() {
    if (!attached_) {
        return;
    }
    if (pending_ != nullptr) {
        output_.release(pending_);
        pending_ = nullptr;
    }
    fresh_ = true;
}

void Presenter::detach() {
    attached_ = false;
    pending_ = nullptr;  // went with the context
}

void Presenter::frameEnded() {
    if (attached_ && pending_ == nullptr) {
        fence(true);
    }
}

bool Presenter::showFinishedFrame() {
    if (!attached_) {
        return false;
    }
    if (fresh_) {
        fresh_ = false;
        if (pending_ == nullptr) {  // nothing drawn at the new size yet
            output_.clear();
            output_.show();
            fence(false);
            return false;
        }
    }
    if (pending_ != nullptr) {
        if (!output_.poll(pending_)) {
            return false;
        }
        output_.release(pending_);
        pending_ = nullptr;
        if (pendingIsFrame_) {
            output_.show();
            ++framesShown_;
        }
    }
    return true;
}

void Presenter::fence(bool frame) {
    pending_ = output_.fence();
    pendingIsFrame_ = frame;
}

}  // namespace morph::web
