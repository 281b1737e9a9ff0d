"""A dealer's day with the book on a PC with several accounts, under the common umask that lets the
group read and write new files: the company information entered, an estimate typed and saved, the
book backed up, a start-up password set. Afterwards no file of the program directory that holds
personal data can be read by another account, and another account cannot open the tables."""

import os
import re
import stat
import subprocess

from harness import RoadFailed, Session, road, wait_until

# Files that hold nothing personal and may stay readable: the blank form, and the toolkit's own
# record of the file dialog's last folder (in the configuration directory beside the program's
# window placements).
NOT_PERSONAL = {"白地.jpg", "QtProject.conf"}


def modes_open_to_others(top):
    """Every directory and file under `top` that grants anything to the group or to others."""
    found = []
    for root, dirs, files in os.walk(top):
        for name in dirs + files:
            path = os.path.join(root, name)
            mode = stat.S_IMODE(os.lstat(path).st_mode)
            if name not in NOT_PERSONAL and mode & 0o077:
                found.append(f"{oct(mode)} {os.path.relpath(path, top)}")
    return found


@road
def a_day_leaves_nothing_readable_by_others():
    os.umask(0o002)
    with Session("a-day-leaves-nothing-readable-by-others", company=False,
                 env={"VENDARO_TODAY": "2026-12-11"}) as s:
        s.start()
        s.wait_main_window()
        s.enter_company("Vendaro Motors")

        s.click(s.find(role="push button", name="レコードの挿入"))
        s.click(s.field("氏名"))
        s.type("Yamada Taro")
        s.click(s.field("住所"))
        s.type("Tokyo Minato 1-2-3")
        s.click(s.find(role="push button", name="レコードの登録"))
        s.wait_text(s.find(description="件数"), "1")

        backup = s.path("estimates.CSV")
        s.menu("ﾌｧｲﾙ(F)", "ﾊﾞｯｸｱｯﾌﾟ")
        s.save_file_dialog("ﾊﾞｯｸｱｯﾌﾟﾌｧｲﾙの指定", backup)
        wait_until("the backup", lambda: os.path.exists(backup) and open(backup, "rb").read().count(b"\r\n") == 2)

        # Setting the password, the dialog says what it does and what it does not.
        s.menu("編集(E)", "パスワード設定")
        dialog = s.dialog("パスワードの設定")
        s.find(role="label", within=dialog, name=re.compile("暗号化されません"))
        s.screenshot("password-setting")
        s.type("Kuruma7")
        s.key("Return")
        s.no_dialog("パスワードの設定")
        s.quit_program(answer=None)

        for path in (s.path("CARDATA", "Estimate.DB"), backup, s.path("User.INI"), s.path("EsPass.INI")):
            if not os.path.exists(path):
                raise RoadFailed(f"the day did not write {path}")
        open_files = modes_open_to_others(s.program) + modes_open_to_others(os.path.join(s.home, ".config"))
        if open_files:
            raise RoadFailed("readable or writable by other accounts: " + ", ".join(open_files))

        # Another account on the machine cannot open the tables or the backup.
        if os.getuid() == 0:
            for path in (s.path("CARDATA", "Estimate.DB"), backup):
                r = subprocess.run(["setpriv", "--reuid=65534", "--regid=65534", "--clear-groups", "cat", path],
                                   capture_output=True, timeout=20)
                if r.returncode == 0:
                    raise RoadFailed(f"another account read {path}")


if __name__ == "__main__":
    a_day_leaves_nothing_readable_by_others()
