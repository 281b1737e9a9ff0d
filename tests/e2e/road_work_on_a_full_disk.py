"""A dealer's disk fills up while working: the backup and the save of an estimate are refused with
a message, the previous backup stays whole, nothing typed is lost, and once there is room again the
same save and the same backup go through."""

import os
import re

from harness import RoadFailed, Session, road, wait_until


def refused(s, message):
    """Waits for the message box that reports the failure, and closes it."""
    alert = s.dialog()
    s.find(role="label", within=alert, name=re.compile(message))
    s.click(s.find(role="push button", name="OK", within=alert))
    s.no_dialog()


@road
def work_on_a_full_disk():
    with Session("work-on-a-full-disk", env={"VENDARO_TODAY": "2026-12-11"}) as s:
        s.cli("add", "氏名=Aoki", "作成日=令和０８年１１月０２日")
        s.write_setting("Estimate.INI", ["0", "False"])  # no period limit: a backup holds the whole book
        backup = s.path("estimates.CSV")
        s.cli("backup", backup)
        previous = open(backup, "rb").read()

        s.start()
        s.wait_main_window()
        count = s.find(description="件数")
        s.wait_text(count, "1")
        s.fill_disk()

        # The backup cannot be written: the general file error, and the last backup as it was.
        s.menu("ﾌｧｲﾙ(F)", "ﾊﾞｯｸｱｯﾌﾟ")
        s.save_file_dialog("ﾊﾞｯｸｱｯﾌﾟﾌｧｲﾙの指定", backup)
        refused(s, "ファイルの入出力エラーです")
        if open(backup, "rb").read() != previous:
            raise RoadFailed("the backup on the full disk changed the previous backup")

        # A new estimate typed and saved: refused, and everything typed stays in the boxes.
        s.click(s.find(role="push button", name="レコードの挿入"))
        s.click(s.field("氏名"))
        s.type("Baba Jiro")
        s.click(s.field("車両価格1"))
        s.type("2500000")
        s.key("Tab")  # leaving the price box works out the quote
        s.wait_text(s.field("見積金額"), lambda t: t.strip() not in ("", "0"))
        s.click(s.find(role="push button", name="レコードの登録"))
        refused(s, r"Estimate\.DB")
        s.screenshot("save-refused")
        s.wait_text(s.field("氏名"), "Baba Jiro")
        s.wait_text(s.field("車両価格1"), lambda t: t.replace(",", "").strip() == "2500000")
        s.wait_text(count, "1")

        # With room again, the same save and the same backup go through.
        s.fill_disk(False)
        s.click(s.find(role="push button", name="レコードの登録"))
        s.wait_text(count, "2")
        s.menu("ﾌｧｲﾙ(F)", "ﾊﾞｯｸｱｯﾌﾟ")
        s.save_file_dialog("ﾊﾞｯｸｱｯﾌﾟﾌｧｲﾙの指定", backup)
        wait_until("the new backup", lambda: open(backup, "rb").read().count(b"\r\n") == 3, timeout=20)
        left = [n for n in os.listdir(s.program) if n.startswith("estimates.CSV") and n != "estimates.CSV"]
        if left:
            raise RoadFailed(f"files left beside the backup: {left!r}")
        s.activate(s.main_window)  # back in the main window once the file dialog has gone
        s.quit_program(answer=None)

        rows = {r["氏名"]: r for r in s.dump()}
        if sorted(rows) != ["Aoki", "Baba Jiro"] or rows["Baba Jiro"]["車両価格1"] != "2500000":
            raise RoadFailed(f"the book holds {list(rows.values())!r}")


if __name__ == "__main__":
    work_on_a_full_disk()
