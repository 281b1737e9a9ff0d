"""A PostgreSQL server of the road's own, for roads on a shared book: started by
tools/pg-server.sh in a scratch directory (its socket there, no network), stopped and removed at
the end.

    with BookServer() as server:
        session = Session("...", env={"VENDARO_CARDATA": server.uri})
"""

import os
import shutil
import subprocess
import tempfile

from harness import ROOT, RoadFailed

SCRIPT = os.path.join(ROOT, "tools", "pg-server.sh")


class BookServer:
    def __init__(self, database="book"):
        self.work = tempfile.mkdtemp(prefix="vendaro-pg-")
        os.chmod(self.work, 0o755)  # the server runs as its own user
        self.host = os.path.join(self.work, "server")
        self.uri = f"postgresql:///{database}?host={self.host}&user=postgres"
        self.database = database

    def __enter__(self):
        r = subprocess.run([SCRIPT, "start", self.host], capture_output=True, text=True, timeout=180)
        if r.returncode != 0:
            shutil.rmtree(self.work, ignore_errors=True)
            raise RoadFailed(f"the PostgreSQL server did not start: {r.stderr}")
        r = subprocess.run(["psql", "-q", f"postgresql:///postgres?host={self.host}&user=postgres",
                            "-c", f"CREATE DATABASE {self.database}"], capture_output=True, text=True, timeout=60)
        if r.returncode != 0:
            self.__exit__(None, None, None)
            raise RoadFailed(f"the book's database was not made: {r.stderr}")
        return self

    def __exit__(self, kind, value, tb):
        subprocess.run([SCRIPT, "stop", self.host], capture_output=True, timeout=120)
        shutil.rmtree(self.work, ignore_errors=True)
        return False
