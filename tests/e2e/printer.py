"""A real printer queue for the roads: a CUPS daemon of the road's own (its own configuration,
spool and socket, so roads running side by side never meet) with one cups-pdf queue, which
writes every job it prints as a PDF file.

    with PrinterQueue() as queue:
        session.start(env=queue.env)        # the program sees this daemon and its queue
        ...print through the program's print dialog...
        pdf = queue.wait_job_pdf()          # the file the queue wrote for the job

cupsd runs as root (the cups-pdf backend needs it); the roads run as root on the test machines.
Each queue has a name of its own and a cups-pdf setting file of its own (cups-pdf reads
/etc/cups/cups-pdf-NAME.conf for the device cups-pdf:/NAME), which sends its files into the
queue's own folder; the file is removed with the queue.

The queue converts each job to PostScript through poppler's cairo renderer: the default
(Ghostscript) turns the fonts into bitmaps with no text left to read back.
"""

import contextlib
import glob
import os
import re
import shutil
import signal
import subprocess
import tempfile
import time

from harness import RoadFailed, wait_until

PPD = "/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd"


class PrinterQueue:
    def __init__(self, name=None):
        self.name = name or f"E2E_PDF_{os.getpid()}"
        self.work = tempfile.mkdtemp(prefix="vendaro-cups-")
        os.chmod(self.work, 0o755)
        self.socket = os.path.join(self.work, "cups.sock")
        self.proc = None
        self.env = {"CUPS_SERVER": self.socket}
        self.outbox = os.path.join(self.work, "out")
        self.conf = f"/etc/cups/cups-pdf-{self.name}.conf"
        self.before = set()

    def __enter__(self):
        if os.getuid() != 0:
            raise RoadFailed("a printer queue of the road's own needs root (cupsd and its PDF backend)")
        for d in ("spool", "tmp", "cache", "state", "log", "ppd"):
            os.makedirs(os.path.join(self.work, d))
        os.chmod(os.path.join(self.work, "spool"), 0o710)
        shutil.chown(os.path.join(self.work, "spool"), "root", "lp")
        os.chmod(os.path.join(self.work, "tmp"), 0o1777)
        with open(os.path.join(self.work, "cupsd.conf"), "w") as f:
            f.write(f"""Listen {self.socket}
LogLevel warn
MaxLogSize 0
Browsing No
WebInterface No
DefaultAuthType None
<Location />
  Order allow,deny
  Allow all
</Location>
<Policy default>
  <Limit All>
    Order deny,allow
  </Limit>
</Policy>
""")
        with open(os.path.join(self.work, "cups-files.conf"), "w") as f:
            f.write(f"""ServerRoot {self.work}
RequestRoot {self.work}/spool
TempDir {self.work}/tmp
CacheDir {self.work}/cache
StateDir {self.work}/state
ErrorLog {self.work}/log/error_log
AccessLog {self.work}/log/access_log
PageLog {self.work}/log/page_log
ServerBin /usr/lib/cups
DataDir /usr/share/cups
SystemGroup root
User lp
Group lp
""")
        os.makedirs(self.outbox)
        os.chmod(self.outbox, 0o777)
        with open(self.conf, "w") as f:
            f.write(f"Out {self.outbox}\nGrp lpadmin\nDecodeHexStrings 1\n")
        self.proc = subprocess.Popen(
            ["/usr/sbin/cupsd", "-f", "-c", os.path.join(self.work, "cupsd.conf"),
             "-s", os.path.join(self.work, "cups-files.conf")],
            stdout=subprocess.DEVNULL, stderr=open(os.path.join(self.work, "log", "cupsd.out"), "wb"),
            start_new_session=True)
        try:
            wait_until("the printer daemon", lambda: os.path.exists(self.socket) and self._lp("lpstat", "-r").returncode == 0,
                       timeout=20)
            r = self._lp("lpadmin", "-p", self.name, "-v", f"cups-pdf:/{self.name}", "-P", PPD, "-E",
                         "-o", "pdftops-renderer-default=pdftocairo")
            if r.returncode != 0:
                raise RoadFailed(f"lpadmin could not add the queue: {r.stderr}")
            self._lp("lpadmin", "-d", self.name)
            wait_until("the queue to accept jobs",
                       lambda: "accepting" in self._lp("lpstat", "-a", self.name).stdout, timeout=20)
        except BaseException:
            self.__exit__(None, None, None)
            raise
        return self

    def __exit__(self, *exc):
        if self.proc and self.proc.poll() is None:
            with contextlib.suppress(ProcessLookupError):
                os.killpg(self.proc.pid, signal.SIGTERM)
            try:
                self.proc.wait(timeout=15)
            except subprocess.TimeoutExpired:
                os.killpg(self.proc.pid, signal.SIGKILL)
                self.proc.wait()
        with contextlib.suppress(OSError):
            os.remove(self.conf)
        shutil.rmtree(self.work, ignore_errors=True)
        return False

    def _lp(self, *argv):
        return subprocess.run([*argv], env={**os.environ, **self.env}, capture_output=True, text=True, timeout=30)

    def new_files(self):
        try:
            return sorted(set(os.listdir(self.outbox)) - self.before)
        except FileNotFoundError:
            return []

    def wait_job_pdf(self, title=None, timeout=60):
        """Waits until the queue has finished a job (its title matching the pattern `title`, if
        given) and its PDF file is complete; returns the path of that file."""
        def done():
            r = self._lp("lpstat", "-o", self.name)
            if r.stdout.strip():
                return None  # still printing
            for name in self.new_files():
                if title and not re.search(title, name):
                    continue
                path = os.path.join(self.outbox, name)
                with open(path, "rb") as f:
                    data = f.read()
                if data.startswith(b"%PDF") and b"%%EOF" in data[-1024:]:
                    self.before.add(name)
                    self.taken = getattr(self, "taken", []) + [path]
                    return path
            return None
        try:
            return wait_until("the printed job's PDF file", done, timeout=timeout)
        except RoadFailed:
            log = os.path.join(self.work, "log", "error_log")
            detail = open(log, errors="replace").read()[-2000:] if os.path.exists(log) else ""
            raise RoadFailed(f"the queue {self.name} wrote no PDF within {timeout} s; its log:\n{detail}")

    def jobs_completed(self):
        return self._lp("lpstat", "-W", "completed", "-o", self.name).stdout
