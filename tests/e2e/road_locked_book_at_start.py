"""A dealer's book has a start-up password: before the password is given nothing can be done
with the estimates (menus, their keys, the navigators and the tabs are out of use); once it is
given, the book works as usual."""

import os
import subprocess

from harness import Session, road, wait_until, RoadFailed


def _enabled(s, acc):
    return acc.getState().contains(s.atspi.STATE_ENABLED)


@road
def locked_book_at_start():
    # The first tick held back: everything a person can reach before the password is asked.
    with Session("locked-book-before-the-password", env={"VENDARO_FIRST_TICK_MS": "600000"}) as s:
        s.write_setting("EsPass.INI", ["Kuruma7"])
        s.cli("add", "作成日=令和０８年１２月０１日", "氏名=Sato")
        s.start()
        s.wait_main_window()
        bar = s.find(role="menu bar", showing=None)
        menus = [bar.getChildAtIndex(i) for i in range(bar.childCount)]
        if not menus:
            raise RoadFailed("the menu bar shows no menus")
        for menu in menus:
            if _enabled(s, menu):
                raise RoadFailed(f"the menu {menu.name!r} can be opened while the book is locked")
        for hint in ("レコードの挿入", "次のレコード", "レコードの削除"):
            button = s.find(role="push button", name=hint, showing=None)
            if _enabled(s, button):
                raise RoadFailed(f"the navigator button {hint} works while the book is locked")
            s.click(button)
        if s.find_all(role="page tab", name="全て", showing=True):
            raise RoadFailed("the tabs are shown while the book is locked")
        # The keys of print, backup, restore, find and copy, and the menu keys.
        s.key("ctrl+p", "ctrl+b", "ctrl+r", "ctrl+f", "F9", "F3", "alt+f", "Escape", "alt+e", "Escape")
        s.screenshot("locked")
        # Closed by the window manager: a dialog opened by any of those keys would keep the window
        # from closing, a pending estimate would be asked about.
        subprocess.run(["wmctrl", "-i", "-c", s.main_window], env=s.env, check=True, timeout=10)
        status = s.wait_exit()
        if status != 0:
            raise RoadFailed(f"the program ended with status {status}")
        if any(name.upper().endswith(".CSV") for name in os.listdir(s.program)):
            raise RoadFailed("a backup was written while the book was locked")
        rows = s.dump()
        if len(rows) != 1 or rows[0]["氏名"] != "Sato":
            raise RoadFailed(f"the estimates changed while the book was locked: {rows}")

    # The first tick as it comes: the password, then the company prompt, then the book opens.
    with Session("locked-book-unlocked", company=False) as s:
        s.write_setting("EsPass.INI", ["Kuruma7"])
        s.start()
        s.activate(s.wait_window("^パスワード$"))
        s.type("Kuruma7")
        s.key("Return")
        # The company prompt comes after the password (both are read by their window titles).
        s.activate(s.wait_window("^自社情報"))
        if s.windows("^パスワード$"):
            raise RoadFailed("the password dialog is still up")
        s.key("Escape")
        wait_until("the company prompt closed", lambda: not s.windows("^自社情報"))
        # Open: the find command's key works.
        main = s.wait_window("^Vendaro For Win32$")
        s.activate(main)
        s.key("ctrl+f")
        s.activate(s.wait_window("^検索"))
        s.key("Escape")
        wait_until("the find dialog closed", lambda: not s.windows("^検索"))
        # And the menus: the File menu's 終了 ends the program.
        s.activate(main)
        s.key("alt+f", "x")
        if s.wait_exit() != 0:
            raise RoadFailed("the program ended with an error status")


if __name__ == "__main__":
    locked_book_at_start()
