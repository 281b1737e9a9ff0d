"""A dealer closes the program with an estimate pending and opens a file to restore: the
standard dialogs speak Japanese (はい, いいえ, キャンセル, 開く), as the manual calls their buttons."""

import re

from harness import Session, road, RoadFailed


def _buttons(s, dialog):
    return [b.name for b in s.find_all(role="push button", within=dialog, showing=True)]


@road
def dialogs_in_japanese():
    with Session("dialogs-in-japanese") as s:
        s.cli("add", "作成日=令和０８年１２月０１日", "氏名=Sato")
        s.start()
        s.wait_main_window()
        s.click(s.field("コメント"))
        s.type("pending")

        # The question about the pending estimate: yes, no and cancel in Japanese.
        s.key("alt+f")
        s.key("x")
        question = s.dialog()
        s.find(role="push button", name=re.compile("^はい"), within=question)
        s.find(role="push button", name=re.compile("^いいえ"), within=question)
        cancel = s.find(role="push button", name=re.compile("^キャンセル"), within=question)
        s.screenshot("question")
        s.click(cancel)
        s.no_dialog()

        # The restore's file dialog: 開く and キャンセル.
        s.click(s.find(role="push button", name="編集の取り消し"))
        s.key("ctrl+r")
        files = s.dialog(re.compile("ﾘｽﾄｱ"))
        names = _buttons(s, files)
        if not any(n.startswith("開く") for n in names) or not any(n.startswith("キャンセル") for n in names):
            raise RoadFailed(f"the file dialog's buttons are {names}")
        s.screenshot("file-dialog")
        s.key("Escape")
        s.no_dialog()
        if s.quit_program(answer=None) != 0:
            raise RoadFailed("the program ended with an error status")


if __name__ == "__main__":
    dialogs_in_japanese()
