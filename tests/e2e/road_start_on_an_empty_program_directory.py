"""A dealer starts the program for the first time, in an empty program directory: it makes its
tables, asks for the company information once, and the next start asks nothing."""

import os

from harness import RoadFailed, Session, road


@road
def start_on_an_empty_program_directory():
    with Session("start-on-an-empty-program-directory", company=False) as s:
        s.start()
        s.wait_main_window()
        # The first tick asks for the company information, which was never entered.
        company = s.dialog("自社情報")
        s.click(s.find(role="text", name="自社名", within=company))
        s.type("Vendaro Motors")
        s.click(s.find(role="push button", name="OK", within=company))
        s.no_dialog("自社情報")
        if not os.path.isdir(s.path("CARDATA")) or not os.path.exists(s.path("CARDATA", "Estimate.DB")):
            raise RoadFailed("the first start made no estimate table in CARDATA/")
        s.quit_program(answer=None)
        if s.read_setting("User.INI")[1] != "Vendaro Motors":
            raise RoadFailed(f"User.INI holds {s.read_setting('User.INI')!r}")

        # Started again, nothing is asked: the estimate sheet takes typing at once.
        s.start()
        s.wait_main_window()
        s.click(s.find(role="push button", name="レコードの挿入"))
        s.click(s.field("氏名"))
        s.type("First Customer")
        s.click(s.find(role="push button", name="レコードの登録"))
        s.wait_text(s.find(description="件数"), "1")
        if s.find_all(role="dialog", showing=True):
            raise RoadFailed("a dialog was shown on the second start")
        s.quit_program(answer=None)
        names = [r["氏名"] for r in s.dump()]
        if names != ["First Customer"]:
            raise RoadFailed(f"stored estimates: {names!r}")


if __name__ == "__main__":
    start_on_an_empty_program_directory()
