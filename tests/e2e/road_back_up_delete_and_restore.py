"""A dealer backs the book up to a CSV file, deletes every estimate, and restores them from the
backup: the book is as it was."""

import os

from harness import RoadFailed, Session, road, wait_until


@road
def back_up_delete_and_restore():
    with Session("back-up-delete-and-restore", env={"VENDARO_TODAY": "2026-12-11"}) as s:
        s.cli("add", "氏名=Aoki", "車両価格1=1000000", "作成日=令和０８年１１月０２日")
        s.cli("add", "氏名=Baba", "車両価格1=2500000", "作成日=令和０８年１２月０１日")
        before = s.dump()
        backup = os.path.join(s.work, "backup", "estimates.CSV")
        os.makedirs(os.path.dirname(backup))

        s.start()
        s.wait_main_window()
        count = s.find(description="件数")
        s.wait_text(count, "2")

        s.menu("ﾌｧｲﾙ(F)", "ﾊﾞｯｸｱｯﾌﾟ")
        s.save_file_dialog("ﾊﾞｯｸｱｯﾌﾟﾌｧｲﾙの指定", backup)
        wait_until("the backup file", lambda: os.path.exists(backup) and
                   open(backup, "rb").read().count(b"\r\n") == 3, timeout=20)

        for _ in range(2):
            s.click(s.find(role="push button", name="レコードの削除"))
            s.dialog()
            s.key("Return")
        s.wait_text(count, "0")

        s.menu("ﾌｧｲﾙ(F)", "ﾘｽﾄｱ")
        s.open_file_dialog("ﾘｽﾄｱﾌｧｲﾙの指定", backup)
        s.wait_text(count, "2")
        s.screenshot("restored")
        s.quit_program(answer=None)

        after = s.dump()
        if after != before:
            raise RoadFailed(f"the restored book differs from the one backed up:\n{before}\n{after}")


if __name__ == "__main__":
    back_up_delete_and_restore()
