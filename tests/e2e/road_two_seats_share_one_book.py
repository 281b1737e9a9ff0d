"""Two salespeople at two PCs work on one book on the dealership's database server: each sees the
estimate the other saved once the tab changes, and a save over the other's change is refused with
the typing kept on the sheet."""

import re

from harness import Session, road, RoadFailed
from postgres import BookServer


def new_estimate(s, day, name):
    """Inserts an estimate with a creation date from the calendar and a name, and saves it."""
    s.click(s.find(role="push button", name="レコードの挿入"))
    created = s.field("作成日")
    s.click(created, double=True)
    calendar = s.dialog("日付設定")
    s.click(s.find(role="table cell", name=str(day), within=calendar))
    s.no_dialog("日付設定")
    s.wait_text(created, f"令和０８年１２月{str(day).translate(str.maketrans('0123456789', '０１２３４５６７８９'))}日")
    s.click(s.field("氏名"))
    s.type(name)
    s.click(s.find(role="push button", name="レコードの登録"))


def change_tab(s, caption):
    s.click(s.find(role="page tab", name=caption))


@road
def two_seats_share_one_book():
    with BookServer() as server, Session("two-seats-share-one-book",
                                         env={"VENDARO_TODAY": "2026-12-11", "VENDARO_CARDATA": server.uri}) as s:
        s.cli("add", "作成日=令和０８年１２月０１日", "氏名=Yamada Taro")

        first = s.start()
        s.wait_main_window()
        s.resize_main(1500, 1100)
        program_b, env_b = s.seat("b")
        second = s.start(program=program_b, env=env_b)
        s.wait_main_window()
        s.resize_main(1500, 1100)
        count = s.find(description="件数")
        s.wait_text(count, "1")

        # The second seat saves a new estimate; the first sees it after a tab change.
        new_estimate(s, 20, "Sato Hanako")
        s.wait_text(count, "2")
        s.use(first)
        count = s.find(description="件数")
        s.wait_text(count, "1")  # its view is what it read
        change_tab(s, "令和０８年１２月")
        s.wait_text(count, "2")
        change_tab(s, "全て")
        s.wait_text(s.field("氏名"), "Sato Hanako")
        s.screenshot("first-seat-sees-the-second")

        # And the other way round.
        new_estimate(s, 21, "Suzuki Ichiro")
        s.wait_text(count, "3")
        s.use(second)
        count = s.find(description="件数")
        change_tab(s, "令和０８年１２月")
        s.wait_text(count, "3")
        change_tab(s, "全て")
        s.wait_text(s.field("氏名"), "Suzuki Ichiro")

        # Both on Suzuki's estimate: the second seat saves a change first.
        name = s.field("氏名")
        s.click(name)
        s.key("End")
        s.type(" B")
        s.click(s.find(role="push button", name="レコードの登録"))
        s.wait_text(name, "Suzuki Ichiro B")

        s.use(first)
        name = s.field("氏名")
        s.wait_text(name, "Suzuki Ichiro")
        s.click(name)
        s.key("End")
        s.type(" A")
        s.click(s.find(role="push button", name="レコードの登録"))
        refusal = s.dialog()
        s.find(name=re.compile("他の席で変更されたため保存できません"), within=refusal)
        s.screenshot("refused")
        s.key("Return")
        s.no_dialog()
        s.wait_text(name, "Suzuki Ichiro A")  # the typing stays on the sheet
        # Dropping the edit shows what the book holds.
        s.click(s.find(role="push button", name="編集の取り消し"))
        s.wait_text(name, "Suzuki Ichiro B")

        if s.quit_program(answer=None) != 0:
            raise RoadFailed("the first seat's program ended with an error status")
        s.use(second)
        if s.quit_program(answer=None) != 0:
            raise RoadFailed("the second seat's program ended with an error status")

        names = sorted(r["氏名"] for r in s.dump())
        if names != ["Sato Hanako", "Suzuki Ichiro B", "Yamada Taro"]:
            raise RoadFailed(f"the book holds {names}")


if __name__ == "__main__":
    two_seats_share_one_book()
