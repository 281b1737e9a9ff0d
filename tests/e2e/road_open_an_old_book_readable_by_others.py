"""A dealer starts the program on a book made before its files were kept private, readable by every
account on the PC: the program says so once at start and, asked to, makes the book's personal
files the dealer's alone; the next start says nothing. The same book narrowed from the command
line reports each file it changed."""

import os
import re
import stat

from harness import RoadFailed, Session, road


def mode(path):
    return stat.S_IMODE(os.stat(path).st_mode)


def open_up(s):
    """Makes the book as an older one was: everything readable by everyone."""
    os.chmod(s.path("CARDATA"), 0o755)
    for name in os.listdir(s.path("CARDATA")):
        os.chmod(s.path("CARDATA", name), 0o644)
    os.chmod(s.path("User.INI"), 0o644)


@road
def open_an_old_book_readable_by_others():
    with Session("open-an-old-book-readable-by-others") as s:
        s.cli("add", "氏名=Aoki")
        open_up(s)
        table = s.path("CARDATA", "Estimate.DB")

        s.start()
        s.wait_main_window()
        question = s.dialog()
        s.find(role="label", within=question, name=re.compile("他のユーザーからも読める"))
        s.screenshot("readable-by-others")
        s.key("Return")  # yes: make them private
        done = s.dialog()
        s.find(role="label", within=done, name=re.compile("このユーザーだけが読み書きできるようにしました"))
        s.key("Return")
        s.no_dialog()
        if mode(s.path("CARDATA")) != 0o700 or mode(table) != 0o600 or mode(s.path("User.INI")) != 0o600:
            raise RoadFailed(f"after the answer: CARDATA {oct(mode(s.path('CARDATA')))}, "
                             f"Estimate.DB {oct(mode(table))}, User.INI {oct(mode(s.path('User.INI')))}")
        s.quit_program(answer=None)

        # Started again, nothing is asked: the sheet takes typing at once.
        s.start()
        s.wait_main_window()
        s.wait_text(s.field("氏名"), "Aoki")
        if s.find_all(role="alert", showing=True) or s.find_all(role="dialog", showing=True):
            raise RoadFailed("the second start asked again")
        s.quit_program(answer=None)

        # The same from the command line, each file it changed reported.
        open_up(s)
        out = s.cli("protect")
        for path in (s.path("CARDATA"), table, s.path("User.INI")):
            if not re.search(r"^0[67]\d\d -> 0[67]00  " + re.escape(path) + "$", out, re.M):
                raise RoadFailed(f"protect did not report {path}:\n{out}")
        if mode(table) != 0o600:
            raise RoadFailed(f"protect left Estimate.DB at {oct(mode(table))}")


if __name__ == "__main__":
    open_an_old_book_readable_by_others()
