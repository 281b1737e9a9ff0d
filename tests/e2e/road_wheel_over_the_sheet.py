"""A dealer scrolls the estimate sheet with the mouse wheel: the boxes the pointer passes over
keep their values and the sheet scrolls; only a box the dealer has chosen turns with the wheel."""

from harness import Session, road, wait_until, RoadFailed


def _shown(s, combo):
    """What an editable combo box shows: the text of its edit line."""
    return s.text(s.find(role="text", within=combo, showing=None))


@road
def wheel_over_the_sheet():
    with Session("wheel-over-the-sheet") as s:
        s.cli("add", "作成日=令和０８年１２月０１日", "氏名=Sato")
        s.start()
        s.wait_main_window()
        s.resize_main(1200, 700)  # the price columns are longer than their box

        caption = s.field("車両項目2")   # a caption box near the top of the price columns
        mission = s.field("ミッション")   # in the heading rows, outside the scrolling box
        cancel = s.find(role="push button", name="編集の取り消し")
        s.click(s.field("氏名"))
        s.wait_focus("氏名", lambda f: f.description == "氏名")

        # Over the transmission box first, then over the caption box: once the sheet has scrolled,
        # both turns of the wheel have been taken (X delivers them in order).
        top = s.extents(caption)[1]
        s.wheel(mission, clicks=2)
        s.wheel(caption, clicks=3)
        wait_until("the sheet to scroll under the pointer", lambda: s.extents(caption)[1] < top)
        for field, box in (("ミッション", mission), ("車両項目2", caption)):
            if _shown(s, box) != "":
                raise RoadFailed(f"the wheel changed {field} to {_shown(s, box)!r}")
        if cancel.getState().contains(s.atspi.STATE_ENABLED):
            raise RoadFailed("scrolling over the sheet started an edit")
        s.screenshot("scrolled")

        # Chosen with a click, the box takes the wheel.
        s.click(mission)
        s.wait_focus("ミッション", lambda f: f.description == "ミッション" or
                     (f.parent is not None and f.parent.description == "ミッション"))
        s.wheel(mission, clicks=1)
        turned = wait_until("the transmission box to turn to one of its entries",
                            lambda: _shown(s, mission) in ("オートマ", "マニュアル") and _shown(s, mission))
        s.click(s.find(role="push button", name="レコードの登録"))
        if s.quit_program(answer=None) != 0:
            raise RoadFailed("the program ended with an error status")
        stored = s.dump()[0]
        expect = {"ミッション": turned, "車両項目2": ""}
        for field, value in expect.items():
            if stored[field] != value:
                raise RoadFailed(f"{field} stored as {stored[field]!r}, expected {value!r}")


if __name__ == "__main__":
    wheel_over_the_sheet()
