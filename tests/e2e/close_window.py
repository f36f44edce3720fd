#!/usr/bin/python3

# SPDX-FileCopyrightText: 2026 The morph-viewer authors
#
# SPDX-License-Identifier: MIT

"""Asks an X window to close, as a window manager's close button does: sends
it the WM_DELETE_WINDOW message of the ICCCM. (xdotool can only destroy a
window or kill its client, which is not how a user closes one.)

Usage: close_window.py WINDOW_ID
"""
import sys

from Xlib import X, display
from Xlib.protocol import event


def main() -> int:
    if len(sys.argv) != 2:
        print(__doc__.strip(), file=sys.stderr)
        return 2
    screen = display.Display()
    window = screen.create_resource_object("window", int(sys.argv[1], 0))
    protocols = screen.intern_atom("WM_PROTOCOLS")
    delete = screen.intern_atom("WM_DELETE_WINDOW")
    if delete not in (window.get_wm_protocols() or []):
        print("the window does not take WM_DELETE_WINDOW", file=sys.stderr)
        return 1
    message = event.ClientMessage(window=window, client_type=protocols, data=(32, [delete, X.CurrentTime, 0, 0, 0]))
    window.send_event(message, event_mask=X.NoEventMask)
    screen.sync()  # a round trip: the server has delivered the message when it returns
    return 0


if __name__ == "__main__":
    sys.exit(main())
