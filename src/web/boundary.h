// SPDX-FileCopyrightText: 2026 The morph-viewer authors
//
// SPDX-License-Identifier: MIT

// The one boundary between the page and the viewer in the browser: the start
// record the page hands the viewer, every function the page may call on the
// viewer's module, and every hook the viewer calls on the page, each named
// here once. The build writes from these tables what the others need
// (tools/viewer_facts): the module's export list for the linker, and the
// page's viewer-facts.js, through which its code calls the functions and sets
// the hooks. No other file spells a name. boundary.cpp implements the
// functions; a function listed here but not defined there fails the link.
//
// Adding a control: a function here and in boundary.cpp, and its use in the
// page's module that needs it.
//
// Pure: no platform header, so that the native build's tools read it too.
#pragma once

namespace morph::web {

// How the viewer starts: the page's URL (?first=&second=&steps=&paused) with
// what the page knows of itself, one name per value on the whole way from
// the URL through the page's messages to here.
struct StartRecord {
    int first = 0;            // the first selection, 0 to 5
    int second = 0;           // the second selection, 0 to 5
    long steps = 0;           // idle calls before the first frame, 0 or more
    bool paused = false;      // no idle calls; keys still redraw
    bool hidden = false;      // the page is hidden: no frames, no idle calls
    double pixelRatio = 1.0;  // device pixels per CSS pixel
};

// A function of the viewer's module: its name in the page's code and its C
// name (the module's, with a leading underscore).
struct Export {
    const char* role;
    const char* symbol;
};

// Every function the page may call, in the page's words: start (the start
// record's fields in order, before main runs); press (a key, 0 to 255, as
// freeglut delivers it); setPaused, setHidden (0 or 1) and setPixelRatio;
// frames, idleCalls and keys (counts since the page started); first and
// second (the selections, 0 to 5, after keys).
inline constexpr Export kExports[] = {
    {"start", "morph_web_start"},
    {"press", "morph_web_press"},
    {"setPaused", "morph_web_set_paused"},
    {"setHidden", "morph_web_set_hidden"},
    {"setPixelRatio", "morph_web_set_pixel_ratio"},
    {"frames", "morph_web_frames"},
    {"idleCalls", "morph_web_idle_calls"},
    {"keys", "morph_web_keys"},
    {"first", "morph_web_first"},
    {"second", "morph_web_second"},
};

// A hook the viewer calls on the page: its role and its name on the module.
struct Hook {
    const char* role;
    const char* name;
};

// The window's title (a string); no WebGL 2 that can run the viewer; keys
// delivered (the selections may have changed).
inline constexpr Hook kHookTitle = {"title", "onTitle"};
inline constexpr Hook kHookNoWebGl = {"noWebGl", "onNoWebGl"};
inline constexpr Hook kHookKeysDelivered = {"keysDelivered", "onKeysDelivered"};
inline constexpr Hook kHooks[] = {kHookTitle, kHookNoWebGl, kHookKeysDelivered};

}  // namespace morph::web
