"""A dealer maximizes the main window and starts the program again the next day: it opens
maximized, and un-maximizing gives back the size it had; windows the dealer never opened store
no place of their own."""

import os
import re
import subprocess

from harness import Session, road, wait_until, RoadFailed


def _maximized(s, wid):
    r = subprocess.run(["xprop", "-id", wid, "_NET_WM_STATE"], env=s.env, capture_output=True, text=True,
                       timeout=10)
    return "_NET_WM_STATE_MAXIMIZED_VERT" in r.stdout and "_NET_WM_STATE_MAXIMIZED_HORZ" in r.stdout


def _size(s, wid):
    out = s.xdotool("getwindowgeometry", wid)
    m = re.search(r"Geometry: (\d+)x(\d+)", out)
    return int(m.group(1)), int(m.group(2))


def _wmctrl(s, *args):
    subprocess.run(["wmctrl", *args], env=s.env, check=True, timeout=10)


@road
def window_places_between_runs():
    with Session("window-places-between-runs") as s:
        s.start()
        wid = s.wait_main_window()
        s.resize_main(1100, 800)
        wait_until("the main window at 1100 x 800", lambda: _size(s, wid) == (1100, 800))
        _wmctrl(s, "-i", "-r", wid, "-b", "add,maximized_vert,maximized_horz")
        wait_until("the main window maximized", lambda: _maximized(s, wid) and _size(s, wid)[0] > 1100)
        if s.quit_program(answer=None) != 0:
            raise RoadFailed("the program ended with an error status")
        registry = os.path.join(s.env["XDG_CONFIG_HOME"], "Software", "Vendaro.ini")
        with open(registry, encoding="utf-8") as f:
            stored = f.read()
        for never_shown in ("PrintPosX", "PostPosX", "InDataLen PosX"):
            if never_shown in stored:
                raise RoadFailed(f"a window never shown stored {never_shown}: {stored!r}")
        if os.path.exists(os.path.join(s.env["XDG_CONFIG_HOME"], "Software", "Brisvane.ini")):
            raise RoadFailed("the table windows, never shown, stored a place")

        # The next start: maximized again, with the normal size kept for un-maximizing.
        s.start()
        wid = s.wait_main_window()
        wait_until("the main window maximized again", lambda: _maximized(s, wid))
        s.screenshot("maximized-after-restart")
        _wmctrl(s, "-i", "-r", wid, "-b", "remove,maximized_vert,maximized_horz")
        wait_until("the main window back at 1100 x 800 (now %s)" % (_size(s, wid),),
                   lambda: not _maximized(s, wid) and _size(s, wid) == (1100, 800))
        if s.quit_program(answer=None) != 0:
            raise RoadFailed("the program ended with an error status")


if __name__ == "__main__":
    window_places_between_runs()
