#!/usr/bin/python3
"""Drops files on an X window as a file manager does, through the XDND
protocol (version 5): enter, position, drop, with the paths offered as
text/uri-list from the XdndSelection. Wine turns such a drop on a window
that accepts files into WM_DROPFILES in the window's own process.

usage: xdnd_drop.py WINDOW X Y START_FILE PATH...
WINDOW is the X window id of the target's top-level window, X Y the root
coordinates of the drop. The instant of the drop (seconds since 1970) is
written to START_FILE just after the drop message is sent. Exit status 0
when the target reported the drop done, 1 when it refused or did not
answer. Uses only libX11 through ctypes."""
import ctypes
import os
import select
import sys
import time
import urllib.parse

Window = Atom = Time = ctypes.c_ulong
CLIENT_MESSAGE, SELECTION_REQUEST, SELECTION_NOTIFY = 33, 30, 31
XDND_VERSION = 5
ANSWER_SECONDS = 10


class ClientMessageEvent(ctypes.Structure):
    _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong),
                ("send_event", ctypes.c_int), ("display", ctypes.c_void_p),
                ("window", Window), ("message_type", Atom), ("format", ctypes.c_int),
                ("l", ctypes.c_long * 5)]


class SelectionRequestEvent(ctypes.Structure):
    _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong),
                ("send_event", ctypes.c_int), ("display", ctypes.c_void_p),
                ("owner", Window), ("requestor", Window), ("selection", Atom),
                ("target", Atom), ("property", Atom), ("time", Time)]


class SelectionEvent(ctypes.Structure):
    _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong),
                ("send_event", ctypes.c_int), ("display", ctypes.c_void_p),
                ("requestor", Window), ("selection", Atom), ("target", Atom),
                ("property", Atom), ("time", Time)]


class XEvent(ctypes.Union):
    _fields_ = [("type", ctypes.c_int), ("client", ClientMessageEvent),
                ("request", SelectionRequestEvent), ("selection", SelectionEvent),
                ("pad", ctypes.c_long * 24)]


def load_xlib():
    x = ctypes.CDLL("libX11.so.6")
    display = ctypes.c_void_p
    x.XOpenDisplay.restype = display
    x.XOpenDisplay.argtypes = [ctypes.c_char_p]
    x.XInternAtom.restype = Atom
    x.XInternAtom.argtypes = [display, ctypes.c_char_p, ctypes.c_int]
    x.XGetAtomName.restype = ctypes.c_char_p
    x.XGetAtomName.argtypes = [display, Atom]
    x.XDefaultRootWindow.restype = Window
    x.XDefaultRootWindow.argtypes = [display]
    x.XCreateSimpleWindow.restype = Window
    x.XCreateSimpleWindow.argtypes = [display, Window, ctypes.c_int, ctypes.c_int, ctypes.c_uint,
                                      ctypes.c_uint, ctypes.c_uint, ctypes.c_ulong,
                                      ctypes.c_ulong]
    x.XSetSelectionOwner.argtypes = [display, Atom, Window, Time]
    x.XSendEvent.argtypes = [display, Window, ctypes.c_int, ctypes.c_long,
                             ctypes.POINTER(XEvent)]
    x.XChangeProperty.argtypes = [display, Window, Atom, Atom, ctypes.c_int, ctypes.c_int,
                                  ctypes.c_char_p, ctypes.c_int]
    x.XPending.argtypes = [display]
    x.XNextEvent.argtypes = [display, ctypes.POINTER(XEvent)]
    x.XFlush.argtypes = [display]
    x.XConnectionNumber.argtypes = [display]
    x.XDestroyWindow.argtypes = [display, Window]
    x.XCloseDisplay.argtypes = [display]
    return x


class Dropper:
    """The drag source: one hidden window owning the XdndSelection."""

    def __init__(self, target, paths):
        self.x = load_xlib()
        self.display = self.x.XOpenDisplay(None)
        if not self.display:
            raise SystemExit("xdnd_drop: cannot open the display")
        self.target = target
        self.uri_list = self.atom("text/uri-list")
        self.data = "".join("file://" + urllib.parse.quote(os.path.abspath(p)) + "\r\n"
                            for p in paths).encode()
        root = self.x.XDefaultRootWindow(self.display)
        self.source = self.x.XCreateSimpleWindow(self.display, root, 0, 0, 1, 1, 0, 0, 0)
        self.x.XSetSelectionOwner(self.display, self.atom("XdndSelection"), self.source, 0)

    def atom(self, name):
        return self.x.XInternAtom(self.display, name.encode(), 0)

    def send(self, name, *values):
        event = XEvent()
        event.client.type = CLIENT_MESSAGE
        event.client.window = self.target
        event.client.message_type = self.atom(name)
        event.client.format = 32
        event.client.l[0] = self.source
        for i, value in enumerate(values, start=1):
            event.client.l[i] = value
        self.x.XSendEvent(self.display, self.target, 0, 0, ctypes.byref(event))
        self.x.XFlush(self.display)

    def answer_request(self, request):
        """Hands the path list to the target when it asks for text/uri-list."""
        reply = XEvent()
        reply.selection.type = SELECTION_NOTIFY
        reply.selection.requestor = request.requestor
        reply.selection.selection = request.selection
        reply.selection.target = request.target
        reply.selection.time = request.time
        reply.selection.property = 0
        if request.target == self.uri_list:
            self.x.XChangeProperty(self.display, request.requestor, request.property,
                                   request.target, 8, 0, self.data, len(self.data))
            reply.selection.property = request.property
        self.x.XSendEvent(self.display, request.requestor, 0, 0, ctypes.byref(reply))
        self.x.XFlush(self.display)

    def wait_for(self, name, seconds):
        """Serves selection requests until the target sends `name` (its data
        longs) or the time is up (None)."""
        wanted = self.atom(name) if name else None
        end = time.time() + seconds
        while time.time() < end:
            while self.x.XPending(self.display):
                event = XEvent()
                self.x.XNextEvent(self.display, ctypes.byref(event))
                if event.type == SELECTION_REQUEST:
                    self.answer_request(event.request)
                elif event.type == CLIENT_MESSAGE and event.client.message_type == wanted:
                    return [event.client.l[i] for i in range(5)]
            select.select([self.x.XConnectionNumber(self.display)], [], [], 0.02)
        return None

    def close(self):
        self.x.XDestroyWindow(self.display, self.source)
        self.x.XCloseDisplay(self.display)


def write_instant(path, instant):
    with open(path + ".part", "w") as out:
        out.write("%.6f\n" % instant)
    os.replace(path + ".part", path)


def main():
    if len(sys.argv) < 6:
        raise SystemExit(__doc__)
    target, x, y = int(sys.argv[1], 0), int(sys.argv[2]), int(sys.argv[3])
    start_file, paths = sys.argv[4], sys.argv[5:]
    dropper = Dropper(target, paths)
    try:
        dropper.send("XdndEnter", XDND_VERSION << 24, dropper.uri_list, 0, 0)
        dropper.wait_for(None, 0.2)  # the target may fetch the data on enter
        dropper.send("XdndPosition", 0, (x << 16) | y, 0, dropper.atom("XdndActionCopy"))
        status = dropper.wait_for("XdndStatus", ANSWER_SECONDS)
        if not status or not status[1] & 1:
            dropper.send("XdndLeave", 0)
            print("xdnd_drop: the window does not take the drop", file=sys.stderr)
            return 1
        instant = time.time()
        dropper.send("XdndDrop", 0, 0)
        write_instant(start_file, instant)
        finished = dropper.wait_for("XdndFinished", ANSWER_SECONDS)
        if not finished or not finished[1] & 1:
            print("xdnd_drop: the window did not finish the drop", file=sys.stderr)
            return 1
        return 0
    finally:
        dropper.close()


if __name__ == "__main__":
    sys.exit(main())
