"""A dealer works in a month tab: a save the book refuses (letters in an amount) leaves the tab,
the settlement day and the filter as they were; once mended, saving shows all estimates again
with the estimate just saved as the current one, and 個人 lists that customer's estimates."""

import re

from harness import Session, road, wait_until, RoadFailed


def _selected(s, tab):
    """The open tab (the tab bar marks its current tab as the focused one)."""
    return tab.getState().contains(s.atspi.STATE_FOCUSED)


def _checked(s, caption):
    item = s.find(role=re.compile("menu item"), name=caption, showing=None)
    return item.getState().contains(s.atspi.STATE_CHECKED)


@road
def month_tab_after_a_refused_save():
    with Session("month-tab-after-a-refused-save") as s:
        for date, name in (("令和０８年１０月０５日", "Aoki"), ("令和０８年１１月１０日", "Baba"),
                           ("令和０８年１１月２０日", "Chiba"), ("令和０８年１２月０１日", "Aoki")):
            s.cli("add", f"作成日={date}", f"氏名={name}")
        s.start()
        s.wait_main_window()
        s.resize_main(1500, 1150)
        counter = s.find(description="件数")
        november = s.find(role="page tab", name="令和０８年１１月")
        s.click(november)
        s.wait_text(counter, "2")
        name = s.field("氏名")
        s.wait_text(name, "Chiba")

        # Letters in the vehicle price: the save before a tab or a settlement day is refused.
        price = s.field("車両価格1")
        s.click(price)
        s.type("abc")
        for choose in ("tab 全て", "settlement day 20"):
            if choose == "tab 全て":
                s.click(s.find(role="page tab", name="全て"))
            else:
                s.menu(re.compile("^編集"), "決済日", "２０日")
            s.dialog()
            s.screenshot("refused-" + choose.split()[-1])
            s.key("Return")
            s.no_dialog()
            wait_until(f"the month tab still open after {choose}", lambda: _selected(s, november))
            s.wait_text(counter, "2")
            if not _checked(s, "月末") or _checked(s, "２０日"):
                raise RoadFailed(f"the settlement day changed after {choose}")

        # Mended and saved with the navigator: all estimates, on the one just saved.
        s.click(price)
        s.key("ctrl+a")
        s.type("1000")
        s.click(s.find(role="push button", name="レコードの登録"))
        wait_until("the tab 全て chosen after the save", lambda: _selected(s, s.find(role="page tab", name="全て")))
        s.wait_text(counter, "4")
        s.wait_text(name, "Chiba")

        # 個人 chosen with an edit pending: saved first, then the customer current when chosen.
        s.click(s.find(role="page tab", name="令和０８年１０月"))
        s.wait_text(name, "Aoki")
        s.click(s.field("コメント"))
        s.type("x")
        s.click(s.find(role="page tab", name="個人"))
        s.wait_text(counter, "2")
        s.wait_text(name, "Aoki")
        s.screenshot("person")
        if s.quit_program(answer=None) != 0:
            raise RoadFailed("the program ended with an error status")
        stored = {(r["氏名"], r["作成日"]): r for r in s.dump()}
        if stored[("Chiba", "令和０８年１１月２０日")]["車両価格1"] != "1000":
            raise RoadFailed("the mended price was not stored")
        if stored[("Aoki", "令和０８年１０月０５日")]["コメント"] != "x":
            raise RoadFailed("the comment typed before 個人 was not stored")


if __name__ == "__main__":
    month_tab_after_a_refused_save()
