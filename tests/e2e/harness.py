"""Drives the built desktop program the way a dealer does: a real X server, a window manager,
real key and mouse events (xdotool), and what the program shows read back through the
accessibility bus (AT-SPI). Each road makes one `Session`: its own X server, D-Bus session,
accessibility bus, home directory and program directory, all removed at the end.

    with Session("type-an-estimate") as s:
        s.start()
        s.wait_main_window()
        s.click(s.find(role="push button", name="挿入"))
        ...
        s.quit_program()
        rows = s.dump()

Every wait has a deadline and polls for what it expects; none sleeps a fixed time to let things
settle. A road that fails keeps its screenshots and the program's log under
$VENDARO_E2E_OUT/ROAD (ctest sets it to the build directory's e2e-shots/).
"""

import contextlib
import csv
import io
import os
import re
import resource
import shutil
import signal
import subprocess
import sys
import tempfile
import time
import traceback

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(os.path.dirname(HERE))

MAIN_TITLE = "Vendaro For Win32"


class RoadFailed(AssertionError):
    """What a road expected did not happen."""


def build_dir():
    return os.path.abspath(os.environ.get("VENDARO_BUILD", os.path.join(ROOT, "build")))


def wait_until(what, probe, timeout=15.0, interval=0.05):
    """Polls `probe` until it returns a true value, which is returned. Fails naming `what`."""
    end = time.monotonic() + timeout
    last_error = None
    while True:
        try:
            value = probe()
            if value:
                return value
        except Exception as e:  # a probe may fail while a window is still being built
            last_error = e
        if time.monotonic() >= end:
            detail = f" (last error: {last_error!r})" if last_error else ""
            raise RoadFailed(f"timed out after {timeout:g} s waiting for {what}{detail}")
        time.sleep(interval)


def _norm(text):
    """A caption as a person reads it: without the padding blanks of Japanese captions."""
    return re.sub(r"[:：]$", "", re.sub(r"[\s\u3000&]+", "", text or ""))


class Session:
    """One road: a fresh X server with a window manager, a private D-Bus session with the
    accessibility bus, and a fresh program directory. Use it as a context manager."""

    def __init__(self, road, width=1600, height=1200, company=True, env=None, ime=False):
        self.road = road
        self.width, self.height = width, height
        self.company = company
        self.procs = []
        self.app = None
        self.app_log = None
        self.shots = 0
        self.work = tempfile.mkdtemp(prefix=f"vendaro-e2e-{road}-")
        os.chmod(self.work, 0o755)
        self.home = os.path.join(self.work, "home")
        self.runtime = os.path.join(self.work, "runtime")
        self.program = os.path.join(self.work, "program")
        self.shot_dir = os.path.join(self.work, "shots")
        for d in (self.home, self.runtime, self.program, self.shot_dir):
            os.makedirs(d)
        os.chmod(self.runtime, 0o700)
        self.out = os.path.join(os.environ.get("VENDARO_E2E_OUT", os.path.join(build_dir(), "e2e-shots")), road)
        self.env = {
            "PATH": "/usr/local/bin:/usr/bin:/bin:/usr/sbin:/sbin",
            "HOME": self.home,
            "XDG_RUNTIME_DIR": self.runtime,
            "XDG_CONFIG_HOME": os.path.join(self.home, ".config"),
            "LANG": "C.UTF-8",
            "QT_ACCESSIBILITY": "1",
            "QT_LINUX_ACCESSIBILITY_ALWAYS_ON": "1",
            "QT_QPA_PLATFORM": "xcb",
            "NO_AT_BRIDGE": "0",
        }
        self.env.update(env or {})
        self.ime = ime
        if ime:
            if os.getuid() == 0:
                raise RoadFailed("the input method does not run as root: start the road through as_unprivileged_user()")
            self.env.update({"QT_IM_MODULE": "fcitx", "XMODIFIERS": "@im=fcitx", "GTK_IM_MODULE": "fcitx"})
        self._fields = {}
        self._snapshots = {}

    # ------------------------------------------------------------------ the session itself
    def __enter__(self):
        try:
            self._start_x()
            self._start_bus()
            self._start_wm()
            if self.ime:
                self._start_ime()
            if self.company:
                # The company information exists, so that no start-up prompt asks for it.
                self.write_setting("User.INI", ["", "テスト自動車", "", "", "", "", ""])
        except BaseException:
            self._stop_all()
            raise
        return self

    def __exit__(self, kind, value, tb):
        failed = kind is not None
        if failed:
            with contextlib.suppress(Exception):
                self.screenshot("failure")
        self._stop_all()
        if failed:
            os.makedirs(self.out, exist_ok=True)
            for name in sorted(os.listdir(self.shot_dir)):
                shutil.copy(os.path.join(self.shot_dir, name), self.out)
            if self.app_log and os.path.exists(self.app_log):
                shutil.copy(self.app_log, self.out)
            sys.stderr.write(f"{self.road}: screenshots and the program's log kept in {self.out}\n")
        shutil.rmtree(self.work, ignore_errors=True)
        return False

    def _spawn(self, argv, log, env=None, pass_fds=(), cwd=None, preexec_fn=None):
        out = open(log, "ab")
        p = subprocess.Popen(argv, stdout=out, stderr=subprocess.STDOUT, env=env or self.env,
                             pass_fds=pass_fds, cwd=cwd, start_new_session=True, preexec_fn=preexec_fn)
        out.close()
        self.procs.append(p)
        return p

    def _read_fd_line(self, fd, what, timeout=15.0):
        """Reads one line the child writes on a pipe (display number, bus address)."""
        buf = b""
        end = time.monotonic() + timeout
        os.set_blocking(fd, False)
        while b"\n" not in buf:
            try:
                chunk = os.read(fd, 4096)
                if chunk:
                    buf += chunk
                    continue
            except BlockingIOError:
                pass
            if time.monotonic() >= end:
                raise RoadFailed(f"{what} did not start within {timeout:g} s")
            time.sleep(0.02)
        os.close(fd)
        return buf.split(b"\n", 1)[0].decode().strip()

    def _start_x(self):
        r, w = os.pipe()
        self._spawn(["Xvfb", "-displayfd", str(w), "-screen", "0", f"{self.width}x{self.height}x24",
                     "-nolisten", "tcp", "-noreset"], os.path.join(self.work, "xvfb.log"), pass_fds=(w,))
        os.close(w)
        self.env["DISPLAY"] = ":" + self._read_fd_line(r, "the X server")

    def _start_bus(self):
        r, w = os.pipe()
        self._spawn(["dbus-daemon", "--session", "--nofork", "--nopidfile", f"--print-address={w}"],
                    os.path.join(self.work, "dbus.log"), pass_fds=(w,))
        os.close(w)
        self.env["DBUS_SESSION_BUS_ADDRESS"] = self._read_fd_line(r, "the D-Bus session")
        self._spawn(["/usr/libexec/at-spi-bus-launcher", "--launch-immediately"],
                    os.path.join(self.work, "atspi.log"))
        # The accessibility client in this process talks to the session started here.
        os.environ["DISPLAY"] = self.env["DISPLAY"]
        os.environ["DBUS_SESSION_BUS_ADDRESS"] = self.env["DBUS_SESSION_BUS_ADDRESS"]
        wait_until("the accessibility bus", self._a11y_bus_up, timeout=20)

    def _a11y_bus_up(self):
        r = subprocess.run(["dbus-send", "--session", "--print-reply=literal", "--dest=org.a11y.Bus",
                            "/org/a11y/bus", "org.a11y.Bus.GetAddress"], env=self.env,
                           capture_output=True, text=True, timeout=10)
        return r.returncode == 0 and "unix:" in r.stdout

    def _start_wm(self):
        self._spawn(["openbox", "--sm-disable"], os.path.join(self.work, "openbox.log"))

        def managed():
            r = subprocess.run(["xprop", "-root", "_NET_SUPPORTING_WM_CHECK"], env=self.env,
                               capture_output=True, text=True, timeout=10)
            return "window id" in r.stdout

        wait_until("the window manager", managed, timeout=20)

    def _start_ime(self):
        """The Mozc conversion server, then fcitx5 with its Mozc engine."""
        config = os.path.join(self.home, ".config")
        os.makedirs(os.path.join(config, "fcitx5"))
        os.makedirs(os.path.join(config, "mozc"))
        # One group: the plain keyboard while the input method is off, Mozc while it is on.
        with open(os.path.join(config, "fcitx5", "profile"), "w") as f:
            f.write("[Groups/0]\nName=Default\nDefault Layout=us\nDefaultIM=mozc\n\n"
                    "[Groups/0/Items/0]\nName=keyboard-us\nLayout=\n\n"
                    "[Groups/0/Items/1]\nName=mozc\nLayout=\n\n[GroupOrder]\n0=Default\n")
        # Mozc's settings with its incognito mode on (field 20 of its settings record, true), so
        # nothing typed is learnt and every road converts by the dictionary.
        with open(os.path.join(config, "mozc", "config1.db"), "wb") as f:
            f.write(b"\xa0\x01\x01")
        # The conversion server first, so that fcitx5 connects to this one and starts none of its own.
        self._spawn(["/usr/lib/mozc/mozc_server"], os.path.join(self.work, "mozc.log"))
        wait_until("the Mozc server", lambda: os.path.getsize(os.path.join(config, "mozc", ".session.ipc")) > 0,
                   timeout=20)
        log = os.path.join(self.work, "fcitx5.log")
        self._spawn(["fcitx5", "--disable=all", "--enable=xcb,dbus,dbusfrontend,keyboard,classicui,mozc"], log)
        wait_until("fcitx5 with its Mozc engine", lambda: "Loaded addon mozc" in open(log, errors="replace").read(),
                   timeout=30)

    def ime_state(self):
        """fcitx5's state: 0 no input context has the focus, 1 off, 2 on."""
        r = subprocess.run(["fcitx5-remote"], env=self.env, capture_output=True, text=True, timeout=10)
        return r.stdout.strip()

    def ime_on(self):
        wait_until("an input context with the focus", lambda: self.ime_state() not in ("", "0"), timeout=15)
        subprocess.run(["fcitx5-remote", "-o"], env=self.env, check=True, timeout=10)
        wait_until("the input method on", lambda: self.ime_state() == "2", timeout=15)

    def ime_off(self):
        subprocess.run(["fcitx5-remote", "-c"], env=self.env, check=True, timeout=10)
        wait_until("the input method off", lambda: self.ime_state() == "1", timeout=15)

    def _stop_all(self):
        for p in reversed(self.procs):
            if p.poll() is None:
                with contextlib.suppress(ProcessLookupError):
                    os.killpg(p.pid, signal.SIGTERM)
        for p in reversed(self.procs):
            try:
                p.wait(timeout=10)
            except subprocess.TimeoutExpired:
                with contextlib.suppress(ProcessLookupError):
                    os.killpg(p.pid, signal.SIGKILL)
                p.wait()
        self.procs = []

    # ------------------------------------------------------------------ the program
    def path(self, *names):
        return os.path.join(self.program, *names)

    def write_setting(self, name, lines):
        """Writes a settings file of the program directory as the program does: CP932, CR LF."""
        with open(self.path(name), "wb") as f:
            for line in lines:
                f.write(line.encode("cp932") + b"\r\n")

    def read_setting(self, name):
        with open(self.path(name), "rb") as f:
            return f.read().decode("cp932").split("\r\n")[:-1]

    def import_postal(self, path):
        """Fills the postal-code table from a list in the national format, as the dealer's first
        import does."""
        if not os.path.exists(self.path("PostData.INI")):
            self.write_setting("PostData.INI", ["3", "7", "8", "9"])
        self.cli("postal", "import", path)

    def start(self, args=(), env=None):
        """Starts the desktop program in the program directory."""
        self.app_log = os.path.join(self.work, f"vendaro-{len(self.procs)}.log")
        e = dict(self.env)
        e.update(env or {})
        # A file that may not grow fails the write, as a full disk does, instead of ending the
        # program (see fill_disk).
        self.app = self._spawn([os.path.join(build_dir(), "src", "vendaro"), *args], self.app_log, env=e,
                               cwd=self.program, preexec_fn=lambda: signal.signal(signal.SIGXFSZ, signal.SIG_IGN))
        self._fields = {}
        self._snapshots = {}
        return self.app

    def fill_disk(self, full=True):
        """Makes the disk of the running program full (full=False: gives it room again): from now
        on a write of the program that would make a file grow fails, as on a disk without room."""
        _, hard = resource.prlimit(self.app.pid, resource.RLIMIT_FSIZE)
        resource.prlimit(self.app.pid, resource.RLIMIT_FSIZE, (0 if full else hard, hard))

    def enter_company(self, name):
        """Answers the first start's prompt for the company information with the company name."""
        company = self.dialog("自社情報")
        self.click(self.find(role="text", name="自社名", within=company))
        self.type(name)
        self.click(self.find(role="push button", name="OK", within=company))
        self.no_dialog("自社情報")

    def wait_exit(self, timeout=20.0):
        """Waits for the program to end; returns its exit status."""
        try:
            return self.app.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            raise RoadFailed(f"the program did not end within {timeout:g} s")

    def cli(self, *args, check=True, input_bytes=None):
        """Runs vendaro-cli in the program directory; returns its standard output as text."""
        r = subprocess.run([os.path.join(build_dir(), "src", "vendaro-cli"), *args], cwd=self.program,
                           env=self.env, capture_output=True, input=input_bytes, timeout=120)
        if check and r.returncode != 0:
            raise RoadFailed(f"vendaro-cli {' '.join(args)} failed ({r.returncode}): "
                             f"{r.stderr.decode(errors='replace')}")
        return r.stdout.decode("utf-8", errors="replace")

    def dump(self):
        """The estimates stored, as dictionaries by field name (read after the program ended)."""
        text = self.cli("dump")
        return list(csv.DictReader(io.StringIO(text)))

    def stored_estimate(self, expect):
        """The one estimate stored (read after the program ended), its fields checked against the
        texts of `expect` (a dict by field name)."""
        rows = self.dump()
        if len(rows) != 1:
            raise RoadFailed(f"expected one estimate stored, found {len(rows)}")
        for field, value in expect.items():
            if rows[0][field] != value:
                raise RoadFailed(f"{field} stored as {rows[0][field]!r}, expected {value!r}")
        return rows[0]

    # ------------------------------------------------------------------ X: windows, keys, mouse
    def xdotool(self, *args, timeout=20):
        r = subprocess.run(["xdotool", *args], env=self.env, capture_output=True, text=True, timeout=timeout)
        if r.returncode != 0:
            raise RoadFailed(f"xdotool {' '.join(args)} failed: {r.stderr.strip()}")
        return r.stdout.strip()

    def windows(self, title):
        """Ids of the visible windows whose title matches the regular expression `title`."""
        r = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", title], env=self.env,
                           capture_output=True, text=True, timeout=10)
        return [w for w in r.stdout.split()]

    def wait_window(self, title, timeout=20.0):
        """Waits for a visible window whose title matches `title`; returns its id."""
        ids = wait_until(f"a window titled {title!r}", lambda: self.windows(title), timeout=timeout)
        return ids[0]

    def wait_main_window(self, timeout=30.0):
        """Waits until the main window is up, shown on the accessibility bus and has the focus."""
        wid = self.wait_window("^" + re.escape(MAIN_TITLE) + "$", timeout=timeout)
        self.main_window = wid
        self.activate(wid)
        wait_until("the main window on the accessibility bus",
                   lambda: self.find_all(role="frame", name=MAIN_TITLE, deep=False), timeout=timeout)
        return wid

    def activate(self, wid):
        self.xdotool("windowactivate", "--sync", wid)

    def active_window_title(self):
        r = subprocess.run(["xdotool", "getactivewindow", "getwindowname"], env=self.env, capture_output=True,
                           text=True, timeout=10)
        return r.stdout.strip() if r.returncode == 0 else ""

    def key(self, *keys):
        """Presses keys as a person does: xdotool key names (KP_Enter, shift+Return, alt+f)."""
        self.xdotool("key", "--delay", "60", *keys)

    def type(self, text):
        """Types ASCII text key by key."""
        self.xdotool("type", "--delay", "40", text)

    def click_at(self, x, y, button=1, double=False):
        self.xdotool("mousemove", str(x), str(y))
        if double:
            self.xdotool("click", "--repeat", "2", "--delay", "80", str(button))
        else:
            self.xdotool("click", str(button))

    def click(self, acc, double=False, button=1):
        """Clicks the middle of an accessible object, at its place on the screen."""
        x, y, w, h = self.extents(acc)
        if w <= 0 or h <= 0:
            raise RoadFailed(f"{self.describe(acc)} has no place on the screen")
        self.click_at(x + w // 2, y + h // 2, button=button, double=double)

    def wheel(self, acc, clicks=1, down=True):
        """Turns the mouse wheel over an accessible object."""
        x, y, w, h = self.extents(acc)
        self.xdotool("mousemove", str(x + w // 2), str(y + h // 2))
        self.xdotool("click", "--repeat", str(clicks), "--delay", "60", "5" if down else "4")

    def pick(self, combo, item):
        """Chooses an entry of a combo box from its drop-down list, by the mouse."""
        x, y, w, h = self.extents(combo)
        self.click_at(x + w - 8, y + h // 2)  # the arrow button
        entry = self.find(role="list item", name=item, within=combo, showing=None, timeout=10)
        self.reveal(entry)
        self.click(entry)
        self.wait_text(combo, lambda t: _norm(t) == _norm(item) or _norm(combo.name) == _norm(item), timeout=10)

    def reveal(self, acc, timeout=15.0):
        """Turns the mouse wheel over the list that holds `acc` until `acc` is showing in it (an
        entry far down a long drop-down list)."""
        view = acc.parent

        def probe():
            if acc.getState().contains(self.atspi.STATE_SHOWING):
                return True
            _, vy, _, vh = self.extents(view)
            _, ey, _, _ = self.extents(acc)
            self.wheel(view, 1, down=ey > vy + vh // 2)
            return False
        wait_until(f"{self.describe(acc)} to show in its list", probe, timeout=timeout, interval=0.1)

    def resize_main(self, width, height):
        self.xdotool("windowsize", "--sync", self.main_window, str(width), str(height))

    def screenshot(self, label):
        """Saves a picture of the whole screen, numbered in the order taken."""
        self.shots += 1
        name = os.path.join(self.shot_dir, f"{self.shots:02d}-{label}.png")
        subprocess.run(["import", "-window", "root", name], env=self.env, capture_output=True, timeout=30)
        return name

    # ------------------------------------------------------------------ the accessibility bus
    @property
    def atspi(self):
        import pyatspi  # imported once the session's bus is in the environment
        return pyatspi

    def application(self):
        """The program on the accessibility bus."""
        desktop = self.atspi.Registry.getDesktop(0)
        for i in range(desktop.childCount):
            a = desktop.getChildAtIndex(i)
            if a is not None and a.name in ("vendaro", "Vendaro"):
                return a
        return None

    # Roles whose children a search never needs: the scroll bars inside a box, the edit inside a
    # combo box, the many cells of a grid (looked into only when cells are asked for).
    _LEAVES = {"text", "combo box", "push button", "label", "check box", "radio button", "spin button",
               "scroll bar", "page tab", "menu item", "check menu item", "table cell", "separator"}

    def _walk(self, root, want_cells=False, want_menus=False, depth_limit=None):
        """Every object below `root` as (object, role, name, description), in tree order."""
        out = []
        stack = [(root, 0)]
        while stack:
            node, depth = stack.pop()
            try:
                children = [node.getChildAtIndex(i) for i in range(node.childCount)]
            except Exception:
                continue
            entries = []
            for c in children:
                if c is None:
                    continue
                try:
                    role = c.getRoleName()
                    entry = (c, role, c.name, c.description)
                except Exception:
                    continue
                out.append(entry)
                if depth_limit is not None and depth + 1 >= depth_limit:
                    continue
                if role in self._LEAVES and not (role == "menu item" and want_menus):
                    continue
                if role in ("table", "tree table") and not want_cells:
                    continue
                if role in ("menu bar", "popup menu", "menu") and not want_menus:
                    continue
                entries.append((c, depth + 1))
            stack.extend(reversed(entries))
        return out

    def find_all(self, name=None, role=None, description=None, within=None, deep=True, showing=None,
                 limit=None):
        """Accessible objects of the program matching every criterion given. `name` is compared
        without the padding blanks of captions (and a menu's '&'); a compiled pattern is searched
        in it."""
        root = within or self.application()
        if root is None:
            return []
        wants_menus = role in ("menu item", "check menu item", "menu", "popup menu", "menu bar") or \
            (hasattr(role, "search") and "menu" in role.pattern)
        flags = dict(want_cells=role == "table cell", want_menus=wants_menus, depth_limit=None if deep else 1)

        def search(entries, live=False):
            found = []
            for c, crole, cname, cdesc in entries:
                if live and name is not None:
                    try:
                        cname = c.name  # a caption may have changed since it was seen
                    except Exception:
                        continue
                if self._matches(c, crole, cname, cdesc, name, role, description, showing):
                    found.append(c)
                    if limit and len(found) >= limit:
                        break
            return found

        # Windows and their controls live as long as the program: a search of the whole program
        # looks at the objects seen last time first, and walks the tree again only for a miss.
        whole = within is None and deep and not flags["want_cells"]
        if whole:
            key = flags["want_menus"]
            if key in self._snapshots:
                hits = search(self._snapshots[key], live=True)
                if hits:
                    return hits
            self._snapshots[key] = self._walk(root, **flags)
            return search(self._snapshots[key])
        return search(self._walk(root, **flags))

    def _matches(self, c, crole, cname, cdesc, name, role, description, showing):
        if role is not None:
            if hasattr(role, "search"):
                if not role.search(crole):
                    return False
            elif crole != role:
                return False
        if name is not None:
            # A combo box is read out by its text: its caption is its description.
            names = [_norm(cname)] + ([_norm(cdesc)] if crole == "combo box" else [])
            if hasattr(name, "search"):
                if not any(name.search(n) for n in names):
                    return False
            elif _norm(name) not in names:
                return False
        if description is not None and cdesc != description:
            return False
        if showing is not None:
            try:
                st = c.getState()
            except Exception:
                return False
            if st.contains(self.atspi.STATE_SHOWING) != showing:
                return False
        return True

    def find(self, name=None, role=None, description=None, within=None, timeout=15.0, showing=True):
        """Waits for one accessible object matching the criteria (showing on the screen, unless
        `showing` is None) and returns it."""
        what = ", ".join(f"{k}={v!r}" for k, v in
                         (("name", name), ("role", role), ("description", description)) if v is not None)
        return wait_until(f"an object with {what}",
                          lambda: (self.find_all(name=name, role=role, description=description,
                                                 within=within, showing=showing, limit=1) or [None])[0],
                          timeout=timeout)

    def field(self, field_name, within=None, timeout=15.0):
        """The bound box of a table field (its accessible description is the field name), showing
        on the screen. Boxes live as long as their window, so one found is remembered."""
        if within is not None:
            return self.find(description=field_name, within=within, timeout=timeout)

        def lookup():
            if not self._fields:
                # One walk names every box of the program.
                for c, role, name, desc in self._walk(self.application()):
                    if desc and role in ("text", "combo box", "check box", "spin button"):
                        self._fields.setdefault(desc, []).append(c)
            for c in self._fields.get(field_name, []):
                try:
                    if c.getState().contains(self.atspi.STATE_SHOWING):
                        return c
                except Exception:
                    continue
            self._fields = {}
            return None
        return wait_until(f"the box of the field {field_name}", lookup, timeout=timeout)

    def dialog(self, name=None, timeout=15.0):
        """Waits for a dialog (or alert) of the program, by its title."""
        def probe():
            for role in ("dialog", "alert", "file chooser"):
                hits = self.find_all(role=role, name=name, deep=False, showing=True, limit=1)
                if hits:
                    return hits[0]
            return None
        return wait_until(f"a dialog {name!r}", probe, timeout=timeout)

    def no_dialog(self, name=None, timeout=15.0):
        wait_until(f"no dialog {name!r}",
                   lambda: not any(self.find_all(role=r, name=name, deep=False, showing=True, limit=1)
                                   for r in ("dialog", "alert")), timeout=timeout)

    def extents(self, acc):
        e = acc.queryComponent().getExtents(self.atspi.DESKTOP_COORDS)
        return e.x, e.y, e.width, e.height

    def text(self, acc):
        """What a box shows: its text, or its name where it has no text."""
        try:
            t = acc.queryText()
            return t.getText(0, -1)
        except NotImplementedError:
            return acc.name
        except Exception:
            return acc.name

    def focused(self):
        """The object that has the keyboard focus, or None."""
        for c, role, name, desc in self._walk(self.application()):
            try:
                if c.getState().contains(self.atspi.STATE_FOCUSED):
                    return c
            except Exception:
                continue
        return None

    def wait_focus(self, what, predicate, timeout=10.0):
        """Waits until the focused object satisfies `predicate`; returns it."""
        return wait_until(f"the focus on {what}",
                          lambda: (lambda f: f if f is not None and predicate(f) else None)(self.focused()),
                          timeout=timeout)

    def wait_text(self, acc, expected, timeout=10.0):
        """Waits until a box shows `expected` (a string, or a predicate on the text)."""
        ok = expected if callable(expected) else (lambda t: t == expected)
        return wait_until(f"{self.describe(acc)} to show {expected!r} (shows {self.text(acc)!r})",
                          lambda: ok(self.text(acc)) and self.text(acc), timeout=timeout)

    def describe(self, acc):
        try:
            return f"{acc.getRoleName()} {acc.name!r} ({acc.description!r})"
        except Exception:
            return "an object"

    def menu(self, *path):
        """Chooses a menu command by clicking its captions, the menu bar's first. A caption is
        matched without its accelerator ("終了" finds "終了(X)"); a compiled pattern is searched."""
        for caption in path:
            self.click(self._menu_item(caption))

    def _menu_item(self, caption):
        if not hasattr(caption, "search"):
            caption = re.compile("^" + re.escape(_norm(caption)) + r"(\(.\)|（.\)|\(.）)?$")

        def probe():
            bar = self.find_all(role="menu bar", limit=1)
            if not bar:
                return None
            for c, role, name, desc in self._walk(bar[0], want_menus=True):
                if role in ("menu item", "menu", "check menu item") and caption.search(_norm(name)):
                    try:
                        if c.getState().contains(self.atspi.STATE_SHOWING):
                            return c
                    except Exception:
                        continue
            return None
        return wait_until(f"the menu item {caption.pattern!r}", probe, timeout=10)

    def save_file_dialog(self, title, path):
        """Answers a file dialog by typing the full path of the file into its name box."""
        dialog = self.dialog(title)
        self._type_file_name(dialog, path)
        self.no_dialog(title)

    open_file_dialog = save_file_dialog

    def _type_file_name(self, dialog, path):
        # What the name box holds is replaced by the path.
        box = self.find(role="text", within=dialog, name=re.compile("^(Filename|ファイル名)"))
        self.click(box)
        self.key("ctrl+a")
        self.type(path)
        self.key("Return")

    def quit_program(self, answer="Return", timeout=20.0):
        """Leaves the program through the File menu; `answer` is the key that answers the close
        question, if one is asked (None when none is expected)."""
        self.key("alt+f")
        self._menu_item(re.compile("^終了"))
        self.key("x")
        if answer:
            self.dialog(timeout=10)
            self.key(answer)
        return self.wait_exit(timeout)


def as_unprivileged_user(user="nobody"):
    """Runs this road again as an ordinary user when started as root (the input method refuses
    root). The folder for the screenshots of a failure is made writable for that user first."""
    if os.getuid() != 0:
        return
    import pwd
    pw = pwd.getpwnam(user)
    out = os.environ.get("VENDARO_E2E_OUT", os.path.join(build_dir(), "e2e-shots"))
    os.makedirs(out, exist_ok=True)
    os.chmod(out, 0o777)
    env = {k: v for k, v in os.environ.items() if k in ("VENDARO_BUILD", "VENDARO_E2E_OUT", "PATH", "LANG")}
    env.setdefault("VENDARO_BUILD", build_dir())
    env.setdefault("VENDARO_E2E_OUT", out)
    env["HOME"] = "/tmp"
    os.execvpe("setpriv", ["setpriv", f"--reuid={pw.pw_uid}", f"--regid={pw.pw_gid}", "--clear-groups",
                           sys.executable, *sys.argv], env)


def road(fn):
    """Runs a road function as a script: prints what happened and sets the exit status."""
    def main():
        name = fn.__name__.replace("_", "-")
        started = time.monotonic()
        try:
            fn()
        except Exception:
            traceback.print_exc()
            print(f"road {name}: FAILED after {time.monotonic() - started:.1f} s")
            sys.exit(1)
        print(f"road {name}: passed in {time.monotonic() - started:.1f} s")
    return main
