"""Creates the window-manager atoms JUCE expects on a bare X server (Xvfb without a window manager).

Run it against a server started with -noreset before the on-screen tests; see CMakeLists.txt here.
"""
import ctypes
x = ctypes.CDLL("libX11.so.6")
x.XOpenDisplay.restype = ctypes.c_void_p
d = ctypes.c_void_p(x.XOpenDisplay(None))
for n in ["WM_PROTOCOLS", "WM_DELETE_WINDOW", "WM_TAKE_FOCUS", "WM_STATE", "WM_CHANGE_STATE", "_NET_WM_PING",
          "_NET_WM_STATE", "_NET_WM_STATE_HIDDEN", "_NET_WM_WINDOW_TYPE", "_NET_WM_WINDOW_TYPE_COMBO",
          "_NET_WM_WINDOW_TYPE_NORMAL", "_NET_WM_STATE_SKIP_TASKBAR", "_NET_WM_STATE_ABOVE", "_NET_FRAME_EXTENTS", "_NET_WORKAREA"]:
    x.XInternAtom(d, n.encode(), 0)
x.XCloseDisplay(d)
