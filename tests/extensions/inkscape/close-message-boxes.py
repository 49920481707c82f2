"""Closes the message boxes the editor shows, as a person clicking them away would.

    python3 close-message-boxes.py LOG

Runs until it is killed, on the X display in $DISPLAY. A message box is a dialog window
placed over another dialog (the editor's "working, please wait" box while an extension
runs). Each one seen is noted in LOG, one line each, and asked to close (WM_DELETE_WINDOW,
as a window manager's close button does). Xlib is reached through ctypes so that nothing
beyond the X client library that the editor itself needs is required.
"""
import ctypes
import ctypes.util
import sys
import time

x = ctypes.cdll.LoadLibrary(ctypes.util.find_library("X11") or "libX11.so.6")
Window = ctypes.c_ulong
Atom = ctypes.c_ulong
x.XOpenDisplay.restype = ctypes.c_void_p
x.XOpenDisplay.argtypes = [ctypes.c_char_p]
x.XDefaultRootWindow.restype = Window
x.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
x.XInternAtom.restype = Atom
x.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
x.XQueryTree.argtypes = [ctypes.c_void_p, Window, ctypes.POINTER(Window), ctypes.POINTER(Window),
                         ctypes.POINTER(ctypes.POINTER(Window)), ctypes.POINTER(ctypes.c_uint)]
x.XGetWindowProperty.argtypes = [
    ctypes.c_void_p, Window, Atom, ctypes.c_long, ctypes.c_long, ctypes.c_int, Atom,
    ctypes.POINTER(Atom), ctypes.POINTER(ctypes.c_int), ctypes.POINTER(ctypes.c_ulong),
    ctypes.POINTER(ctypes.c_ulong), ctypes.POINTER(ctypes.c_void_p)]
x.XFree.argtypes = [ctypes.c_void_p]
x.XSendEvent.argtypes = [ctypes.c_void_p, Window, ctypes.c_int, ctypes.c_long, ctypes.c_void_p]
x.XFlush.argtypes = [ctypes.c_void_p]
x.XSetErrorHandler.argtypes = [ctypes.c_void_p]


class ClientMessage(ctypes.Structure):
    _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong), ("send_event", ctypes.c_int),
                ("display", ctypes.c_void_p), ("window", Window), ("message_type", Atom),
                ("format", ctypes.c_int), ("data", ctypes.c_long * 5)]


class Event(ctypes.Union):
    _fields_ = [("client", ClientMessage), ("pad", ctypes.c_long * 24)]


display = x.XOpenDisplay(None)
if not display:
    sys.exit("close-message-boxes: cannot open the display")
# Windows come and go while they are looked at: their errors are expected and ignored.
ignore_errors = ctypes.CFUNCTYPE(ctypes.c_int, ctypes.c_void_p, ctypes.c_void_p)(lambda d, e: 0)
x.XSetErrorHandler(ignore_errors)
root = x.XDefaultRootWindow(display)
atom = {name: x.XInternAtom(display, name.encode(), 0) for name in (
    "WM_PROTOCOLS", "WM_DELETE_WINDOW", "WM_TRANSIENT_FOR", "_NET_WM_WINDOW_TYPE",
    "_NET_WM_WINDOW_TYPE_DIALOG")}


def first_value(window, prop):
    """The first 32-bit item of a window's property (an atom or a window), or None."""
    kind, form, count, after = Atom(), ctypes.c_int(), ctypes.c_ulong(), ctypes.c_ulong()
    data = ctypes.c_void_p()
    if x.XGetWindowProperty(display, window, prop, 0, 1, 0, 0, ctypes.byref(kind),
                            ctypes.byref(form), ctypes.byref(count), ctypes.byref(after),
                            ctypes.byref(data)) != 0 or not data.value:
        return None
    value = ctypes.cast(data, ctypes.POINTER(ctypes.c_ulong))[0] if count.value else None
    x.XFree(data)
    return value


def is_dialog(window):
    return first_value(window, atom["_NET_WM_WINDOW_TYPE"]) == atom["_NET_WM_WINDOW_TYPE_DIALOG"]


def top_level_windows():
    parent, root_back = Window(), Window()
    children, count = ctypes.POINTER(Window)(), ctypes.c_uint()
    if not x.XQueryTree(display, root, ctypes.byref(root_back), ctypes.byref(parent),
                        ctypes.byref(children), ctypes.byref(count)):
        return []
    windows = [children[i] for i in range(count.value)]
    if children:
        x.XFree(children)
    return windows


def close(window):
    event = Event()
    event.client.type = 33  # ClientMessage
    event.client.window = window
    event.client.message_type = atom["WM_PROTOCOLS"]
    event.client.format = 32
    event.client.data[0] = atom["WM_DELETE_WINDOW"]
    x.XSendEvent(display, window, 0, 0, ctypes.byref(event))
    x.XFlush(display)


seen = set()
with open(sys.argv[1], "a", encoding="utf-8") as log:
    while True:
        for window in top_level_windows():
            owner = first_value(window, atom["WM_TRANSIENT_FOR"])
            if is_dialog(window) and owner and is_dialog(owner):
                if window not in seen:
                    seen.add(window)
                    log.write("message box\n")
                    log.flush()
                close(window)
        time.sleep(0.2)
