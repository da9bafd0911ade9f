#!/usr/bin/python3
"""Drops files on the X display at a screen point, as a file manager would (XDND).

Usage: xdnd_drop.py X Y FILE [FILE...]

Wine turns such a drop on one of its windows into a real WM_DROPFILES for the window under
the point (a WM_DROPFILES posted from another Windows process arrives without its files).
Exit code 0 when the target took the drop, 1 when it refused it or never answered.
"""
import os
import sys
import time
import urllib.parse

from Xlib import X, Xatom, display
from Xlib.protocol import event

XDND_VERSION = 5


def find_target(d, root, x, y):
    """The deepest window under (x, y) that says it takes XDND drops, and its version."""
    aware = d.intern_atom("XdndAware")
    window, found = root, None
    while True:
        prop = window.get_full_property(aware, X.AnyPropertyType)
        if prop is not None and prop.value:
            found = (window, int(prop.value[0]))
        reply = window.translate_coords(root, x, y)
        child = reply.child
        if not child:
            return found
        window = child


def main():
    if len(sys.argv) < 4:
        print(__doc__, file=sys.stderr)
        return 2
    x, y = int(sys.argv[1]), int(sys.argv[2])
    files = [os.path.abspath(f) for f in sys.argv[3:]]
    uris = "".join("file://" + urllib.parse.quote(f) + "\r\n" for f in files).encode()

    d = display.Display()
    root = d.screen().root
    atom = d.intern_atom
    source = root.create_window(0, 0, 1, 1, 0, X.CopyFromParent)
    selection, uri_list = atom("XdndSelection"), atom("text/uri-list")
    source.set_selection_owner(selection, X.CurrentTime)
    d.sync()

    found = find_target(d, root, x, y)
    if found is None:
        print("no XDND target under the point", file=sys.stderr)
        return 1
    target, version = found
    version = min(version, XDND_VERSION)

    def send(name, data):
        ev = event.ClientMessage(window=target, client_type=atom(name),
                                 data=(32, data + [0] * (5 - len(data))))
        target.send_event(ev, event_mask=0)
        d.flush()

    send("XdndEnter", [source.id, version << 24, uri_list, 0, 0])
    send("XdndPosition", [source.id, 0, (x << 16) | y, X.CurrentTime, atom("XdndActionCopy")])

    deadline = time.time() + 10
    accepted = dropped = False
    while time.time() < deadline:
        if not d.pending_events():
            time.sleep(0.01)
            continue
        ev = d.next_event()
        if ev.type == X.ClientMessage and ev.client_type == atom("XdndStatus"):
            accepted = bool(ev.data[1][1] & 1)
            if not accepted:
                send("XdndLeave", [source.id, 0])
                print("the target refused the drop", file=sys.stderr)
                return 1
            if not dropped:
                send("XdndDrop", [source.id, 0, X.CurrentTime])
                dropped = True
        elif ev.type == X.SelectionRequest:
            # The target asks for the dropped data: hand it the list of URIs.
            requestor = ev.requestor
            prop = ev.property if ev.property != X.NONE else ev.target
            requestor.change_property(prop, ev.target, 8, uris)
            notify = event.SelectionNotify(time=ev.time, requestor=requestor, selection=ev.selection,
                                           target=ev.target, property=prop)
            requestor.send_event(notify, event_mask=0)
            d.flush()
        elif ev.type == X.ClientMessage and ev.client_type == atom("XdndFinished"):
            return 0
    print("no answer from the target", file=sys.stderr)
    return 1


if __name__ == "__main__":
    sys.exit(main())
