"""A dealer keeps the book of a second seat in a directory of its own and starts the program on it
with --directory: what is typed is stored there, not in the working directory. Started on a book
that does not exist, the program says so and ends without making one."""

import csv
import io
import os
import re

from harness import RoadFailed, Session, road


@road
def open_a_named_book():
    with Session("open-a-named-book") as s:
        book = os.path.join(s.work, "seat2")
        os.makedirs(book)
        with open(os.path.join(book, "User.INI"), "wb") as f:
            for line in ["", "第二営業所", "", "", "", "", ""]:
                f.write(line.encode("cp932") + b"\r\n")

        s.start(args=("--directory", book))
        s.wait_main_window()
        s.click(s.find(role="push button", name="レコードの挿入"))
        s.click(s.field("氏名"))
        s.type("Second Seat")
        s.click(s.find(role="push button", name="レコードの登録"))
        s.wait_text(s.find(description="件数"), "1")
        s.quit_program(answer=None)

        names = [r["氏名"] for r in csv.DictReader(io.StringIO(s.cli("--directory", book, "dump")))]
        if names != ["Second Seat"]:
            raise RoadFailed(f"the named book holds {names!r}")
        if os.path.exists(s.path("CARDATA")):
            raise RoadFailed("the program made a book in its working directory as well")
        if not os.path.exists(os.path.join(book, "Estimate.INI")):
            raise RoadFailed("the settings were not written into the named book")

        missing = os.path.join(s.work, "seat3")
        s.start(args=("--directory", missing))
        alert = s.dialog("Vendaro For Win32")
        s.find(name=re.compile("プログラムフォルダがありません.*seat3"), within=alert)
        s.key("Return")
        status = s.wait_exit()
        if status != 1:
            raise RoadFailed(f"the program ended with {status} on a book that does not exist")
        if os.path.exists(missing):
            raise RoadFailed("the program made the missing book")


if __name__ == "__main__":
    open_a_named_book()
